// The replay runner as a user runs it: a child process on small stages written for each test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/bmp.h"
#include "tests/support/run_program.h"
#include "tests/support/write_failures.h"
#include "wave_stream.h"

namespace fs = std::filesystem;

namespace {

constexpr int kColumns = 288;
constexpr int kRows = 216;
constexpr int kVkRight = 39;
constexpr int kVkEscape = 27;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct Placement {
    int column, row, code;
};

// The four stage files: start room, an all-zero chip and blocking layer, and the placements.
void WriteStage(const fs::path& dir, int roomColumn, int roomRow, const std::vector<Placement>& placements) {
    WriteFile(dir / "stagedata.txt", std::to_string(roomColumn) + " " + std::to_string(roomRow) + "\n");
    std::vector<int> cells(kColumns * kRows, 0);
    auto layer = [&] {
        std::string text;
        text.reserve(cells.size() * 2 + kRows);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                text += std::to_string(cells[r * kColumns + c]);
                text += c + 1 < kColumns ? ' ' : '\n';
            }
        }
        return text;
    };
    WriteFile(dir / "map01_data.txt", layer());
    WriteFile(dir / "map01_zk.txt", layer());
    for (const Placement& p : placements) cells[p.row * kColumns + p.column] = p.code;
    WriteFile(dir / "map01_teki.txt", layer());
}

// The number after "key": in the object that follows "\"object\":" (or anywhere when object is empty).
double Number(const std::string& json, const std::string& object, const std::string& key) {
    size_t from = 0;
    if (!object.empty()) {
        from = json.find("\"" + object + "\":");
        if (from == std::string::npos) ADD_FAILURE() << "no " << object << " in " << json.substr(0, 200);
    }
    const std::string needle = "\"" + key + "\":";
    size_t at = json.find(needle, from == std::string::npos ? 0 : from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no " << key << " in " << json.substr(0, 200);
        return -1e30;
    }
    return std::strtod(json.c_str() + at + needle.size(), nullptr);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Result {
    int status = -1;
    std::string err;
};

class ReplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "replay-test.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    Result Run(const std::vector<std::string>& arguments, const std::string& binary = EL_REPLAY_BINARY) {
        const testsupport::ProgramRun run = testsupport::RunProgram(binary, arguments);
        return Result{run.status, run.err};
    }
    // A run on the stage in `dir` that must succeed; returns the state object.
    std::string State(std::vector<std::string> arguments) {
        const fs::path state = dir / "state.json";
        arguments.insert(arguments.begin(), {"--data", dir, "--state", state});
        Result r = Run(arguments);
        EXPECT_EQ(r.status, 0) << r.err;
        return ReadFile(state);
    }

    fs::path dir;
};

TEST_F(ReplayTest, PlacedPrincessLandsAtTheCellsWorldPositionInAnyStartRoom) {
    // Code 1 at column 50, row 40 of room (0, 0): world (8 * 50 - 24, 8 * 40 - 24).
    WriteStage(dir, 0, 0, {{50, 40, 1}});
    std::string state = State({"--frames", "1"});
    EXPECT_EQ(Number(state, "camera", "x"), 0);
    EXPECT_EQ(Number(state, "princess", "x") + Number(state, "camera", "x"), 376);
    EXPECT_EQ(Number(state, "princess", "y") + Number(state, "camera", "y"), 296);
    EXPECT_EQ(Number(state, "princess", "hitPoints"), 18);
    EXPECT_EQ(Number(state, "", "frame"), 1);

    // The same cell of room (1, 1): the view position is the same, the world position one room on.
    WriteStage(dir, 1, 1, {{50 + 96, 40 + 72, 1}});
    state = State({"--frames", "1"});
    EXPECT_EQ(Number(state, "room", "column"), 1);
    EXPECT_EQ(Number(state, "room", "row"), 1);
    EXPECT_EQ(Number(state, "camera", "x"), 768);
    EXPECT_EQ(Number(state, "camera", "y"), 576);
    EXPECT_EQ(Number(state, "princess", "x"), 376);
    EXPECT_EQ(Number(state, "princess", "y"), 296);
}

