// The runner's output files: a regular file is written beside itself and put in place when whole.
#pragma once
#include <cstdio>
#include <string>

#include "platform/files.h"

namespace replay {

// A file named on the command line that the run writes as it goes. A regular file (or a new name)
// is written into a temporary file beside it that takes its place at Close, so a failed or
// interrupted run leaves the old file, if any, and no partial one. Anything else (a device, a pipe)
// is written directly.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { Abandon(); }

    // False, with `reason`, when the file cannot be created.
    bool Open(const std::string& path, std::string* reason = nullptr);
    std::FILE* file() const { return direct_ != nullptr ? direct_ : replacement_.file(); }
    // Whether the bytes go into a temporary file (a regular target) rather than straight to the target.
    bool replacing() const { return replacement_.begun(); }
    const std::string& temporaryPath() const { return replacement_.temporaryPath(); }
    // Notes a write's outcome done on the descriptor; Close fails after a failed one. Returns `ok`.
    bool Check(bool ok);
    // Flushes and closes, checking every write, and puts a regular file in place. False, with
    // `reason`, when anything failed; nothing partial is left of a regular file then.
    bool Close(std::string* reason = nullptr);
    // Leaves the target as it was (a device or pipe keeps what it was given).
    void Abandon();

  private:
    platform::FileReplacement replacement_;
    std::FILE* direct_ = nullptr;
    bool directFailed_ = false;
};

}  // namespace replay
