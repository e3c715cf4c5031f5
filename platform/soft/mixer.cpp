// The software mixer: buffer table, control words shared with the render side, resampling kernels
// and the conversion of the float mix to the output samples.
#include "platform/soft/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/soft/resampler.h"
#include "platform/soft/sequencer_mix.h"

namespace platform {

bool PlayableFormat(const WaveFormat& format) {
    if (format.formatTag != 1) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.samplesPerSec < kFrequencyMin || format.samplesPerSec > kFrequencyMax) return false;
    return format.blockAlign == format.channels * format.bitsPerSample / 8;
}

namespace soft {

bool MixableOutputFormat(const WaveFormat& format) {
    if (format.formatTag != 1) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.samplesPerSec < 4000 || format.samplesPerSec > 192000) return false;
    return format.blockAlign == format.channels * format.bitsPerSample / 8;
}

float GainOf(int32_t hundredthsOfDb) {
    if (hundredthsOfDb <= kVolumeMin) return 0.0f;
    if (hundredthsOfDb >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

namespace {

// Control word, written by the control side: position to jump to, flags, serial.
constexpr uint64_t kPlayBit = 1ull << 32;
constexpr uint64_t kLoopBit = 1ull << 33;
constexpr uint64_t kReleaseBit = 1ull << 35;
constexpr int kSerialShift = 36;
constexpr uint32_t kSerialMask = (1u << 28) - 1;
// Published word, written by the render side: position, playing, serial acknowledged.
inline uint32_t SerialOf(uint64_t word) {
    return static_cast<uint32_t>(word >> kSerialShift) & kSerialMask;
}
inline uint32_t PositionOf(uint64_t word) {
    return static_cast<uint32_t>(word);
}

constexpr uint32_t kIndexBits = 12;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;

uint64_t PackGains(float left, float right) {
    uint32_t l, r;
    std::memcpy(&l, &left, 4);
    std::memcpy(&r, &right, 4);
    return static_cast<uint64_t>(l) | static_cast<uint64_t>(r) << 32;
}
void UnpackGains(uint64_t word, float* left, float* right) {
    uint32_t l = static_cast<uint32_t>(word), r = static_cast<uint32_t>(word >> 32);
    std::memcpy(left, &l, 4);
    std::memcpy(right, &r, 4);
}

}  // namespace

// Control side's record of a buffer.
struct Mixer::Slot {
    bool used = false;
    bool releasing = false;  // released, memory not yet let go by the render side
    uint32_t generation = 0;
    WaveFormat format;
    uint32_t bytes = 0, frames = 0;
    uint16_t channels = 1, block = 1;
    bool eightBit = false;
    std::unique_ptr<uint8_t[]> raw;    // the bytes callers lock, in the buffer's format
    std::unique_ptr<float[]> samples;  // the same as floats in 16-bit units, what the mix reads
    int32_t volume = 0, pan = 0;
    uint32_t frequency = 0;
    // Last control word posted and what it asked for.
    uint32_t serial = 0;
    bool playing = false, looping = false;
    // The last position set, in frames, and whether the render side may not have taken it yet.
    uint32_t jumps = 0;
    uint32_t position = 0;
    bool jumpPending = false;
};

// What both sides touch, one cache line per buffer.
struct alignas(64) Mixer::Shared {
    std::atomic<uint64_t> control{0};
    std::atomic<uint64_t> published{0};
    std::atomic<uint64_t> jump{0};  // count of positions set (high half), the last one (low half)
    std::atomic<uint64_t> gains{0};
    std::atomic<uint32_t> frequency{0};
};

// Render side's state of a buffer.
struct Mixer::Voice {
    uint32_t serial = 0;
    uint32_t jumps = 0;
    bool active = false;  // the render side may read its samples
    bool playing = false, looping = false;
    const float* samples = nullptr;
    uint32_t frames = 0;
    uint16_t channels = 1;
    uint32_t pos = 0, frac = 0;  // read position: pos + frac / rate frames
    uint32_t frequency = 0, stepInt = 0, stepFrac = 0, stepRate = 0;
    float gainL = 0.0f, gainR = 0.0f;
    bool changed = false;  // publish at the end of this render
};

Mixer::Mixer()
    : slots_(new Slot[kMaxBuffers]), shared_(new Shared[kMaxBuffers]), voices_(new Voice[kMaxBuffers]) {
    KernelTable();  // built here, never on the render side
}

Mixer::~Mixer() = default;

void Mixer::SetConcurrent(bool concurrent) {
    concurrent_ = concurrent;
    if (!concurrent_) Collect();
}

void Mixer::SetFormat(const MixFormat& format) {
    // Fractions are kept in units of 1 / rate: rescale them so every voice keeps its place.
    const uint32_t limit = slotLimit_.load(std::memory_order_acquire);
    for (uint32_t i = 0; i < limit; ++i) {
        Voice& v = voices_[i];
        v.frac = static_cast<uint32_t>(static_cast<uint64_t>(v.frac) * format.rate / format_.rate);
        v.stepRate = 0;
    }
    format_ = format;
}

Mixer::Slot* Mixer::Find(SoundBuffer buffer) {
    const uint32_t index = (buffer & kIndexMask) - 1;
    if (buffer == 0 || index >= kMaxBuffers) return nullptr;
    Slot& slot = slots_[index];
    if (!slot.used || slot.releasing || slot.generation != buffer >> kIndexBits) return nullptr;
    return &slot;
}

void Mixer::Post(uint32_t index, Slot& slot) {
    slot.serial = (slot.serial + 1) & kSerialMask;
    uint64_t word = static_cast<uint64_t>(slot.serial) << kSerialShift;
    if (slot.playing) word |= kPlayBit;
    if (slot.looping) word |= kLoopBit;
    if (slot.releasing) word |= kReleaseBit;
    shared_[index].control.store(word, std::memory_order_release);
}

void Mixer::UpdateGains(uint32_t index, Slot& slot) {
    // The far side alone is attenuated by the pan.
    const int32_t left = slot.volume - std::max(slot.pan, 0);
    const int32_t right = slot.volume + std::min(slot.pan, 0);
    shared_[index].gains.store(PackGains(GainOf(left), GainOf(right)), std::memory_order_relaxed);
}

void Mixer::FreeSlot(uint32_t index) {
    Slot& slot = slots_[index];
    slot.raw.reset();
    slot.samples.reset();
    slot.used = false;
    slot.releasing = false;
    slot.format = WaveFormat{};
    if (!concurrent_) {
        // Nothing renders meanwhile: the render side forgets the samples now, so that the slot can
        // take a new buffer before the next render.
        voices_[index].active = false;
        voices_[index].playing = false;
        voices_[index].samples = nullptr;
    }
}

void Mixer::Collect() {
    if (pendingFrees_ == 0) return;
    const uint32_t limit = slotLimit_.load(std::memory_order_relaxed);
    for (uint32_t i = 0; i < limit && pendingFrees_ > 0; ++i) {
        Slot& slot = slots_[i];
        if (!slot.releasing) continue;
        const uint64_t seen = shared_[i].published.load(std::memory_order_acquire);
        if (!concurrent_ || SerialOf(seen) == slot.serial) {
            FreeSlot(i);
            --pendingFrees_;
        }
    }
}

int Mixer::BufferCount() const {
    int count = 0;
    for (uint32_t i = 0; i < kMaxBuffers; ++i) count += slots_[i].used ? 1 : 0;
    return count;
}

int32_t Mixer::Create(const WaveFormat& format, uint32_t bytes, SoundBuffer* buffer) {
    if (buffer == nullptr) return kAudioInvalidParam;
    *buffer = 0;
    if (!PlayableFormat(format)) return kAudioBadFormat;
    if (bytes == 0 || bytes > kMaxBytes || bytes % format.blockAlign != 0) return kAudioInvalidParam;
    Collect();
    uint32_t index = 0;
    while (index < kMaxBuffers && slots_[index].used) ++index;
    if (index == kMaxBuffers) return kAudioOutOfMemory;
    Slot& slot = slots_[index];
    const uint32_t frames = bytes / format.blockAlign;
    std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[bytes]);
    std::unique_ptr<float[]> samples(new (std::nothrow) float[static_cast<size_t>(frames) * format.channels]);
    if (!raw || !samples) return kAudioOutOfMemory;
    const bool eightBit = format.bitsPerSample == 8;
    std::memset(raw.get(), eightBit ? 0x80 : 0, bytes);
    std::fill_n(samples.get(), static_cast<size_t>(frames) * format.channels, 0.0f);

    slot.used = true;
    slot.releasing = false;
    slot.generation = ((slot.generation + 1) & ((1u << (32 - kIndexBits)) - 1));
    if (slot.generation == 0) slot.generation = 1;
    slot.format = format;
    slot.bytes = bytes;
    slot.frames = frames;
    slot.channels = format.channels;
    slot.block = format.blockAlign;
    slot.eightBit = eightBit;
    slot.raw = std::move(raw);
    slot.samples = std::move(samples);
    slot.volume = 0;
    slot.pan = 0;
    slot.frequency = format.samplesPerSec;
    slot.playing = slot.looping = false;
    slot.position = 0;
    slot.jumpPending = true;  // until the render side has seen the buffer, its position is 0
    Shared& shared = shared_[index];
    // A new buffer starts with a jump to 0, so the render side never keeps a position of the last.
    ++slot.jumps;
    shared.jump.store(static_cast<uint64_t>(slot.jumps) << 32, std::memory_order_relaxed);
    UpdateGains(index, slot);
    shared.frequency.store(slot.frequency, std::memory_order_relaxed);
    // The render side reads the slot's sample pointer and size once it sees this word.
    Post(index, slot);
    if (index + 1 > slotLimit_.load(std::memory_order_relaxed)) {
        slotLimit_.store(index + 1, std::memory_order_release);
    }
    *buffer = slot.generation << kIndexBits | (index + 1);
    return kAudioOk;
}

void Mixer::Release(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return;
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    slot->playing = false;
    slot->releasing = true;
    Post(index, *slot);
    ++pendingFrees_;
    Collect();
}

void Mixer::ReleaseAll() {
    for (uint32_t i = 0; i < kMaxBuffers; ++i) {
        Slot& slot = slots_[i];
        if (!slot.used || slot.releasing) continue;
        slot.playing = false;
        slot.releasing = true;
        Post(i, slot);
        ++pendingFrees_;
    }
    Collect();
}

int32_t Mixer::Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, LockedRegions* regions) {
    Slot* slot = Find(buffer);
    if (slot == nullptr || regions == nullptr) return kAudioInvalidParam;
    *regions = LockedRegions{};
    if (bytes == 0) bytes = slot->bytes;
    if (offset >= slot->bytes || bytes > slot->bytes) return kAudioInvalidParam;
    const uint32_t first = std::min(bytes, slot->bytes - offset);
    regions->first = slot->raw.get() + offset;
    regions->firstBytes = first;
    if (bytes > first) {
        regions->second = slot->raw.get();
        regions->secondBytes = bytes - first;
    }
    return kAudioOk;
}

