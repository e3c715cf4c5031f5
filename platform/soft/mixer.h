// The software mixer: sound buffers of PCM data in their own formats, resampled, weighted and summed
// into one output stream in the mix format.
//
// Two sides use it. The control side (the engine's thread) creates buffers, writes them through
// locks and plays, stops, moves and tunes them. The render side (an audio callback, or the caller
// itself when nothing renders concurrently) pulls mixed frames. Besides sample memory they share
// only atomics: each buffer's control word (play state and a serial number), the last position set,
// its gains and its frequency travel to the render side; the render side publishes position and play
// state back with the serial it has seen. Reads answer from what the control side last asked for
// until the render side has acknowledged it, so a caller always sees its own changes. The float
// samples the mix reads are written by Unlock only while the render side cannot be reading them;
// otherwise the render side converts the unlocked bytes itself before its next mix, and the next
// Lock waits for that. Sample memory of a released buffer is freed only once the render side has
// let go of it. Nothing on the render side allocates, blocks or takes a lock.
//
// A voice stopped while playing is not cut off in the mix: the render side plays on from where it
// had come to for a few milliseconds (kFadeMs), fading to silence, while the buffer itself is
// stopped at once (its play state, position and every later change are as if it were silent).
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/audio.h"
#include "platform/blit.h"

namespace platform::soft {

namespace mix_detail {
struct MixLoops;
}

// The instruction-set level of the mixing loops: the best the processor has up to AVX2, unless
// pinned by tests and benchmarks (AVX-512 is there, but slower). Every level gives the same
// samples; Scalar and SSE2 share the baseline's loops. SetMixLevel is false (and changes nothing)
// for a level the processor lacks.
BlitLevel ActiveMixLevel();
bool SetMixLevel(BlitLevel level);

struct MixFormat {
    uint32_t rate = 48000;
    uint16_t channels = 2;
    uint16_t bits = 16;
    uint32_t BlockAlign() const { return channels * (bits / 8u); }
};

// Whether a format block can be the mix format: PCM, 1 or 2 channels, 8 or 16 bits, 4000..192000 Hz,
// with the block alignment those imply.
bool MixableOutputFormat(const WaveFormat& format);

// 10^(centibels / 2000), with kVolumeMin and below exactly 0.
float GainOf(int32_t hundredthsOfDb);

// A source that renders its own frames on the render side (a synthesizer, say), mixed like a
// buffer with its volume and pan: `render` writes `frames` frames of `channels` floats (full scale
// ±1.0) at the mix rate `rate`. It runs on the render side, so it must not block or allocate.
struct SourceCallback {
    void (*render)(void* user, float* out, uint32_t frames, uint32_t channels, uint32_t rate) = nullptr;
    void* user = nullptr;
};

class Mixer {
  public:
    static constexpr uint32_t kMaxBuffers = 4096;
    static constexpr uint32_t kBlockFrames = 256;      // frames mixed per pass over the voices
    static constexpr uint32_t kMaxBytes = 0x0FFFFFFF;  // largest buffer
    static constexpr int kLockWaitMs = 1000;           // longest wait of Lock for the render side
    static constexpr uint32_t kFadeMs = 5;             // fade of a voice stopped while playing

    Mixer();
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Whether another thread may be rendering. While it may, memory of released buffers waits for
    // the render side's acknowledgement. Change it only while nothing renders.
    void SetConcurrent(bool concurrent);
    // The mix format; change it only while nothing renders. Playing buffers keep their positions.
    void SetFormat(const MixFormat& format);
    const MixFormat& Format() const { return format_; }

    // Control side (see platform/audio.h for the meaning of each operation).
    int32_t Create(const WaveFormat& format, uint32_t bytes, SoundBuffer* buffer);
    // A source in place of a buffer: played, stopped, released and given volume and pan like one;
    // its position counts the frames it rendered (at the mix rate, as 16-bit frames). It has no
    // bytes to lock, no frequency and no position to set.
    int32_t CreateSource(const SourceCallback& source, uint16_t channels, SoundBuffer* handle);
    void Release(SoundBuffer buffer);
    void ReleaseAll();
    int32_t Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, LockedRegions* regions);
    int32_t Unlock(SoundBuffer buffer, const LockedRegions& regions);
    int32_t Play(SoundBuffer buffer, bool looping);
    int32_t Stop(SoundBuffer buffer);
    bool Playing(SoundBuffer buffer);
    uint32_t Position(SoundBuffer buffer);
    int32_t SetPosition(SoundBuffer buffer, uint32_t bytes);
    int32_t SetVolume(SoundBuffer buffer, int32_t volume);
    int32_t Volume(SoundBuffer buffer);
    int32_t SetPan(SoundBuffer buffer, int32_t pan);
    int32_t Pan(SoundBuffer buffer);
    int32_t SetFrequency(SoundBuffer buffer, uint32_t hertz);
    uint32_t Frequency(SoundBuffer buffer);
    int BufferCount() const;  // buffers in use, released ones still waiting included

    // Render side: `frames` frames in the mix format (8-bit unsigned or 16-bit signed samples).
    void Render(void* out, uint32_t frames);

  private:
    struct Slot;
    struct Shared;
    struct Voice;
    struct Tail;

    Slot* Find(SoundBuffer buffer);
    bool ConversionPending(uint32_t index, const Slot& slot) const;
    void Prepare();
    void Post(uint32_t index, Slot& slot);
    void Collect();
    void FreeSlot(uint32_t index);
    void UpdateGains(uint32_t index, Slot& slot);
    void Adopt(uint32_t index, uint64_t control);
    void MixBlock(uint32_t frames);
    void MixSource(Voice& voice, uint32_t frames, float gainL, float gainR, float stepL, float stepR);
    void StartTail(uint32_t index);
    void MixTail(uint32_t index, uint32_t frames);
    void Install(uint32_t index, const WaveFormat& format, uint32_t bytes, SoundBuffer* buffer);
    void Publish(uint32_t index, const Voice& voice);

    MixFormat format_;
    bool concurrent_ = false;
    std::unique_ptr<Slot[]> slots_;
    std::unique_ptr<Shared[]> shared_;
    std::unique_ptr<Voice[]> voices_;
    std::unique_ptr<Tail[]> tails_;       // render side: the fading ends of stopped voices
    std::atomic<uint32_t> slotLimit_{0};  // slots 0..limit-1 have been used at some time
    int pendingFrees_ = 0;
    const mix_detail::MixLoops* loops_ = nullptr;  // render side: those of the active level
    alignas(64) float bus_[kBlockFrames * 2];
    alignas(64) float sourceFrames_[kBlockFrames * 2];
};

}  // namespace platform::soft
