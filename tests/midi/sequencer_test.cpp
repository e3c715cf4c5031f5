// The sequencer's command strings, its result codes, mode words and end reports, on the headless
// clock (no sound device) and pulled sample by sample as the mixer pulls it.
#include "platform/sequencer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/messages.h"
#include "platform/soft/sequencer_mix.h"
#include "platform/window.h"
#include "tests/midi/midi_builder.h"

namespace {

namespace fs = std::filesystem;
using platform::SendSequencerCommand;

class SequencerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::headless::Reset();
        folder = fs::temp_directory_path() / ("el_sequencer_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        piece = (folder / "short piece.mid").string();
        miditest::WriteFile(piece, miditest::ShortPiece());
    }
    void TearDown() override {
        SendSequencerCommand("close midi");
        platform::sequencer::SetMixed(false);
        Reports();
        fs::remove_all(folder);
    }

    uint32_t OpenPiece() {
        return SendSequencerCommand(("open \"" + piece + "\" type sequencer alias midi").c_str());
    }
    std::string Mode() {
        char answer[32] = "unset";
        EXPECT_EQ(SendSequencerCommand("status midi mode", answer, sizeof answer), 0u);
        return answer;
    }
    void Advance(uint32_t milliseconds) { platform::headless::Headless.clock += milliseconds; }
    // The notify codes of the end reports waiting in the queue, in order.
    std::vector<uintptr_t> Reports() {
        std::vector<uintptr_t> codes;
        platform::Message message;
        while (platform::PeekMessage(message))
            if (message.message == platform::MM_MCINOTIFY) codes.push_back(message.wParam);
        return codes;
    }

    fs::path folder;
    std::string piece;
};

TEST_F(SequencerTest, CommandsAnswerTheirResultCodes) {
    EXPECT_EQ(SendSequencerCommand(
                  ("open \"" + (folder / "none.mid").string() + "\" type sequencer alias midi").c_str()),
              platform::kSequencerFileNotFound);
    miditest::WriteFile((folder / "noise.mid").string(), {'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(SendSequencerCommand(
                  ("open \"" + (folder / "noise.mid").string() + "\" type sequencer alias midi").c_str()),
              platform::kSequencerInvalidFile);
    EXPECT_EQ(SendSequencerCommand("open \"unclosed type sequencer alias midi"),
              platform::kSequencerNoClosingQuote);
    EXPECT_EQ(SendSequencerCommand("play midi notify"), platform::kSequencerInvalidDeviceName);

    ASSERT_EQ(OpenPiece(), 0u);  // a path with a space, quoted
    EXPECT_EQ(OpenPiece(), platform::kSequencerDuplicateAlias);
    EXPECT_EQ(SendSequencerCommand("status other mode"), platform::kSequencerInvalidDeviceName);
    EXPECT_EQ(SendSequencerCommand("rewind midi"), platform::kSequencerUnrecognizedCommand);
    EXPECT_EQ(SendSequencerCommand("play midi loudly"), platform::kSequencerUnrecognizedKeyword);
    EXPECT_EQ(SendSequencerCommand("STATUS MIDI MODE"), 0u);  // words in any case
    char small[3];
    EXPECT_EQ(SendSequencerCommand("status midi mode", small, sizeof small), 0u);
    EXPECT_STREQ(small, "st");  // cut to its buffer with the NUL
}

