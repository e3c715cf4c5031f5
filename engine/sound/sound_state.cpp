// State of the MIDI sequencer. The sequencer is opened by the sound subsystem; until a program
// opens it, there is nothing to report.
#include "engine/sound/midi.h"

MidiState Midi;

void HandleMidiEndReport(uintptr_t notifyCode) {
    // A report only matters for a piece that finished by itself (notify code 1) while one is open.
    if (notifyCode != 1 || !Midi.pieceOpen) return;
}
