// Error reports and the other message boxes, all bounded to their 260-byte text buffers.
#include "engine/system/error_report.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "platform/files.h"
#include "platform/sjis.h"
#include "platform/window.h"

ErrorState Errors;

static bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

void CutSjisText(char* text, size_t size) {
    if (size == 0) return;
    size_t length = std::strlen(text);
    if (length < size) return;
    // Walk whole characters so that a cut never leaves half of a double-byte character behind.
    size_t keep = 0;
    while (keep < size - 1) {
        size_t step = IsSjisLeadByte(static_cast<unsigned char>(text[keep])) ? 2 : 1;
        if (keep + step > size - 1) break;
        keep += step;
    }
    text[keep] = '\0';
}

// Formats into a fixed buffer without overrunning it, cutting on a character boundary.
static void FormatBounded(char* buffer, size_t size, const char* format, va_list args) {
    char wide[4096] = {};
    if (format != nullptr) std::vsnprintf(wide, sizeof wide, format, args);
    CutSjisText(wide, size);
    std::memcpy(buffer, wide, std::strlen(wide) + 1);
}

int ReportError(const char* context, const char* message) {
    if (context == nullptr) context = "";
    if (message == nullptr) message = "";
    char text[kMessageTextSize];
    char joined[1024];
    std::snprintf(joined, sizeof joined, "%s : %s", context, message);
    CutSjisText(joined, sizeof text);
    std::memcpy(text, joined, std::strlen(joined) + 1);
    // Windowed display only: nothing has to be flipped back for the box to be seen.
    platform::Beep();
    platform::MessageBox(text, "エラー発生", platform::MB_SYSTEMMODAL | platform::MB_ICONWARNING);
    Errors.ErrorFlag = 1;
    return 0;
}

int HasError() {
    return Errors.ErrorFlag;
}

int EndIfError() {
    if (Errors.ErrorFlag == 1) ExitProgram();
    return Errors.ErrorFlag;
}

// The notice and the question share everything but the box style.
static int ShowBox(uint32_t style, const char* format, va_list args) {
    char text[kMessageTextSize];
    FormatBounded(text, kMessageTextSize - 2, format, args);
    std::strcat(text, "\r\n");
    SetCursorShown(true);
    Engine.MessageBoxOpen = 1;
    int answer = platform::MessageBox(text, "メッセージ", style);
    Engine.MessageBoxOpen = 0;
    ResetFrameTimer();
    return answer;
}

void ShowMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ShowBox(platform::MB_SYSTEMMODAL | platform::MB_ICONWARNING, format, args);
    va_end(args);
}

int AskYesNo(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int answer = ShowBox(platform::MB_ICONQUESTION | platform::MB_YESNO, format, args);
    va_end(args);
    return answer == platform::IDYES ? 1 : 0;
}

void DebugLog(const char* format, ...) {
    FILE* file = platform::OpenFile("DEBUG.TXT", "at");
    if (file == nullptr) return;
    va_list args;
    va_start(args, format);
    if (format != nullptr) std::vfprintf(file, format, args);
    va_end(args);
    std::fputs("\n", file);
    std::fclose(file);
}

void ExplainProblem(const char* operation, const std::string& text) {
    if (operation == nullptr) operation = "";
    std::fprintf(stderr, "%s: %s\n", operation, text.c_str());
    DebugLog("%s: %s", operation, text.c_str());
}

void ExplainLoadFailure(const char* operation, const char* name, const std::string& reason,
                        const std::string& path) {
    if (operation == nullptr) operation = "";
    if (name == nullptr) name = "";
    // The log keeps the name in the program's own letters, like every other line it holds.
    // Without a path (nothing was looked for) the line ends with the reason.
    const std::string where = path.empty() ? std::string() : " (" + path + ")";
    std::fprintf(stderr, "%s: %s: %s%s\n", operation, platform::SjisToUtf8(name).c_str(), reason.c_str(),
                 where.c_str());
    DebugLog("%s: %s: %s%s", operation, name, reason.c_str(), where.c_str());
}

std::string CannotOpenReason(const std::string& path) {
    if (path.empty()) return "cannot be read: the name is not one the system can hold";
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return "cannot be read: not found";
        return std::string("cannot be read: ") + std::strerror(errno);
    }
    if (S_ISDIR(status.st_mode)) return "cannot be read: a folder, not a file";
    if (!S_ISREG(status.st_mode)) return "cannot be read: not a regular file";
    if (::access(path.c_str(), R_OK) != 0) return std::string("cannot be read: ") + std::strerror(errno);
    return "cannot be read";
}
