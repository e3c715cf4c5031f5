// Error reports, notices, yes/no questions and the debug log.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kMessageTextSize = 260;

struct ErrorState {
    int32_t ErrorFlag = 0;  // set by every reported failure; cleared only by the display set-up
};

extern ErrorState Errors;

// Shows "context : message" in a warning box captioned "エラー発生", beeps, sets the error flag; returns 0.
int ReportError(const char* context, const char* message);
int HasError();
// Runs the exit procedure when an error has been reported; returns the error flag.
int EndIfError();
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
int AskYesNo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends one formatted line to "DEBUG.TXT" in the current directory.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Cuts a Shift-JIS text so that it ends on a whole character and fits size bytes with its NUL.
void CutSjisText(char* text, size_t size);
