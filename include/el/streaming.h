// Streamed playback: pack entries of five seconds or more play through a ring of four seconds that
// Streaming refills from the pack file once per frame.
#pragma once
#include <el/sound.h>

#include <cstdint>

namespace elSound {

// What a stream has read of its entry (GetStreamStatus).
struct StreamStatus {
    uint32_t dataSize = 0;   // bytes of sound data in the entry
    uint32_t consumed = 0;   // bytes read from the entry so far
    uint32_t loopPoint = 0;  // where a repeating stream starts again, bytes from the data's start
    uint32_t halfRing = 0;   // bytes in one half of the ring (two seconds of sound)
};

// Loads a pack entry of the selected pack as a stream that repeats from `loopPoint` (bytes from
// the start of its data) when played with PlayLoop; an entry shorter than five seconds is loaded
// whole as an ordinary object of one copy. -1 on failure.
SoundNo LoadStream(const char* name, uint32_t loopPoint);
// Refills every playing stream whose play cursor has left the part written last: call once per
// frame. 1 done, 0 no device or a failure was reported.
int Streaming();
// Rewinds a stream to the start of its data and refills the first half of its ring.
int ResetStream(SoundNo number);
// 1 and the stream's figures, or 0 (and all of them 0) when the number holds no stream.
int GetStreamStatus(SoundNo number, StreamStatus* status);

}  // namespace elSound
