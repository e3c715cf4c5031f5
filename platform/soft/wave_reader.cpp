// Our RIFF/WAVE reader: the format block and the sample data of a WAVE image, every size checked.
#include <cstring>

#include "platform/audio.h"

namespace platform {

namespace {

constexpr uint16_t kPcmTag = 1;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

WaveError ReadFormat(const uint8_t* chunk, uint32_t size, WaveFormat* format) {
    if (size < 16) return WaveError::kFormatTooShort;
    format->formatTag = Le16(chunk);
    format->channels = Le16(chunk + 2);
    format->samplesPerSec = Le32(chunk + 4);
    format->avgBytesPerSec = Le32(chunk + 8);
    format->blockAlign = Le16(chunk + 12);
    format->bitsPerSample = Le16(chunk + 14);
    if (format->channels == 0 || format->blockAlign == 0 || format->samplesPerSec == 0) {
        return WaveError::kBadFormatBlock;
    }
    // The extension size of a format other than PCM, when present, must fit in the chunk; PCM has
    // no extension, whatever the bytes behind its 16 say. What follows is kept as written.
    if (format->formatTag != kPcmTag && size >= 18 && Le16(chunk + 16) > size - 18)
        return WaveError::kBadFormatBlock;
    format->extra.assign(chunk + 16, chunk + size);
    PcmFromExtensible(format);
    return WaveError::kNone;
}

constexpr uint16_t kExtensibleTag = 0xFFFE;
// The sub-format of extensible PCM: the PCM tag in the first two bytes of the media-subtype GUID.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

bool PcmFromExtensible(WaveFormat* format) {
    // Extension: size (2), valid bits (2), channel mask (4), sub-format (16).
    const std::vector<uint8_t>& x = format->extra;
    if (format->formatTag != kExtensibleTag || x.size() < 24 || Le16(x.data()) < 22) return false;
    if (std::memcmp(x.data() + 8, kPcmSubFormat, 16) != 0) return false;
    const uint16_t bits = format->bitsPerSample, valid = Le16(x.data() + 2);
    if ((bits != 8 && bits != 16) || valid > bits) return false;
    format->formatTag = kPcmTag;  // the extension stays in `extra`, which PCM does not read
    return true;
}

const char* WaveErrorText(WaveError error) {
    switch (error) {
        case WaveError::kNone:
            return "no error";
        case WaveError::kUnreadable:
            return "the file cannot be read";
        case WaveError::kTooShort:
            return "too short for a RIFF file";
        case WaveError::kNotRiff:
            return "not a RIFF file";
        case WaveError::kNotWave:
            return "a RIFF file but not WAVE";
        case WaveError::kTruncated:
            return "truncated: a size runs past the end of the file";
        case WaveError::kNoFormat:
            return "no format chunk";
        case WaveError::kFormatTooShort:
            return "format chunk shorter than 16 bytes";
        case WaveError::kBadFormatBlock:
            return "inconsistent format block";
        case WaveError::kNoData:
            return "no data chunk";
        case WaveError::kTooLarge:
            return "too large";
    }
    return "unknown error";
}

WaveError ReadWave(const uint8_t* bytes, size_t size, WaveFile* wave) {
    *wave = WaveFile{};
    if (bytes == nullptr || size < 12) return WaveError::kTooShort;
    if (std::memcmp(bytes, "RIFF", 4) != 0) return WaveError::kNotRiff;
    if (std::memcmp(bytes + 8, "WAVE", 4) != 0) return WaveError::kNotWave;
    const uint64_t riffEnd = 8 + static_cast<uint64_t>(Le32(bytes + 4));
    if (riffEnd > size) return WaveError::kTruncated;
    if (riffEnd < 12) return WaveError::kTruncated;

    WaveFile read;
    bool haveFormat = false, haveData = false;
    uint64_t at = 12;
    while (at < riffEnd) {
        // A few stray bytes after the last chunk (shorter than a chunk header) end the scan.
        if (riffEnd - at < 8) break;
        const uint8_t* header = bytes + at;
        const uint32_t chunkSize = Le32(header + 4);
        const uint64_t body = at + 8;
        if (chunkSize > riffEnd - body) return WaveError::kTruncated;
        if (std::memcmp(header, "fmt ", 4) == 0 && !haveFormat) {
            WaveError error = ReadFormat(bytes + body, chunkSize, &read.format);
            if (error != WaveError::kNone) return error;
            read.formatBytes = chunkSize;
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0 && !haveData) {
            read.data.assign(bytes + body, bytes + body + chunkSize);
            haveData = true;
        }
        // Odd sizes are followed by a pad byte, which a last chunk may lack.
        at = body + chunkSize + (chunkSize & 1u);
    }
    if (!haveFormat) return WaveError::kNoFormat;
    if (!haveData) return WaveError::kNoData;
    *wave = std::move(read);
    return WaveError::kNone;
}

}  // namespace platform
