// The RIFF/WAVE reader: chunk order, padding, unknown chunks, extra format bytes, extensible PCM, and
// every way a file can be cut short or lie about its sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "sound_test_support.h"

using namespace platform;
using sound_test::TempPath;

namespace {

// A RIFF image made of chunks; the RIFF size is right unless a test changes it.
struct Riff {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(12, 0);
    Riff() { std::memcpy(bytes.data(), "RIFF\0\0\0\0WAVE", 12); }
    Riff& Chunk(const char* id, const std::vector<uint8_t>& body, bool pad = true) {
        bytes.insert(bytes.end(), id, id + 4);
        Put32(static_cast<uint32_t>(body.size()));
        bytes.insert(bytes.end(), body.begin(), body.end());
        if (pad && body.size() % 2 == 1) bytes.push_back(0);
        Put32At(4, static_cast<uint32_t>(bytes.size() - 8));
        return *this;
    }
    void Put32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Put32At(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

std::vector<uint8_t> Fmt(uint16_t channels, uint32_t rate, uint16_t bits, std::vector<uint8_t> extra = {}) {
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    const uint32_t avg = rate * block;
    std::vector<uint8_t> f = {1, 0, static_cast<uint8_t>(channels), 0};
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<uint8_t>(rate >> (8 * i)));
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<uint8_t>(avg >> (8 * i)));
    f.push_back(static_cast<uint8_t>(block));
    f.push_back(0);
    f.push_back(static_cast<uint8_t>(bits));
    f.push_back(0);
    f.insert(f.end(), extra.begin(), extra.end());
    return f;
}

WaveError Read(const std::vector<uint8_t>& bytes, WaveFile* wave) {
    return ReadWave(bytes.data(), bytes.size(), wave);
}

TEST(WaveReader, ReadsChunksInAnyOrderSkippingUnknownOnesAndPaddingOddSizes) {
    const std::vector<uint8_t> data = {1, 2, 3};  // odd: padded
    Riff usual;
    usual.Chunk("fmt ", Fmt(1, 11025, 8)).Chunk("LIST", {9, 9, 9, 9, 9}).Chunk("data", data);
    Riff reversed;
    reversed.Chunk("junk", {7})
        .Chunk("data", data)
        .Chunk("fact", {1, 0, 0, 0})
        .Chunk("fmt ", Fmt(1, 11025, 8));
    for (const Riff* riff : {&usual, &reversed}) {
        WaveFile wave;
        ASSERT_EQ(Read(riff->bytes, &wave), WaveError::kNone);
        EXPECT_EQ(wave.data, data);
        EXPECT_EQ(wave.format.formatTag, 1);
        EXPECT_EQ(wave.format.channels, 1);
        EXPECT_EQ(wave.format.samplesPerSec, 11025u);
        EXPECT_EQ(wave.format.avgBytesPerSec, 11025u);
        EXPECT_EQ(wave.format.blockAlign, 1);
        EXPECT_EQ(wave.format.bitsPerSample, 8);
        EXPECT_TRUE(wave.format.extra.empty());
        EXPECT_EQ(wave.formatBytes, 16u);
    }
    // The last chunk may lack its pad byte, and bytes after the RIFF form are ignored.
    Riff unpadded;
    unpadded.Chunk("fmt ", Fmt(2, 8000, 16)).Chunk("data", {1, 2, 3, 4, 5}, false);
    unpadded.bytes.insert(unpadded.bytes.end(), {'j', 'u', 'n', 'k'});
    WaveFile wave;
    ASSERT_EQ(Read(unpadded.bytes, &wave), WaveError::kNone);
    EXPECT_EQ(wave.data.size(), 5u);
}

TEST(WaveReader, KeepsTheExtraFormatBytes) {
    Riff riff;
    riff.Chunk("fmt ", Fmt(1, 22050, 16, {2, 0, 0xF9, 0x01})).Chunk("data", {0, 0});
    WaveFile wave;
    ASSERT_EQ(Read(riff.bytes, &wave), WaveError::kNone);
    EXPECT_EQ(wave.formatBytes, 20u);
    EXPECT_EQ(wave.format.extra, (std::vector<uint8_t>{2, 0, 0xF9, 0x01}));
    // PCM has no extension: whatever count follows its 16 bytes, it loads.
    Riff lying;
    lying.Chunk("fmt ", Fmt(1, 22050, 16, {3, 0, 0xF9, 0x01})).Chunk("data", {0, 0});
    EXPECT_EQ(Read(lying.bytes, &wave), WaveError::kNone);
    EXPECT_EQ(wave.format.formatTag, 1);
    // Another format's extension size larger than the chunk holds is refused.
    std::vector<uint8_t> adpcm = Fmt(1, 22050, 4, {3, 0, 0xF9, 0x01});
    adpcm[0] = 2;
    Riff lyingAdpcm;
    lyingAdpcm.Chunk("fmt ", adpcm).Chunk("data", {0, 0});
    EXPECT_EQ(Read(lyingAdpcm.bytes, &wave), WaveError::kBadFormatBlock);
    EXPECT_TRUE(wave.data.empty());
}

// A WAVE_FORMAT_EXTENSIBLE block: size 22, valid bits, channel mask, then the sub-format.
std::vector<uint8_t> Extensible(uint16_t channels, uint16_t bits, bool pcm, size_t cut = 0) {
    std::vector<uint8_t> f = Fmt(channels, 44100, bits, {22, 0, static_cast<uint8_t>(bits), 0, 3, 0, 0, 0});
    f[0] = 0xFE;
    f[1] = 0xFF;
    const uint8_t guid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    f.insert(f.end(), guid, guid + 16);
    if (!pcm) f[24] = 3;  // floating-point samples
    f.resize(f.size() - cut);
    return f;
}

TEST(WaveReader, ExtensiblePcmOfEightOrSixteenBitsReadsAsPlainPcm) {
    for (uint16_t bits : {8, 16}) {
        Riff riff;
        riff.Chunk("fmt ", Extensible(2, bits, true)).Chunk("data", {1, 2, 3, 4});
        WaveFile wave;
        ASSERT_EQ(Read(riff.bytes, &wave), WaveError::kNone);
        EXPECT_EQ(wave.format.formatTag, 1);
        EXPECT_EQ(wave.format.bitsPerSample, bits);
        EXPECT_EQ(wave.format.extra.size(), 24u);  // kept as written
        EXPECT_EQ(UnplayableReason(wave.format), nullptr);
        EXPECT_EQ(wave.formatBytes, 40u);
    }
    // Floating-point samples, 24 bits and an extension cut short stay extensible, and are not played.
    for (const std::vector<uint8_t>& fmt :
         {Extensible(2, 32, false), Extensible(2, 24, true), Extensible(2, 16, true, 2)}) {
        Riff riff;
        riff.Chunk("fmt ", fmt).Chunk("data", {1, 2, 3, 4, 5, 6});
        WaveFile wave;
        const WaveError error = Read(riff.bytes, &wave);
        if (error != WaveError::kNone) continue;  // a cut extension may be refused outright
        EXPECT_EQ(wave.format.formatTag, 0xFFFE);
        ASSERT_NE(UnplayableReason(wave.format), nullptr);
        EXPECT_NE(std::string(UnplayableReason(wave.format)).find("extensible"), std::string::npos);
    }
}

TEST(WaveReader, RefusesMalformedFilesWithAReason) {
    WaveFile wave;
    EXPECT_EQ(ReadWave(nullptr, 0, &wave), WaveError::kTooShort);
    Riff good;
    good.Chunk("fmt ", Fmt(1, 22050, 16)).Chunk("data", {1, 2, 3, 4});

    std::vector<uint8_t> b = good.bytes;
    b[0] = 'X';
    EXPECT_EQ(Read(b, &wave), WaveError::kNotRiff);
    b = good.bytes;
    b[8] = 'A';
    EXPECT_EQ(Read(b, &wave), WaveError::kNotWave);
    Riff noData;
    noData.Chunk("fmt ", Fmt(1, 22050, 16));
    EXPECT_EQ(Read(noData.bytes, &wave), WaveError::kNoData);
    Riff noFmt;
    noFmt.Chunk("data", {1, 2});
    EXPECT_EQ(Read(noFmt.bytes, &wave), WaveError::kNoFormat);
    Riff shortFmt;
    shortFmt.Chunk("fmt ", std::vector<uint8_t>(14, 1)).Chunk("data", {1, 2});
    EXPECT_EQ(Read(shortFmt.bytes, &wave), WaveError::kFormatTooShort);
    Riff zeroChannels;
    zeroChannels.Chunk("fmt ", Fmt(0, 22050, 16)).Chunk("data", {1, 2});
    EXPECT_EQ(Read(zeroChannels.bytes, &wave), WaveError::kBadFormatBlock);
    // A data chunk claiming more than the file holds.
    b = good.bytes;
    b[b.size() - 8] = 0xFF;
    EXPECT_EQ(Read(b, &wave), WaveError::kTruncated);
    // A RIFF size past the end.
    b = good.bytes;
    b[4] += 2;
    EXPECT_EQ(Read(b, &wave), WaveError::kTruncated);
    // A chunk size near 4 GiB does not wrap the arithmetic.
    b = good.bytes;
    for (int i = 0; i < 4; ++i) b[b.size() - 8 + i] = 0xFF;
    EXPECT_EQ(Read(b, &wave), WaveError::kTruncated);
    EXPECT_STRNE(WaveErrorText(WaveError::kTruncated), WaveErrorText(WaveError::kNoData));

    // Every cut of a good file is refused (the reader would have to look past the end otherwise).
    for (size_t n = 0; n < good.bytes.size(); ++n) {
        std::vector<uint8_t> cut(good.bytes.begin(), good.bytes.begin() + n);
        EXPECT_NE(Read(cut, &wave), WaveError::kNone) << n;
        EXPECT_TRUE(wave.data.empty());
    }
}

TEST(WaveReader, ReadsFilesByNameAndRefusesMissingOnes) {
    Riff riff;
    riff.Chunk("fmt ", Fmt(2, 44100, 16)).Chunk("data", {1, 2, 3, 4, 5, 6, 7, 8});
    const std::string path = TempPath("Reader_Test.WAV");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(riff.bytes.data(), 1, riff.bytes.size(), f);
    std::fclose(f);
    WaveFile wave;
    // Names resolve without regard to case, like every file name of the platform.
    const std::string other = TempPath("reader_test.wav");
    ASSERT_EQ(ReadWaveFile(other.c_str(), &wave), WaveError::kNone);
    EXPECT_EQ(wave.data.size(), 8u);
    EXPECT_EQ(wave.format.channels, 2);
    EXPECT_EQ(ReadWaveFile(TempPath("absent.wav").c_str(), &wave), WaveError::kUnreadable);
    std::remove(path.c_str());
}

}  // namespace
