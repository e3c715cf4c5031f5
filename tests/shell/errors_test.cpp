// Error reports, notices, questions and the debug log.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/shell/shell_fixture.h"

namespace {

class ErrorsTest : public ShellTest {};

TEST_F(ErrorsTest, AReportShowsContextAndMessageInShiftJisBeepsAndSetsTheFlag) {
    EXPECT_EQ(elSystem::SetWait(0, 100), 0);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    const auto& box = headless.messageBoxes[0];
    // "elSystem::SetWait : ウェイトNoが範囲外です" and "エラー発生" as Shift-JIS bytes.
    EXPECT_EQ(box.text,
              "elSystem::SetWait : "
              "\x83\x45\x83\x46\x83\x43\x83\x67No\x82\xAA\x94\xCD\x88\xCD\x8A\x4F\x82\xC5\x82\xB7");
    EXPECT_EQ(box.caption, "\x83\x47\x83\x89\x81\x5B\x94\xAD\x90\xB6");
    EXPECT_EQ(box.style, platform::MB_SYSTEMMODAL | platform::MB_ICONWARNING);
    EXPECT_EQ(headless.beeps, 1);
    EXPECT_EQ(HasError(), 1);
    EXPECT_EQ(Engine.CursorShown, 1);
}

TEST_F(ErrorsTest, AfterAnErrorEndIfErrorRunsTheExitProcedure) {
    EXPECT_EQ(EndIfError(), 0);
    EXPECT_EQ(Engine.ExitDone, 0);
    ReportError("ctx", "msg");
    EXPECT_EQ(EndIfError(), 1);
    EXPECT_EQ(Engine.ExitDone, 1);
    EXPECT_EQ(HasError(), 1);
}

TEST_F(ErrorsTest, LongReportsAreCutToTheirBufferOnAWholeCharacter) {
    std::string message;
    for (int i = 0; i < 200; ++i) message += "あ";
    ReportError("elDraw::LoadObject", message.c_str());
    const std::string& text = headless.messageBoxes.at(0).text;
    EXPECT_LE(text.size(), 259u);
    EXPECT_GE(text.size(), 257u);
    // "elDraw::LoadObject : " is 21 bytes, then whole two-byte characters only.
    EXPECT_EQ((text.size() - 21) % 2, 0u);
    EXPECT_EQ(text.substr(21, 2), "あ");
}

TEST_F(ErrorsTest, ANoticeShowsTheCursorAndResetsTheFrameTimer) {
    SetCursorShown(false);
    headless.clock = 777;
    Pacing.FrameStep = 0.5f;
    ShowMessage("%d apples", 3);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text, "3 apples\r\n");
    EXPECT_EQ(headless.messageBoxes[0].caption, "メッセージ");
    EXPECT_EQ(Engine.CursorShown, 1);
    EXPECT_EQ(Engine.MessageBoxOpen, 0);
    EXPECT_EQ(Pacing.FrameStep, 0.0f);
    EXPECT_EQ(Pacing.FrameTimer, 777u);
    EXPECT_EQ(headless.beeps, 0);
}

TEST_F(ErrorsTest, AQuestionAnswersOneOnlyForYes) {
    headless.messageBoxAnswer = platform::IDYES;
    EXPECT_EQ(AskYesNo("go?"), 1);
    headless.messageBoxAnswer = platform::IDNO;
    EXPECT_EQ(AskYesNo("go?"), 0);
    EXPECT_EQ(headless.messageBoxes[0].style, platform::MB_ICONQUESTION | platform::MB_YESNO);
    std::string longText(600, 'x');
    AskYesNo("%s", longText.c_str());
    EXPECT_EQ(headless.messageBoxes[2].text, std::string(257, 'x') + "\r\n");
}

TEST_F(ErrorsTest, DebugLogAppendsOneLinePerCall) {
    auto folder = std::filesystem::temp_directory_path() / ("el_debuglog_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    DebugLog("first %d", 1);
    DebugLog("second %s", "line");
    std::ifstream file("DEBUG.TXT");
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    EXPECT_EQ(content, "first 1\nsecond line\n");
}

}  // namespace
