// elSound's device: opened by the display set-up, released by the exit procedure, rebuilt with
// every loaded sound object after it was given up or after a change of the output format.
#pragma once
#include <el/sound.h>

#include <cstdint>

struct SoundDeviceState {
    bool open = false;           // the platform's output device is open
    int32_t soundAvailable = 0;  // 1 once Init has opened the device; every sound operation tests it
    int32_t reloading = 0;       // 1 while the table is rebuilt; the loaders then fill the reload slot
    int32_t reloadSlot = 0;      // the object number being rebuilt while reloading is 1
};

extern SoundDeviceState SoundDevice;

namespace elSound {

// Opens the output device and clears every copy buffer of the table: 1 opened, 0 no device (the
// engine then runs silently; nothing is reported).
int Init();
// Releases every sound buffer and the device; names, copy counts, volumes, frequencies and pans
// stay, so that RestoreSounds can rebuild every object. Nothing happens without a device.
void Release();
// Opens the device again and reloads every object in use under its own number.
void RestoreSounds();

}  // namespace elSound
