// The runner's output files: a temporary file beside a regular target, the target itself otherwise.
#include "output_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace replay {

bool OutputFile::Open(const std::string& path, std::string* reason) {
    Abandon();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        direct_ = std::fopen(path.c_str(), "wb");
        if (direct_ == nullptr && reason != nullptr) *reason = std::strerror(errno);
        return direct_ != nullptr;
    }
    return replacement_.Begin(path, false, reason);
}

bool OutputFile::Check(bool ok) {
    if (direct_ != nullptr) {
        directFailed_ = directFailed_ || !ok;
        return ok;
    }
    return replacement_.Check(ok);
}

bool OutputFile::Close(std::string* reason) {
    if (direct_ == nullptr) return replacement_.Commit(reason);
    bool ok = !directFailed_ && std::fflush(direct_) == 0 && std::ferror(direct_) == 0;
    if (std::fclose(direct_) != 0) ok = false;
    direct_ = nullptr;
    if (!ok && reason != nullptr) *reason = "cannot write it whole";
    return ok;
}

void OutputFile::Abandon() {
    if (direct_ != nullptr) std::fclose(direct_);
    direct_ = nullptr;
    directFailed_ = false;
    replacement_.Abandon();
}

}  // namespace replay