TEST_F(SequencerTest, AMissingSoundFontFailsTheOpen) {
    platform::SetSequencerSoundFont((folder / "missing.sf2").c_str());
    EXPECT_EQ(OpenPiece(), platform::kSequencerCannotLoadDriver);
    platform::SetSequencerSoundFont("/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(OpenPiece(), 0u);
}

TEST_F(SequencerTest, ModesFollowPlayPauseResumeStopAndTheEnd) {
    ASSERT_EQ(OpenPiece(), 0u);
    EXPECT_EQ(Mode(), "stopped");
    EXPECT_EQ(SendSequencerCommand("seek midi to start"), 0u);
    EXPECT_EQ(SendSequencerCommand("play midi notify"), 0u);
    EXPECT_EQ(Mode(), "playing");
    Advance(500);
    EXPECT_EQ(SendSequencerCommand("pause midi"), 0u);
    EXPECT_EQ(Mode(), "paused");
    Advance(10000);  // paused time does not count
    EXPECT_EQ(SendSequencerCommand("resume midi"), 0u);
    Advance(1499);
    EXPECT_EQ(Mode(), "playing");
    EXPECT_TRUE(Reports().empty());
    Advance(1);
    EXPECT_EQ(Reports(), std::vector<uintptr_t>{platform::kNotifySuccessful});
    EXPECT_EQ(Mode(), "stopped");
    char position[32];
    SendSequencerCommand("status midi position", position, sizeof position);
    EXPECT_STREQ(position, "2000");  // milliseconds: a finished piece stands at its end
}

TEST_F(SequencerTest, NotifiesThatDoNotReachTheEndAreSupersededOrAborted) {
    ASSERT_EQ(OpenPiece(), 0u);
    SendSequencerCommand("play midi notify");
    SendSequencerCommand("play midi notify");
    EXPECT_EQ(Reports(), std::vector<uintptr_t>{platform::kNotifySuperseded});
    SendSequencerCommand("stop midi");
    EXPECT_EQ(Reports(), std::vector<uintptr_t>{platform::kNotifyAborted});
    SendSequencerCommand("play midi notify");
    SendSequencerCommand("close midi");
    EXPECT_EQ(Reports(), std::vector<uintptr_t>{platform::kNotifyAborted});
    Advance(5000);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(SendSequencerCommand("status midi mode"), platform::kSequencerInvalidDeviceName);
}

// Root mean square of each 50 ms window of one channel.
std::vector<double> Envelope(const std::vector<float>& stereo, size_t firstFrame, size_t frames) {
    std::vector<double> windows;
    constexpr size_t kWindow = 2400;
    for (size_t start = firstFrame; start + kWindow <= firstFrame + frames; start += kWindow) {
        double sum = 0;
        for (size_t i = start; i < start + kWindow; ++i) sum += double(stereo[2 * i]) * stereo[2 * i];
        windows.push_back(std::sqrt(sum / kWindow));
    }
    return windows;
}

TEST_F(SequencerTest, PulledByTheMixerItSoundsReportsAtTheEndAndRepeatsTheSamePass) {
    platform::sequencer::SetMixed(true);
    ASSERT_EQ(OpenPiece(), 0u);
    SendSequencerCommand("seek midi to start");
    SendSequencerCommand("play midi notify");
    constexpr uint32_t kBlock = 480;    // 10 ms at 48000 Hz
    constexpr size_t kFrames = 187200;  // 3.9 s: the first pass and most of the second
    std::vector<float> out(2 * kFrames, 0.0f);
    size_t reportFrame = 0;
    for (size_t frame = 0; frame < kFrames; frame += kBlock) {
        // The clock stands still: only the pulled samples move the piece on.
        platform::sequencer::Mix(out.data() + 2 * frame, kBlock, 2, 48000, 1.0f);
        if (!Reports().empty()) {
            ASSERT_EQ(reportFrame, 0u) << "one report for one pass";
            reportFrame = frame + kBlock;
            SendSequencerCommand("seek midi to start");
            SendSequencerCommand("play midi notify");
        }
    }
    EXPECT_EQ(reportFrame, 96000u);  // the end of the two-second piece, to the block

    const std::vector<double> first = Envelope(out, 0, 72000);
    const std::vector<double> second = Envelope(out, 96000, 72000);
    double loudest = 0;
    for (double level : first) loudest = std::max(loudest, level);
    EXPECT_GT(loudest, 0.01);         // about -40 dB full scale or louder
    EXPECT_GT(first.front(), 0.001);  // sound from the first window on
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_NEAR(20 * std::log10(second[i] / first[i]), 0.0, 0.5) << "window " << i;
    for (float sample : out) ASSERT_LE(std::fabs(sample), 1.0f);
}

}  // namespace
