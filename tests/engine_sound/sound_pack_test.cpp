// WAVE packs built by the converter and loaded by entry name: folders left out of entry names,
// appended packs, unreadable files, missing packs and entries, long names and reloading.
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "engine/sound/wave_pack.h"
#include "tests/engine_sound/sound_fixture.h"
#include "tests/support/run_program.h"
#include "tests/support/write_failures.h"

namespace {

using namespace wavetest;

class SoundPackTest : public SoundTest {
  protected:
};

TEST_F(SoundPackTest, TheConverterWritesUpperCaseEntriesWithoutTheirFolder) {
    OpenDevice();
    const std::vector<uint8_t> shot = Samples16({1, -1, 2, -2});
    WriteWave("SE/shot.wav", 1, 22050, 16, shot);
    WriteWave("SE/Bell.WAV", 2, 44100, 8, {128, 130, 126, 128});
    WriteWave("SE/readme.txt", 1, 22050, 16, shot);  // not a *.WAV file
    ASSERT_TRUE(WriteBytes((folder / "SE" / "broken.wav").string(), {'R', 'I', 'F', 'F', 1, 0}));
    EXPECT_EQ(elSound::Convert("se.pak", "SE", 1), 1);
    EXPECT_EQ(PackEntries(folder / "se.pak"), (std::vector<std::string>{"BELL.WAV", "SHOT.WAV"}));

    elSound::SetPackName("se.pak");
    const SoundNo number = elSound::LoadPack("shot.wav", 3);
    ASSERT_EQ(number, 0);
    EXPECT_EQ(SoundObjects.objects[0].fromPack, 1);
    EXPECT_EQ(SoundObjects.objects[0].copyCount, 3);
    EXPECT_STREQ(SoundObjects.objects[0].name, "shot.wav");
    EXPECT_EQ(CopyBytes(0), shot);
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
    EXPECT_EQ(PackEntries(folder / "all.pak"),
              (std::vector<std::string>{"A.WAV", "A.WAV", "B.WAV", "TOP.WAV"}));
    elSound::SetPackName("ALL.PAK");
    ASSERT_EQ(elSound::LoadPack("a.wav", 1), 0);
    EXPECT_EQ(CopyBytes(0), Samples16({7, 7}));
    ASSERT_EQ(elSound::LoadPack("top.wav", 1), 1);
    EXPECT_EQ(CopyBytes(1), (std::vector<uint8_t>{1, 2}));

    elSound::Convert("all.pak", "two", 1);  // fresh: the old records are gone
    EXPECT_EQ(PackEntries(folder / "all.pak"), (std::vector<std::string>{"A.WAV", "B.WAV"}));
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
    EXPECT_EQ(CopyBytes(1), Samples16({3, 4}));

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
    EXPECT_TRUE(PackEntries(folder / "x.pak").empty());
    elSound::AppendToPack("x.pak", "A.WAV");
    EXPECT_EQ(PackEntries(folder / "x.pak"), (std::vector<std::string>{"A.WAV"}));
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
    EXPECT_EQ(CopyBytes(0), Samples16({4, 4}));
    EXPECT_EQ(platform::SoundBufferVolume(SoundObjects.objects[0].copies[1].buffer), -700);
}

// Sounds named in Japanese, in a folder named in Japanese, below a program folder whose own name
// is not ASCII. ソ and 表 end in the byte of "\\", ポ in "|", ヂ in "a"; ａ is a full-width letter.
class JapaneseSoundPackTest : public SoundPackTest {
  protected:
    void SetUp() override {
        SoundPackTest::SetUp();
        base = folder;
        folder = base / std::filesystem::path(u8"Jürgen_ゲーム");
        std::filesystem::create_directories(folder / std::filesystem::path(u8"音ソ"));
        std::string program = (folder / "program").string();
        for (char& c : program)
            if (c == '/') c = '\\';
        platform::SetModuleFileNameForTesting(program.c_str());
    }
    void TearDown() override {
        SoundPackTest::TearDown();
        std::filesystem::remove_all(base);
    }
    std::filesystem::path Sounds(const char8_t* name) const {
        return folder / std::filesystem::path(u8"音ソ") / name;
    }
    // Writes a short sound whose samples are the given values.
    void WriteSound(const char8_t* name, std::vector<int16_t> samples) {
        ASSERT_TRUE(WriteBytes(Sounds(name).string(), WaveFile(1, 22050, 16, Samples16(samples))));
    }
    // Loads each entry (any case) and checks that it holds its own sound.
    void ExpectEachLoads(const std::vector<std::pair<const char*, int16_t>>& entries) {
        for (const auto& [name, first] : entries) {
            SCOPED_TRACE(name);
            const SoundNo number = elSound::LoadPack(name, 1);
            ASSERT_GE(number, 0);
            EXPECT_EQ(CopyBytes(number), Samples16({first, first}));
            elSound::FreeObject(number);
        }
    }

