// libFuzzer target: the virtual joystick's timeline reader. Any text is either refused with the
// number of a line it has and a reason, or gives steps in time order with indices and values in
// range, nothing after a detach, at most one step a line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sdl/sdl_virtual_joystick.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using platform::sdl::VirtualJoystickStep;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    platform::sdl::VirtualJoystickTimeline timeline;
    int badLine = 0;
    std::string reason;
    if (!platform::sdl::ParseVirtualJoystickTimeline(text, timeline, badLine, reason)) {
        if (badLine < 1 || static_cast<size_t>(badLine) > lines || reason.empty()) std::abort();
        return 0;
    }
    if (timeline.steps.size() > lines) std::abort();
    const int lastButton = timeline.gamepad ? 20 : 7;
    for (size_t i = 0; i < timeline.steps.size(); ++i) {
        const VirtualJoystickStep& step = timeline.steps[i];
        if (i > 0 && timeline.steps[i - 1].at > step.at) std::abort();
        if (i > 0 && timeline.steps[i - 1].kind == VirtualJoystickStep::kDetach) std::abort();
        switch (step.kind) {
            case VirtualJoystickStep::kAxis:
                if (step.index < 0 || step.index > 1 || step.value < -32768 || step.value > 32767) std::abort();
                break;
            case VirtualJoystickStep::kButton:
                if (step.index < 0 || step.index > lastButton || step.value < 0 || step.value > 1) std::abort();
                break;
            case VirtualJoystickStep::kDetach:
                break;
            default:
                std::abort();
        }
    }
    return 0;
}
