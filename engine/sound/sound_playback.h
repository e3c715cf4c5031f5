// Playing, stopping, pausing and shaping sound objects: round-robin copies, volume, pan,
// frequency and the echo. Copy argument: 0..count-1 one copy; -2 the next round-robin copy (and
// for Play and PlayLoop the start of the echo); other negative values every copy (Play and
// PlayLoop: the next copy).
#pragma once
#include <cstdint>

#include "engine/sound/sound_objects.h"

namespace elSound {

void Play(SoundNo number, int copy);
void PlayLoop(SoundNo number, int copy);
void Stop(SoundNo number, int copy);
// A playing copy stops and keeps its position; a stopped one resumes there.
void Pause(SoundNo number, int copy);
// The play position of copy 0 in bytes; 0 without a device or for an object that is not loaded.
uint32_t GetPosition(SoundNo number);

// Frequency in steps of 100 Hz, volume in steps of 1 dB (100 units), pan in steps of 100 units.
void AddFrequency(SoundNo number, int steps, int copy);
void SetFrequency(SoundNo number, int steps, int copy);
void ResetFrequency(SoundNo number, int copy);
void AddPan(SoundNo number, int steps, int copy);
void SetPan(SoundNo number, int steps, int copy);
void ResetPan(SoundNo number, int copy);
void PanLeft(SoundNo number, int copy);
void PanRight(SoundNo number, int copy);
void AddVolume(SoundNo number, int steps, int copy);
void SetVolume(SoundNo number, int steps, int copy);
void ResetVolume(SoundNo number, int copy);

// Advances a running echo by one frame: every interval milliseconds the next copy plays fade
// decibels quieter than the one before, until repeats repeats have played.
void UpdateEcho(SoundNo number, int interval, int repeats, int fade);
// The same, with the repeats swaying between left and right by sway pan steps per second.
void UpdateEchoSweep(SoundNo number, int interval, int repeats, int fade, int sway);

}  // namespace elSound
