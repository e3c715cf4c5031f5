// WAVE packs built by the converter and loaded by entry name: folders left out of entry names,
// appended packs, unreadable files, missing packs and entries, long names and reloading.
#include "engine/sound/wave_pack.h"
#include "tests/engine_sound/sound_fixture.h"

namespace {

using namespace wavetest;

class SoundPackTest : public SoundTest {
  protected:
    // The records' names in file order.
    std::vector<std::string> Entries(const std::string& pack) {
        std::vector<std::string> names;
        FILE* file = std::fopen((folder / pack).c_str(), "rb");
        if (file == nullptr) return names;
        PackRecord record;
        while (ReadPackRecordHeader(file, &record)) {
            names.push_back(record.name);
            if (!SkipPackRecord(file, record)) break;
        }
        std::fclose(file);
        return names;
    }
    std::vector<uint8_t> BufferBytes(SoundNo number) {
        const platform::SoundBuffer buffer = SoundObjects.objects[number].copies[0].buffer;
        platform::LockedRegions regions;
        if (platform::LockSoundBuffer(buffer, 0, 0, &regions) != platform::kAudioOk) return {};
        const uint8_t* first = static_cast<const uint8_t*>(regions.first);
        std::vector<uint8_t> bytes(first, first + regions.firstBytes);
        platform::UnlockSoundBuffer(buffer, regions);
        return bytes;
    }
};

TEST_F(SoundPackTest, TheConverterWritesUpperCaseEntriesWithoutTheirFolder) {
    OpenDevice();
    const std::vector<uint8_t> shot = Samples16({1, -1, 2, -2});
    WriteWave("SE/shot.wav", 1, 22050, 16, shot);
    WriteWave("SE/Bell.WAV", 2, 44100, 8, {128, 130, 126, 128});
    WriteWave("SE/readme.txt", 1, 22050, 16, shot);  // not a *.WAV file
    ASSERT_TRUE(WriteBytes((folder / "SE" / "broken.wav").string(), {'R', 'I', 'F', 'F', 1, 0}));
    EXPECT_EQ(elSound::Convert("se.pak", "SE", 1), 1);
    EXPECT_EQ(Entries("se.pak"), (std::vector<std::string>{"BELL.WAV", "SHOT.WAV"}));

    elSound::SetPackName("se.pak");
    const SoundNo number = elSound::LoadPack("shot.wav", 3);
    ASSERT_EQ(number, 0);
    EXPECT_EQ(SoundObjects.objects[0].fromPack, 1);
    EXPECT_EQ(SoundObjects.objects[0].copyCount, 3);
    EXPECT_STREQ(SoundObjects.objects[0].name, "shot.wav");
    EXPECT_EQ(BufferBytes(0), shot);
    ASSERT_EQ(elSound::LoadPack("BELL.wav", 1), 1);
    EXPECT_EQ(SoundObjects.objects[1].defaultFrequency, 44100u);
    EXPECT_EQ(MessageCount(), 0u);
}

TEST_F(SoundPackTest, AppendedPacksKeepTheirFirstEntriesInFront) {
    OpenDevice();
    WriteWave("one/a.wav", 1, 22050, 16, Samples16({7, 7}));
    WriteWave("two/a.wav", 1, 22050, 16, Samples16({9, 9, 9}));
    WriteWave("two/b.wav", 1, 22050, 16, Samples16({5}));
    WriteWave("top.wav", 1, 8000, 8, {1, 2});
    elSound::Convert("all.pak", "one", 1);
    elSound::Convert("all.pak", "two", 0);
    elSound::Convert("all.pak", "", 0);
    EXPECT_EQ(Entries("all.pak"), (std::vector<std::string>{"A.WAV", "A.WAV", "B.WAV", "TOP.WAV"}));
    elSound::SetPackName("ALL.PAK");
    ASSERT_EQ(elSound::LoadPack("a.wav", 1), 0);
    EXPECT_EQ(BufferBytes(0), Samples16({7, 7}));
    ASSERT_EQ(elSound::LoadPack("top.wav", 1), 1);
    EXPECT_EQ(BufferBytes(1), (std::vector<uint8_t>{1, 2}));

    elSound::Convert("all.pak", "two", 1);  // fresh: the old records are gone
    EXPECT_EQ(Entries("all.pak"), (std::vector<std::string>{"A.WAV", "B.WAV"}));
}

TEST_F(SoundPackTest, MissingPacksEntriesAndLongNamesAreReported) {
    OpenDevice();
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : パックファイル名が指定されていません");
    elSound::SetPackName("none.pak");
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : パックファイル名が指定されていません");

    const std::string name30 = std::string(26, 'P') + ".WAV", name31 = std::string(27, 'P') + ".WAV";
    std::vector<uint8_t> pack = PackRecordBytes(name30, PcmFormatBlock(1, 22050, 16), Samples16({1, 2}));
    std::vector<uint8_t> more = PackRecordBytes(name31, PcmFormatBlock(1, 22050, 16), Samples16({3, 4}));
    pack.insert(pack.end(), more.begin(), more.end());
    ASSERT_TRUE(WriteBytes((folder / "p.pak").string(), pack));
    elSound::SetPackName("p.pak");
    EXPECT_EQ(elSound::LoadPack("absent.wav", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : WAVEファイルを読み込めません");
    EXPECT_EQ(elSound::LoadPack("a.wav", -11), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : ミックス数が多過ぎます");
    EXPECT_EQ(elSound::LoadPack(name30.c_str(), 1), 0);
    EXPECT_EQ(elSound::LoadPack(name31.c_str(), 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : ファイル名が長すぎます");
    EXPECT_EQ(SoundObjects.objects[1].inUse, 1);
    EXPECT_EQ(BufferBytes(1), Samples16({3, 4}));

    // A record whose data runs past the end of the pack is not read.
    pack.resize(pack.size() - 1);
    ASSERT_TRUE(WriteBytes((folder / "p.pak").string(), pack));
    EXPECT_EQ(elSound::LoadPack(name31.c_str(), 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : WAVEファイルを読み込めません");
    EXPECT_EQ(SoundObjects.objects[2].inUse, 0);
}

TEST_F(SoundPackTest, AFileThatCannotBeReadLeavesNoRecord) {
    OpenDevice();
    WriteWave("a.wav", 1, 22050, 16, Samples16({1}));
    ASSERT_TRUE(WriteBytes((folder / "bad.wav").string(), {'R', 'I', 'F', 'F'}));
    elSound::AppendToPack("x.pak", "BAD.WAV");
    elSound::AppendToPack("x.pak", "MISSING.WAV");
    EXPECT_TRUE(Entries("x.pak").empty());
    elSound::AppendToPack("x.pak", "A.WAV");
    EXPECT_EQ(Entries("x.pak"), (std::vector<std::string>{"A.WAV"}));
    EXPECT_EQ(ReadBytes((folder / "x.pak").string()).size(), 4u + 6 + 4 + 18 + 2);
}

TEST_F(SoundPackTest, PackObjectsAreReloadedFromTheSelectedPack) {
    OpenDevice();
    WriteWave("se/a.wav", 1, 22050, 16, Samples16({4, 4}));
    elSound::Convert("se.pak", "se", 1);
    elSound::SetPackName("se.pak");
    ASSERT_EQ(elSound::LoadPack("a.wav", 2), 0);
    elSound::SetVolume(0, -7, 1);
    elSound::Release();
    elSound::RestoreSounds();
    EXPECT_EQ(MessageCount(), 0u);
    EXPECT_EQ(SoundObjects.objects[0].fromPack, 1);
    EXPECT_EQ(BufferBytes(0), Samples16({4, 4}));
    EXPECT_EQ(platform::SoundBufferVolume(SoundObjects.objects[0].copies[1].buffer), -700);
}

}  // namespace
