// Program path, settings folder and name resolution: "\"-separated names in any case become real paths.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/sjis.h"

namespace platform {
namespace {

std::string moduleFileOverride;
std::string settingsFolder;  // "\" form, ending in "\"; empty when none is set

// Copies text into a fixed buffer, cut to fit, always terminated. Returns the length written.
size_t CopyBounded(const std::string& text, char* buffer, size_t size) {
    if (size == 0) return 0;
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// A path of this system in the engine's "\" form. Its bytes stay the file system's own: they are
// never taken for Shift-JIS (a folder named in UTF-8 has no Shift-JIS form in general).
std::string ToBackslashes(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The executable's path in the "\" form, or "" when it cannot be read.
std::string ModuleFile() {
    if (!moduleFileOverride.empty()) return moduleFileOverride;
    char path[4096];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return ToBackslashes(std::string(path, static_cast<size_t>(length)));
}

std::string WindowsDirectory() {
    std::string folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        folder = std::string(home) + "/.config";
    } else {
        folder = "/tmp";
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return ToBackslashes(folder);
}

// How many leading bytes of an engine name are a folder of this system: the program folder, the
// settings pointer folder or the settings folder, whichever is the longest the name starts with.
// Those bytes are taken as they are; the rest of the name is Shift-JIS.
size_t SystemFolderLength(std::string_view name) {
    const std::string module = ModuleFile();
    const size_t slash = module.rfind('\\');
    std::string windows = WindowsDirectory();
    if (!windows.empty() && windows.back() != '\\') windows += '\\';
    const std::string folders[] = {slash == std::string::npos ? std::string() : module.substr(0, slash + 1),
                                   windows, settingsFolder};
    size_t longest = 0;
    for (const std::string& folder : folders)
        if (folder.size() > longest && name.substr(0, folder.size()) == folder) longest = folder.size();
    return longest;
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of folder whose name equals component without regard to ASCII case, or "" when none.
// Both are UTF-8, whose multi-byte characters hold no ASCII bytes: only single-byte letters fold.
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
    return CopyBounded(ModuleFile(), buffer, size);
}

void SetModuleFileNameForTesting(const char* backslashPath) {
    moduleFileOverride = backslashPath ? backslashPath : "";
}

void SetSettingsFolder(const char* backslashFolder) {
    settingsFolder = backslashFolder ? backslashFolder : "";
}

size_t GetWindowsDirectory(char* buffer, size_t size) {
    return CopyBounded(WindowsDirectory(), buffer, size);
}

std::string ResolvePath(const char* name) {
    if (name == nullptr) return {};
    const std::string_view given(name);
    const size_t kept = SystemFolderLength(given);
    std::string rest;
    if (!SjisToUtf8Exact(given.substr(kept), rest)) return {};
    std::string path = std::string(given.substr(0, kept)) + rest;
    // Every "\" left is a separator: the folder's UTF-8 and the converted rest hold no other.
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
    if (name == nullptr || mode == nullptr) return nullptr;
    std::string systemMode;
    for (const char* m = mode; *m != '\0'; ++m)
        if (*m != 't') systemMode += *m;
    std::string path = ResolvePath(name);
    if (path.empty()) return nullptr;
    // What the engine reads is a file: a FIFO is not waited on and a device or folder is not read
    // (a picture, sound, pack or stage file named /dev/zero would never end). Nothing is written
    // into a FIFO either, which would wait for a reader.
    const bool reading = systemMode[0] == 'r' && systemMode.find('+') == std::string::npos;
    if (reading) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            errno = EINVAL;
            return nullptr;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        FILE* file = ::fdopen(fd, systemMode.c_str());
        if (file == nullptr) ::close(fd);
        return file;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))) {
        errno = EINVAL;
        return nullptr;
    }
    return std::fopen(path.c_str(), systemMode.c_str());
}

namespace {

// The permissions a new file gets from fopen: those of the file it replaces, else 0666 less the umask.
mode_t NewFileMode(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool Fail(std::string* reason, const char* what) {
    if (reason != nullptr) *reason = std::string(what) + " (" + std::strerror(errno) + ")";
    return false;
}

}  // namespace

bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* reason) {
    if (path.empty()) {
        errno = ENOENT;
        return Fail(reason, "no such name");
    }
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return Fail(reason, "not a regular file");
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + (folder.back() == '/' ? "" : "/") + "." + base + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return Fail(reason, "cannot create a file in its folder");
    ::fchmod(fd, NewFileMode(path));
    const char* at = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        const ssize_t done = ::write(fd, at, left);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            const int error = done < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(temporary.c_str());
            errno = error;
            return Fail(reason, "cannot write it whole");
        }
        at += done;
        left -= static_cast<size_t>(done);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return Fail(reason, "cannot write it whole");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return Fail(reason, "cannot put it in place");
    }
    return true;
}

void WriteFileProblem(const char* context, const char* nameSjis, const char* reason) {
    std::fprintf(stderr, "%s: %s: %s\n", context != nullptr ? context : "",
                 SjisToUtf8(nameSjis != nullptr ? nameSjis : "").c_str(), reason != nullptr ? reason : "");
}

}  // namespace platform
