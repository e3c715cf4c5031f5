// The mixer's loops at every instruction-set level this processor has give the baseline's samples
// to the bit; a voice at the mix rate copied gives what its kernel gives; the buffer table's limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "platform/soft/mixer.h"
#include "platform/soft/mixer_loops.h"
#include "platform/soft/resampler.h"
#include "sound_test_support.h"

using namespace platform;
using namespace platform::soft;
using mix_detail::MixLoops;
using mix_detail::MixLoopsFor;
using mix_detail::VoiceCursor;
using mix_detail::VoiceLoop;

namespace {

std::vector<BlitLevel> LevelsHere() {
    std::vector<BlitLevel> levels;
    for (BlitLevel l : {BlitLevel::SSE2, BlitLevel::AVX2, BlitLevel::AVX512})
        if (l <= BestBlitLevel()) levels.push_back(l);
    return levels;
}

// A voice in some random state: samples as the mixer converts them (whole 16-bit units, or 8-bit
// ones times 256), anywhere in its sound, any fraction, looping or not, come round or not.
struct RandomVoice {
    std::vector<float> samples;
    VoiceCursor cursor;
    uint32_t rate;
    float gainL, gainR, stepL, stepR;
};

RandomVoice MakeVoice(std::mt19937& rng, uint32_t hertz, uint32_t rate, uint16_t channels) {
    RandomVoice v;
    v.rate = rate;
    const uint32_t lengths[] = {1, 5, 15, 16, 31, 64, 300, 2000};
    const uint32_t frames = lengths[rng() % 8];
    const bool eightBit = rng() % 3 == 0;
    v.samples.resize(static_cast<size_t>(frames) * channels);
    for (float& s : v.samples)
        s = eightBit ? static_cast<float>((static_cast<int>(rng() % 256) - 128) * 256)
                     : static_cast<float>(static_cast<int>(rng() % 65536) - 32768);
    // Silence and full scale now and then, zeros in runs.
    if (rng() % 4 == 0)
        for (size_t i = 0; i < v.samples.size(); i += 1 + rng() % 5)
            v.samples[i] = rng() % 2 ? 0.0f : 32767.0f;
    VoiceCursor& c = v.cursor;
    c.samples = v.samples.data();
    c.frames = frames;
    c.channels = channels;
    c.pos = rng() % (frames + 1);
    c.frac = rng() % 4 == 0 ? 0 : rng() % rate;
    c.stepInt = hertz / rate;
    c.stepFrac = hertz % rate;
    c.band = KernelBand(hertz, rate);
    c.playing = true;
    c.looping = rng() % 2 == 0;
    c.wrapped = c.looping && rng() % 2 == 0;
    const int32_t volumes[] = {0, -1, -300, -2500, kVolumeMin};
    v.gainL = GainOf(volumes[rng() % 5]);
    v.gainR = GainOf(volumes[rng() % 5]);
    const bool ramp = rng() % 2 == 0;
    v.stepL = ramp ? (GainOf(volumes[rng() % 5]) - v.gainL) / 256.0f : 0.0f;
    v.stepR = ramp ? (GainOf(volumes[rng() % 5]) - v.gainR) / 256.0f : 0.0f;
    return v;
}

std::vector<float> RandomBus(std::mt19937& rng, size_t n) {
    std::vector<float> bus(n);
    for (float& x : bus) x = static_cast<float>(static_cast<int>(rng() % 20001) - 10000) * 0.75f;
    return bus;
}

// Runs one loop on a copy of the voice and a copy of the bus; the bus and what the loop left of
// the voice.
struct Outcome {
    std::vector<float> bus;
    VoiceCursor cursor;
};
Outcome RunLoop(VoiceLoop loop, const RandomVoice& v, const std::vector<float>& bus, uint32_t frames) {
    Outcome o{bus, v.cursor};
    loop(o.cursor, o.bus.data(), frames, v.rate, v.gainL, v.gainR, v.stepL, v.stepR);
    return o;
}

void ExpectSame(const Outcome& a, const Outcome& b, const std::string& what) {
    ASSERT_EQ(a.bus.size(), b.bus.size());
    EXPECT_EQ(std::memcmp(a.bus.data(), b.bus.data(), a.bus.size() * sizeof(float)), 0) << what;
    EXPECT_EQ(a.cursor.pos, b.cursor.pos) << what;
    EXPECT_EQ(a.cursor.frac, b.cursor.frac) << what;
    EXPECT_EQ(a.cursor.playing, b.cursor.playing) << what;
    EXPECT_EQ(a.cursor.wrapped, b.cursor.wrapped) << what;
}

TEST(MixerLevels, EveryLevelMixesEveryBandAndPairingOfChannelsToTheBaselinesBits) {
    const MixLoops& base = MixLoopsFor(BlitLevel::SSE2);
    const uint32_t rates[] = {8000, 22050, 44100, 48000};
    std::mt19937 rng(12345);
    int compared = 0;
    for (BlitLevel level : LevelsHere()) {
        const MixLoops& loops = MixLoopsFor(level);
        EXPECT_EQ(loops.level, level);
        for (int trial = 0; trial < 1500; ++trial) {
            const uint32_t rate = rates[rng() % 4];
            // Every band: exactly the rate, slower, and up to 1.5, 2, 3 and 8 times faster.
            const uint32_t hertzes[] = {rate,
                                        100 + static_cast<uint32_t>(rng() % (rate - 100)),
                                        rate + 1 + static_cast<uint32_t>(rng() % (rate / 2)),
                                        rate * 3 / 2 + 1 + static_cast<uint32_t>(rng() % (rate / 2)),
                                        rate * 2 + 1 + static_cast<uint32_t>(rng() % rate),
                                        std::min<uint32_t>(kFrequencyMax, rate * 3 + 1 + rng() % (rate * 5))};
            const uint32_t hertz = hertzes[trial % 6];
            const uint16_t channels = static_cast<uint16_t>(1 + rng() % 2);
            const int busChannels = 1 + static_cast<int>(rng() % 2);
            const RandomVoice v = MakeVoice(rng, hertz, rate, channels);
            const uint32_t frames = 1 + rng() % 256;
            const std::vector<float> bus = RandomBus(rng, static_cast<size_t>(frames) * busChannels);
            const int band = v.cursor.band;
            const Outcome want = RunLoop(base.loops[band][channels - 1][busChannels - 1], v, bus, frames);
            const Outcome got = RunLoop(loops.loops[band][channels - 1][busChannels - 1], v, bus, frames);
            ExpectSame(got, want,
                       std::string(BlitLevelName(level)) + " band " + std::to_string(band) + " channels " +
                           std::to_string(channels) + "->" + std::to_string(busChannels) + " trial " +
                           std::to_string(trial));
            if (HasFailure()) return;
            ++compared;
        }
    }
    EXPECT_GE(compared, 1500);
}

TEST(MixerLevels, AVoiceAtTheMixRateCopiedGivesWhatItsKernelGives) {
    // The kernel read one frame per frame on a whole position is the identity.
    const Kernel& unit = KernelOfBand(0);
    ASSERT_EQ(unit.taps, 16);
    for (int t = 0; t < unit.taps; ++t) {
        const float want = t == unit.before ? 1.0f : 0.0f;
        EXPECT_EQ(std::memcmp(&unit.rows[t], &want, sizeof want), 0) << "tap " << t;
    }
    const MixLoops& base = MixLoopsFor(BlitLevel::SSE2);
    std::mt19937 rng(777);
    for (BlitLevel level : LevelsHere()) {
        const MixLoops& loops = MixLoopsFor(level);
        int copies = 0;
        for (int trial = 0; trial < 2000; ++trial) {
            const uint32_t rate = trial % 2 ? 48000 : 22050;
            const uint16_t channels = static_cast<uint16_t>(1 + rng() % 2);
            const int busChannels = 1 + static_cast<int>(rng() % 2);
            RandomVoice v = MakeVoice(rng, rate, rate, channels);
            // Mostly whole positions (the copy); a fraction now and then (the kernel all the same).
            if (rng() % 5 != 0)
                v.cursor.frac = rng() % 3 == 0 ? static_cast<uint32_t>(rng() % (rate / 4096)) : 0;
            copies += PhaseRow(v.cursor.frac, PhaseScale(rate)) == 0;
            const uint32_t frames = 1 + rng() % 256;
            const std::vector<float> bus = RandomBus(rng, static_cast<size_t>(frames) * busChannels);
            const Outcome kernel =
                RunLoop(base.unitThroughKernel[channels - 1][busChannels - 1], v, bus, frames);
            const Outcome copied = RunLoop(loops.loops[0][channels - 1][busChannels - 1], v, bus, frames);
            const Outcome kernelHere =
                RunLoop(loops.unitThroughKernel[channels - 1][busChannels - 1], v, bus, frames);
            const std::string what = std::string(BlitLevelName(level)) + " channels " +
                                     std::to_string(channels) + "->" + std::to_string(busChannels) +
                                     " trial " + std::to_string(trial);
            ExpectSame(copied, kernel, "copy " + what);
            ExpectSame(kernelHere, kernel, "kernel " + what);
            if (HasFailure()) return;
        }
        EXPECT_GT(copies, 1200);
    }
}

// A scene through the whole mixer (positions, frequency changes while playing, gain ramps, the fade
// of stopped voices, loops coming round), rendered at a level: the bytes rendered.
std::vector<uint8_t> RenderScene(BlitLevel level, const WaveFormat& out, uint32_t seed) {
    EXPECT_TRUE(SetMixLevel(level));
    Mixer mixer;
    mixer.SetFormat(MixFormat{out.samplesPerSec, out.channels, out.bitsPerSample});
    std::mt19937 rng(seed);
    std::vector<SoundBuffer> buffers;
    for (int i = 0; i < 40; ++i) {
        const uint16_t channels = static_cast<uint16_t>(1 + rng() % 2);
        const uint16_t bits = rng() % 3 == 0 ? 8 : 16;
        const uint32_t rates[] = {out.samplesPerSec, out.samplesPerSec, 11025, 22050, 44100, 96000};
        const WaveFormat f = sound_test::Pcm(channels, rates[rng() % 6], bits);
        const uint32_t frames = 8 + rng() % 3000;
        SoundBuffer b = 0;
        EXPECT_EQ(mixer.Create(f, frames * f.blockAlign, &b), kAudioOk);
        LockedRegions r;
        EXPECT_EQ(mixer.Lock(b, 0, 0, &r), kAudioOk);
        for (uint32_t k = 0; k < r.firstBytes; ++k)
            static_cast<uint8_t*>(r.first)[k] = static_cast<uint8_t>(rng());
        EXPECT_EQ(mixer.Unlock(b, r), kAudioOk);
        mixer.SetVolume(b, -static_cast<int32_t>(rng() % 3000));
        mixer.SetPan(b, static_cast<int32_t>(rng() % 4001) - 2000);
        buffers.push_back(b);
    }
    std::vector<uint8_t> bytes;
    for (int round = 0; round < 30; ++round) {
        for (int k = 0; k < 8; ++k) {
            const SoundBuffer b = buffers[rng() % buffers.size()];
            switch (rng() % 6) {
                case 0:
                case 1:
                    mixer.Play(b, rng() % 2 == 0);
                    break;
                case 2:
                    mixer.Stop(b);
                    break;
                case 3:
                    mixer.SetFrequency(b, rng() % 3 == 0 ? 0 : 4000 + static_cast<uint32_t>(rng() % 60000));
                    break;
                case 4:
                    mixer.SetVolume(b, -static_cast<int32_t>(rng() % 4000));
                    mixer.SetPan(b, static_cast<int32_t>(rng() % 4001) - 2000);
                    break;
                default:
                    mixer.SetPosition(b, 0);
                    break;
            }
        }
        const uint32_t frames = 1 + rng() % 700;
        std::vector<uint8_t> chunk(static_cast<size_t>(frames) * out.blockAlign);
        mixer.Render(chunk.data(), frames);
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return bytes;
}

TEST(MixerLevels, WholeScenesRenderTheSameBytesAtEveryLevel) {
    const BlitLevel before = ActiveMixLevel();
    for (const WaveFormat& out :
         {sound_test::Pcm(2, 48000, 16), sound_test::Pcm(1, 22050, 16), sound_test::Pcm(2, 44100, 8)}) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            const std::vector<uint8_t> want = RenderScene(BlitLevel::SSE2, out, seed);
            size_t silent = 0;
            for (uint8_t b : want) silent += b == 0 || b == 0x80;
            EXPECT_LT(silent, want.size() / 2) << "the scene should be heard";
            for (BlitLevel level : LevelsHere())
                EXPECT_EQ(RenderScene(level, out, seed), want)
                    << BlitLevelName(level) << " " << out.channels << " ch " << out.bitsPerSample
                    << " bit seed " << seed;
        }
    }
    EXPECT_TRUE(SetMixLevel(before));
    // A level the processor lacks is refused and changes nothing.
    if (BestBlitLevel() != BlitLevel::AVX512) {
        EXPECT_FALSE(SetMixLevel(BlitLevel::AVX512));
        EXPECT_EQ(ActiveMixLevel(), before);
    }
}

