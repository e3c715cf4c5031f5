// A scripted stick for desktop sessions: MILKANET_VIRTUAL_JOYSTICK names a timeline that moves
// one SDL virtual joystick, attached when the joystick subsystem starts, against wall time.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sdl {

// One step of a timeline: at `at` milliseconds after the stick was attached, set an axis
// (-32768..32767) or a button (0 or 1), or remove the device.
struct VirtualJoystickStep {
    enum Kind { kAxis, kButton, kDetach };
    uint32_t at = 0;
    Kind kind = kAxis;
    int index = 0;
    int value = 0;
};

struct VirtualJoystickTimeline {
    bool gamepad = false;  // a game controller in SDL's standard layout instead of a plain stick
    std::vector<VirtualJoystickStep> steps;  // in the order of their times
};

// Reads timeline text. Lines are "MS axis A VALUE", "MS button B 0|1" and "MS detach" with times
// that never go back; "gamepad" may come before the first step; '#' starts a comment. On a line
// it cannot use it returns false with that line's number (from 1) and the reason.
bool ParseVirtualJoystickTimeline(std::string_view text, VirtualJoystickTimeline& out, int& badLine,
                                  std::string& reason);

// Attaches the stick of MILKANET_VIRTUAL_JOYSTICK when the variable is set (the joystick
// subsystem must be running). A file it cannot use is reported on stderr and nothing attached.
void StartVirtualJoystick();
// The same for a named file; false (reported) when it cannot be read or has a bad line.
bool AttachVirtualJoystick(const char* path);
// Applies the steps that are due. Safe to call at any time; nothing to do without a timeline.
void PlayVirtualJoystick();
// Removes the stick (if still attached) and forgets the timeline.
void StopVirtualJoystick();

// The clock the timeline runs against, in milliseconds; null restores SDL's tick count.
using VirtualJoystickClock = uint64_t (*)();
void SetVirtualJoystickClock(VirtualJoystickClock clock);

}  // namespace platform::sdl
