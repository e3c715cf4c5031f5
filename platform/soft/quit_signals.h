// SIGTERM and SIGINT while a box is open: noted, the box's own process ended, the box call returned.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <set>
#include <thread>

namespace platform {

// Catches SIGTERM and SIGINT: each is noted, then handed on to the handler that was there before
// (the window system library's, which turns it into a quit request). Call once the library has
// put its own handlers in place; calling again does nothing.
void CatchQuitSignals();
// Whether a quit signal has come since the start (or since the last ForgetQuitSignalForTesting).
bool QuitSignalled();
// True once for each quit signal that came: a backend without handlers of its own turns it into a
// close request.
bool TakeQuitSignal();
void ForgetQuitSignalForTesting();

// Kept while a box is shown. The window system library shows a box in a process of its own and
// waits for it, retrying through signals; when a quit signal comes, the guard ends every process
// forked since the guard began, so the box closes and the call that shows it returns at once.
class BoxGuard {
  public:
    BoxGuard();
    ~BoxGuard();
    BoxGuard(const BoxGuard&) = delete;
    BoxGuard& operator=(const BoxGuard&) = delete;

    // Processes the guard ended.
    int ended() const { return ended_.load(); }

  private:
    void Watch();

    std::set<pid_t> before_;  // this process's children when the box opened
    int done_[2] = {-1, -1};  // written when the box has closed
    std::atomic<int> ended_{0};
    std::thread watcher_;
};

}  // namespace platform
