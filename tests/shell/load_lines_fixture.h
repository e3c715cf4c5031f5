// A program folder (also the current folder, where the debug log goes) with the display set up,
// and a helper that runs a failing load and returns the line it said before its box.
#pragma once
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "tests/shell/shell_fixture.h"

namespace fs = std::filesystem;

class LoadFailureLinesTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        folder = fs::temp_directory_path() / ("el_load_lines_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "BMP");
        std::string program = (folder / "program").string();
        for (char& c : program)
            if (c == '/') c = '\\';
        platform::SetModuleFileNameForTesting(program.c_str());
        // The debug log is written in the current folder.
        previous = fs::current_path();
        fs::current_path(folder);
        ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
        headless.messageBoxes.clear();
    }
    void TearDown() override {
        ReleaseDisplay();
        fs::current_path(previous);
        platform::SetModuleFileNameForTesting("");
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        ShellTest::TearDown();
    }

    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
    }
    std::string Path(const std::string& relative) const { return (folder / relative).string(); }

    // Runs the load and returns what it said on standard error before its box, checking that the
    // box said its own text and that the debug log got the same line.
    template <typename Load>
    std::string LineOf(Load load, const std::string& box) {
        const size_t boxes = headless.messageBoxes.size();
        fs::remove(folder / "DEBUG.TXT");
        testing::internal::CaptureStderr();
        load();
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string line = said.substr(0, said.find('\n') + 1);
        if (box.empty()) {
            EXPECT_EQ(headless.messageBoxes.size(), boxes);
            EXPECT_EQ(said, line);
        } else {
            EXPECT_EQ(headless.messageBoxes.size(), boxes + 1);
            if (headless.messageBoxes.size() == boxes + 1) {
                EXPECT_EQ(headless.messageBoxes.back().text, box);
            }
        }
        std::ifstream log(folder / "DEBUG.TXT");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()), line);
        return line;
    }

    fs::path folder, previous;
};
