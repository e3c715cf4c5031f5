// Paths and settings a scene uses: the program folder, integer settings files, the date, time and
// small system queries.
#pragma once
#include <cstdint>
#include <cstdio>

// The program folder with its trailing "\" (settings 0), or the settings folder (settings 1).
char* ModulePath(int settings);
// The name joined to the program folder (one buffer, overwritten by the next call).
char* DataPath(const char* name);
// Reads the settings folder's base from a pointer file in the system folder ("" when it is missing).
void LoadAltBaseDir(const char* pointerFileName);
// Opens a file named relative to the program folder (Shift-JIS, "\" between folders) as fopen does;
// reading opens regular files only. Null when it cannot be opened.
std::FILE* OpenProgramFile(const char* name, const char* mode);
// Writes an integer into a settings file of the settings folder.
void WriteIntSetting(const char* name, int32_t value);
// The value in the settings file; 0 when the file is missing or holds no integer.
int32_t ReadIntSetting(const char* name);
// Today's date; weekday gets the day's one-character Shift-JIS name (3 bytes with its NUL).
void GetDateText(int32_t* year, int32_t* month, int32_t* day, char* weekday);
// The time of day.
void GetTimeOfDay(int32_t* hour, int32_t* minute, int32_t* second);
// Free bytes on the program folder's disk (the letter is not used), capped to 32 bits.
uint32_t GetDiskFreeBytes(char driveLetter);
// Free memory in bytes, capped to 32 bits.
uint32_t GetFreeMemory();
// The version code of the system the program runs on.
int32_t GetOsVersion();
// The version code of a system by its platform number and version.
int32_t OsVersionCode(int platformId, int major, int minor);
// The command line the program was started with.
char* CommandLineText();
// Switches the input method on (1) or off (0).
void SetImeEnabled(int32_t flag);
