// What the software mixer asks of the MIDI sequencer: whether it drives it, and its samples.
#pragma once
#include <cstdint>

namespace platform::sequencer {

// The mixer says whether an output device is open and it will pull the sequencer's samples.
// While it is not, the sequencer keeps time on the platform clock, in silence.
void SetMixed(bool mixed);
// Adds `frames` frames at `rate` to `bus` (1 or 2 interleaved channels; mono takes the mean of
// left and right), full scale being `scale`, moving the piece on by as much. Called on the mixing
// thread.
void Mix(float* bus, uint32_t frames, uint32_t channels, uint32_t rate, float scale);

}  // namespace platform::sequencer
