// eltool's names: command-line names to the engine's Shift-JIS, program folders and links.
#include "names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/files.h"
#include "platform/sjis.h"

namespace eltool {

bool EngineName(const char* command, const std::string& utf8, std::string& sjis) {
    if (platform::Utf8ToSjisExact(utf8, sjis)) return true;
    std::fprintf(stderr, "eltool %s: %s: the name has no Shift-JIS form\n", command, utf8.c_str());
    return false;
}

void PlaceProgramIn(const std::filesystem::path& folder) {
    if (folder.empty()) {
        platform::SetModuleFileNameForTesting("");
        return;
    }
    std::string program = (std::filesystem::absolute(folder) / "eltool").lexically_normal().string();
    for (char& c : program)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(program.c_str());
}

PlacedFile::PlacedFile(const std::filesystem::path& file, const char* linkName, size_t longest) {
    const std::filesystem::path full = std::filesystem::absolute(file);
    folder_ = full.parent_path();
    if (platform::Utf8ToSjisExact(full.filename().string(), name_) && name_.size() <= longest) return;
    std::error_code error;
    linkFolder_ = std::filesystem::temp_directory_path(error) /
                  ("eltool_" + std::to_string(::getpid()) + "_" + linkName);
    std::filesystem::create_directories(linkFolder_, error);
    std::filesystem::create_symlink(full, linkFolder_ / linkName, error);
    folder_ = linkFolder_;
    name_ = linkName;
}

PlacedFile::~PlacedFile() {
    std::error_code error;
    if (!linkFolder_.empty()) std::filesystem::remove_all(linkFolder_, error);
}

namespace {

// Opens without blocking on a FIFO, then lets only a regular file of a bounded size through.
std::FILE* OpenRegular(const char* path, uint64_t largest, const char** reason) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = "cannot open";
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *reason = S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file";
        ::close(fd);
        return nullptr;
    }
    if (static_cast<uint64_t>(info.st_size) > largest) {
        *reason = "is too large for its kind";
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        *reason = "cannot open";
        ::close(fd);
    }
    return file;
}

}  // namespace

std::FILE* OpenInput(const char* command, const char* path, uint64_t largest) {
    const char* reason = nullptr;
    std::FILE* file = OpenRegular(path, largest, &reason);
    if (file == nullptr) std::fprintf(stderr, "eltool %s: %s: %s\n", command, path, reason);
    return file;
}

bool OutputPathUsable(const char* command, const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0 || S_ISREG(info.st_mode)) return true;
    std::fprintf(stderr, "eltool %s: %s: %s\n", command, path,
                 S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file to write into");
    return false;
}

platform::WaveError ReadWaveAt(const std::filesystem::path& path, platform::WaveFile* wave) {
    *wave = platform::WaveFile{};
    const char* reason = nullptr;
    std::FILE* file = OpenRegular(path.c_str(), kLargestWave, &reason);
    if (file == nullptr) return platform::WaveError::kUnreadable;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return platform::WaveError::kUnreadable;
    return platform::ReadWave(bytes.data(), bytes.size(), wave);
}

}  // namespace eltool