TEST_F(ReplayTest, SameInputAndSeedGiveIdenticalStateAndTrace) {
    // Enemies of every kind, companions and the princess: everything that draws on the random generator.
    WriteStage(dir, 0, 0,
               {{50, 40, 1},
                {44, 44, 2},
                {56, 44, 3},
                {50, 50, 4},
                {20, 20, 5},
                {70, 20, 6},
                {20, 60, 7},
                {70, 60, 8},
                {30, 30, 5},
                {60, 30, 7}});
    WriteFile(dir / "keys.txt",
              "# walk, swing, call\n"
              "2 down 39\n\n"
              "40 up 39   # stop\n"
              "41 down 40\n60 up 40\n70 down 67\n71 up 67\n90 down 86\n91 up 86\n");
    std::string outputs[2], traces[2];
    for (int i = 0; i < 2; ++i) {
        const fs::path trace = dir / ("trace" + std::to_string(i) + ".jsonl");
        outputs[i] = State({"--frames", "200", "--seed", "7", "--input", dir / "keys.txt", "--trace", trace});
        traces[i] = ReadFile(trace);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(traces[0], traces[1]);
    const std::vector<std::string> lines = Lines(traces[0]);
    ASSERT_EQ(lines.size(), 200u);
    for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(Number(lines[i], "", "frame"), double(i + 1)) << i;
    // The state after the run is the last frame of the trace.
    EXPECT_EQ(outputs[0], lines.back() + "\n");
    EXPECT_NE(outputs[0].find("\"archers\":[{\"index\":0"), std::string::npos);
}

TEST_F(ReplayTest, WalkingRightMovesByOneFixedStepPerHeldFrame) {
    WriteStage(dir, 0, 0, {{50, 40, 1}});
    // Down before frame 2, up before frame 20. The key is "just pressed" in frame 2 and "just
    // released" in frame 20; it is held, and she walks, in frames 3 to 19.
    WriteFile(dir / "keys.txt",
              "2 down " + std::to_string(kVkRight) + "\n20 up " + std::to_string(kVkRight) + "\n");
    const fs::path trace = dir / "trace.jsonl";
    State({"--frames", "30", "--input", dir / "keys.txt", "--trace", trace});
    const std::vector<std::string> lines = Lines(ReadFile(trace));
    ASSERT_EQ(lines.size(), 30u);

    const float step = std::bit_cast<float>(0x3C888889u);  // 1/60 s
    const float speed = 100.0f;                            // pixels per second
    float x = 376.0f;
    for (int frame = 1; frame <= 30; ++frame) {
        if (frame >= 3 && frame <= 19) x += 1.0f * step * speed;
        const std::string& line = lines[frame - 1];
        // Floats are written with nine digits: enough to read back the very same float.
        ASSERT_EQ(static_cast<float>(Number(line, "princess", "x")), x) << "frame " << frame;
        ASSERT_EQ(Number(line, "princess", "y"), 296) << "frame " << frame;
    }
    EXPECT_NEAR(x, 376.0f + 17 * 100.0f / 60.0f, 1e-3);
}

TEST_F(ReplayTest, EscapeInTheScriptEndsTheRunBeforeItsFrame) {
    WriteStage(dir, 0, 0, {{50, 40, 1}});
    WriteFile(dir / "keys.txt", "5 down " + std::to_string(kVkEscape) + "\n");
    const std::string state = State({"--frames", "100", "--input", dir / "keys.txt"});
    EXPECT_EQ(Number(state, "", "frame"), 4);
}

// Counts the hit-point box's navy background and white digits around (400, 300).
void ExpectHitPointText(const fs::path& shot) {
    const std::string bytes = ReadFile(shot);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 24);  // bits per pixel
    platform::Picture picture;
    ASSERT_TRUE(platform::LoadBmpFile(shot.string().c_str(), picture).ok());
    ASSERT_EQ(picture.width, 800);
    ASSERT_EQ(picture.height, 600);
    int navy = 0, white = 0;
    for (int y = 300; y < 320; ++y) {
        for (int x = 400; x < 440; ++x) {
            const uint32_t p = picture.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r < 16 && g < 16 && b >= 112) ++navy;
            if (r >= 240 && g >= 240 && b >= 240) ++white;
        }
    }
    EXPECT_GT(navy, 0) << shot;
    EXPECT_GT(white, 0) << shot;
}