int32_t Mixer::Unlock(SoundBuffer buffer, const LockedRegions& regions) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return kAudioInvalidParam;
    uint8_t* const base = slot->raw.get();
    const void* parts[2] = {regions.first, regions.second};
    const uint32_t sizes[2] = {regions.firstBytes, regions.secondBytes};
    // Check both regions before converting either.
    for (int r = 0; r < 2; ++r) {
        if (parts[r] == nullptr || sizes[r] == 0) continue;
        const uint8_t* p = static_cast<const uint8_t*>(parts[r]);
        if (p < base || p >= base + slot->bytes) return kAudioInvalidParam;
        if (sizes[r] > slot->bytes - static_cast<uint32_t>(p - base)) return kAudioInvalidParam;
    }
    for (int r = 0; r < 2; ++r) {
        if (parts[r] == nullptr || sizes[r] == 0) continue;
        const uint32_t begin = static_cast<uint32_t>(static_cast<const uint8_t*>(parts[r]) - base);
        // Whole samples touched by the region (a region may start or end inside a frame).
        const uint32_t bytesPerSample = slot->eightBit ? 1 : 2;
        const uint32_t first = begin / bytesPerSample;
        const uint32_t last = (begin + sizes[r] + bytesPerSample - 1) / bytesPerSample;
        float* out = slot->samples.get();
        if (slot->eightBit) {
            for (uint32_t i = first; i < last; ++i)
                out[i] = static_cast<float>((static_cast<int>(base[i]) - 128) * 256);
        } else {
            for (uint32_t i = first; i < last; ++i) {
                int16_t s;
                std::memcpy(&s, base + 2 * i, 2);
                out[i] = static_cast<float>(s);
            }
        }
    }
    return kAudioOk;
}