    std::filesystem::path base;
};

TEST_F(JapaneseSoundPackTest, TheConverterAndAppendNameEntriesByTheirWholeLastCharacters) {
    OpenDevice();
    WriteSound(u8"ソード.wav", {1, 1});
    WriteSound(u8"表.wav", {2, 2});
    WriteSound(u8"ソ.wav", {3, 3});
    WriteSound(u8"ポヂａ.wav", {4, 4});
    WriteSound(u8"Jürgen.wav", {5, 5});  // no Shift-JIS form: left out, with a message
    EXPECT_EQ(elSound::Convert("音.pak", "音ソ", 1), 1);
    EXPECT_EQ(PackEntries(folder / std::filesystem::path(u8"音.pak")),
              (std::vector<std::string>{"ソ.WAV", "ソード.WAV", "ポヂａ.WAV", "表.WAV"}));
    ASSERT_EQ(MessageCount(), 1u);
    EXPECT_EQ(LastMessage(), "elSound::Convert : シフトJISで表せないファイル名です (J?rgen.wav)");

    elSound::AppendToPack("音.pak", "音ソ\\表.wav");
    EXPECT_EQ(PackEntries(folder / std::filesystem::path(u8"音.pak")).back(), "表.wav");
    elSound::SetPackName("音.pak");
    ExpectEachLoads({{"ソード.wav", 1}, {"表.WAV", 2}, {"ソ.wav", 3}, {"ポヂａ.wav", 4}});
    // The same names stream from the pack and load from their files.
    const SoundNo streamed = elSound::LoadStream("ソード.WAV", 0);
    EXPECT_GE(streamed, 0);
    elSound::FreeObject(streamed);
    const SoundNo file = elSound::LoadObject("音ソ\\ポヂａ.WAV", 1);
    ASSERT_GE(file, 0);
    EXPECT_EQ(CopyBytes(file), Samples16({4, 4}));
    EXPECT_EQ(MessageCount(), 1u);
}

TEST_F(JapaneseSoundPackTest, EltoolPacksAJapaneseFolderListsItReadablyAndEveryEntryLoads) {
    OpenDevice();
    WriteSound(u8"ソード.wav", {1, 1});
    WriteSound(u8"表.wav", {2, 2});
    WriteSound(u8"ソ.wav", {3, 3});
    const std::string pack = (folder / std::filesystem::path(u8"効果音.pak")).string();
    const std::string sounds = (folder / std::filesystem::path(u8"音ソ")).string();
    auto run = [](const std::vector<std::string>& arguments, std::string* output) {
        const testsupport::ProgramRun result = testsupport::RunProgram(ELTOOL_PATH, arguments);
        if (output != nullptr) *output = result.out;
        return result.status;
    };
    ASSERT_EQ(run({"pack-waves", pack, sounds, "--fresh"}, nullptr), 0);
    EXPECT_EQ(PackEntries(pack), (std::vector<std::string>{"ソ.WAV", "ソード.WAV", "表.WAV"}));
    std::string listed;
    ASSERT_EQ(run({"list-wave-pack", pack}, &listed), 0);
    const std::u8string expected =
        u8"ソ.WAV\t1\t22050\t16\t4\nソード.WAV\t1\t22050\t16\t4\n表.WAV\t1\t22050\t16\t4\n";
    EXPECT_EQ(listed, std::string(expected.begin(), expected.end()));

    elSound::SetPackName("効果音.pak");
    ExpectEachLoads({{"ソード.wav", 1}, {"表.wav", 2}, {"ソ.wav", 3}});
    EXPECT_EQ(MessageCount(), 0u);
}

TEST_F(SoundPackTest, OperationsGivenNoNameRefuseLikeAnEmptyName) {
    OpenDevice();
    WriteShortWave("a.wav");
    EXPECT_EQ(elSound::Convert("se.pak", "", 1), 1);
    EXPECT_EQ(elSound::Convert(nullptr, nullptr, 1), elSound::Convert("", "", 1));
    elSound::AppendToPack(nullptr, nullptr);
    elSound::AppendToPack("se.pak", nullptr);
    EXPECT_EQ(elSound::LoadObject(nullptr, 1), -1);
    EXPECT_EQ(elSound::LoadObject("", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : WAVEリソースが見つかりません");
    elSound::SetPackName("se.pak");
    EXPECT_EQ(elSound::LoadPack(nullptr, 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadPack : WAVEファイルを読み込めません");
    EXPECT_EQ(elSound::LoadStream(nullptr, 0), -1);
    elSound::SetPackName(nullptr);
    EXPECT_EQ(elSound::LoadPack("A.WAV", 1), -1);  // the program folder itself is no pack
    EXPECT_EQ(PackEntries(folder / "se.pak"), (std::vector<std::string>{"A.WAV"}));
    elSound::PlayWaveSync(nullptr);
    // Nothing was handed out by the refusals.
    elSound::SetPackName("se.pak");
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), 0);
}

}  // namespace

namespace {

using namespace wavetest;

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A pack is replaced only by a whole new one: records that do not fit on the disk (a file-size
// limit stands in for a full one) or a folder that takes no file leave the old pack byte for byte
// and nothing beside it, whether appending or starting afresh; standard error and the debug log
// say what failed, and Convert still returns 1.
TEST_F(SoundPackTest, APackThatCannotBeWrittenStaysAsItWas) {
    WriteWave("small/a.wav", 1, 22050, 16, Samples16({1, 2, 3}));
    std::vector<int16_t> loud(60000, 1000);
    WriteWave("big/b.wav", 1, 22050, 16, Samples16(loud));
    WriteWave("big/c.wav", 1, 22050, 16, Samples16({4}));
    ASSERT_EQ(elSound::Convert("se.pak", "small", 1), 1);
    const std::vector<uint8_t> old = ReadAll(folder / "se.pak");
    ASSERT_EQ(PackEntries(folder / "se.pak"), std::vector<std::string>{"A.WAV"});
    const std::set<std::string> names = testsupport::FolderNames(folder);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder);  // where the debug log goes

    for (int fresh : {0, 1}) {
        testing::internal::CaptureStderr();
        const int converted = testsupport::WithFileSizeLimit(
            64 * 1024, [&] { return elSound::Convert("se.pak", "big", fresh); });
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(converted, 1);
        EXPECT_EQ(said.rfind("elSound::Convert: se.pak: cannot write it whole (", 0), 0u) << said;
        EXPECT_EQ(ReadAll(folder / "se.pak"), old) << fresh;
    }
    testing::internal::CaptureStderr();
    testsupport::WithFileSizeLimit(64 * 1024, [&] {
        elSound::AppendToPack("se.pak", "BIG\\B.WAV");
        return 0;
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("elSound::AppendToPack: se.pak: cannot write", 0),
              0u);
    EXPECT_EQ(ReadAll(folder / "se.pak"), old);
    std::filesystem::current_path(here);
    std::ifstream log(folder / "DEBUG.TXT");
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_EQ(line.rfind("elSound::Convert: se.pak: cannot write it whole (", 0), 0u) << line;
    std::filesystem::remove(folder / "DEBUG.TXT");
    EXPECT_EQ(testsupport::FolderNames(folder), names);
    EXPECT_EQ(MessageCount(), 0u);  // no box: the caller's result is as it always was

    const int refused = testsupport::InReadOnlyFolder(folder, [&] {
        testing::internal::CaptureStderr();
        elSound::Convert("se.pak", "big", 0);
        elSound::Convert("se.pak", "big", 1);
        const std::string said = testing::internal::GetCapturedStderr();
        const bool told = said.find("se.pak: cannot create a file in its folder") != std::string::npos;
        return told && ReadAll(folder / "se.pak") == old ? 0 : 1;
    });
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(testsupport::FolderNames(folder), names);

    // With room, the same conversion appends behind the old records.
    ASSERT_EQ(elSound::Convert("se.pak", "big", 0), 1);
    EXPECT_EQ(PackEntries(folder / "se.pak"), (std::vector<std::string>{"A.WAV", "B.WAV", "C.WAV"}));
    const std::vector<uint8_t> grown = ReadAll(folder / "se.pak");
    EXPECT_TRUE(std::equal(old.begin(), old.end(), grown.begin()));
}

}  // namespace
