// Canonical 16-bit PCM WAVE files: "RIFF", "fmt " of 16 bytes, "data".
#include "wave_output.h"

#include <cstdio>

#include "platform/files.h"

namespace eltool {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

bool WriteWave16(const char* path, uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> header = {'R', 'I', 'F', 'F'};
    Put32(header, 36 + dataBytes);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(header, 16);
    Put16(header, 1);
    Put16(header, channels);
    Put32(header, rate);
    Put32(header, rate * channels * 2);
    Put16(header, static_cast<uint16_t>(channels * 2));
    Put16(header, 16);
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    Put32(header, dataBytes);
    std::vector<uint8_t> data;
    data.reserve(dataBytes);
    for (int16_t s : samples) Put16(data, static_cast<uint16_t>(s));
    // Written whole or not at all, and never into a FIFO, device or folder.
    header.insert(header.end(), data.begin(), data.end());
    return platform::WriteWholeFile(path, header.data(), header.size());
}

}  // namespace eltool