int32_t Mixer::Play(SoundBuffer buffer, bool looping) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return kAudioInvalidParam;
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    slot->playing = true;
    slot->looping = looping;
    Post(index, *slot);
    return kAudioOk;
}

int32_t Mixer::Stop(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return kAudioInvalidParam;
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    slot->playing = false;
    Post(index, *slot);
    return kAudioOk;
}

bool Mixer::Playing(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return false;
    const uint64_t seen = shared_[slot - slots_.get()].published.load(std::memory_order_acquire);
    if (SerialOf(seen) != slot->serial) return slot->playing;
    return (seen & kPlayBit) != 0;
}

uint32_t Mixer::Position(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return 0;
    const uint64_t seen = shared_[slot - slots_.get()].published.load(std::memory_order_acquire);
    uint32_t frames = PositionOf(seen);
    if (SerialOf(seen) == slot->serial) {
        slot->jumpPending = false;
    } else if (slot->jumpPending) {
        frames = slot->position;
    }
    return frames * slot->block;
}

int32_t Mixer::SetPosition(SoundBuffer buffer, uint32_t bytes) {
    Slot* slot = Find(buffer);
    if (slot == nullptr || bytes > slot->bytes) return kAudioInvalidParam;
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    slot->position = bytes / slot->block;
    slot->jumpPending = true;
    ++slot->jumps;
    shared_[index].jump.store(static_cast<uint64_t>(slot->jumps) << 32 | slot->position,
                              std::memory_order_relaxed);
    Post(index, *slot);
    return kAudioOk;
}

