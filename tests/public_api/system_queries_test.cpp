// What a scene reads and sets of elSystem, the text module and the MIDI music through the public
// interface: scene numbers, the frame count and step, the mouse, the viewer's key, the font list,
// revealed text and the sequencer's state.
#include <el/input.h>
#include <el/joystick.h>
#include <el/midi.h>
#include <el/paths.h>
#include <el/scenes.h>
#include <el/text.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/sound/midi.h"
#include "engine/text/fonts.h"
#include "engine/text/text_block.h"
#include "platform/files.h"
#include "platform/gamepad_keys.h"
#include "tests/midi/midi_builder.h"
#include "tests/shell/shell_fixture.h"

namespace {

using platform::MakeLParam;

class SystemQueriesTest : public ShellTest {};

TEST_F(SystemQueriesTest, SceneNumbersReadAndSetTheEngineState) {
    EXPECT_EQ(GetScene(), 0);
    SetScene(3);
    EXPECT_EQ(GetScene(), 3);
    EXPECT_EQ(Engine.Scene, 3);
    SetNextScene(5);
    EXPECT_EQ(Engine.NextScene, 5);
    EXPECT_EQ(GetScene(), 3);
}

TEST_F(SystemQueriesTest, EveryMeasuredFrameCountsAndItsStepReadsBack) {
    const uint32_t before = GetFrameCount();
    for (int i = 0; i < 5; ++i) {
        headless.clock += 20;
        MeasureFrameStep();
    }
    EXPECT_EQ(GetFrameCount(), before + 5);
    EXPECT_FLOAT_EQ(GetFrameStep(), 0.02f);
    EXPECT_EQ(GetFrameStep(), FrameStep);
    ResetFrameTimer();  // restarts the clock, not the count
    EXPECT_EQ(GetFrameStep(), 0.0f);
    EXPECT_EQ(GetFrameCount(), before + 5);

    SetWaitForVBlank(1);
    EXPECT_EQ(Pacing.WaitForVBlank, 1);
    SetWaitForVBlank(0);
    EXPECT_EQ(Pacing.WaitForVBlank, 0);
}

TEST_F(SystemQueriesTest, TheMouseAndTheViewersKey) {
    Send(platform::WM_MOUSEMOVE, 0, MakeLParam(123, 456));
    int x = 0, y = 0;
    GetMousePosition(&x, &y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 456);
    EXPECT_EQ(IsMouseButtonDown(1), 0);
    Send(platform::WM_LBUTTONDOWN, 0, MakeLParam(10, 20));
    EXPECT_EQ(IsMouseButtonDown(1), 1);
    EXPECT_EQ(IsMouseButtonDown(2), 0);
    Send(platform::WM_RBUTTONDOWN, 0, MakeLParam(10, 20));
    EXPECT_EQ(IsMouseButtonDown(2), 1);
    Send(platform::WM_LBUTTONUP, 0, MakeLParam(10, 20));
    EXPECT_EQ(IsMouseButtonDown(1), 0);
    EXPECT_EQ(IsMouseButtonDown(3), 0);

    EXPECT_EQ(GetViewerKey(), 0);
    Viewer.viewerOn = true;  // the viewer takes every key
    KeyDown(elKey::W);
    EXPECT_EQ(GetViewerKey(), elKey::W);
    KeyUp(elKey::W);
    EXPECT_EQ(GetViewerKey(), 0);
    Viewer.viewerOn = false;
}

TEST_F(SystemQueriesTest, JoysticksThatAnswerAndTheControllersKeys) {
    platform::headless::Joysticks[0].present = true;
    platform::headless::Joysticks[1].present = false;
    EXPECT_EQ(JoyPresent(0), 1);
    EXPECT_EQ(JoyPresent(1), 0);
    EXPECT_EQ(JoyPresent(2), 0);
    platform::headless::Joysticks[0].present = false;
    EXPECT_EQ(JoyPresent(0), 0);

    SetGamepadKeys(0);
    EXPECT_EQ(GetGamepadKeys(), 0);
    EXPECT_FALSE(platform::GamepadKeysOn());
    SetGamepadKeys(1);
    EXPECT_EQ(GetGamepadKeys(), 1);
}

TEST_F(SystemQueriesTest, FilesOfTheProgramFolderOpenByTheirEngineNames) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("el_program_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "data");
    std::string program = (folder / "game").string();
    for (char& c : program)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(program.c_str());
    Paths = PathState{};
    std::FILE* out = OpenProgramFile("data\\value.txt", "w");
    ASSERT_NE(out, nullptr);
    std::fputs("1234", out);
    std::fclose(out);
    EXPECT_TRUE(std::filesystem::exists(folder / "data" / "value.txt"));
    std::FILE* in = OpenProgramFile("data\\value.txt", "r");
    ASSERT_NE(in, nullptr);
    int value = 0;
    EXPECT_EQ(std::fscanf(in, "%d", &value), 1);
    std::fclose(in);
    EXPECT_EQ(value, 1234);
    EXPECT_EQ(OpenProgramFile("data\\missing.txt", "r"), nullptr);
    EXPECT_EQ(OpenProgramFile("data", "r"), nullptr);  // a folder is no file to read
    platform::SetModuleFileNameForTesting("");
    std::filesystem::remove_all(folder);
}

TEST_F(SystemQueriesTest, TheFontListReadsEntryByEntry) {
    FontList = FontListState{};
    EXPECT_EQ(GetFontCount(), 0);
    EXPECT_STREQ(GetFontName(0), "");
    EXPECT_EQ(GetFontKind(0), elFontKind::Empty);
    std::strcpy(FontList.entries[0].faceName, "Alpha");
    FontList.entries[0].kind = elFontKind::Japanese;
    std::strcpy(FontList.entries[1].faceName, "Beta");
    FontList.entries[1].kind = elFontKind::Symbol;
    FontList.count = 2;
    EXPECT_EQ(GetFontCount(), 2);
    EXPECT_STREQ(GetFontName(1), "Beta");
    EXPECT_EQ(GetFontKind(0), elFontKind::Japanese);
    EXPECT_EQ(GetFontKind(1), elFontKind::Symbol);
    EXPECT_STREQ(GetFontName(2), "");  // past the count
    EXPECT_STREQ(GetFontName(-1), "");
    FontList = FontListState{};
}

TEST_F(SystemQueriesTest, RevealProgressCarriesOverALayout) {
    TextBlock.charCount = 11;  // entry 0 and ten characters
    EXPECT_EQ(GetTextCharCount(), 10);
    SetRevealProgress(4, 0.25f);
    int shown = 0;
    float timer = 0.0f;
    GetRevealProgress(&shown, &timer);
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(timer, 0.25f);
    EXPECT_EQ(TextBlock.shown, 4);
    // RevealText goes on from there: one more character after the interval.
    Pacing.FrameStep = 0.1f;
    EXPECT_EQ(RevealText(0.3f), 0);
    GetRevealProgress(&shown, &timer);
    EXPECT_EQ(shown, 5);
    TextBlock = TextBlockState{};
    EXPECT_EQ(GetTextCharCount(), 0);
}

class MidiQueriesTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        folder = std::filesystem::temp_directory_path() / ("el_midi_queries_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        miditest::WriteFile((folder / "piece.mid").string(), miditest::ShortPiece());
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
        std::filesystem::remove_all(folder);
        ShellTest::TearDown();
    }
    std::filesystem::path folder;
};

