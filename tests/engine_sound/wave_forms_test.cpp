// WAVE files as editors write them, through every loader: data that ends inside a sample frame,
// PCM format chunks longer than 16 bytes, extensible PCM, and the reason written beside a refusal.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/present.h"
#include "tests/engine_sound/sound_fixture.h"

namespace {

using namespace wavetest;

// A RIFF/WAVE image of a "fmt " chunk holding `format` and a "data" chunk holding `data`.
std::vector<uint8_t> Riff(const std::vector<uint8_t>& format, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    PutText(out, "RIFF");
    Put32(out, 0);
    PutText(out, "WAVEfmt ");
    Put32(out, static_cast<uint32_t>(format.size()));
    out.insert(out.end(), format.begin(), format.end());
    if (format.size() & 1) out.push_back(0);
    PutText(out, "data");
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
    const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return out;
}

// The 16 bytes of a PCM format record, followed by `tail`.
std::vector<uint8_t> Pcm(int channels, int bits, const std::vector<uint8_t>& tail = {}) {
    std::vector<uint8_t> f = PcmFormatBlock(channels, 22050, bits);
    f.resize(16);
    f.insert(f.end(), tail.begin(), tail.end());
    return f;
}

// WAVE_FORMAT_EXTENSIBLE: the record with tag 0xFFFE, then size 22, valid bits, channel mask and
// the sub-format (PCM's, or IEEE float's with `pcm` false).
std::vector<uint8_t> Extensible(int channels, int bits, bool pcm) {
    std::vector<uint8_t> f = Pcm(channels, bits, {22, 0, static_cast<uint8_t>(bits), 0, 3, 0, 0, 0});
    f[0] = 0xFE;
    f[1] = 0xFF;
    const uint8_t guid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    f.insert(f.end(), guid, guid + 16);
    if (!pcm) f[24] = 3;
    return f;
}

class WaveFormsTest : public SoundTest {
  protected:
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::filesystem::create_directories((folder / name).parent_path());
        ASSERT_TRUE(WriteBytes((folder / name).string(), bytes));
    }
};

TEST_F(WaveFormsTest, FilesAsEditorsWriteThemLoadFromFilesPacksAndResources) {
    OpenDevice();
    const std::vector<uint8_t> frames = Samples16({100, -100, 200, -200, 300, -300});  // 3 stereo frames
    std::vector<uint8_t> ragged = frames;
    ragged.insert(ragged.end(), {7, 7, 7});  // and three bytes of a fourth
    struct Case {
        const char* name;
        std::vector<uint8_t> format, data, expected;
    } cases[] = {
        {"RAGGED.WAV", Pcm(2, 16), ragged, frames},
        {"COUNT0.WAV", Pcm(2, 16, {0, 0}), frames, frames},
        {"COUNT2.WAV", Pcm(2, 16, {2, 0, 9, 9}), frames, frames},
        {"BOGUS.WAV", Pcm(2, 16, {0x34, 0x12}), frames, frames},  // a count PCM never reads
        {"EXT16.WAV", Extensible(2, 16, true), frames, frames},
        {"EXT8.WAV", Extensible(1, 8, true), {0x80, 0x90, 0xA0}, {0x80, 0x90, 0xA0}},
    };
    for (const Case& c : cases) Write(std::string("waves/") + c.name, Riff(c.format, c.data));

    ASSERT_EQ(elSound::Convert("forms.pak", "waves", 1), 1);
    elSound::SetPackName("forms.pak");
    static std::vector<std::vector<uint8_t>> images;
    static platform::Resource table[6];
    images.clear();
    for (const Case& c : cases) images.push_back(Riff(c.format, c.data));
    for (size_t i = 0; i < 6; ++i) table[i] = {cases[i].name, images[i].data(), images[i].size()};
    platform::RegisterResources(table, 6);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = std::string("waves\\") + c.name;
        const SoundNo fromFile = elSound::LoadObject(file.c_str(), 1);
        const SoundNo fromPack = elSound::LoadPack(c.name, 1);
        const SoundNo fromResource = elSound::LoadObject(c.name, 1);  // no such file: the resource
        for (SoundNo number : {fromFile, fromPack, fromResource}) {
            ASSERT_GE(number, 0);
            EXPECT_EQ(CopyBytes(number), c.expected);
            EXPECT_EQ(SoundObjects.objects[number].defaultFrequency, 22050u);
        }
    }
    platform::RegisterResources(nullptr, 0);
    EXPECT_EQ(MessageCount(), 0u) << LastMessage();

    // Every record of the pack is plain PCM with an 18-byte format block.
    const std::vector<uint8_t> pack = ReadBytes((folder / "forms.pak").string());
    size_t at = 0;
    int records = 0;
    while (at + 4 <= pack.size()) {
        const uint32_t dataSize = pack[at] | pack[at + 1] << 8 | pack[at + 2] << 16 | pack[at + 3] << 24;
        at += 4;
        while (at < pack.size() && pack[at] != 0) ++at;
        ++at;
        ASSERT_LE(at + 6, pack.size());
        EXPECT_EQ(pack[at], 18);     // format size
        EXPECT_EQ(pack[at + 4], 1);  // format tag
        at += 4 + 18 + dataSize;
        ++records;
    }
    EXPECT_EQ(records, 6);
}

TEST_F(WaveFormsTest, ARefusalKeepsItsMessageAndNamesTheReasonOnStandardError) {
    OpenDevice();
    Write("float.wav", Riff(Extensible(2, 32, false), std::vector<uint8_t>(16, 0)));
    Write("wide.wav", Riff(Pcm(1, 24), std::vector<uint8_t>(6, 0)));
    Write("crumb.wav", Riff(Pcm(2, 16), {1, 2, 3}));  // not one whole frame
    std::vector<uint8_t> cut = Riff(Pcm(1, 16), {1, 2});
    cut.resize(cut.size() - 4);  // the data chunk runs past the end
    Write("cut.wav", cut);
    struct Case {
        const char* name;
        const char* message;
        const char* reason;
    } cases[] = {
        {"float.wav", "サウンドバッファが生成できません", "extensible"},
        {"wide.wav", "サウンドバッファが生成できません", "8 or 16 bits"},
        {"crumb.wav", "サウンドバッファが生成できません", "no whole sample frame"},
        {"cut.wav", "WAVEリソースが見つかりません", "truncated"},
        {"absent.wav", "WAVEリソースが見つかりません", "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(elSound::LoadObject(c.name, 1), -1);
        const std::string written = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(LastMessage(), std::string("elSound::LoadObject : ") + c.message);
        EXPECT_NE(written.find(std::string("elSound::LoadObject: ") + c.name + ": "), std::string::npos)
            << written;
        EXPECT_NE(written.find(c.reason), std::string::npos) << written;
    }
    EXPECT_EQ(platform::soft::DeviceMixer().BufferCount(), 0);
}

}  // namespace
