// Local time, free disk space, free memory and the system version.
#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
    int year = 0, month = 0, day = 0, dayOfWeek = 0;  // dayOfWeek 0 = Sunday
    int hour = 0, minute = 0, second = 0;
};
LocalTime GetLocalTime();

// Free bytes on the file system that holds the given path.
uint64_t GetDiskFreeBytes(const char* path);
// Physical memory available to programs, in bytes.
uint64_t GetFreeMemoryBytes();

struct OsVersion {
    int platformId = 0;  // 2: a multi-user system with a modern kernel
    int major = 0, minor = 0;
};
OsVersion GetOsVersion();

}  // namespace platform
