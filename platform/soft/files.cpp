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

SmallFile ReadSmallFile(const std::string& path, size_t largest, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return SmallFile::kMissing;
    struct stat info {};
    SmallFile result = SmallFile::kRead;
    if (::fstat(fd, &info) != 0) {
        result = SmallFile::kFailed;
    } else if (S_ISDIR(info.st_mode)) {
        result = SmallFile::kFolder;
    } else if (!S_ISREG(info.st_mode)) {
        result = SmallFile::kNotRegular;
    } else if (static_cast<uint64_t>(info.st_size) > largest) {
        result = SmallFile::kTooLarge;
    } else {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        char chunk[4096];
        ssize_t got = 0;
        // The bound holds also for a file that grows while it is read.
        while (text.size() <= largest && (got = ::read(fd, chunk, sizeof chunk)) > 0)
            text.append(chunk, static_cast<size_t>(got));
        if (got < 0) result = SmallFile::kFailed;
        if (text.size() > largest) result = SmallFile::kTooLarge;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
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

// Renames the finished temporary file over the target; without `overwrite` an existing target
// stays and EEXIST is the error (a file system that cannot rename so gets a hard link instead).
bool PutInPlace(const std::string& temporary, const std::string& target, bool overwrite) {
    if (overwrite) return ::rename(temporary.c_str(), target.c_str()) == 0;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(temporary.c_str(), target.c_str()) != 0) return false;
    ::unlink(temporary.c_str());
    return true;
}

}  // namespace

std::string LinkTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string link(4096, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<size_t>(length) >= link.size()) return current;
        link.resize(static_cast<size_t>(length));
        const size_t slash = current.rfind('/');
        current = link[0] == '/' || slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
    }
    return current;
}

FileReplacement::~FileReplacement() {
    Abandon();
}

bool FileReplacement::Begin(const std::string& path, bool keepContent, std::string* reason) {
    Abandon();
    error_ = 0;
    if (path.empty()) {
        errno = ENOENT;
        return Fail(reason, "no such name");
    }
    // Through a link the file it names is replaced, beside itself; the link stays. A relative name
    // is fixed now, so that a change of the current directory does not move the target.
    std::string absolute = path;
    if (path[0] != '/') {
        char here[4096];
        if (::getcwd(here, sizeof here) != nullptr) absolute = std::string(here) + "/" + path;
    }
    target_ = LinkTarget(absolute);
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return Fail(reason, "not a regular file");
    }
    const size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string("./") : target_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string temporary = folder + "." + base + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return Fail(reason, "cannot create a file in its folder");
    temporary_ = temporary;
    ::fchmod(fd, NewFileMode(target_));
    if (keepContent && exists) {
        const int old = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
        bool copied = old >= 0;
        char block[65536];
        while (copied) {
            const ssize_t got = ::read(old, block, sizeof block);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                copied = got == 0;
                break;
            }
            for (ssize_t at = 0; copied && at < got;) {
                const ssize_t done = ::write(fd, block + at, static_cast<size_t>(got - at));
                if (done < 0 && errno == EINTR) continue;
                if (done <= 0) {
                    if (done == 0) errno = ENOSPC;
                    copied = false;
                } else {
                    at += done;
                }
            }
        }
        const int error = errno;
        if (old >= 0) ::close(old);
        if (!copied) {
            ::close(fd);
            ::unlink(temporary_.c_str());
            temporary_.clear();
            errno = error;
            return Fail(reason, "cannot copy the old file");
        }
    }
    file_ = ::fdopen(fd, "wb");  // at the end of what was copied; no O_APPEND, so a header can be patched
    if (file_ == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary_.c_str());
        temporary_.clear();
        errno = error;
        return Fail(reason, "cannot create a file in its folder");
    }
    return true;
}

bool FileReplacement::Check(bool ok) {
    if (!ok && error_ == 0) error_ = errno != 0 ? errno : EIO;
    return ok;
}

bool FileReplacement::Commit(std::string* reason, bool overwrite) {
    if (file_ == nullptr) {
        errno = EBADF;
        return Fail(reason, "cannot write it whole");
    }
    errno = 0;
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) Check(false);
    const int closeError = std::fclose(file_) != 0 ? (errno != 0 ? errno : EIO) : 0;
    file_ = nullptr;
    if (error_ == 0) error_ = closeError;
    if (error_ != 0) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        errno = error_;
        return Fail(reason, "cannot write it whole");
    }
    if (!PutInPlace(temporary_, target_, overwrite)) {
        const int error = errno;
        ::unlink(temporary_.c_str());
        temporary_.clear();
        errno = error_ = error;
        return Fail(reason, "cannot put it in place");
    }
    temporary_.clear();
    return true;
}

void FileReplacement::Abandon() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* reason) {
    FileReplacement replacement;
    if (!replacement.Begin(path, false, reason)) return false;
    const int fd = ::fileno(replacement.file());
    const char* at = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        const ssize_t done = ::write(fd, at, left);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            replacement.Check(false);
            break;
        }
        at += done;
        left -= static_cast<size_t>(done);
    }
    return replacement.Commit(reason);
}

void WriteFileProblem(const char* context, const char* nameSjis, const char* reason) {
    std::fprintf(stderr, "%s: %s: %s\n", context != nullptr ? context : "",
                 SjisToUtf8(nameSjis != nullptr ? nameSjis : "").c_str(), reason != nullptr ? reason : "");
}

}  // namespace platform
