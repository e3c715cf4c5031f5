// Writes that fail as on a full disk (a file-size limit) or in a folder that takes no file, for the
// tests of the writers that must leave the old file and no partial one.
#pragma once
#include <grp.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace testsupport {

// Runs `body` with writes past `bytes` in any file failing (EFBIG) as on a full disk; the limit and
// the ignored SIGXFSZ also hold in the programs `body` starts.
template <class Body>
auto WithFileSizeLimit(rlim_t bytes, Body body) {
    struct rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
    struct Restore {
        rlimit limit;
        void (*handler)(int);
        ~Restore() {
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, handler);
        }
    } restore{before, previous};
    return body();
}

// The exit status `InReadOnlyFolder` gives when it cannot make the folder refuse files.
constexpr int kCannotMakeReadOnly = 77;

// Takes from this process, and from every program it starts, the capabilities that let root write
// where the permissions say no, so that root meets a read-only folder as anyone does while keeping
// its own user (an ordinary user might not reach a build below a private home folder). False when
// the system refuses.
inline bool DropPermissionOverride() {
    const int capabilities[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH};
    for (int capability : capabilities)
        if (::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0) return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    for (int capability : capabilities) {
        const unsigned bit = 1u << (capability % 32);
        __user_cap_data_struct& word = data[capability / 32];
        word.effective &= ~bit;
        word.permitted &= ~bit;
        word.inheritable &= ~bit;
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

// Runs `body` in a child process for which `folder` takes no new file: the folder is made read-only
// and, where the tests run as root (whom permissions do not stop), the child gives up the
// capabilities that override permissions, or else becomes an ordinary user. Returns what `body`
// returned (its exit status), or kCannotMakeReadOnly.
inline int InReadOnlyFolder(const std::filesystem::path& folder, const std::function<int()>& body) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // An ordinary user must reach the folder through the test's own folders below the temporary one.
    const fs::path temporary = fs::temp_directory_path(ignored);
    for (fs::path up = folder.parent_path(); up.has_relative_path() && up != temporary; up = up.parent_path())
        fs::permissions(up, fs::perms::others_exec | fs::perms::others_read, fs::perm_options::add, ignored);
    fs::permissions(folder,
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec,
                    ignored);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && !DropPermissionOverride()) {
            ::setgroups(0, nullptr);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(kCannotMakeReadOnly);
        }
        if (::access(folder.c_str(), W_OK) == 0) ::_exit(kCannotMakeReadOnly);
        ::_exit(body());
    }
    int status = 0;
    const bool ended = child > 0 && ::waitpid(child, &status, 0) == child;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The names in a folder: after a failed write, only those that were there before.
// What `body` writes on standard error, read through a pipe: unlike a capture into a file, a pipe
// is not cut short by the file size limit of WithFileSizeLimit.
template <class Body>
std::string StandardErrorOf(Body body) {
    int ends[2];
    if (::pipe(ends) != 0) return "(no pipe)";
    const int saved = ::dup(2);
    ::dup2(ends[1], 2);
    ::close(ends[1]);
    body();
    ::dup2(saved, 2);
    ::close(saved);
    std::string said;
    char buffer[512];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;) said.append(buffer, got);
    ::close(ends[0]);
    return said;
}

inline std::set<std::string> FolderNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace testsupport
