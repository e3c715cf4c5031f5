// Local time, free disk space, free memory and the kernel version.
#include "platform/system_info.h"

#include <sys/statvfs.h>
#include <sys/utsname.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/files.h"

namespace platform {

LocalTime GetLocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    LocalTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.dayOfWeek = parts.tm_wday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    return t;
}

uint64_t GetDiskFreeBytes(const char* path) {
    struct statvfs info;
    std::string resolved = ResolvePath(path);
    if (::statvfs(resolved.c_str(), &info) != 0) return 0;
    return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

uint64_t GetFreeMemoryBytes() {
    FILE* file = std::fopen("/proc/meminfo", "r");
    if (file == nullptr) return 0;
    char line[256];
    uint64_t kib = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        unsigned long long value = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &value) == 1) {
            kib = value;
            break;
        }
    }
    std::fclose(file);
    return kib * 1024;
}

OsVersion GetOsVersion() {
    OsVersion version;
    version.platformId = 2;
    utsname names{};
    if (::uname(&names) == 0) std::sscanf(names.release, "%d.%d", &version.major, &version.minor);
    return version;
}

}  // namespace platform
