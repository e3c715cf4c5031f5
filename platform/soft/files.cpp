// Program path, settings folder and name resolution: "\"-separated names in any case become real paths.
#include "platform/files.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sjis.h"

namespace platform {
namespace {

std::string moduleFileOverride;

// Copies text into a fixed buffer, cut to fit, always terminated. Returns the length written.
size_t CopyBounded(const std::string& text, char* buffer, size_t size) {
    if (size == 0) return 0;
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// A system path (UTF-8, "/") as the engine sees names: Shift-JIS where possible, "\" separators.
std::string ToEngineName(const std::string& path) {
    std::string name = Utf8ToSjis(path);
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of folder whose name equals component without regard to ASCII case, or "" when none.
std::string FindCaseInsensitive(const std::string& folder, const std::string& component) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return {};
    std::string found;
    while (dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

size_t GetModuleFileName(char* buffer, size_t size) {
    if (!moduleFileOverride.empty()) return CopyBounded(moduleFileOverride, buffer, size);
    char path[4096];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return CopyBounded("", buffer, size);
    path[length] = '\0';
    return CopyBounded(ToEngineName(path), buffer, size);
}

void SetModuleFileNameForTesting(const char* backslashPath) {
    moduleFileOverride = backslashPath ? backslashPath : "";
}

size_t GetWindowsDirectory(char* buffer, size_t size) {
    std::string folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        folder = std::string(home) + "/.config";
    } else {
        folder = "/tmp";
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return CopyBounded(ToEngineName(folder), buffer, size);
}

std::string ResolvePath(const char* name) {
    std::string path = SjisToUtf8(name == nullptr ? "" : name);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || Exists(path)) return path;

    // Walk the components, taking each as it is when it exists, else the entry that matches it in
    // another case. From the first component that cannot be found on, the rest is kept as given.
    std::string resolved = path[0] == '/' ? "/" : "";
    size_t start = path[0] == '/' ? 1 : 0;
    bool matching = true;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        if (!component.empty()) {
            if (!resolved.empty() && resolved.back() != '/') resolved += '/';
            std::string candidate = resolved + component;
            if (matching && !Exists(candidate)) {
                std::string match = FindCaseInsensitive(resolved, component);
                if (match.empty()) {
                    matching = false;
                } else {
                    candidate = resolved + match;
                }
            }
            resolved = candidate;
        }
        start = end + 1;
    }
    if (!path.empty() && path.back() == '/' && resolved.back() != '/') resolved += '/';
    return resolved;
}

FILE* OpenFile(const char* name, const char* mode) {
    std::string systemMode;
    for (const char* m = mode; *m != '\0'; ++m)
        if (*m != 't') systemMode += *m;
    std::string path = ResolvePath(name);
    return std::fopen(path.c_str(), systemMode.c_str());
}

}  // namespace platform
