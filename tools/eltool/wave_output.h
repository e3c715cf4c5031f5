// Writing rendered sound as a canonical 16-bit PCM WAVE file.
#pragma once
#include <cstdint>
#include <vector>

namespace eltool {

// Writes interleaved 16-bit samples with a 44-byte header; false when the file cannot be written.
bool WriteWave16(const char* path, uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples);

}  // namespace eltool
