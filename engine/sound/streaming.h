// Streamed playback: pack entries of five seconds or more play through a ring of four seconds that
// Streaming refills from the pack file once per frame.
#pragma once
#include <cstdint>

#include "engine/sound/sound_objects.h"

namespace elSound {

// Loads a pack entry of the selected pack as a stream that repeats from `loopPoint` (bytes from
// the start of its data) when played with PlayLoop; an entry shorter than five seconds is loaded
// whole as an ordinary object of one copy. -1 on failure.
SoundNo LoadStream(const char* name, uint32_t loopPoint);
// Refills every playing stream whose play cursor has left the part written last: call once per
// frame. 1 done, 0 no device or a failure was reported.
int Streaming();
// Rewinds a stream to the start of its data and refills the first half of its ring.
int ResetStream(SoundNo number);

}  // namespace elSound
