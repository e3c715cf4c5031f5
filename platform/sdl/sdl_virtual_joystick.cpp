// The scripted stick: reads a timeline, attaches one SDL virtual joystick and plays the timeline's
// steps when they are due, from the backend's joystick calls and from SDL's event pump.
#include "platform/sdl/sdl_virtual_joystick.h"

#include <SDL.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

namespace platform::sdl {
namespace {

constexpr int kPlainAxes = 2, kPlainButtons = 8;
constexpr int kAxesUsed = 2;  // a timeline moves the first two axes (the left stick of a controller)
const char kDeviceName[] = "Virtual joystick (MILKANET_VIRTUAL_JOYSTICK)";

struct VirtualStickState {
    bool playing = false;
    VirtualJoystickTimeline timeline;
    size_t next = 0;  // the first step not yet applied
    uint64_t start = 0;
    SDL_Joystick* handle = nullptr;
    SDL_JoystickID id = -1;
    bool detachDue = false;
    bool detachQueued = false;
};

VirtualStickState g_stick;
VirtualJoystickClock g_clock = nullptr;

uint64_t Now() {
    return g_clock != nullptr ? g_clock() : SDL_GetTicks64();
}

template <typename T>
bool ParseNumber(std::string_view word, T& out) {
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, out);
    return ec == std::errc() && ptr == end;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t begin = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > begin) words.push_back(line.substr(begin, i - begin));
    }
    return words;
}

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

// One step line; false with the reason when it cannot be used.
bool ParseStep(const std::vector<std::string_view>& words, bool gamepad, VirtualJoystickStep& step,
               std::string& reason) {
    if (!ParseNumber(words[0], step.at)) {
        reason = "expected a time in milliseconds or \"gamepad\", found " + Quoted(words[0]);
        return false;
    }
    if (words.size() < 2) {
        reason = "a time without a step (axis, button or detach)";
        return false;
    }
    const std::string_view kind = words[1];
    if (kind == "detach") {
        step.kind = VirtualJoystickStep::kDetach;
        if (words.size() != 2) {
            reason = "detach takes nothing after it";
            return false;
        }
        return true;
    }
    if (kind != "axis" && kind != "button") {
        reason = "unknown step " + Quoted(kind) + " (axis, button or detach)";
        return false;
    }
    const bool axis = kind == "axis";
    step.kind = axis ? VirtualJoystickStep::kAxis : VirtualJoystickStep::kButton;
    if (words.size() != 4) {
        reason = std::string(kind) +
                 (axis ? " takes an axis number and a value" : " takes a button number and 0 or 1");
        return false;
    }
    const int count = axis ? kAxesUsed : (gamepad ? SDL_CONTROLLER_BUTTON_MAX : kPlainButtons);
    if (!ParseNumber(words[2], step.index) || step.index < 0 || step.index >= count) {
        reason =
            std::string(kind) + " number " + Quoted(words[2]) + " is not 0 to " + std::to_string(count - 1);
        return false;
    }
    if (axis) {
        if (!ParseNumber(words[3], step.value) || step.value < -32768 || step.value > 32767) {
            reason = "axis value " + Quoted(words[3]) + " is not -32768 to 32767";
            return false;
        }
    } else if (!ParseNumber(words[3], step.value) || (step.value != 0 && step.value != 1)) {
        reason = "button state " + Quoted(words[3]) + " is not 0 or 1";
        return false;
    }
    return true;
}

// A timeline is a small regular file: a FIFO is not waited on, and a device (a link to /dev/zero),
// a folder or anything larger than kLargestTimeline is not read.
constexpr size_t kLargestTimeline = 16 << 20;

// Empty when the whole file is in `text`, else why it cannot be read.
std::string ReadTimelineFile(const char* path, std::string& text) {
    switch (ReadSmallFile(path, kLargestTimeline, text)) {
        case SmallFile::kRead:
            return "";
        case SmallFile::kFolder:
            return "a folder, not a file";
        case SmallFile::kNotRegular:
            return "not a regular file";
        case SmallFile::kTooLarge:
            return "larger than 16 MiB";
        case SmallFile::kMissing:
        case SmallFile::kFailed:
            break;
    }
    return std::strerror(errno);
}

void Report(const std::string& where, const std::string& reason) {
    std::fprintf(stderr, "virtual joystick: %s: %s\n", where.c_str(), reason.c_str());
}

int DeviceIndexOf(SDL_JoystickID id) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
}

// Removes the device with this instance id if it is still there (any thread: under SDL's lock).
void DetachById(SDL_JoystickID id) {
    SDL_LockJoysticks();
    const int index = DeviceIndexOf(id);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    SDL_UnlockJoysticks();
}

Uint32 DetachLater(Uint32, void* param) {
    DetachById(static_cast<SDL_JoystickID>(reinterpret_cast<intptr_t>(param)));
    return 0;
}

void Forget() {
    if (g_stick.handle != nullptr) SDL_JoystickClose(g_stick.handle);
    g_stick = VirtualStickState{};
}

