// eltool's names: command-line names to the engine's Shift-JIS, program folders and links.
#include "names.h"

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

platform::WaveError ReadWaveAt(const std::filesystem::path& path, platform::WaveFile* wave) {
    *wave = platform::WaveFile{};
    std::ifstream in(path, std::ios::binary);
    if (!in) return platform::WaveError::kUnreadable;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return platform::WaveError::kUnreadable;
    return platform::ReadWave(bytes.data(), bytes.size(), wave);
}

}  // namespace eltool