TEST_F(MidiQueriesTest, OpenLoopingAndPlayingFollowThePiece) {
    EXPECT_EQ(MidiIsOpen(), 0);
    EXPECT_EQ(MidiIsPlaying(), 0);
    char answer[32] = "untouched";
    EXPECT_NE(MidiStatus("mode", answer, sizeof answer), 0);  // nothing open under the alias

    ASSERT_EQ(MidiPlay("piece.mid", 1), 0);
    EXPECT_EQ(MidiIsOpen(), 1);
    EXPECT_EQ(MidiIsLooping(), 1);
    EXPECT_EQ(MidiIsPlaying(), 1);
    EXPECT_EQ(MidiStatus("mode", answer, sizeof answer), 0);
    EXPECT_STREQ(answer, "playing");
    char small[4] = {};
    EXPECT_EQ(MidiStatus("mode", small, sizeof small), 0);
    EXPECT_STREQ(small, "pla");  // cut to the buffer with its terminator
    EXPECT_NE(MidiStatus("no such item", answer, sizeof answer), 0);
    EXPECT_NE(MidiStatus(std::string(400, 'x').c_str(), answer, sizeof answer), 0);
    EXPECT_STREQ(answer, "");

    MidiStopLoop();
    EXPECT_EQ(MidiIsLooping(), 0);
    EXPECT_EQ(MidiIsPlaying(), 1);
    headless.clock += 2000;  // the piece's two seconds: it ends and, played once now, closes
    Drain();
    EXPECT_EQ(MidiIsOpen(), 0);
    EXPECT_EQ(MidiIsPlaying(), 0);

    ASSERT_EQ(MidiPlay("piece.mid", 0), 0);
    EXPECT_EQ(MidiIsPlaying(), 1);
    MidiClose();
    EXPECT_EQ(MidiIsOpen(), 0);
    EXPECT_EQ(MidiIsPlaying(), 0);
}

TEST_F(MidiQueriesTest, APieceThatCannotBeOpenedCountsAsOpenButDoesNotPlay) {
    EXPECT_NE(MidiPlay("missing.mid", 0), 0);
    EXPECT_EQ(MidiIsOpen(), 1);
    EXPECT_EQ(MidiIsPlaying(), 0);
}

}  // namespace