TEST_F(ReplayTest, ShotIsAnEightHundredBySixHundredPictureWithTheHitPointsAtBothDepths) {
    WriteStage(dir, 0, 0, {{50, 40, 1}, {20, 20, 6}});
    std::string states[2];
    const char* depths[2] = {"16", "32"};
    for (int i = 0; i < 2; ++i) {
        const fs::path shot = dir / (std::string("shot") + depths[i] + ".bmp");
        states[i] = State({"--frames", "20", "--depth", depths[i], "--shot", shot});
        ExpectHitPointText(shot);
    }
    // The display depth changes the picture only, never the game.
    EXPECT_EQ(states[0], states[1]);
}

TEST_F(ReplayTest, MissingStageFilesLeaveAnEmptyMapWithoutErrors) {
    const std::string state = State({"--frames", "3"});
    EXPECT_EQ(Number(state, "room", "column"), 0);
    EXPECT_EQ(Number(state, "room", "row"), 0);
    EXPECT_EQ(Number(state, "princess", "hitPoints"), 0);
    EXPECT_NE(state.find("\"strikers\":[]"), std::string::npos);
    EXPECT_NE(state.find("\"errors\":[]"), std::string::npos);
}

TEST_F(ReplayTest, MissingPicturesAreReportedAsErrorsInUtf8) {
    // A copy of the runner in a folder without pictures: every load reports, the run goes on.
    const fs::path lone = dir / "lone";
    fs::create_directory(lone);
    fs::copy_file(EL_REPLAY_BINARY, lone / "milkanet-replay");
    WriteStage(dir, 0, 0, {{50, 40, 1}});
    const fs::path state = dir / "state.json";
    Result r = Run({"--data", dir, "--frames", "2", "--state", state}, lone / "milkanet-replay");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string json = ReadFile(state);
    EXPECT_EQ(Number(json, "", "frame"), 2);
    // A UTF-8 literal: plain literals of this build are stored in the program's own encoding.
    const std::string error =
        reinterpret_cast<const char*>(u8"\"elDraw::LoadObject : BMPファイルを読み込めません\"");
    size_t count = 0;
    for (size_t at = json.find(error); at != std::string::npos; at = json.find(error, at + 1)) ++count;
    EXPECT_EQ(count, 18u) << json.substr(json.find("\"errors\""));
}

TEST_F(ReplayTest, BadCommandLinesAndInputsExitWithStatusTwoAndOneLine) {
    WriteFile(dir / "bad_word.txt", "3 press 39\n");
    WriteFile(dir / "bad_frame.txt", "0 down 39\n");
    WriteFile(dir / "extra.txt", "3 down 39 40\n");
    WriteFile(dir / "bad_stick.txt", "1 joy 1 0 0 0x1\n2 joy 3 off\n");
    const std::vector<std::string> cases[] = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "-1"},
        {"--frames", "12x"},
        {"--seed", "abc"},
        {"--depth", "24"},
        {"--data", dir / "nowhere"},
        {"--input", dir / "missing.txt"},
        {"--input", dir / "bad_word.txt"},
        {"--input", dir / "bad_frame.txt"},
        {"--input", dir / "extra.txt"},
        {"--input", dir / "bad_stick.txt"},
        {"--state", dir / "nowhere" / "state.json"},
        {"--input", dir},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const std::string shown = arguments[0] + (arguments.size() > 1 ? " " + arguments[1] : "");
        Result r = Run(arguments);
        EXPECT_EQ(r.status, 2) << shown;
        ASSERT_FALSE(r.err.empty()) << shown;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << shown << ": " << r.err;
    }
    Result folder = Run({"--input", dir});
    EXPECT_NE(folder.err.find("is a folder"), std::string::npos) << folder.err;
}

TEST_F(ReplayTest, TheGameTakesJoystickLinesButNoMouse) {
    WriteStage(dir, 0, 0, {{50, 40, 1}});
    WriteFile(dir / "sticks.txt", "1 joy 1 0 32767 0x3\n3 joy 2 65535 0 1\n4 joy 1 off\n");
    EXPECT_EQ(Number(State({"--frames", "5", "--input", dir / "sticks.txt"}), "", "frame"), 5);
    WriteFile(dir / "mouse.txt", "1 joy 1 0 0 0\n2 mouse 10 10\n");
    Result mouse = Run({"--input", dir / "mouse.txt"});
    EXPECT_EQ(mouse.status, 2);
    EXPECT_NE(mouse.err.find("mouse.txt: line 2: expected 'FRAME down|up VK'"), std::string::npos)
        << mouse.err;
    WriteFile(dir / "bad_stick.txt", "1 joy 1 0 0 0x1\n2 joy 3 off\n");
    Result stick = Run({"--input", dir / "bad_stick.txt"});
    EXPECT_NE(stick.err.find("bad_stick.txt: line 2: bad joystick '3' (1 or 2)"), std::string::npos)
        << stick.err;
}

