// Files by name: the program's path, the settings pointer folder, and opening names given with
// backslashes and in any case.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// The executable's full path with "\" as separator (like "\home\me\game\milkanet"), cut to fit;
// returns the length written. The buffer always ends with a NUL when size > 0. The bytes are the file
// system's own (UTF-8 here), not Shift-JIS: see ResolvePath.
size_t GetModuleFileName(char* buffer, size_t size);
// The folder that holds the settings pointer file ($XDG_CONFIG_HOME, else ~/.config), "\" separators.
size_t GetWindowsDirectory(char* buffer, size_t size);

// Turns a name with "\" or "/" separators into a path of this system, matching every component
// without regard to case where the exact name does not exist. Relative names stay relative to the
// current directory. For a file still to be created the last component is kept as given.
// A name is Shift-JIS, except a leading program folder, settings pointer folder or settings folder
// (SetSettingsFolder), which are the file system's own bytes and are kept as they are. A name whose
// Shift-JIS part is not text (or a null name) gives "".
std::string ResolvePath(const char* name);

// fopen on a resolved name; a "t" in the mode is ignored. Null for a name ResolvePath refuses.
// Reading opens regular files only; nothing is written into a FIFO.
FILE* OpenFile(const char* name, const char* mode);

// What reading a small file of this system gave.
enum class SmallFile {
    kRead,        // the whole file is in the text
    kMissing,     // it cannot be opened; errno says why
    kNotRegular,  // a FIFO, device or socket: not waited on, not read
    kFolder,
    kTooLarge,  // larger than the reader takes
    kFailed,    // a read failed; errno says why
};

// Reads the whole file at `path` (a path of this system, not an engine name) into `text` when it is
// a regular file of at most `largest` bytes.
SmallFile ReadSmallFile(const std::string& path, size_t largest, std::string& text);

// Makes `size` bytes the whole content of the file at `path` (a path of this system, as
// ResolvePath gives it): written into a temporary file beside it, checked at every write and at the
// close, then renamed into place. On any failure the old file (if any) is as it was, no partial
// file is left, and `reason` (when given) says what failed.
bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* reason = nullptr);

// The path a name ends at after following the links of its last component (a link to a file still
// to be created gives that file's path); the name itself when it is no link.
std::string LinkTarget(const std::string& path);

// A file written in pieces that takes its target's place only when it is complete, like
// WriteWholeFile: a temporary file beside the target (beside the file a link names), which may start
// as a copy of the target's bytes so that records can be appended to them. Until Commit the target
// is as it was; a replacement that is not committed is removed.
class FileReplacement {
  public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file for `path` (a path of this system); with keepContent it starts with
    // the bytes of the file there, if any. False, with `reason`, when the target is not a regular
    // file, its folder takes no file, or the old bytes cannot be copied.
    bool Begin(const std::string& path, bool keepContent, std::string* reason = nullptr);
    bool begun() const { return file_ != nullptr; }
    // Where the bytes go; write through it (or its descriptor) and pass each outcome to Check.
    std::FILE* file() const { return file_; }
    const std::string& temporaryPath() const { return temporary_; }
    // Notes a write's outcome: the first failure, with its errno, makes Commit fail. Returns `ok`.
    bool Check(bool ok);
    bool failed() const { return error_ != 0; }
    // Flushes and closes the temporary file, checking both and every write noted, and renames it over
    // the target. On failure the temporary file is removed, the target left as it was, and `reason`
    // says what failed. Without `overwrite` an existing target is kept and Commit fails with EEXIST.
    bool Commit(std::string* reason = nullptr, bool overwrite = true);
    // Removes the temporary file; the target stays as it was.
    void Abandon();

  private:
    std::FILE* file_ = nullptr;
    std::string target_, temporary_;
    int error_ = 0;
};

// One line on standard error, "context: name: reason", the name (Shift-JIS) shown as UTF-8: what
// went wrong with a file, beside what the engine reports in its own way.
void WriteFileProblem(const char* context, const char* nameSjis, const char* reason);

// The settings folder the engine uses when it was moved away from the program folder ("\" form,
// ending in "\", the file system's own bytes); "" or null when there is none.
void SetSettingsFolder(const char* backslashFolder);

// Overrides the program path (tests, tools).
void SetModuleFileNameForTesting(const char* backslashPath);

}  // namespace platform
