// MIDI music as a scene uses it: pieces played once or repeated through the window procedure's
// end report, stopped loops, replaced pieces and long names, without a sound device.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/sound/midi.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/sequencer.h"
#include "tests/midi/midi_builder.h"
#include "tests/shell/shell_fixture.h"

namespace {

namespace fs = std::filesystem;

class MidiMusicTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        folder = fs::temp_directory_path() / ("el_midi_music_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        miditest::WriteFile((folder / "two seconds.mid").string(), miditest::ShortPiece());
        std::string program = (folder / "game").string();
        for (char& c : program)
            if (c == '/') c = '\\';
        platform::SetModuleFileNameForTesting(program.c_str());
        Paths = PathState{};
        MidiInit();
    }
    void TearDown() override {
        MidiAbort();
        Drain();
        platform::SetModuleFileNameForTesting("");
        fs::remove_all(folder);
        ShellTest::TearDown();
    }

    // Lets `milliseconds` of the headless clock pass and handles what the window is sent.
    void Pass(uint32_t milliseconds) {
        headless.clock += milliseconds;
        Drain();
    }
    std::string Mode() {
        char answer[32] = {};
        if (platform::SendSequencerCommand("status midi mode", answer, sizeof answer) != 0) return "closed";
        return answer;
    }

    fs::path folder;
};

TEST_F(MidiMusicTest, APiecePlayedOnceClosesAtItsEnd) {
    EXPECT_EQ(MidiPlay("two seconds.mid", 0), 0);  // the space in the name is quoted
    EXPECT_EQ(Midi.open, 1);
    EXPECT_EQ(Mode(), "playing");
    Pass(1999);
    EXPECT_EQ(Midi.open, 1);
    Pass(1);
    EXPECT_EQ(Midi.open, 0);
    EXPECT_EQ(Mode(), "closed");
}

TEST_F(MidiMusicTest, ALoopedPieceRestartsUntilTheLoopIsStopped) {
    ASSERT_EQ(MidiPlay("two seconds.mid", 1), 0);
    for (int pass = 0; pass < 3; ++pass) {
        Pass(2000);
        EXPECT_EQ(Midi.open, 1) << pass;
        EXPECT_EQ(Mode(), "playing") << pass;
    }
    Pass(1000);
    MidiStopLoop();
    EXPECT_EQ(Mode(), "playing");  // the pass that plays ends normally
    Pass(1000);
    EXPECT_EQ(Midi.open, 0);
    EXPECT_EQ(Mode(), "closed");
}

TEST_F(MidiMusicTest, ASecondPlayClosesTheFirstPieceBeforeOpeningItsOwn) {
    miditest::WriteFile((folder / "other.mid").string(), miditest::ShortPiece());
    ASSERT_EQ(MidiPlay("two seconds.mid", 0), 0);
    Pass(1500);
    // The second open would be refused while the first piece is still open under the alias.
    EXPECT_EQ(MidiPlay("other.mid", 0), 0);
    EXPECT_EQ(Mode(), "playing");
    Pass(1999);  // the second piece runs its own two seconds: the first one's end does not count
    EXPECT_EQ(Midi.open, 1);
    Pass(1);
    EXPECT_EQ(Midi.open, 0);
}

TEST_F(MidiMusicTest, AnEndReportOfAPieceRestartedMeanwhileDoesNothing) {
    ASSERT_EQ(MidiPlay("two seconds.mid", 0), 0);
    headless.clock += 2000;
    platform::SendSequencerCommand("status midi mode");  // the sequencer notices the end; the report waits
    ASSERT_EQ(platform::SendSequencerCommand("seek midi to start"), 0u);
    ASSERT_EQ(platform::SendSequencerCommand("play midi"), 0u);
    Drain();  // the report comes while the mode is "playing"
    EXPECT_EQ(Midi.open, 1);
    EXPECT_EQ(Mode(), "playing");
}

