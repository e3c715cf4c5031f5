// Failed sound loads say on standard error, and the same in the debug log, what failed, the name
// as given, why and where it was looked for; a missing MIDI piece or sound font is said once however
// often it is asked for.
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound/elsound.h"
#include "engine/sound/midi.h"
#include "engine/sound/sound_objects.h"
#include "engine/sound/streaming.h"
#include "platform/audio.h"
#include "platform/sequencer.h"
#include "platform/soft/midi_file.h"
#include "tests/midi/midi_builder.h"
#include "tests/shell/load_lines_fixture.h"

namespace {

class SoundLoadLinesTest : public LoadFailureLinesTest {
  protected:
    void TearDown() override {
        MidiAbort();
        LoadFailureLinesTest::TearDown();
    }
};

TEST_F(SoundLoadLinesTest, ASoundSaysWhyItsFileOrPackEntryGaveNothing) {
    EXPECT_EQ(LineOf([] { EXPECT_EQ(elSound::LoadObject("absent.wav", 1), -1); },
                     "elSound::LoadObject : WAVEリソースが見つかりません"),
              "elSound::LoadObject: absent.wav: cannot be read: not found; no resource of that name (" +
                  Path("absent.wav") + ")\n");
    Write("text.wav", "RIFX and then some");
    EXPECT_EQ(LineOf([] { EXPECT_EQ(elSound::LoadObject("text.wav", 1), -1); },
                     "elSound::LoadObject : WAVEリソースが見つかりません"),
              "elSound::LoadObject: text.wav: not a WAVE file: " +
                  std::string(platform::WaveErrorText(platform::WaveError::kNotRiff)) +
                  "; no resource of that name (" + Path("text.wav") + ")\n");
    elSound::SetPackName("absent.pak");
    EXPECT_EQ(
        LineOf([] { EXPECT_EQ(elSound::LoadPack("shot.wav", 1), -1); },
               "elSound::LoadPack : パックファイル名が指定されていません"),
        "elSound::LoadPack: shot.wav: pack file cannot be read: not found (" + Path("absent.pak") + ")\n");
    Write("empty.pak", "");
    elSound::SetPackName("empty.pak");
    EXPECT_EQ(
        LineOf([] { EXPECT_EQ(elSound::LoadStream("shot.wav", 0), -1); },
               "elSound::LoadStream : WAVEファイルを読み込めません"),
        "elSound::LoadStream: shot.wav: no entry of that name in the pack (" + Path("empty.pak") + ")\n");
}

TEST_F(SoundLoadLinesTest, AMissingOrBrokenMidiPieceAndAMissingSoundFontAreSaidOnce) {
    // The result of the play stays what it was: the piece is not open.
    const std::string missing =
        "MidiPlay: absent.mid: cannot be read: not found (" + Path("absent.mid") + ")\n";
    EXPECT_EQ(LineOf([] { EXPECT_EQ(MidiPlay("absent.mid", 1), 263); }, ""), missing);
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(MidiPlay("absent.mid", 1), 263);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    Write("notes.mid", "MTrk not a header");
    EXPECT_EQ(LineOf([] { MidiPlay("notes.mid", 0); }, ""),
              "MidiPlay: notes.mid: not a MIDI file: " +
                  std::string(platform::midi::MidiFileErrorText(platform::midi::MidiFileError::kNotMidi)) +
                  " (" + Path("notes.mid") + ")\n");

    miditest::Track track;
    track.Event(0, {0x90, 60, 100}).Event(96, {0x80, 60, 0}).End(0);
    const std::vector<uint8_t> piece = miditest::File(0, 96, {track});
    Write("tune.mid", std::string(piece.begin(), piece.end()));
    Write("other.mid", std::string(piece.begin(), piece.end()));
    const std::string font = platform::SequencerSoundFont();
    platform::SetSequencerSoundFont(Path("absent.sf2").c_str());
    EXPECT_EQ(LineOf([] { EXPECT_EQ(MidiPlay("tune.mid", 1), 263); }, ""),
              "MidiPlay: tune.mid: the synthesizer cannot load its sound font: cannot be read: not found (" +
                  Path("absent.sf2") + ")\n");
    testing::internal::CaptureStderr();
    MidiPlay("tune.mid", 1);
    MidiPlay("other.mid", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    platform::SetSequencerSoundFont(font.c_str());
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(SoundLoadLinesTest, AHugeMidiFileIsRefusedWithoutBeingReadWhole) {
    // A gigabyte that starts as a MIDI file (the rest is a hole): explaining why it is not played
    // must not read it all into memory, as the sequencer itself does not.
    miditest::Track track;
    track.Event(0, {0x90, 60, 100}).Event(96, {0x80, 60, 0}).End(0);
    const std::vector<uint8_t> piece = miditest::File(0, 96, {track});
    Write("huge.mid", std::string(piece.begin(), piece.end()));
    std::filesystem::resize_file(Path("huge.mid"), uint64_t{1} << 30);
    const long before = PeakResidentKiB();
    EXPECT_EQ(LineOf([] { EXPECT_EQ(MidiPlay("huge.mid", 0), 263); }, ""),
              "MidiPlay: huge.mid: larger than the sequencer reads (" + Path("huge.mid") + ")\n");
    EXPECT_LT(PeakResidentKiB() - before, 256 * 1024);

    std::vector<uint8_t> bytes;
    EXPECT_TRUE(platform::midi::ReadMidiFileBytes("huge.mid", bytes));
    EXPECT_GT(bytes.size(), platform::midi::kLargestMidiFile);
    EXPECT_LE(bytes.size(), platform::midi::kLargestMidiFile + 65536);
    std::filesystem::resize_file(Path("huge.mid"), platform::midi::kLargestMidiFile);
    EXPECT_TRUE(platform::midi::ReadMidiFileBytes("huge.mid", bytes));
    EXPECT_EQ(bytes.size(), platform::midi::kLargestMidiFile);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + piece.size()), piece);
}

}  // namespace