TEST_F(ReplayTest, AShotGoesIntoAFolderNamedOutsideAscii) {
    // Output paths are the file system's own names, never read as the engine's Shift-JIS.
    const fs::path folder = dir / fs::path(u8"画面ソ Jürgen");
    fs::create_directories(folder);
    const fs::path shot = folder / fs::path(u8"表.bmp");
    Result r = Run({"--data", dir, "--frames", "2", "--shot", shot});
    EXPECT_EQ(r.status, 0) << r.err;
    std::ifstream in(shot, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), 54u + 800u * 600u * 3u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
}

TEST_F(ReplayTest, AShotThatCannotBeWrittenSaysSoAndFails) {
    // The file opens, so the run goes ahead; the write of the picture itself fails.
    Result r = Run({"--data", dir, "--frames", "2", "--shot", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "milkanet-replay: cannot write shot '/dev/full'\n");
}

TEST_F(ReplayTest, ARecordingThatCannotBeWrittenSaysSoAndFails) {
    Result r = Run({"--data", dir, "--frames", "200", "--audio", "/dev/full"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "milkanet-replay: cannot write audio '/dev/full'\n");
}

TEST_F(ReplayTest, AKilledRecordingLeavesAPlayableFileUpToItsLastBlock) {
    // The run goes on far longer than the test waits; it is killed once two blocks are on disk. The
    // recording is made in a temporary file beside its name, which it takes only at a finished run:
    // the killed run leaves that file, playable, and nothing under the name.
    const fs::path named = dir / "sound.wav";
    fs::path wave;
    auto findPart = [&] {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(dir, ignored))
            if (entry.path().filename().string().rfind(".sound.wav.", 0) == 0) wave = entry.path();
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(EL_REPLAY_BINARY, EL_REPLAY_BINARY, "--data", dir.c_str(), "--frames", "100000000", "--audio",
                named.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const uintmax_t twoBlocks = 44 + 2 * replay::WaveStream::kBlockBytes;
    auto size = [&] {
        if (wave.empty()) findPart();
        std::error_code missing;
        const uintmax_t bytes = fs::file_size(wave, missing);
        return missing ? 0 : bytes;
    };
    for (int wait = 0; wait < 15000 && size() < twoBlocks; ++wait) {  // 5 min at most
        if (::waitpid(child, nullptr, WNOHANG) != 0) break;
        ::usleep(20000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    EXPECT_FALSE(fs::exists(named));
    ASSERT_FALSE(wave.empty()) << "no recording beside " << named;
    const std::string bytes = ReadFile(wave);
    ASSERT_GE(bytes.size(), twoBlocks);
    auto le32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
        return v;
    };
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(bytes.substr(36, 4), "data");
    // The header counts whole blocks that are on disk (a block written after the last count may follow).
    const uint32_t data = le32(40);
    EXPECT_GE(data, 2 * replay::WaveStream::kBlockBytes);
    EXPECT_EQ(data % replay::WaveStream::kBlockBytes, 0u);
    EXPECT_LE(44 + uintmax_t{data}, bytes.size());
    EXPECT_EQ(le32(4), 36 + data);
}

TEST_F(ReplayTest, AStoppedRunWritesItsOutputsForTheFramesRunAndFails) {
    // SIGTERM and SIGINT end the run after its current frame, as the close box does: the recording
    // and the state take their names whole, nothing is left beside them, and the status says it failed.
    for (const int signal : {SIGTERM, SIGINT}) {
        const fs::path named = dir / "sound.wav", state = dir / "state.json", err = dir / "err.txt";
        fs::remove(named);
        auto beside = [&] {
            std::error_code ignored;
            for (const auto& entry : fs::directory_iterator(dir, ignored))
                if (entry.path().filename().string().rfind(".sound.wav.", 0) == 0) return entry.path();
            return fs::path();
        };
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen(err.c_str(), "w", stderr);
            ::execl(EL_REPLAY_BINARY, EL_REPLAY_BINARY, "--data", dir.c_str(), "--frames", "100000000",
                    "--audio", named.c_str(), "--state", state.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const uintmax_t twoBlocks = 44 + 2 * replay::WaveStream::kBlockBytes;
        for (int wait = 0; wait < 15000; ++wait) {  // 5 min at most
            std::error_code missing;
            const fs::path part = beside();
            if (!part.empty() && fs::file_size(part, missing) >= twoBlocks && !missing) break;
            if (::waitpid(child, nullptr, WNOHANG) != 0) break;
            ::usleep(20000);
        }
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1);
        const std::string said = ReadFile(err);
        EXPECT_EQ(said.rfind("milkanet-replay: stopped by a signal after frame ", 0), 0u) << said;
        EXPECT_TRUE(beside().empty());
        const std::string bytes = ReadFile(named);
        ASSERT_GE(bytes.size(), twoBlocks);
        uint32_t data = 0;
        for (int i = 3; i >= 0; --i) data = (data << 8) | static_cast<uint8_t>(bytes[40 + i]);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(44 + uintmax_t{data}, bytes.size()) << "the header counts every sample written";
        EXPECT_NE(ReadFile(state).find("\"frame\""), std::string::npos);
    }
}
}  // namespace

namespace {

// Old outputs, replaced only by whole new ones: a full disk (a file-size limit) fails the large
// ones, a folder that takes no file fails them all before the run, /dev/full fails each write.
TEST_F(ReplayTest, OutputsThatCannotBeWrittenLeaveTheOldFilesAndNoPartialOnes) {
    const fs::path out = dir / "out";
    fs::create_directories(out);
    const std::vector<std::string> names = {"state.json", "trace.txt", "shot.bmp", "sound.wav"};
    for (const std::string& name : names) WriteFile(out / name, "old " + name);
    const std::set<std::string> before(names.begin(), names.end());
    auto outputs = [&](std::vector<std::string> arguments) {
        const std::vector<std::string> options = {"--state", "--trace", "--shot", "--audio"};
        for (size_t i = 0; i < names.size(); ++i)
            arguments.insert(arguments.end(), {options[i], out / names[i]});
        return arguments;
    };
    auto unchanged = [&](const std::string& name) { return ReadFile(out / name) == "old " + name; };

    // The picture (1.4 MB) and the recording (640 kB) do not fit; the state and the trace do.
    const Result full = testsupport::WithFileSizeLimit(256 * 1024, [&] {
        return Run(outputs({"--data", dir, "--frames", "200"}));
    });
    EXPECT_EQ(full.status, 1) << full.err;
    EXPECT_NE(full.err.find("cannot write audio '" + (out / "sound.wav").string() + "'\n"), std::string::npos)
        << full.err;
    EXPECT_NE(full.err.find("cannot write shot '" + (out / "shot.bmp").string() + "'\n"), std::string::npos)
        << full.err;
    EXPECT_TRUE(unchanged("shot.bmp"));
    EXPECT_TRUE(unchanged("sound.wav"));
    EXPECT_FALSE(unchanged("state.json"));
    EXPECT_EQ(testsupport::FolderNames(out), before);

    for (const char* option : {"--state", "--trace"}) {
        const Result device = Run({"--data", dir, "--frames", "2", option, "/dev/full"});
        EXPECT_EQ(device.status, 1) << option;
        EXPECT_EQ(device.err, std::string("milkanet-replay: cannot write ") + (option + 2) + "\n") << option;
    }

    for (const std::string& name : names) WriteFile(out / name, "old " + name);
    const int refused = testsupport::InReadOnlyFolder(out, [&] {
        const Result r = Run(outputs({"--data", dir, "--frames", "2"}));
        return r.status == 2 &&
                       r.err == "milkanet-replay: cannot write audio '" + (out / "sound.wav").string() + "'\n"
                   ? 0
                   : 1;
    });
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
    for (const std::string& name : names) EXPECT_TRUE(unchanged(name)) << name;
    EXPECT_EQ(testsupport::FolderNames(out), before);
}

}  // namespace