int32_t Mixer::SetVolume(SoundBuffer buffer, int32_t volume) {
    Slot* slot = Find(buffer);
    if (slot == nullptr || volume < kVolumeMin || volume > kVolumeMax) return kAudioInvalidParam;
    slot->volume = volume;
    UpdateGains(static_cast<uint32_t>(slot - slots_.get()), *slot);
    return kAudioOk;
}

int32_t Mixer::Volume(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    return slot == nullptr ? 0 : slot->volume;
}

int32_t Mixer::SetPan(SoundBuffer buffer, int32_t pan) {
    Slot* slot = Find(buffer);
    if (slot == nullptr || pan < kPanLeft || pan > kPanRight) return kAudioInvalidParam;
    slot->pan = pan;
    UpdateGains(static_cast<uint32_t>(slot - slots_.get()), *slot);
    return kAudioOk;
}

int32_t Mixer::Pan(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    return slot == nullptr ? 0 : slot->pan;
}

int32_t Mixer::SetFrequency(SoundBuffer buffer, uint32_t hertz) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return kAudioInvalidParam;
    if (hertz == 0) hertz = slot->format.samplesPerSec;  // 0 restores the buffer's own rate
    if (hertz < kFrequencyMin || hertz > kFrequencyMax) return kAudioInvalidParam;
    slot->frequency = hertz;
    shared_[slot - slots_.get()].frequency.store(hertz, std::memory_order_relaxed);
    return kAudioOk;
}

uint32_t Mixer::Frequency(SoundBuffer buffer) {
    Slot* slot = Find(buffer);
    return slot == nullptr ? 0 : slot->frequency;
}

// ---- Render side ----

