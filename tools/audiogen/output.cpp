#include "tools/audiogen/output.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace audiogen {

void SetPeak(Stereo& sound, double peakDb) {
    double peak = 0;
    for (size_t i = 0; i < sound.Frames(); ++i)
        peak = std::max({peak, std::fabs(sound.left[i]), std::fabs(sound.right[i])});
    if (peak == 0) return;
    double gain = std::pow(10.0, peakDb / 20.0) / peak;
    for (size_t i = 0; i < sound.Frames(); ++i) {
        sound.left[i] *= gain;
        sound.right[i] *= gain;
    }
}

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> WaveBytes(const Stereo& sound, int rate, int bits, int channels) {
    const uint32_t block = static_cast<uint32_t>(channels * bits / 8);
    size_t frames = sound.Frames();
    if ((frames * block) % 2) ++frames;  // RIFF chunks have even sizes: one more silent frame
    const uint32_t data = static_cast<uint32_t>(frames * block);
    std::vector<uint8_t> out;
    out.reserve(44 + data);
    PutTag(out, "RIFF");
    Put32(out, 36 + data);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate) * block);
    Put16(out, block);
    Put16(out, static_cast<uint32_t>(bits));
    PutTag(out, "data");
    Put32(out, data);
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            double x = 0;
            if (i < sound.Frames()) x = c == 0 ? sound.left[i] : sound.right[i];
            x = std::clamp(x, -1.0, 1.0);
            if (bits == 8)
                out.push_back(static_cast<uint8_t>(128 + std::lround(x * 127.0)));
            else
                Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(x * 32767.0))));
        }
    }
    return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error(path + ": cannot be written");
}

}  // namespace audiogen
