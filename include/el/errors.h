// Error reports, notices, yes/no questions and the debug log.
#pragma once
#include <cstddef>

// Shows "context : message" in a warning box, beeps and sets the error flag; returns 0.
int ReportError(const char* context, const char* message);
// 1 once an error has been reported (the display set-up clears it), else 0.
int HasError();
// Runs the exit procedure when an error has been reported; returns the error flag.
int EndIfError();
// Shows a printf-style notice in a box and waits for OK.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Asks a printf-style yes/no question in a box: 1 yes, 0 no.
int AskYesNo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends one formatted line to "DEBUG.TXT" in the current directory.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Cuts a Shift-JIS text so that it ends on a whole character and fits size bytes with its NUL.
void CutSjisText(char* text, std::size_t size);