TEST_F(MidiMusicTest, ReportsOtherThanSuccessAndReportsWhileClosedAreIgnored) {
    ASSERT_EQ(MidiPlay("two seconds.mid", 1), 0);
    Pass(500);
    platform::SendSequencerCommand("stop midi");  // the sequencer reports the notify as aborted
    Drain();
    EXPECT_EQ(Mode(), "stopped");  // a stopped mode, but the report was not a success
    Send(platform::MM_MCINOTIFY, platform::kNotifyFailure, 1);
    EXPECT_EQ(Mode(), "stopped");
    MidiClose();
    Send(platform::MM_MCINOTIFY, platform::kNotifySuccessful, 1);
    EXPECT_EQ(Midi.open, 0);
    EXPECT_EQ(Mode(), "closed");
}

TEST_F(MidiMusicTest, AJapaneseNameOpensBelowAProgramFolderNamedOutsideAscii) {
    const fs::path program = folder / fs::path(u8"Jürgen ゲーム");
    fs::create_directories(program / fs::path(u8"曲ソ"));
    miditest::WriteFile((program / fs::path(u8"曲ソ/ソード表.mid")).string(), miditest::ShortPiece());
    std::string module = (program / "game").string();
    for (char& c : module)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(module.c_str());
    EXPECT_EQ(MidiPlay("曲ソ\\ソード表.mid", 0), 0);
    EXPECT_EQ(Mode(), "playing");
    EXPECT_NE(MidiPlay(nullptr, 0), 0);  // no name opens nothing
}

TEST_F(MidiMusicTest, ANameBeyondTheCommandBoundOpensNothing) {
    const std::string name(300, 'a');
    EXPECT_NE(MidiPlay(name.c_str(), 1), 0);
    EXPECT_EQ(Midi.open, 1);  // flags as after a start, as for a file that cannot be opened
    EXPECT_EQ(Mode(), "closed");
    MidiClose();
    EXPECT_EQ(Midi.open, 0);
    EXPECT_EQ(MidiPlay("two seconds.mid", 0), 0);
}

// Peak of the left channel in each 100 ms of 16-bit stereo output.
std::vector<int> Peaks(const std::vector<int16_t>& stereo, size_t firstFrame, size_t frames) {
    std::vector<int> peaks;
    for (size_t start = firstFrame; start + 4800 <= firstFrame + frames; start += 4800) {
        int peak = 0;
        for (size_t i = start; i < start + 4800; ++i) peak = std::max(peak, std::abs(int(stereo[2 * i])));
        peaks.push_back(peak);
    }
    return peaks;
}

TEST_F(MidiMusicTest, ThroughTheSoundDeviceALoopedPieceSoundsRepeatsAndEndsAfterItsLoopIsStopped) {
    ASSERT_TRUE(platform::OpenAudioDevice());
    ASSERT_EQ(MidiPlay("two seconds.mid", 1), 0);
    constexpr uint32_t kBlock = 480;  // 10 ms at 48000 Hz
    std::vector<int16_t> out(2 * 48000 * 6);
    size_t closedAt = 0;
    for (size_t frame = 0; frame < 48000 * 6; frame += kBlock) {
        if (frame == 48000 * 3) MidiStopLoop();  // during the second pass
        platform::headless::RenderAudio(out.data() + 2 * frame, kBlock);
        Drain();  // the end report reaches the window procedure between frames
        if (closedAt == 0 && Midi.open == 0) closedAt = frame + kBlock;
    }
    platform::CloseAudioDevice();
    EXPECT_EQ(closedAt, 2u * 96000);  // two passes of two seconds, then closed

    const std::vector<int> first = Peaks(out, 0, 72000), second = Peaks(out, 96000, 72000);
    EXPECT_GT(*std::max_element(first.begin(), first.end()), 300);  // about -40 dB or louder
    for (size_t i = 0; i < first.size(); ++i) EXPECT_NEAR(second[i], first[i], first[i] / 10 + 2) << i;
    int after = 0;
    for (size_t i = 2 * (2 * 96000 + 48000); i < out.size(); ++i)
        after = std::max(after, std::abs(int(out[i])));
    EXPECT_LT(after, 30) << "silence a second after the end";
}

}  // namespace
