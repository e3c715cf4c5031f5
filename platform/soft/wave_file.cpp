// WAVE files by name: read whole through the file layer, then parsed by the reader.
#include <cstdio>

#include "platform/audio.h"
#include "platform/files.h"

namespace platform {

WaveError ReadWaveFile(const char* path, WaveFile* wave) {
    *wave = WaveFile{};
    FILE* file = OpenFile(path, "rb");
    if (file == nullptr) return WaveError::kUnreadable;
    std::vector<uint8_t> bytes;
    WaveError error = WaveError::kNone;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        error = WaveError::kUnreadable;
    } else {
        long length = std::ftell(file);
        if (length < 0) {
            error = WaveError::kUnreadable;
        } else if (static_cast<uint64_t>(length) > 0xFFFFFFFFull + 8) {
            error = WaveError::kTooLarge;
        } else {
            bytes.resize(static_cast<size_t>(length));
            std::rewind(file);
            if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
                error = WaveError::kUnreadable;
            }
        }
    }
    std::fclose(file);
    if (error != WaveError::kNone) return error;
    return ReadWave(bytes.data(), bytes.size(), wave);
}

}  // namespace platform
