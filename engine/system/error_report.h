// Error reports, notices, yes/no questions and the debug log.
#pragma once
#include <el/errors.h>

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kMessageTextSize = 260;

struct ErrorState {
    int32_t ErrorFlag = 0;  // set by every reported failure; cleared only by the display set-up
};

extern ErrorState Errors;

// Lines beside the boxes: each goes to standard error and, the same, to the debug log, so that a
// failure says where and why while its box keeps its own short text.
// "operation: text", the text plain ASCII or UTF-8.
void ExplainProblem(const char* operation, const std::string& text);
// "operation: name: reason (path)" for a file the operation could not load: the name as the
// program gave it (Shift-JIS, shown as UTF-8 on standard error), the reason, and the path of this
// system it was looked for at (left out when empty: nothing was looked for).
void ExplainLoadFailure(const char* operation, const char* name, const std::string& reason,
                        const std::string& path);
// Why the file at `path` (a path of this system) cannot be opened for reading: "cannot be read:
// not found", "cannot be read: a folder, not a file", ...
std::string CannotOpenReason(const std::string& path);
