// elSound's device: opened by the display set-up, released by the exit procedure.
#pragma once

struct SoundDeviceState {
    bool open = false;
};

extern SoundDeviceState SoundDevice;

namespace elSound {
// Releases every sound buffer and the device; nothing happens when no device is open.
void Release();
}  // namespace elSound
