// Single instance: a record lock on a lock file under $XDG_RUNTIME_DIR (or /tmp) named after the
// program's caption, and a listening local socket beside it that a second copy connects to. A record
// lock belongs to the process, not to the open file: a forked child (the window system's message-box
// helper) that still holds the descriptor after the program died does not keep it locked.
#include "platform/soft/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sjis.h"
#include "platform/window.h"

namespace platform {
namespace {

int lockFd = -1;
int listenFd = -1;
std::string socketPath;
std::string heldLockPath;

// Locks the whole file for writing; fails at once when another process holds it.
bool LockWholeFile(int fd) {
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return ::fcntl(fd, F_SETLK, &lock) == 0;
}

void CloseLock() {
    if (lockFd < 0) return;
    ::close(lockFd);  // closing the descriptor drops the process's record lock
    lockFd = -1;
    heldLockPath.clear();
}

std::string InstanceBasePath(const char* nameSjis) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime != nullptr && *runtime != '\0') ? runtime : "/tmp";
    std::string name = SjisToUtf8(nameSjis);
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return folder + "/" + name;
}

bool FillAddress(sockaddr_un& address, const std::string& path) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool AskFirstCopyToRaise(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(address, path)) return false;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool asked = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const char request[] = "raise\n";
        asked = ::write(fd, request, sizeof request - 1) == static_cast<ssize_t>(sizeof request - 1);
    }
    ::close(fd);
    return asked;
}

// The second copy ends without a window of its own: it says why, so that a start from a terminal
// or a launcher that shows nothing is not a silent no-op.
void RefuseSecondCopy(const char* nameSjis, const std::string& requestPath) {
    const bool asked = AskFirstCopyToRaise(requestPath);
    std::string caption = SjisToUtf8(nameSjis);
    const size_t suffix = caption.rfind(':');
    if (suffix != std::string::npos) caption.erase(suffix);
    std::fprintf(stderr, "%s: %s is already running; %s\n", program_invocation_short_name, caption.c_str(),
                 asked ? "its window is brought to the front" : "its window could not be reached");
}

void ListenForRaiseRequests(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(address, path)) return;
    ::unlink(path.c_str());
    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd < 0) return;
    if (::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd, 4) != 0) {
        ::close(listenFd);
        listenFd = -1;
    }
}

}  // namespace

bool AcquireSingleInstance(const char* nameSjis) {
    std::string base = InstanceBasePath(nameSjis);
    std::string lockPath = base + ".lock";
    const std::string requestPath = base + ".sock";
    // Record locks do not exclude their own process, and closing any descriptor of the file would
    // drop the lock: a second attempt on a lock this process holds is refused without opening it.
    if (lockFd >= 0 && heldLockPath == lockPath) {
        RefuseSecondCopy(nameSjis, requestPath);
        return false;
    }
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no lock can be had: run rather than refuse to start
    if (!LockWholeFile(fd)) {
        ::close(fd);
        RefuseSecondCopy(nameSjis, requestPath);
        return false;
    }
    CloseLock();
    lockFd = fd;
    heldLockPath = lockPath;
    socketPath = requestPath;
    ListenForRaiseRequests(socketPath);
    return true;
}

void ReleaseSingleInstance() {
    if (listenFd >= 0) {
        ::close(listenFd);
        listenFd = -1;
        ::unlink(socketPath.c_str());
    }
    CloseLock();
}

namespace instance {

bool TakeRaiseRequest() {
    if (listenFd < 0) return false;
    // Asked every frame: look before accepting, since a refused accept still costs the kernel a
    // socket made and thrown away.
    pollfd waiting{listenFd, POLLIN, 0};
    if (::poll(&waiting, 1, 0) <= 0) return false;
    bool raised = false;
    while (true) {
        int client = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) break;
        raised = true;
        ::close(client);
    }
    return raised;
}

}  // namespace instance
}  // namespace platform
