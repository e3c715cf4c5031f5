// MIDI music: one piece at a time through the sequencer, played once or repeated.
#pragma once
#include <cstddef>

// Plays a piece named relative to the program folder, once (loop 0) or repeating; returns the
// sequencer's result of the play command (0 success).
int MidiPlay(const char* name, int loop);
// Stops the piece and closes the sequencer.
void MidiClose();
// Lets the piece that plays end without repeating.
void MidiStopLoop();
// 1 from MidiPlay (even when the piece could not be opened) until MidiClose or its single play ends.
int MidiIsOpen();
// 1 when the piece starts again at its end, else 0.
int MidiIsLooping();
// 1 while the sequencer reports the piece as playing, else 0.
int MidiIsPlaying();
// The sequencer's answer to "status midi ITEM" (item "mode", "position", "length", ...) into the
// buffer (cut to size); returns the sequencer's result (0 success).
int MidiStatus(const char* item, char* answer, std::size_t size);