void Mixer::Adopt(uint32_t index, uint64_t control) {
    Voice& v = voices_[index];
    const bool wasPlaying = v.playing;
    v.serial = SerialOf(control);
    v.changed = true;
    if (control & kReleaseBit) {
        v.active = false;
        v.playing = false;
        v.samples = nullptr;
        return;
    }
    const uint64_t jump = shared_[index].jump.load(std::memory_order_relaxed);
    if (!v.active) {
        // A new buffer in this slot: its samples and size were written before the word.
        const Slot& slot = slots_[index];
        v.active = true;
        v.samples = slot.samples.get();
        v.frames = slot.frames;
        v.channels = slot.channels;
        v.pos = v.frac = 0;
        v.frequency = 0;
        v.stepRate = 0;
    }
    if (static_cast<uint32_t>(jump >> 32) != v.jumps) {
        v.jumps = static_cast<uint32_t>(jump >> 32);
        v.pos = std::min(static_cast<uint32_t>(jump), v.frames);
        v.frac = 0;
    }
    v.playing = (control & kPlayBit) != 0;
    v.looping = (control & kLoopBit) != 0;
    if (v.playing && !wasPlaying) {
        // A voice that starts takes its gains at once; only changes while playing are ramped.
        UnpackGains(shared_[index].gains.load(std::memory_order_relaxed), &v.gainL, &v.gainR);
    }
}

void Mixer::Publish(uint32_t index, const Voice& v) {
    uint64_t word = static_cast<uint64_t>(v.serial) << kSerialShift | v.pos;
    if (v.playing) word |= kPlayBit;
    shared_[index].published.store(word, std::memory_order_release);
}

namespace {

// One sample of a tap outside the fast range: wrapped when looping, silence otherwise.
template <int kChannels>
inline float TapAt(const float* samples, int64_t frame, uint32_t frames, bool looping, int channel) {
    if (frame < 0 || frame >= frames) {
        if (!looping) return 0.0f;
        frame %= static_cast<int64_t>(frames);
        if (frame < 0) frame += frames;
    }
    return samples[frame * kChannels + channel];
}

}  // namespace

template <int kSrcChannels, int kBusChannels>
void Mixer::MixVoice(Voice& v, float* bus, uint32_t frames, float gainL, float gainR, float stepL,
                     float stepR) {
    const float* table = KernelTable();
    const uint32_t rate = format_.rate;
    const uint64_t scale = PhaseScale(rate);
    const uint32_t total = v.frames;
    const float* samples = v.samples;
    uint32_t pos = v.pos, frac = v.frac;
    const uint32_t stepInt = v.stepInt, stepFrac = v.stepFrac;
    uint32_t done = 0;
    auto emit = [&](float left, float right) {
        if constexpr (kBusChannels == 2) {
            bus[2 * done] += left * gainL;
            bus[2 * done + 1] += right * gainR;
        } else {
            // A mono mix ignores the pan: the near side's gain is the volume's.
            bus[done] += (kSrcChannels == 2 ? (left + right) * 0.5f : left) * std::max(gainL, gainR);
        }
        gainL += stepL;
        gainR += stepR;
        ++done;
        frac += stepFrac;
        pos += stepInt;
        if (frac >= rate) {
            frac -= rate;
            ++pos;
        }
    };
    while (done < frames) {
        if (pos >= total) {
            if (!v.looping) {
                v.playing = false;
                pos = total;
                frac = 0;
                break;
            }
            pos %= total;
        }
        if (pos >= kTapsBefore && total >= kTaps && pos <= total - (kTaps - kTapsBefore)) {
            // Every tap inside the buffer for the next `run` frames.
            const uint32_t last = total - (kTaps - kTapsBefore);
            const uint64_t room = static_cast<uint64_t>(last - pos + 1) * rate - 1 - frac;
            const uint64_t step = static_cast<uint64_t>(stepInt) * rate + stepFrac;
            const uint32_t run = static_cast<uint32_t>(std::min<uint64_t>(room / step + 1, frames - done));
            for (uint32_t n = 0; n < run; ++n) {
                const float* k = table + PhaseRow(frac, scale) * kTaps;
                const float* s = samples + static_cast<size_t>(pos - kTapsBefore) * kSrcChannels;
                if constexpr (kSrcChannels == 1) {
                    float y = 0.0f;
                    for (int t = 0; t < kTaps; ++t) y += s[t] * k[t];
                    emit(y, y);
                } else {
                    float l = 0.0f, r = 0.0f;
                    for (int t = 0; t < kTaps; ++t) {
                        l += s[2 * t] * k[t];
                        r += s[2 * t + 1] * k[t];
                    }
                    emit(l, r);
                }
            }
        } else {
            const float* k = table + PhaseRow(frac, scale) * kTaps;
            const int64_t first = static_cast<int64_t>(pos) - kTapsBefore;
            float l = 0.0f, r = 0.0f;
            for (int t = 0; t < kTaps; ++t) {
                l += TapAt<kSrcChannels>(samples, first + t, total, v.looping, 0) * k[t];
                if constexpr (kSrcChannels == 2)
                    r += TapAt<2>(samples, first + t, total, v.looping, 1) * k[t];
            }
            emit(l, kSrcChannels == 2 ? r : l);
        }
    }
    // A read position past the end after the last frame: wrapped, or the end of the sound.
    if (pos >= total) {
        if (v.looping) {
            pos %= total;
        } else {
            v.playing = false;
            pos = total;
            frac = 0;
        }
    }
    v.pos = pos;
    v.frac = frac;
    v.gainL = gainL;
    v.gainR = gainR;
}