TEST(MixerLevels, TheTableTakesKMaxBuffersAndRefusesOneMore) {
    static_assert(Mixer::kMaxBuffers >= 70 * 10 + 256, "ten copies of every object and the streams");
    Mixer mixer;
    const WaveFormat f = sound_test::Pcm(1, 22050, 16);
    std::vector<SoundBuffer> handles(Mixer::kMaxBuffers);
    for (uint32_t i = 0; i < Mixer::kMaxBuffers; ++i)
        ASSERT_EQ(mixer.Create(f, 64, &handles[i]), kAudioOk) << i;
    EXPECT_EQ(mixer.BufferCount(), static_cast<int>(Mixer::kMaxBuffers));
    SoundBuffer extra = 99;
    EXPECT_EQ(mixer.Create(f, 64, &extra), kAudioOutOfMemory);
    EXPECT_EQ(extra, 0u);
    // Every handle is its own buffer, the last slot's too.
    for (uint32_t i = 0; i < Mixer::kMaxBuffers; ++i) {
        ASSERT_EQ(mixer.SetVolume(handles[i], -static_cast<int32_t>(i % 10000)), kAudioOk) << i;
    }
    for (uint32_t i = 0; i < Mixer::kMaxBuffers; ++i)
        EXPECT_EQ(mixer.Volume(handles[i]), -static_cast<int32_t>(i % 10000));
    // The last one plays and is heard.
    LockedRegions r;
    ASSERT_EQ(mixer.Lock(handles.back(), 0, 0, &r), kAudioOk);
    for (uint32_t k = 0; k < r.firstBytes / 2; ++k) static_cast<int16_t*>(r.first)[k] = 10000;
    ASSERT_EQ(mixer.Unlock(handles.back(), r), kAudioOk);
    ASSERT_EQ(mixer.Play(handles.back(), true), kAudioOk);
    int16_t frames[64];
    mixer.Render(frames, 32);
    EXPECT_NE(frames[40], 0);
    // A freed slot takes a new buffer; the old handle stays dead.
    const SoundBuffer old = handles[Mixer::kMaxBuffers / 2];
    mixer.Release(old);
    SoundBuffer again = 0;
    EXPECT_EQ(mixer.Create(f, 64, &again), kAudioOk);
    EXPECT_NE(again, old);
    EXPECT_EQ(mixer.SetVolume(old, -100), kAudioInvalidParam);
    EXPECT_EQ(mixer.Create(f, 64, &extra), kAudioOutOfMemory);
    mixer.ReleaseAll();
    EXPECT_EQ(mixer.BufferCount(), 0);
}

}  // namespace
