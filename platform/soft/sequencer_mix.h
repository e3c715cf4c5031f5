// What the software mixer asks of the MIDI sequencer: whether it drives it, and its samples.
#pragma once
#include <cstdint>

namespace platform::sequencer {

// The mixer says whether an output device is open and it will pull the sequencer's samples.
// While it is not, the sequencer keeps time on the platform clock, in silence.
void SetMixed(bool mixed);
// Adds `frames` stereo frames (interleaved, full scale 1.0) at `rate` to `stereo`, moving the
// piece on by as much. Called on the mixing thread.
void Mix(float* stereo, uint32_t frames, uint32_t rate);

}  // namespace platform::sequencer
