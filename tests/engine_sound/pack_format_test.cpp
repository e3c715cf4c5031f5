// WAVE pack records: the scan finds entries by exact upper-case name, steps over each record by its
// own size, bounds long names, and stops cleanly at a truncated record.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/sound/wave_pack.h"
#include "tests/engine_sound/wave_builder.h"

namespace {

using namespace wavetest;

// An in-memory pack file for the scanner.
class PackFile {
  public:
    explicit PackFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
        file_ = fmemopen(bytes_.data(), bytes_.size(), "rb");
    }
    ~PackFile() {
        if (file_ != nullptr) std::fclose(file_);
    }
    FILE* get() { return file_; }

  private:
    std::vector<uint8_t> bytes_;
    FILE* file_ = nullptr;
};

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::vector<uint8_t> ReadFound(FILE* file, const PackRecord& record) {
    std::vector<uint8_t> data(record.dataSize);
    std::fseek(file, record.formatOffset + static_cast<long>(record.formatSize), SEEK_SET);
    EXPECT_EQ(std::fread(data.data(), 1, data.size(), file), data.size());
    return data;
}

const std::vector<uint8_t> kPcm = PcmFormatBlock(1, 22050, 16);

TEST(PackFormatTest, TheFirstRecordOfAnExactNameIsFoundBehindOthers) {
    PackFile pack(
        Concat({PackRecordBytes("A.WAV", kPcm, {1, 2, 3, 4}), PackRecordBytes("SHOT.WAV", kPcm, {5, 6}),
                PackRecordBytes("SHOT.WAV", kPcm, {7, 8})}));
    PackRecord record;
    ASSERT_TRUE(FindPackRecord(pack.get(), "SHOT.WAV", &record));
    EXPECT_EQ(record.dataSize, 2u);
    EXPECT_EQ(record.formatSize, 18u);
    EXPECT_TRUE(PackRecordFits(pack.get(), record));
    EXPECT_EQ(ReadFound(pack.get(), record), (std::vector<uint8_t>{5, 6}));

    std::rewind(pack.get());
    EXPECT_FALSE(FindPackRecord(pack.get(), "shot.wav", &record));  // names are compared byte for byte
    std::rewind(pack.get());
    EXPECT_FALSE(FindPackRecord(pack.get(), "SHOT", &record));
}

TEST(PackFormatTest, RecordsWithExtraFormatBytesDoNotMisalignTheOnesBehind) {
    std::vector<uint8_t> adpcm = {2, 0, 1, 0, 0x22, 0x56, 0, 0,    0x11, 0x2B, 0,
                                  0, 0, 1, 4, 0,    4,    0, 0xF4, 0x01, 7,    0};
    PackFile pack(Concat({PackRecordBytes("ADPCM.WAV", adpcm, std::vector<uint8_t>(40, 0xAA)),
                          PackRecordBytes("B.WAV", kPcm, {9, 9, 9, 9})}));
    PackRecord record;
    ASSERT_TRUE(FindPackRecord(pack.get(), "B.WAV", &record));
    EXPECT_EQ(ReadFound(pack.get(), record), (std::vector<uint8_t>{9, 9, 9, 9}));
}

TEST(PackFormatTest, NamesLongerThanTheBufferMatchNothingAndTheScanGoesOn) {
    const std::string longName(300, 'L');
    PackFile pack(
        Concat({PackRecordBytes(longName, kPcm, {1, 1}), PackRecordBytes("NEXT.WAV", kPcm, {2, 2})}));
    PackRecord record;
    ASSERT_TRUE(ReadPackRecordHeader(pack.get(), &record));
    EXPECT_TRUE(record.nameTooLong);
    EXPECT_EQ(std::string(record.name), std::string(kPackNameBuffer - 1, 'L'));
    std::rewind(pack.get());
    EXPECT_FALSE(FindPackRecord(pack.get(), std::string(kPackNameBuffer - 1, 'L').c_str(), &record));
    std::rewind(pack.get());
    ASSERT_TRUE(FindPackRecord(pack.get(), "NEXT.WAV", &record));
    EXPECT_EQ(ReadFound(pack.get(), record), (std::vector<uint8_t>{2, 2}));
}

TEST(PackFormatTest, TruncatedRecordsEndTheScanAndDoNotFit) {
    std::vector<uint8_t> whole = PackRecordBytes("CUT.WAV", kPcm, std::vector<uint8_t>(100, 1));
    for (size_t keep : {size_t{2}, size_t{6}, size_t{13}, size_t{20}, whole.size() - 1}) {
        PackFile pack(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(keep)));
        PackRecord record;
        const bool found = FindPackRecord(pack.get(), "CUT.WAV", &record);
        // A header cut short is not found; one whose block or data is cut short does not fit.
        if (found) {
            EXPECT_FALSE(PackRecordFits(pack.get(), record)) << keep;
        }
        EXPECT_EQ(found, keep >= 16) << keep;
    }
    // A data size far beyond the file: the scan passes it and finds nothing behind it.
    std::vector<uint8_t> huge = PackRecordBytes("BIG.WAV", kPcm, {1});
    huge[0] = huge[1] = huge[2] = huge[3] = 0xFF;
    PackFile pack(Concat({huge, PackRecordBytes("AFTER.WAV", kPcm, {1})}));
    PackRecord record;
    EXPECT_FALSE(FindPackRecord(pack.get(), "AFTER.WAV", &record));
}

TEST(PackFormatTest, UpperCasingLeavesDoubleByteCharactersWhole) {
    char ascii[] = "se\\shot_01.wav";
    UpperCaseSjis(ascii);
    EXPECT_STREQ(ascii, "SE\\SHOT_01.WAV");
    // "ア" is 0x83 0x41 and "ャ" is 0x83 0x83; "ｧ" (0xA7) is a single byte; 0x8A 0x61 has a trail
    // byte that looks like "a".
    char mixed[] = "\x83\x41\x8a\x61z\xa7.wav";
    UpperCaseSjis(mixed);
    EXPECT_STREQ(mixed, "\x83\x41\x8a\x61Z\xa7.WAV");
}

}  // namespace
