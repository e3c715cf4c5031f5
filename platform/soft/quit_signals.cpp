// Quit signals: a flag and a pipe written by the handler, and the watcher that ends a box's process.
#include "platform/soft/quit_signals.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

std::atomic<int> signalled{0};  // quit signals that came
std::atomic<int> taken{0};      // of them, those TakeQuitSignal has answered
int wakePipe[2] = {-1, -1};     // a byte for each signal, for the box watcher
struct sigaction previous[2];   // SIGTERM's and SIGINT's handlers before ours
bool caught = false;

constexpr int kSignals[2] = {SIGTERM, SIGINT};

void Install(int index);

void OnQuitSignal(int number) {
    const int saved = errno;
    signalled.fetch_add(1);
    if (wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &byte, 1);
    }
    const int index = number == SIGTERM ? 0 : 1;
    const struct sigaction& before = previous[index];
    if ((before.sa_flags & SA_SIGINFO) == 0 && before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN &&
        before.sa_handler != nullptr)
        before.sa_handler(number);
    // A handler handed on to may have put itself back in place of this one.
    Install(index);
    errno = saved;
}

void Install(int index) {
    struct sigaction ours {};
    ours.sa_handler = OnQuitSignal;
    sigemptyset(&ours.sa_mask);
    ours.sa_flags = SA_RESTART;
    ::sigaction(kSignals[index], &ours, nullptr);
}

// The children of this process, from the process table.
std::set<pid_t> Children() {
    std::set<pid_t> children;
    const pid_t self = ::getpid();
    DIR* processes = ::opendir("/proc");
    if (processes == nullptr) return children;
    while (const dirent* entry = ::readdir(processes)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        char path[64], line[512];
        std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
        FILE* stat = std::fopen(path, "re");
        if (stat == nullptr) continue;
        const size_t got = std::fread(line, 1, sizeof line - 1, stat);
        std::fclose(stat);
        line[got] = '\0';
        // "pid (name) state ppid ...": the name may hold spaces and brackets, so read after the last ')'.
        const char* close = std::strrchr(line, ')');
        char state = 0;
        long parent = 0;
        if (close != nullptr && std::sscanf(close + 1, " %c %ld", &state, &parent) == 2 && parent == self)
            children.insert(static_cast<pid_t>(pid));
    }
    ::closedir(processes);
    return children;
}

}  // namespace

void CatchQuitSignals() {
    if (caught) return;
    caught = true;
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
    for (int index = 0; index < 2; ++index) {
        ::sigaction(kSignals[index], nullptr, &previous[index]);
        Install(index);
    }
}

bool QuitSignalled() {
    return signalled.load() > 0;
}

bool TakeQuitSignal() {
    int seen = taken.load();
    while (seen < signalled.load())
        if (taken.compare_exchange_weak(seen, seen + 1)) return true;
    return false;
}

void ForgetQuitSignalForTesting() {
    signalled = 0;
    taken = 0;
    char drain[64];
    while (wakePipe[0] >= 0 && ::read(wakePipe[0], drain, sizeof drain) > 0) {
    }
}

BoxGuard::BoxGuard() : before_(Children()) {
    if (wakePipe[0] < 0 || ::pipe2(done_, O_CLOEXEC) != 0) return;
    watcher_ = std::thread(&BoxGuard::Watch, this);
}

BoxGuard::~BoxGuard() {
    if (!watcher_.joinable()) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(done_[1], &byte, 1);
    watcher_.join();
    ::close(done_[0]);
    ::close(done_[1]);
}

// Waits for the box to close or a quit signal to come; after a signal, ends each new child as it
// appears (the box's process may not have been forked yet) until the box has closed.
void BoxGuard::Watch() {
    bool quitting = signalled.load() > 0;
    for (;;) {
        pollfd wait[2] = {{done_[0], POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        const int ready = ::poll(wait, 2, quitting ? 20 : -1);
        if (ready < 0 && errno != EINTR) return;
        if (ready > 0 && (wait[0].revents & POLLIN) != 0) return;
        if (ready > 0 && (wait[1].revents & POLLIN) != 0) {
            char drain[64];
            while (::read(wakePipe[0], drain, sizeof drain) > 0) {
            }
            quitting = true;
        }
        if (!quitting) continue;
        for (const pid_t child : Children()) {
            if (before_.count(child) != 0) continue;
            before_.insert(child);
            ended_.fetch_add(1);  // counted first: the wait for the box returns as soon as it ends
            if (::kill(child, SIGKILL) != 0) ended_.fetch_sub(1);
        }
    }
}

}  // namespace platform
