// The single-instance lock across processes: a running copy holds it, a dead one's forked leftover does not.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/window.h"

namespace {

constexpr const char* kLockName = "ミルカネット！:ElMutex";

class InstanceLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime =
            std::filesystem::temp_directory_path() / ("el_instance_lock_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        if (helper > 0) {
            ::kill(helper, SIGKILL);
            ::waitpid(helper, nullptr, 0);
        }
        platform::ReleaseSingleInstance();
        unsetenv("XDG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }

    // Waits for one byte on the pipe; false when the writer went away first.
    static bool WaitForByte(int fd) {
        char byte;
        return ::read(fd, &byte, 1) == 1;
    }

    std::filesystem::path runtime;
    pid_t helper = -1;  // the leftover of the first copy, killed at the end
};

// A first copy takes the lock and forks a helper that inherits every descriptor (as a message box
// shown from a forked child does). While the first copy runs, a start is refused; once it has died,
// a start succeeds although the helper still holds the lock file open.
TEST_F(InstanceLockTest, ALeftoverChildOfADeadCopyDoesNotBlockAStart) {
    int ready[2];
    int proceed[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(proceed), 0);
    const pid_t first = ::fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        ::close(ready[0]);
        ::close(proceed[1]);
        if (!platform::AcquireSingleInstance(kLockName)) ::_exit(3);
        const pid_t box = ::fork();
        if (box == 0) {
            ::pause();  // holds every descriptor of the first copy until it is killed
            ::_exit(0);
        }
        const int32_t boxPid = box;
        (void)!::write(ready[1], &boxPid, sizeof boxPid);
        WaitForByte(proceed[0]);
        ::_exit(0);  // dies without releasing anything
    }
    ::close(ready[1]);
    ::close(proceed[0]);
    int32_t boxPid = -1;
    ASSERT_EQ(::read(ready[0], &boxPid, sizeof boxPid), static_cast<ssize_t>(sizeof boxPid));
    helper = boxPid;
    ::close(ready[0]);

    EXPECT_FALSE(platform::AcquireSingleInstance(kLockName));

    ASSERT_EQ(::write(proceed[1], "x", 1), 1);
    ::close(proceed[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(::kill(helper, 0), 0);  // the helper still lives

    EXPECT_TRUE(platform::AcquireSingleInstance(kLockName));
}

}  // namespace
