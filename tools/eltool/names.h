// eltool's names: paths on the command line are this system's own (UTF-8), names the engine is
// given are Shift-JIS below a program folder whose bytes stay the file system's own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/audio.h"

namespace eltool {

// A name from the command line or a folder listing as the engine names it (Shift-JIS). False, with
// a line saying so under the command's name, when a character has no Shift-JIS form.
bool EngineName(const char* command, const std::string& utf8, std::string& sjis);

// Makes `folder` the program folder, its bytes as the file system has them; "" restores the real one.
void PlaceProgramIn(const std::filesystem::path& folder);

// A file the engine is to open by a name below the program folder: the folder it is found in and
// its Shift-JIS name. A file whose name has no Shift-JIS form or is longer than `longest` bytes is
// reached through a link named `linkName` in a folder of its own, removed with this record.
class PlacedFile {
  public:
    PlacedFile(const std::filesystem::path& file, const char* linkName, size_t longest);
    ~PlacedFile();
    PlacedFile(const PlacedFile&) = delete;
    PlacedFile& operator=(const PlacedFile&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    const std::string& name() const { return name_; }

  private:
    std::filesystem::path folder_, linkFolder_;
    std::string name_;
};

// A WAVE file by this system's path, read whole and parsed (regular files of up to 4 GiB only).
platform::WaveError ReadWaveAt(const std::filesystem::path& path, platform::WaveFile* wave);

// Opens a file named on the command line for reading: a regular file of at most `largest` bytes.
// A FIFO, device or folder is refused without waiting on it. Null after a line under the command's
// name saying why.
std::FILE* OpenInput(const char* command, const char* path, uint64_t largest);
// False, after a line under the command's name, when `path` exists but is not a regular file (a
// FIFO, device or folder): an output is never written into one.
bool OutputPathUsable(const char* command, const char* path);

constexpr uint64_t kLargestWave = (uint64_t{1} << 32) + 8;  // RIFF sizes are 32-bit
constexpr uint64_t kLargestMidi = uint64_t{64} << 20;
constexpr uint64_t kLargestPack = uint64_t{1} << 34;

}  // namespace eltool
