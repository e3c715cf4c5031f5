// The one mixer behind platform/audio.h and how a backend attaches its output device to it.
#pragma once
#include "platform/soft/mixer.h"

namespace platform::soft {

// What the backend's device offers the portable part.
struct AudioBackendHooks {
    // Keep the render side out (and let it in again) while the mix format changes.
    void (*lock)() = nullptr;
    void (*unlock)() = nullptr;
    // The mix format changed; called between lock and unlock.
    void (*formatChanged)(const MixFormat& format) = nullptr;
};

Mixer& DeviceMixer();
// Called by the backend's OpenAudioDevice once its device runs: the mix format returns to 48000 Hz,
// 2 channels, 16 bits. `concurrent` when another thread renders.
void AttachAudioDevice(const AudioBackendHooks& hooks, bool concurrent);
// Called by the backend's CloseAudioDevice after its render side has stopped: every buffer goes.
void DetachAudioDevice();

}  // namespace platform::soft
