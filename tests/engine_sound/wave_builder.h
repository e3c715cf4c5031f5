// Test sounds: PCM samples, RIFF/WAVE files and WAVE pack records built byte by byte.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace wavetest {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
inline void PutText(std::vector<uint8_t>& out, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) out.push_back(static_cast<uint8_t>(*c));
}

// The 18-byte format block of PCM: the 16 bytes of the format record and an extra count of 0.
inline std::vector<uint8_t> PcmFormatBlock(int channels, uint32_t rate, int bits) {
    std::vector<uint8_t> block;
    const uint32_t align = static_cast<uint32_t>(channels * (bits / 8));
    Put16(block, 1);
    Put16(block, static_cast<uint32_t>(channels));
    Put32(block, rate);
    Put32(block, align * rate);
    Put16(block, align);
    Put16(block, static_cast<uint32_t>(bits));
    Put16(block, 0);
    return block;
}

// A canonical RIFF/WAVE file: "fmt " of 16 bytes, then "data".
inline std::vector<uint8_t> WaveFile(int channels, uint32_t rate, int bits,
                                     const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    std::vector<uint8_t> format = PcmFormatBlock(channels, rate, bits);
    PutText(out, "RIFF");
    Put32(out, static_cast<uint32_t>(36 + data.size() + (data.size() & 1)));
    PutText(out, "WAVEfmt ");
    Put32(out, 16);
    out.insert(out.end(), format.begin(), format.begin() + 16);
    PutText(out, "data");
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
    return out;
}

// 16-bit little-endian samples.
inline std::vector<uint8_t> Samples16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return out;
}

// A sine of the given frequency and peak, mono, 16 bits.
inline std::vector<int16_t> Sine(double hertz, uint32_t rate, size_t frames, double peak) {
    std::vector<int16_t> samples(frames);
    for (size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<int16_t>(std::lround(peak * std::sin(2.0 * M_PI * hertz * i / rate)));
    return samples;
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

// One pack record as the converter writes it.
inline std::vector<uint8_t> PackRecordBytes(const std::string& name, const std::vector<uint8_t>& format,
                                            const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    out.reserve(4 + name.size() + 1 + 4 + format.size() + data.size());
    Put32(out, static_cast<uint32_t>(data.size()));
    for (char c : name) out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
    Put32(out, static_cast<uint32_t>(format.size()));
    out.insert(out.end(), format.begin(), format.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

}  // namespace wavetest
