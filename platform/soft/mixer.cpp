// The software mixer: buffer table, control words shared with the render side, the pass over the
// voices (their loops are in mixer_loops*.cpp) and the conversion of the float mix to the output
// samples.
#include "platform/soft/mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>

#include "platform/soft/mixer_loops.h"
#include "platform/soft/resampler.h"
#include "platform/soft/sequencer_mix.h"

namespace platform {

bool PlayableFormat(const WaveFormat& format) {
    return UnplayableReason(format) == nullptr;
}

const char* UnplayableReason(const WaveFormat& format) {
    if (format.formatTag == 0xFFFE) return "extensible format whose samples are not 8- or 16-bit PCM";
    if (format.formatTag != 1) return "samples are not PCM (compressed or floating point)";
    if (format.channels != 1 && format.channels != 2) return "not 1 or 2 channels";
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return "not 8 or 16 bits per sample";
    if (format.samplesPerSec < kFrequencyMin || format.samplesPerSec > kFrequencyMax)
        return "sample rate outside 100..100000 Hz";
    if (format.blockAlign != format.channels * format.bitsPerSample / 8)
        return "block alignment does not match the channels and bits";
    return nullptr;
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

// The active mixing level; -1 until first asked.
std::atomic<int> g_mixLevel{-1};

}  // namespace

BlitLevel ActiveMixLevel() {
    int level = g_mixLevel.load(std::memory_order_relaxed);
    if (level < 0) {
        // AVX-512 only when asked for: keeping the baseline's order of sums, its 16-lane products
        // must still be added 8 lanes at a time, and measured slower than AVX2's loops.
        level = static_cast<int>(std::min(BestBlitLevel(), BlitLevel::AVX2));
        g_mixLevel.store(level, std::memory_order_relaxed);
    }
    return static_cast<BlitLevel>(level);
}

bool SetMixLevel(BlitLevel level) {
    if (level > BestBlitLevel()) return false;
    g_mixLevel.store(static_cast<int>(level), std::memory_order_relaxed);
    return true;
}

namespace {

// Control word, written by the control side: position to jump to, flags, serial.
constexpr uint64_t kPlayBit = 1ull << 32;
constexpr uint64_t kLoopBit = 1ull << 33;
constexpr uint64_t kTailBit = 1ull << 34;  // published: a stopped voice's fading end still reads it
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

constexpr uint32_t kIndexBits = 13;  // kMaxBuffers handles, counted from 1
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;

// Converts samples [first, last) of a buffer's bytes into its float samples.
void ConvertSamples(const uint8_t* raw, bool eightBit, float* out, uint32_t first, uint32_t last) {
    if (eightBit) {
        for (uint32_t i = first; i < last; ++i)
            out[i] = static_cast<float>((static_cast<int>(raw[i]) - 128) * 256);
    } else {
        for (uint32_t i = first; i < last; ++i) {
            int16_t v;
            std::memcpy(&v, raw + 2 * i, 2);
            out[i] = static_cast<float>(v);
        }
    }
}

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
    SourceCallback source;             // a source renders its frames instead
    int32_t volume = 0, pan = 0;
    uint32_t frequency = 0;
    // Last control word posted and what it asked for.
    uint32_t serial = 0;
    bool playing = false, looping = false;
    // The last position set, in frames, and whether the render side may not have taken it yet.
    uint32_t jumps = 0;
    uint32_t position = 0;
    bool jumpPending = false;
    uint32_t jumpSerial = 0;  // serial of the control word that carried it
    // Whether no Play was posted since the buffer was created: the render side then reads none of it.
    bool unplayed = true;
    // Samples written by the last Unlocks that the render side is still to convert.
    uint32_t conversions = 0;
    uint32_t convertFirst = 0, convertLast = 0;
};

// What both sides touch, one cache line per buffer.
struct alignas(64) Mixer::Shared {
    std::atomic<uint64_t> control{0};
    std::atomic<uint64_t> published{0};
    std::atomic<uint64_t> jump{0};  // count of positions set (high half), the last one (low half)
    std::atomic<uint64_t> gains{0};
    std::atomic<uint32_t> frequency{0};
    // Unlocked samples to convert on the render side: [first, last) and a count that announces them;
    // the render side answers with the count it has converted.
    std::atomic<uint64_t> convertRange{0};
    std::atomic<uint32_t> convertPosted{0};
    std::atomic<uint32_t> convertDone{0};
};

// Render side's state of a buffer: what the voice loops move, and the rest.
struct Mixer::Voice : mix_detail::VoiceCursor {
    uint32_t serial = 0;
    uint32_t jumps = 0;
    bool active = false;  // the render side may read its samples
    const uint8_t* raw = nullptr;
    SourceCallback source;
    bool eightBit = false;
    uint32_t conversions = 0;
    uint32_t frequency = 0, stepRate = 0;
    float gainL = 0.0f, gainR = 0.0f;
    bool changed = false;  // publish at the end of this render
};

// The end of a voice stopped while playing: a copy of it that plays on, fading out.
struct Mixer::Tail {
    Voice voice;
    uint32_t left = 0;    // frames of the fade still to mix; 0 when there is none
    uint32_t length = 0;  // frames of the whole fade
    float fromL = 0.0f, fromR = 0.0f;
};

Mixer::Mixer()
    : slots_(new Slot[kMaxBuffers]),
      shared_(new Shared[kMaxBuffers]),
      voices_(new Voice[kMaxBuffers]),
      tails_(new Tail[kMaxBuffers]) {
    PrepareKernels();  // built here, never on the render side
    loops_ = &mix_detail::MixLoopsFor(ActiveMixLevel());
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
        tails_[i].left = 0;
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
    slot.source = SourceCallback{};
    slot.used = false;
    slot.releasing = false;
    slot.format = WaveFormat{};
    if (!concurrent_) {
        // Nothing renders meanwhile: the render side forgets the samples now, so that the slot can
        // take a new buffer before the next render.
        voices_[index].active = false;
        voices_[index].playing = false;
        voices_[index].samples = nullptr;
        tails_[index].left = 0;
        shared_[index].convertDone.store(slot.conversions, std::memory_order_relaxed);
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
    const uint32_t frames = bytes / format.blockAlign;
    std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[bytes]);
    std::unique_ptr<float[]> samples(new (std::nothrow) float[static_cast<size_t>(frames) * format.channels]);
    if (!raw || !samples) return kAudioOutOfMemory;
    const bool eightBit = format.bitsPerSample == 8;
    std::memset(raw.get(), eightBit ? 0x80 : 0, bytes);
    std::fill_n(samples.get(), static_cast<size_t>(frames) * format.channels, 0.0f);
    Slot& slot = slots_[index];
    slot.source = SourceCallback{};
    slot.raw = std::move(raw);
    slot.samples = std::move(samples);
    Install(index, format, bytes, buffer);
    return kAudioOk;
}

int32_t Mixer::CreateSource(const SourceCallback& source, uint16_t channels, SoundBuffer* handle) {
    if (handle == nullptr) return kAudioInvalidParam;
    *handle = 0;
    if (source.render == nullptr || (channels != 1 && channels != 2)) return kAudioInvalidParam;
    Collect();
    uint32_t index = 0;
    while (index < kMaxBuffers && slots_[index].used) ++index;
    if (index == kMaxBuffers) return kAudioOutOfMemory;
    Slot& slot = slots_[index];
    slot.source = source;
    // It counts its position in 16-bit frames of the mix rate; it has no bytes of its own.
    WaveFormat format;
    format.channels = channels;
    format.samplesPerSec = format_.rate;
    format.bitsPerSample = 16;
    format.blockAlign = static_cast<uint16_t>(2 * channels);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    Install(index, format, 0, handle);
    return kAudioOk;
}

void Mixer::Install(uint32_t index, const WaveFormat& format, uint32_t bytes, SoundBuffer* buffer) {
    Slot& slot = slots_[index];
    const uint32_t frames = bytes / format.blockAlign;
    const bool eightBit = format.bitsPerSample == 8;
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
    slot.volume = 0;
    slot.pan = 0;
    slot.frequency = format.samplesPerSec;
    slot.playing = slot.looping = false;
    slot.position = 0;
    slot.jumpPending = true;  // until the render side has seen the buffer, its position is 0
    slot.unplayed = true;
    Shared& shared = shared_[index];
    // A new buffer starts with a jump to 0, so the render side never keeps a position of the last.
    ++slot.jumps;
    shared.jump.store(static_cast<uint64_t>(slot.jumps) << 32, std::memory_order_relaxed);
    UpdateGains(index, slot);
    shared.frequency.store(slot.frequency, std::memory_order_relaxed);
    // The render side reads the slot's sample pointer and size once it sees this word.
    Post(index, slot);
    slot.jumpSerial = slot.serial;
    if (index + 1 > slotLimit_.load(std::memory_order_relaxed)) {
        slotLimit_.store(index + 1, std::memory_order_release);
    }
    *buffer = slot.generation << kIndexBits | (index + 1);
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

bool Mixer::ConversionPending(uint32_t index, const Slot& slot) const {
    return shared_[index].convertDone.load(std::memory_order_acquire) != slot.conversions;
}

int32_t Mixer::Lock(SoundBuffer buffer, uint32_t offset, uint32_t bytes, LockedRegions* regions) {
    Slot* slot = Find(buffer);
    if (slot == nullptr || regions == nullptr || slot->source.render != nullptr) return kAudioInvalidParam;
    *regions = LockedRegions{};
    if (bytes == 0) bytes = slot->bytes;
    if (offset >= slot->bytes || bytes > slot->bytes) return kAudioInvalidParam;
    // The bytes of the last Unlock may still be read by the render side: wait for it to convert
    // them (it renders every device period) before they can be written again.
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    for (int waited = 0; ConversionPending(index, *slot); ++waited) {
        if (waited >= kLockWaitMs) return kAudioBusy;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
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
    if (slot == nullptr || slot->source.render != nullptr) return kAudioInvalidParam;
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
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    Shared& shared = shared_[index];
    // The render side reads a buffer's float samples only while it plays. When it certainly does
    // not (nothing rendered concurrently, never played, or stopped with every change seen), they
    // are converted here; otherwise the render side converts them before its next mix, so that
    // float samples are only ever written by the side that reads them while playing.
    bool here = !concurrent_ || slot->unplayed;
    if (!here && !ConversionPending(index, *slot)) {
        const uint64_t seen = shared.published.load(std::memory_order_acquire);
        here = SerialOf(seen) == slot->serial && (seen & (kPlayBit | kTailBit)) == 0;
    }
    if (!here && !ConversionPending(index, *slot)) {
        slot->convertFirst = UINT32_MAX;
        slot->convertLast = 0;
    }
    for (int r = 0; r < 2; ++r) {
        if (parts[r] == nullptr || sizes[r] == 0) continue;
        const uint32_t begin = static_cast<uint32_t>(static_cast<const uint8_t*>(parts[r]) - base);
        // Whole samples touched by the region (a region may start or end inside a frame).
        const uint32_t bytesPerSample = slot->eightBit ? 1 : 2;
        const uint32_t first = begin / bytesPerSample;
        const uint32_t last = (begin + sizes[r] + bytesPerSample - 1) / bytesPerSample;
        if (here) {
            ConvertSamples(base, slot->eightBit, slot->samples.get(), first, last);
        } else {
            slot->convertFirst = std::min(slot->convertFirst, first);
            slot->convertLast = std::max(slot->convertLast, last);
        }
    }
    if (!here) {
        shared.convertRange.store(static_cast<uint64_t>(slot->convertLast) << 32 | slot->convertFirst,
                                  std::memory_order_relaxed);
        shared.convertPosted.store(++slot->conversions, std::memory_order_release);
    }
    return kAudioOk;
}

int32_t Mixer::Play(SoundBuffer buffer, bool looping) {
    Slot* slot = Find(buffer);
    if (slot == nullptr) return kAudioInvalidParam;
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    slot->playing = true;
    slot->looping = looping;
    slot->unplayed = false;
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
    if (slot->jumpPending) {
        // Taken once the render side has seen the word that carried it or any later one.
        if (((SerialOf(seen) - slot->jumpSerial) & kSerialMask) <= kSerialMask / 2) {
            slot->jumpPending = false;
        } else {
            frames = slot->position;
        }
    }
    return frames * slot->block;
}

int32_t Mixer::SetPosition(SoundBuffer buffer, uint32_t bytes) {
    Slot* slot = Find(buffer);
    if (slot == nullptr || bytes > slot->bytes || slot->source.render != nullptr) return kAudioInvalidParam;
    const uint32_t index = static_cast<uint32_t>(slot - slots_.get());
    slot->position = bytes / slot->block;
    slot->jumpPending = true;
    ++slot->jumps;
    shared_[index].jump.store(static_cast<uint64_t>(slot->jumps) << 32 | slot->position,
                              std::memory_order_relaxed);
    Post(index, *slot);
    slot->jumpSerial = slot->serial;
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
    if (slot == nullptr || slot->source.render != nullptr) return kAudioInvalidParam;
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
    // Stopped while playing: its end fades out from where the mix had come to.
    if (wasPlaying && (control & (kPlayBit | kReleaseBit)) == 0) StartTail(index);
    if (control & kReleaseBit) {
        tails_[index].left = 0;
        // Conversions still announced will never be needed; answering them leaves the slot clean.
        shared_[index].convertDone.store(shared_[index].convertPosted.load(std::memory_order_acquire),
                                         std::memory_order_release);
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
        v.raw = slot.raw.get();
        v.source = slot.source;
        v.eightBit = slot.eightBit;
        v.conversions = shared_[index].convertDone.load(std::memory_order_relaxed);
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
        v.wrapped = false;
    }
    v.playing = (control & kPlayBit) != 0;
    v.looping = (control & kLoopBit) != 0;
    if (v.playing && !wasPlaying) {
        v.wrapped = false;
        // A voice that starts takes its gains at once; only changes while playing are ramped.
        UnpackGains(shared_[index].gains.load(std::memory_order_relaxed), &v.gainL, &v.gainR);
    }
}

void Mixer::Publish(uint32_t index, const Voice& v) {
    uint64_t word = static_cast<uint64_t>(v.serial) << kSerialShift | v.pos;
    if (v.playing) word |= kPlayBit;
    if (tails_[index].left > 0) word |= kTailBit;
    shared_[index].published.store(word, std::memory_order_release);
}

void Mixer::StartTail(uint32_t index) {
    const Voice& v = voices_[index];
    Tail& tail = tails_[index];
    if (v.source.render != nullptr || v.samples == nullptr || v.stepRate != format_.rate) return;
    tail.voice = v;
    tail.length = std::max<uint32_t>(1, format_.rate * kFadeMs / 1000);
    tail.left = tail.length;
    tail.fromL = v.gainL;
    tail.fromR = v.gainR;
}

void Mixer::MixTail(uint32_t index, uint32_t frames) {
    Tail& tail = tails_[index];
    const uint32_t n = std::min(frames, tail.left);
    // The gains fall on a straight line from where the voice stopped to 0 at the fade's end.
    const float from = static_cast<float>(tail.left) / static_cast<float>(tail.length);
    const float to = static_cast<float>(tail.left - n) / static_cast<float>(tail.length);
    const float startL = tail.fromL * from, startR = tail.fromR * from;
    const float stepL = (tail.fromL * to - startL) / static_cast<float>(n);
    const float stepR = (tail.fromR * to - startR) / static_cast<float>(n);
    Voice& v = tail.voice;
    loops_->loops[v.band][v.channels - 1][format_.channels - 1](v, bus_, n, format_.rate, startL, startR,
                                                                stepL, stepR);
    tail.left -= n;
    if (!v.playing) tail.left = 0;  // the sound came to its end first
    if (tail.left == 0) voices_[index].changed = true;
}

void Mixer::MixBlock(uint32_t frames) {
    const uint32_t limit = slotLimit_.load(std::memory_order_acquire);
    const uint32_t busChannels = format_.channels;
    std::fill_n(bus_, frames * busChannels, 0.0f);
    for (uint32_t i = 0; i < limit; ++i) {
        Voice& v = voices_[i];
        if (tails_[i].left > 0) MixTail(i, frames);
        if (!v.playing) continue;
        const uint32_t hertz = shared_[i].frequency.load(std::memory_order_relaxed);
        if (hertz != v.frequency || v.stepRate != format_.rate) {
            v.frequency = hertz;
            v.stepRate = format_.rate;
            v.stepInt = hertz / format_.rate;
            v.stepFrac = hertz % format_.rate;
            v.band = KernelBand(hertz, format_.rate);
        }
        float targetL, targetR;
        UnpackGains(shared_[i].gains.load(std::memory_order_relaxed), &targetL, &targetR);
        // Gain changes ramp across the block, so that they do not click.
        const float stepL = (targetL - v.gainL) / static_cast<float>(frames);
        const float stepR = (targetR - v.gainR) / static_cast<float>(frames);
        const float startL = v.gainL, startR = v.gainR;
        if (v.source.render != nullptr) {
            MixSource(v, frames, startL, startR, stepL, stepR);
        } else {
            loops_->loops[v.band][v.channels - 1][busChannels - 1](v, bus_, frames, format_.rate, startL,
                                                                   startR, stepL, stepR);
        }
        v.gainL = targetL;
        v.gainR = targetR;
        v.changed = true;
    }
    // The MIDI sequencer plays into the same bus, in its 16-bit units.
    sequencer::Mix(bus_, frames, busChannels, format_.rate, 32767.0f);
}

void Mixer::MixSource(Voice& v, uint32_t frames, float gainL, float gainR, float stepL, float stepR) {
    std::fill_n(sourceFrames_, frames * v.channels, 0.0f);
    v.source.render(v.source.user, sourceFrames_, frames, v.channels, format_.rate);
    const bool stereo = v.channels == 2;
    constexpr float kScale = 32768.0f;
    for (uint32_t n = 0; n < frames; ++n) {
        const float left = sourceFrames_[stereo ? 2 * n : n] * kScale;
        const float right = stereo ? sourceFrames_[2 * n + 1] * kScale : left;
        if (format_.channels == 2) {
            bus_[2 * n] += left * gainL;
            bus_[2 * n + 1] += right * gainR;
        } else {
            bus_[n] += (left + right) * 0.5f * std::max(gainL, gainR);
        }
        gainL += stepL;
        gainR += stepR;
    }
    v.pos += frames;
}

void Mixer::Prepare() {
    // Take every change the control side posted, and convert the samples it unlocked.
    const uint32_t limit = slotLimit_.load(std::memory_order_acquire);
    for (uint32_t i = 0; i < limit; ++i) {
        Voice& v = voices_[i];
        Shared& shared = shared_[i];
        const uint64_t control = shared.control.load(std::memory_order_acquire);
        if (SerialOf(control) != v.serial) Adopt(i, control);
        if (!v.active) continue;
        const uint32_t posted = shared.convertPosted.load(std::memory_order_acquire);
        if (posted == v.conversions) continue;
        const uint64_t range = shared.convertRange.load(std::memory_order_relaxed);
        const uint32_t samples = v.frames * v.channels;
        const uint32_t first = std::min(static_cast<uint32_t>(range), samples);
        const uint32_t last = std::min(static_cast<uint32_t>(range >> 32), samples);
        if (first < last) ConvertSamples(v.raw, v.eightBit, v.samples, first, last);
        v.conversions = posted;
        shared.convertDone.store(posted, std::memory_order_release);
    }
}

void Mixer::Render(void* out, uint32_t frames) {
    loops_ = &mix_detail::MixLoopsFor(ActiveMixLevel());
    Prepare();
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