void Play(bool fromUpdate) {
    if (!g_stick.playing) return;
    if (!g_stick.detachDue) {
        const uint64_t elapsed = Now() - g_stick.start;
        const std::vector<VirtualJoystickStep>& steps = g_stick.timeline.steps;
        while (g_stick.next < steps.size() && steps[g_stick.next].at <= elapsed) {
            const VirtualJoystickStep& step = steps[g_stick.next++];
            if (step.kind == VirtualJoystickStep::kDetach) {
                g_stick.detachDue = true;
                break;
            }
            if (step.kind == VirtualJoystickStep::kAxis)
                SDL_JoystickSetVirtualAxis(g_stick.handle, step.index, static_cast<Sint16>(step.value));
            else
                SDL_JoystickSetVirtualButton(g_stick.handle, step.index, static_cast<Uint8>(step.value));
        }
    }
    if (!g_stick.detachDue) return;
    if (fromUpdate) {
        // SDL is in the middle of updating this very device and goes on using it after the
        // callback: the removal waits for SDL to let go of its lock, on the timer thread.
        if (!g_stick.detachQueued) {
            g_stick.detachQueued =
                SDL_AddTimer(1, DetachLater, reinterpret_cast<void*>(static_cast<intptr_t>(g_stick.id))) != 0;
        }
        return;
    }
    DetachById(g_stick.id);
    Forget();
}

// Called by SDL's joystick update (the event pump and every reading), so the steps reach
// controller events while nothing reads the sticks.
void SDLCALL OnUpdate(void*) {
    Play(true);
}

}  // namespace

bool ParseVirtualJoystickTimeline(std::string_view text, VirtualJoystickTimeline& out, int& badLine,
                                  std::string& reason) {
    out = VirtualJoystickTimeline{};
    bool detached = false;
    int number = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) continue;
        badLine = number;
        if (words[0] == "gamepad") {
            if (words.size() != 1) {
                reason = "\"gamepad\" stands alone on its line";
                return false;
            }
            if (out.gamepad || !out.steps.empty()) {
                reason = "\"gamepad\" must come once, before the first step";
                return false;
            }
            out.gamepad = true;
            continue;
        }
        VirtualJoystickStep step;
        if (!ParseStep(words, out.gamepad, step, reason)) return false;
        if (detached) {
            reason = "no step can follow detach";
            return false;
        }
        if (!out.steps.empty() && step.at < out.steps.back().at) {
            reason = "time " + std::to_string(step.at) + " comes before the previous step's " +
                     std::to_string(out.steps.back().at);
            return false;
        }
        detached = step.kind == VirtualJoystickStep::kDetach;
        out.steps.push_back(step);
    }
    badLine = 0;
    reason.clear();
    return true;
}

void StartVirtualJoystick() {
    const char* path = std::getenv("MILKANET_VIRTUAL_JOYSTICK");
    if (path != nullptr && *path != '\0') AttachVirtualJoystick(path);
}

bool AttachVirtualJoystick(const char* path) {
    StopVirtualJoystick();
    std::string text;
    const std::string unread = ReadTimelineFile(path, text);
    if (!unread.empty()) {
        Report(path, "cannot be read (" + unread + ")");
        return false;
    }
    VirtualJoystickTimeline timeline;
    int badLine = 0;
    std::string reason;
    if (!ParseVirtualJoystickTimeline(text, timeline, badLine, reason)) {
        Report(std::string(path) + ":" + std::to_string(badLine), reason);
        return false;
    }

    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    // A controller in the standard layout is taken on by SDL's controller mapping (and so by the
    // controller keys); the plain stick has no type SDL would map.
    desc.type = timeline.gamepad ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = timeline.gamepad ? SDL_CONTROLLER_AXIS_MAX : kPlainAxes;
    desc.nbuttons = timeline.gamepad ? SDL_CONTROLLER_BUTTON_MAX : kPlainButtons;
    desc.name = kDeviceName;
    desc.Update = OnUpdate;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) {
        Report(path, std::string("cannot attach a virtual joystick (") + SDL_GetError() + ")");
        return false;
    }
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    if (handle == nullptr) {
        Report(path, std::string("cannot open the virtual joystick (") + SDL_GetError() + ")");
        SDL_JoystickDetachVirtual(index);
        return false;
    }
    g_stick.timeline = std::move(timeline);
    g_stick.handle = handle;
    g_stick.id = SDL_JoystickInstanceID(handle);
    g_stick.start = Now();
    g_stick.playing = true;
    Play(false);  // steps at time 0 hold from the start
    return true;
}

void PlayVirtualJoystick() {
    Play(false);
}

void StopVirtualJoystick() {
    if (!g_stick.playing) return;
    DetachById(g_stick.id);
    Forget();
}

void SetVirtualJoystickClock(VirtualJoystickClock clock) {
    g_clock = clock;
}

}  // namespace platform::sdl
