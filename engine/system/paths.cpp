// Paths under the program folder, the settings folder moved by a pointer file, settings files and
// system queries. Every buffer here keeps its bound: longer paths are cut, never overrun.
#include "engine/system/paths.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/system/engine_state.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "platform/window.h"

PathState Paths;

// Appends text to a fixed buffer of the given size, cutting what does not fit.
static void AppendBounded(char* buffer, size_t size, const char* text) {
    size_t used = std::strlen(buffer);
    if (used + 1 >= size) return;
    size_t room = size - 1 - used;
    size_t length = std::strlen(text);
    if (length > room) length = room;
    std::memcpy(buffer + used, text, length);
    buffer[used + length] = '\0';
}

char* ModulePath(int settings) {
    char* path = Paths.modulePath;
    platform::GetModuleFileName(path, kPathBufferSize);
    size_t length = std::strlen(path);
    while (length > 0 && path[length - 1] != '\\') path[--length] = '\0';
    if (settings == 0 || Paths.AltBaseDir[0] == '\0') return path;

    // The program folder's own name and its "\" (kept from an earlier call when the folder is a root).
    if (length >= 2) {
        for (size_t i = length - 1; i-- > 0;) {
            if (path[i] == '\\') {
                std::snprintf(Paths.lastComponent, sizeof Paths.lastComponent, "%s", path + i + 1);
                break;
            }
        }
    }
    path[0] = '\0';
    AppendBounded(path, kPathBufferSize, Paths.AltBaseDir);
    AppendBounded(path, kPathBufferSize, "\\");
    AppendBounded(path, kPathBufferSize, Paths.lastComponent);
    // The pointer file's folder and the program folder's name are the file system's own bytes, not
    // Shift-JIS: names below this folder keep them as they are.
    platform::SetSettingsFolder(path);
    return path;
}

char* DataPath(const char* name) {
    Paths.dataPath[0] = '\0';
    AppendBounded(Paths.dataPath, sizeof Paths.dataPath, ModulePath(0));
    AppendBounded(Paths.dataPath, sizeof Paths.dataPath, name != nullptr ? name : "");
    return Paths.dataPath;
}

void LoadAltBaseDir(const char* pointerFileName) {
    if (pointerFileName == nullptr) pointerFileName = "";
    char path[kPathBufferSize * 2] = {};
    platform::GetWindowsDirectory(path, kPathBufferSize);
    if (std::strlen(path) > 3) AppendBounded(path, sizeof path, "\\");
    AppendBounded(path, sizeof path, pointerFileName);

    FILE* file = platform::OpenFile(path, "rt");
    if (file == nullptr) {
        Paths.AltBaseDir[0] = '\0';
        platform::SetSettingsFolder("");
        return;
    }
    char line[kPathBufferSize] = {};
    if (std::fgets(line, sizeof line, file) == nullptr) line[0] = '\0';
    std::fclose(file);
    size_t length = std::strlen(line);
    // The pointer file may end its line with CR LF; reading it as text drops the CR with the LF.
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = '\0';
        if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
    }
    if (length > 0 && line[length - 1] == '\\') line[--length] = '\0';
    std::memcpy(Paths.AltBaseDir, line, length + 1);
}

// The settings file's full path: the settings folder followed by the name.
static void SettingsPath(char* path, size_t size, const char* name) {
    path[0] = '\0';
    AppendBounded(path, size, ModulePath(1));
    AppendBounded(path, size, name != nullptr ? name : "");
}

void WriteIntSetting(const char* name, int32_t value) {
    char path[kPathBufferSize * 2];
    SettingsPath(path, sizeof path, name);
    // Written whole or not at all: a full disk keeps the value saved before.
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", value);
    std::string reason;
    if (!platform::WriteWholeFile(platform::ResolvePath(path), text, static_cast<size_t>(length), &reason))
        platform::WriteFileProblem("WriteIntSetting", name != nullptr ? name : "", reason.c_str());
}

int32_t ReadIntSetting(const char* name) {
    char path[kPathBufferSize * 2];
    SettingsPath(path, sizeof path, name);
    FILE* file = platform::OpenFile(path, "rt");
    if (file == nullptr) return 0;
    int value = 0;
    if (std::fscanf(file, "%d", &value) != 1) value = 0;
    std::fclose(file);
    return value;
}

void GetDateText(int32_t* year, int32_t* month, int32_t* day, char* weekday) {
    static const char* const kWeekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};
    platform::LocalTime now = platform::GetLocalTime();
    if (year != nullptr) *year = now.year;
    if (month != nullptr) *month = now.month;
    if (day != nullptr) *day = now.day;
    if (weekday != nullptr) std::memcpy(weekday, kWeekdays[now.dayOfWeek % 7], 3);
}

void GetTimeOfDay(int32_t* hour, int32_t* minute, int32_t* second) {
    platform::LocalTime now = platform::GetLocalTime();
    if (hour != nullptr) *hour = now.hour;
    if (minute != nullptr) *minute = now.minute;
    if (second != nullptr) *second = now.second;
}

static uint32_t SaturateTo32Bits(uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

uint32_t GetDiskFreeBytes(char /*driveLetter*/) {
    // Drive letters name no folder here: every letter answers for the file system of the program
    // folder. Sizes of 4 GiB and more read as the largest 32-bit value instead of wrapping.
    return SaturateTo32Bits(platform::GetDiskFreeBytes(ModulePath(0)));
}

uint32_t GetFreeMemory() {
    return SaturateTo32Bits(platform::GetFreeMemoryBytes());
}

int32_t OsVersionCode(int platformId, int major, int minor) {
    switch (platformId) {
        case 0:
            return 310;
        case 1:
            if (major == 4) return minor == 0 ? 950 : 980;
            return major * 100 + minor;
        case 2:
            if (major == 5) return 2000;
            return major * 1000 + minor * 10;
        default:
            return -1;
    }
}

int32_t GetOsVersion() {
    platform::OsVersion version = platform::GetOsVersion();
    return OsVersionCode(version.platformId, version.major, version.minor);
}

void StoreCommandLine(const char* commandLine) {
    std::snprintf(Engine.CommandLine, sizeof Engine.CommandLine, "%s", commandLine ? commandLine : "");
}

char* CommandLineText() {
    return Engine.CommandLine;
}

void SetImeEnabled(int32_t flag) {
    platform::SetImeEnabled(flag != 0);
}
