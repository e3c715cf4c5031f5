// State of the sound device. The device is opened by the sound subsystem; until a program opens
// it, there is nothing to release.
#include "engine/sound/sound_device.h"

SoundDeviceState SoundDevice;

namespace elSound {

void Release() {
    SoundDevice.open = false;
}

}  // namespace elSound
