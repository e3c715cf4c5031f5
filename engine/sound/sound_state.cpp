// State of the sound device and the MIDI sequencer. The device and the sequencer are opened by the
// sound subsystem; until a program opens them, there is nothing to release or to report.
#include "engine/sound/midi.h"
#include "engine/sound/sound_device.h"

SoundDeviceState SoundDevice;
MidiState Midi;

namespace elSound {

void Release() { SoundDevice.open = false; }

}  // namespace elSound

void HandleMidiEndReport(uintptr_t notifyCode) {
    // A report only matters for a piece that finished by itself (notify code 1) while one is open.
    if (notifyCode != 1 || !Midi.pieceOpen) return;
}
