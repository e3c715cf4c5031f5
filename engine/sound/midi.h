// MIDI music through the sequencer: the end report the window procedure hands on.
#pragma once
#include <cstdint>

struct MidiState {
    bool pieceOpen = false;
};

extern MidiState Midi;

// The sequencer's end-of-piece report (message 953) with its wParam.
void HandleMidiEndReport(uintptr_t notifyCode);
