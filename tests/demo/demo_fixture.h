// Running the demo's pages headless: eldemo-replay on a key script at one depth, its state and its
// last picture, and small helpers to write scripts and compare shots.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/bmp.h"
#include "tests/support/run_program.h"

namespace fs = std::filesystem;

namespace demotest {

constexpr int kBodyTop = 28, kBodyBottom = 504;
constexpr int kVkPageUp = 33, kVkPageDown = 34, kVkEscape = 27, kVkUp = 38, kVkF1 = 112, kVkF5 = 116;
const int kDepths[] = {16, 32};

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text after "key":" up to the closing quote.
inline std::string Text(const std::string& json, const std::string& key) {
    const std::string needle = "\"" + key + "\":\"";
    const size_t at = json.find(needle);
    if (at == std::string::npos) return "<no " + key + ">";
    const size_t from = at + needle.size();
    return json.substr(from, json.find('"', from) - from);
}

inline long Number(const std::string& json, const std::string& key) {
    const std::string needle = "\"" + key + "\":";
    const size_t at = json.find(needle);
    return at == std::string::npos ? -1 : std::strtol(json.c_str() + at + needle.size(), nullptr, 10);
}

// A press: down on the frame, up on the next.
inline std::string Press(int frame, int key) {
    return std::to_string(frame) + " down " + std::to_string(key) + "\n" + std::to_string(frame + 1) +
           " up " + std::to_string(key) + "\n";
}

// Joystick n (1 or 2) plugged in from the frame on, reading x and y (0 to 65535) and the button bits.
inline std::string Stick(int frame, int n, int x, int y, unsigned buttons = 0) {
    return std::to_string(frame) + " joy " + std::to_string(n) + " " + std::to_string(x) + " " +
           std::to_string(y) + " " + std::to_string(buttons) + "\n";
}

// Joystick n unplugged from the frame on.
inline std::string Unplug(int frame, int n) {
    return std::to_string(frame) + " joy " + std::to_string(n) + " off\n";
}

// The left channel of a recorded run (16-bit stereo after a 44-byte header), sample by sample.
inline std::vector<double> LeftChannel(const fs::path& wave) {
    const std::string bytes = ReadFile(wave);
    std::vector<double> left;
    for (size_t at = 44; at + 4 <= bytes.size(); at += 4) {
        int16_t sample = 0;
        std::memcpy(&sample, bytes.data() + at, 2);
        left.push_back(sample);
    }
    return left;
}

struct Shot {
    std::string state;
    platform::Picture picture;
};

// Pixels of the body that differ between two shots.
inline long BodyDifferences(const Shot& a, const Shot& b) {
    long count = 0;
    for (int y = kBodyTop; y < kBodyBottom; ++y)
        for (int x = 0; x < 800; ++x) count += a.picture.At(x, y) != b.picture.At(x, y);
    return count;
}

// Pixels that differ between two shots inside a rectangle.
inline long RegionDifferences(const Shot& a, const Shot& b, int left, int top, int width, int height) {
    long count = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) count += a.picture.At(x, y) != b.picture.At(x, y);
    return count;
}

class DemoPageRun : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "demo-test.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // Runs the demo for a number of frames on the script and returns its state and last picture; the
    // run must end well and report no error.
    Shot Run(int depth, int frames, const std::string& script, const std::string& audio = "") {
        const fs::path input = dir / "keys.txt", state = dir / "state.json", shot = dir / "shot.bmp";
        std::ofstream(input, std::ios::binary) << script;
        std::vector<std::string> arguments = {"--frames", std::to_string(frames),
                                              "--depth",  std::to_string(depth),
                                              "--input",  input,
                                              "--state",  state,
                                              "--shot",   shot};
        if (!audio.empty()) arguments.insert(arguments.end(), {"--audio", audio});
        arguments.insert(arguments.end(), extraOptions.begin(), extraOptions.end());
        const testsupport::ProgramRun run = testsupport::RunProgram(EL_DEMO_REPLAY_BINARY, arguments);
        Shot result;
        EXPECT_EQ(run.status, 0) << "frames " << frames << "\n" << run.err;
        result.state = ReadFile(state);
        EXPECT_NE(result.state.find("\"errors\":[]"), std::string::npos) << result.state;
        EXPECT_TRUE(platform::LoadBmpFile(shot.c_str(), result.picture)) << "no shot after " << frames;
        if (result.picture.width != 800 || result.picture.height != 600) {
            ADD_FAILURE() << "shot of " << result.picture.width << " x " << result.picture.height;
            result.picture.width = 800, result.picture.height = 600;
            result.picture.pixels.assign(800 * 600, 0);
        }
        return result;
    }

    fs::path dir;
    std::vector<std::string> extraOptions;  // more options for the runner
};

}  // namespace demotest
