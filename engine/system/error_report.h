// Error reports, notices, yes/no questions and the debug log.
#pragma once
#include <el/errors.h>

#include <cstddef>
#include <cstdint>

constexpr size_t kMessageTextSize = 260;

struct ErrorState {
    int32_t ErrorFlag = 0;  // set by every reported failure; cleared only by the display set-up
};

extern ErrorState Errors;
