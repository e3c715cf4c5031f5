// Program-folder paths, integer settings files and small system queries.
#pragma once
#include <el/paths.h>

#include <cstdint>

constexpr int kPathBufferSize = 256;

struct PathState {
    char modulePath[kPathBufferSize] = {};
    char dataPath[kPathBufferSize * 2] = {};
    char AltBaseDir[kPathBufferSize] = {};
    char lastComponent[kPathBufferSize] = {};
};

extern PathState Paths;

// Keeps a copy of the command line, cut to its buffer.
void StoreCommandLine(const char* commandLine);
