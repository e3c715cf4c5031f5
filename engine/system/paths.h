// Program-folder paths, integer settings files and small system queries.
#pragma once
#include <cstdint>

constexpr int kPathBufferSize = 256;

struct PathState {
    char modulePath[kPathBufferSize] = {};
    char dataPath[kPathBufferSize * 2] = {};
    char AltBaseDir[kPathBufferSize] = {};
    char lastComponent[kPathBufferSize] = {};
};

extern PathState Paths;

// The program folder with its trailing "\" (settings 0), or the settings folder (settings 1).
char* ModulePath(int settings);
char* DataPath(const char* name);
void LoadAltBaseDir(const char* pointerFileName);
void WriteIntSetting(const char* name, int32_t value);
// The value in the settings file; 0 when the file is missing or holds no integer.
int32_t ReadIntSetting(const char* name);
void GetDateText(int32_t* year, int32_t* month, int32_t* day, char* weekday);
void GetTimeOfDay(int32_t* hour, int32_t* minute, int32_t* second);
uint32_t GetDiskFreeBytes(char driveLetter);
uint32_t GetFreeMemory();
int32_t GetOsVersion();
// The version code of a system by its platform number and version.
int32_t OsVersionCode(int platformId, int major, int minor);
char* CommandLineText();
void SetImeEnabled(int32_t flag);
// Keeps a copy of the command line, cut to its buffer.
void StoreCommandLine(const char* commandLine);