void Mixer::MixBlock(uint32_t frames) {
    const uint32_t limit = slotLimit_.load(std::memory_order_acquire);
    const uint32_t busChannels = format_.channels;
    std::fill_n(bus_, frames * busChannels, 0.0f);
    for (uint32_t i = 0; i < limit; ++i) {
        Voice& v = voices_[i];
        const uint64_t control = shared_[i].control.load(std::memory_order_acquire);
        if (SerialOf(control) != v.serial) Adopt(i, control);
        if (!v.playing) continue;
        const uint32_t hertz = shared_[i].frequency.load(std::memory_order_relaxed);
        if (hertz != v.frequency || v.stepRate != format_.rate) {
            v.frequency = hertz;
            v.stepRate = format_.rate;
            v.stepInt = hertz / format_.rate;
            v.stepFrac = hertz % format_.rate;
        }
        float targetL, targetR;
        UnpackGains(shared_[i].gains.load(std::memory_order_relaxed), &targetL, &targetR);
        // Gain changes ramp across the block, so that they do not click.
        const float stepL = (targetL - v.gainL) / static_cast<float>(frames);
        const float stepR = (targetR - v.gainR) / static_cast<float>(frames);
        const float startL = v.gainL, startR = v.gainR;
        if (v.channels == 1) {
            if (busChannels == 2)
                MixVoice<1, 2>(v, bus_, frames, startL, startR, stepL, stepR);
            else
                MixVoice<1, 1>(v, bus_, frames, startL, startR, stepL, stepR);
        } else {
            if (busChannels == 2)
                MixVoice<2, 2>(v, bus_, frames, startL, startR, stepL, stepR);
            else
                MixVoice<2, 1>(v, bus_, frames, startL, startR, stepL, stepR);
        }
        v.gainL = targetL;
        v.gainR = targetR;
        v.changed = true;
    }
    // The MIDI sequencer plays into the same bus, in its 16-bit units.
    sequencer::Mix(bus_, frames, busChannels, format_.rate, 32767.0f);
}

void Mixer::Render(void* out, uint32_t frames) {
    uint8_t* bytes = static_cast<uint8_t*>(out);
    const uint32_t channels = format_.channels;
    while (frames > 0) {
        const uint32_t n = std::min(frames, kBlockFrames);
        MixBlock(n);
        // Saturate once, on the way out.
        if (format_.bits == 16) {
            int16_t* o = reinterpret_cast<int16_t*>(bytes);
            for (uint32_t i = 0; i < n * channels; ++i) {
                const float x = std::clamp(bus_[i], -32768.0f, 32767.0f);
                o[i] = static_cast<int16_t>(std::lrint(x));
            }
            bytes += n * channels * 2;
        } else {
            for (uint32_t i = 0; i < n * channels; ++i) {
                const float x = std::clamp(bus_[i] * (1.0f / 256.0f), -128.0f, 127.0f);
                bytes[i] = static_cast<uint8_t>(std::lrint(x) + 128);
            }
            bytes += n * channels;
        }
        frames -= n;
    }
    const uint32_t limit = slotLimit_.load(std::memory_order_acquire);
    for (uint32_t i = 0; i < limit; ++i) {
        Voice& v = voices_[i];
        if (!v.changed) continue;
        v.changed = false;
        Publish(i, v);
    }
}

}  // namespace soft
}  // namespace platform
