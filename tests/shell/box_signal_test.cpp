// A quit signal while a box is open: the box is closed, no later box holds the program up, and the
// loop ends through the exit procedure with the single-instance lock released.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/system/engine_state.h"
#include "engine/system/error_report.h"
#include "engine/system/scenes.h"
#include "platform/headless/headless.h"
#include "platform/soft/quit_signals.h"
#include "platform/soft/single_instance.h"
#include "shell/program.h"

namespace {

int framesRun = 0;

void CountedFrame() {
    ++framesRun;
}

// A start-up like the game's with its pictures missing: one error box after another.
void StartupWithThreeErrors() {
    ReportError("elDraw::LoadObject", "one");
    ReportError("elDraw::LoadObject", "two");
    ReportError("elDraw::LoadObject", "three");
    RegisterScene(1, CountedFrame);
    Engine.Scene = 1;
}

// Runs the program in a child process (the signal handlers stay there), with `signal` raised while
// the first box is open; the child's exit status says which check failed (0 when none did).
int RunWithSignalDuringFirstBox(int signal, const std::filesystem::path& runtime) {
    const pid_t child = ::fork();
    if (child != 0) {
        int status = -1;
        if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    }
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    platform::headless::Reset();
    platform::CatchQuitSignals();  // as a backend does once its display is open
    platform::headless::Headless.whileBoxOpen = [signal] {
        if (platform::headless::Headless.messageBoxes.size() == 1) ::raise(signal);
    };
    WinMain("", 1, StartupWithThreeErrors, "box signal test");
    if (platform::headless::Headless.messageBoxes.size() != 1) ::_exit(2);  // later boxes were shown
    if (Engine.ExitDone != 1) ::_exit(3);                                   // no exit procedure
    if (framesRun > 1) ::_exit(4);  // the close request waited behind frames
    if (!platform::AcquireSingleInstance("box signal test:ElMutex")) ::_exit(5);  // the lock was kept
    ::_exit(0);
}

TEST(BoxSignalTest, ASignalWhileABoxIsOpenEndsTheProgramThroughTheExitProcedure) {
    const std::filesystem::path runtime =
        std::filesystem::temp_directory_path() / ("el_box_signal_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(runtime);
    for (int signal : {SIGTERM, SIGINT}) EXPECT_EQ(RunWithSignalDuringFirstBox(signal, runtime), 0) << signal;
    std::filesystem::remove_all(runtime);
}

// The guard of a box ends the box's own process (forked while the box is shown, as the window system
// library does) when a quit signal comes, so the wait for it returns; processes that were there
// before the box are left alone. Without a signal the guard ends nothing.
TEST(BoxSignalTest, TheGuardEndsTheBoxProcessOnAQuitSignalOnly) {
    const pid_t child = ::fork();
    if (child == 0) {
        platform::CatchQuitSignals();
        const pid_t older = ::fork();
        if (older == 0) {
            ::pause();
            ::_exit(0);
        }
        // Every way out ends the older process too, so that nothing outlives the test.
        auto finish = [older](int code) {
            ::kill(older, SIGKILL);
            ::waitpid(older, nullptr, 0);
            ::_exit(code);
        };
        {
            platform::BoxGuard quiet;
            const pid_t box = ::fork();
            if (box == 0) ::_exit(0);  // a box answered at once
            ::waitpid(box, nullptr, 0);
            if (quiet.ended() != 0) finish(2);
        }
        platform::BoxGuard guard;
        const pid_t box = ::fork();
        if (box == 0) {
            ::pause();  // a box nobody answers
            ::_exit(0);
        }
        ::raise(SIGTERM);
        int status = 0;
        while (::waitpid(box, &status, 0) < 0) {  // retried through signals, as the library does
        }
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) finish(3);
        if (!platform::QuitSignalled() || guard.ended() != 1) finish(4);
        if (::kill(older, 0) != 0) finish(5);  // the process from before the box still runs
        finish(0);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
