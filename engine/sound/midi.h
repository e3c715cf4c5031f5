// MIDI music: one piece at a time through the sequencer under the alias "midi", played once or
// repeated on the sequencer's end report.
#pragma once
#include <el/midi.h>

#include <cstdint>

constexpr int kMidiCommandSize = 260;
constexpr int kMidiStatusSize = 32;

struct MidiState {
    int32_t open = 0;  // the alias "midi" is open
    int32_t loop = 1;  // start the piece again when it ends
};

extern MidiState Midi;

int MidiInit();
// The piece ended: starts it again, or closes the sequencer when it plays once.
void MidiNotify();
// Stops and closes whatever the state says.
void MidiAbort();
// The sequencer's end report (message 953) with its notify code, from the window procedure.
void HandleMidiEndReport(uintptr_t notifyCode);
