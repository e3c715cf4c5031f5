// The game on the real backend (its dummy video driver) ends on SIGTERM and SIGINT through the exit
// procedure, as the close box ends it, with status 0; an unreachable display is named as such.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Monotonic milliseconds (chrono does not build with this suite's execution character set).
long long NowMs() {
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

void SleepMs(int milliseconds) {
    ::usleep(static_cast<useconds_t>(milliseconds) * 1000);
}

class GameProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime = fs::temp_directory_path() / ("el_signal_test_" + std::to_string(::getpid()));
        fs::create_directories(runtime);
    }
    void TearDown() override {
        if (game > 0) {
            ::kill(game, SIGKILL);
            ::waitpid(game, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(runtime, ignored);
    }

    // Starts the game with default signal dispositions (a background shell would ignore SIGINT)
    // and its lock in a private folder; stderr goes to a file in that folder.
    void Start(const char* videoDriver, const char* display) {
        game = ::fork();
        ASSERT_GE(game, 0);
        if (game == 0) {
            ::signal(SIGINT, SIG_DFL);
            ::signal(SIGTERM, SIG_DFL);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            if (videoDriver != nullptr) {
                ::setenv("SDL_VIDEODRIVER", videoDriver, 1);
            } else {
                ::unsetenv("SDL_VIDEODRIVER");
            }
            ::unsetenv("WAYLAND_DISPLAY");
            if (display != nullptr) {
                ::setenv("DISPLAY", display, 1);
            } else {
                ::unsetenv("DISPLAY");
            }
            const std::string err = (runtime / "stderr.txt").string();
            if (std::freopen(err.c_str(), "w", stderr) == nullptr) ::_exit(120);
            ::execl(EL_GAME_BINARY, EL_GAME_BINARY, static_cast<char*>(nullptr));
            ::_exit(121);
        }
    }

    // True once the game catches SIGTERM and SIGINT itself (its backend has started and turns them
    // into a quit request) and holds its single-instance lock. The limit only stops a game that hangs.
    bool WaitUntilRunning() {
        const long long deadline = NowMs() + 30000;
        while (NowMs() < deadline) {
            bool locked = false;
            for (const auto& entry : fs::directory_iterator(runtime))
                if (entry.path().extension() == ".lock") locked = true;
            const unsigned long long wanted = (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1));
            if (locked && (CaughtSignals() & wanted) == wanted) return true;
            SleepMs(20);
        }
        return false;
    }

    // The signals the game has handlers for, from the kernel's view of the process.
    unsigned long long CaughtSignals() const {
        std::ifstream status("/proc/" + std::to_string(game) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("SigCgt:", 0) == 0) return std::stoull(line.substr(7), nullptr, 16);
        return 0;
    }

    // Waits at most `limitMs` (a limit for a game that hangs, not a speed) for the game to end;
    // returns its wait status, or -1 if it still runs.
    int WaitForExit(int limitMs) {
        const long long deadline = NowMs() + limitMs;
        while (NowMs() < deadline) {
            int status = 0;
            if (::waitpid(game, &status, WNOHANG) == game) {
                game = -1;
                return status;
            }
            SleepMs(5);
        }
        return -1;
    }

    std::string Stderr() const {
        std::ifstream in(runtime / "stderr.txt");
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path runtime;
    pid_t game = -1;
};

TEST_F(GameProcessTest, TermAndIntEndTheGameWithStatusZero) {
    for (int signal : {SIGTERM, SIGINT}) {
        Start("dummy", nullptr);
        ASSERT_TRUE(WaitUntilRunning()) << Stderr();
        ASSERT_EQ(::kill(game, signal), 0);
        const int status = WaitForExit(30000);
        ASSERT_NE(status, -1) << "still running after signal " << signal;
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << signal << " killed it: " << Stderr();
        EXPECT_EQ(WEXITSTATUS(status), 0) << Stderr();
        // The exit procedure released the lock: the lock file's socket beside it is gone.
        bool socketLeft = false;
        for (const auto& entry : fs::directory_iterator(runtime))
            if (entry.path().extension() == ".sock") socketLeft = true;
        EXPECT_FALSE(socketLeft);
    }
}

TEST_F(GameProcessTest, AnUnreachableDisplayIsNamed) {
    Start(nullptr, ":4711");
    const int status = WaitForExit(30000);
    ASSERT_NE(status, -1);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Stderr(), "milkanet: cannot open a display (DISPLAY ':4711' cannot be reached)\n");
}

}  // namespace
