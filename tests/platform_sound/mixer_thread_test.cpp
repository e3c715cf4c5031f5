// The mixer with a render thread of its own: changes reach it, buffers written while they play are
// heard with the new samples, and released memory waits for the render side. Also the conversion of
// the mix to the device format.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/soft/mixer.h"
#include "platform/soft/output_converter.h"
#include "sound_test_support.h"

using namespace platform;
using namespace sound_test;

namespace {

// Renders continuously on its own thread and keeps the last block it rendered.
class RenderThread {
  public:
    explicit RenderThread(soft::Mixer& mixer) : mixer_(mixer) {
        mixer_.SetConcurrent(true);
        thread_ = std::thread([this] {
            int16_t block[256 * 2];
            while (!stop_.load()) {
                mixer_.Render(block, 256);
                lastLeft_.store(block[2 * 255]);
                renders_.fetch_add(1);
                std::this_thread::yield();
            }
        });
    }
    ~RenderThread() { Stop(); }
    void Stop() {
        if (!thread_.joinable()) return;
        stop_.store(true);
        thread_.join();
        mixer_.SetConcurrent(false);
    }
    // Waits until `count` more renders have finished.
    void Await(int count) {
        const int target = renders_.load() + count;
        while (renders_.load() < target) std::this_thread::yield();
    }
    int16_t LastLeft() const { return lastLeft_.load(); }
    int Renders() const { return renders_.load(); }

  private:
    soft::Mixer& mixer_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> renders_{0};
    std::atomic<int16_t> lastLeft_{0};
};

SoundBuffer Constant(soft::Mixer& mixer, int16_t value, uint32_t frames) {
    SoundBuffer b = 0;
    EXPECT_EQ(mixer.Create(Pcm(1, 48000, 16), frames * 2, &b), kAudioOk);
    LockedRegions r;
    EXPECT_EQ(mixer.Lock(b, 0, 0, &r), kAudioOk);
    for (uint32_t i = 0; i < frames; ++i) static_cast<int16_t*>(r.first)[i] = value;
    mixer.Unlock(b, r);
    return b;
}

TEST(MixerThread, SamplesWrittenWhilePlayingAreHeardAndTheWriterWaitsForTheLastOnes) {
    soft::Mixer mixer;
    SoundBuffer ring = Constant(mixer, 1000, 4800);
    RenderThread render(mixer);
    ASSERT_EQ(mixer.Play(ring, true), kAudioOk);
    render.Await(3);
    EXPECT_EQ(render.LastLeft(), 1000);
    // Rewrite the whole ring twice while it plays, as a stream refilling it would: the second lock
    // returns only once the render side has taken the first write.
    for (int16_t value : {-2000, 3000}) {
        LockedRegions r;
        ASSERT_EQ(mixer.Lock(ring, 2400 * 2, 0, &r), kAudioOk);  // from the middle, wrapping round
        ASSERT_NE(r.second, nullptr);
        for (uint32_t i = 0; i < r.firstBytes / 2; ++i) static_cast<int16_t*>(r.first)[i] = value;
        for (uint32_t i = 0; i < r.secondBytes / 2; ++i) static_cast<int16_t*>(r.second)[i] = value;
        mixer.Unlock(ring, r);
    }
    render.Await(3);
    EXPECT_EQ(render.LastLeft(), 3000);
    EXPECT_TRUE(mixer.Playing(ring));

    // A released buffer's memory stays until the render side has seen the release.
    mixer.Release(ring);
    EXPECT_EQ(mixer.BufferCount(), 1);
    render.Await(2);
    SoundBuffer other = Constant(mixer, 5, 10);  // collects what the render side let go of
    EXPECT_EQ(mixer.BufferCount(), 1);
    EXPECT_EQ(mixer.Playing(ring), false);
    EXPECT_EQ(mixer.Lock(ring, 0, 0, nullptr), kAudioInvalidParam);
    mixer.Release(other);
    render.Stop();
    EXPECT_EQ(mixer.BufferCount(), 0);
}

TEST(MixerThread, ChangesPostedAtAnyMomentAllArrive) {
    soft::Mixer mixer;
    SoundBuffer a = Constant(mixer, 2000, 48000);
    RenderThread render(mixer);
    for (int round = 0; round < 200; ++round) {
        const bool play = round % 2 == 0;
        const int rendersBefore = render.Renders();
        if (play) {
            ASSERT_EQ(mixer.SetPosition(a, static_cast<uint32_t>(round) * 4), kAudioOk);
            ASSERT_EQ(mixer.Play(a, true), kAudioOk);
        } else {
            ASSERT_EQ(mixer.Stop(a), kAudioOk);
        }
        // What the control side asked is what it reads back, at once and after the render side acts.
        EXPECT_EQ(mixer.Playing(a), play);
        if (play) {
            // The position set, moved on by whole renders (256 frames of 2 bytes) of the render side
            // since, if it has taken the jump already: at most the renders finished meanwhile and
            // the one under way.
            const uint32_t position = mixer.Position(a);
            const uint32_t renders = static_cast<uint32_t>(render.Renders() - rendersBefore) + 1;
            const uint32_t set = static_cast<uint32_t>(round) * 4;
            ASSERT_GE(position, set);
            EXPECT_EQ((position - set) % 512, 0u) << position;
            EXPECT_LE(position - set, renders * 512) << position;
        }
        render.Await(1);
        EXPECT_EQ(mixer.Playing(a), play);
    }
    // Stopped: the position holds still however long the render side runs.
    const uint32_t held = mixer.Position(a);
    render.Await(3);
    EXPECT_EQ(mixer.Position(a), held);
}

}  // namespace

namespace {

// The conversion of a mix in another format to the device's 48000 Hz 16-bit stereo.
std::vector<int16_t> Converted(const soft::MixFormat& mix, double hertz, uint32_t deviceFrames) {
    soft::Mixer mixer;
    mixer.SetFormat(mix);
    SoundBuffer b = 0;
    const std::vector<int16_t> tone = Sine(mix.rate, hertz, mix.rate, 12000);
    EXPECT_EQ(mixer.Create(Pcm(1, mix.rate, 16), mix.rate * 2, &b), kAudioOk);
    LockedRegions r;
    EXPECT_EQ(mixer.Lock(b, 0, 0, &r), kAudioOk);
    std::memcpy(r.first, tone.data(), r.firstBytes);
    mixer.Unlock(b, r);
    mixer.Play(b, false);
    soft::OutputConverter converter;
    converter.Configure(mixer.Format(), 48000);
    EXPECT_FALSE(converter.Direct());
    std::vector<int16_t> out(2 * deviceFrames);
    for (uint32_t done = 0; done < deviceFrames; done += 500)
        converter.Render(mixer, out.data() + 2 * done, 500);
    return out;
}

TEST(OutputConverter, MixesInOtherFormatsReachTheDeviceAtTheirPitchAndClean) {
    const struct {
        soft::MixFormat mix;
        double hertz;
    } cases[] = {
        {{44100, 2, 16}, 1000}, {{22050, 1, 16}, 1000}, {{96000, 2, 16}, 3000}, {{48000, 1, 16}, 440}};
    for (const auto& c : cases) {
        const std::vector<int16_t> out = Converted(c.mix, c.hertz, 24000);
        const std::vector<double> left = Channel(out, 2, 0);
        EXPECT_EQ(left, Channel(out, 2, 1));
        const std::vector<double> middle(left.begin() + 2000, left.begin() + 22000);
        EXPECT_NEAR(ZeroCrossings(middle, 0, middle.size()), 2 * c.hertz * 20000 / 48000, 2) << c.mix.rate;
        EXPECT_LE(ThdPlusNoiseDb(middle, c.hertz, 48000), -60.0) << c.mix.rate;
        EXPECT_NEAR(ToneAmplitude(middle, c.hertz, 48000), 12000, 12000 * 0.01) << c.mix.rate;
    }
    // The device's own format passes straight through.
    soft::OutputConverter direct;
    direct.Configure({48000, 2, 16}, 48000);
    EXPECT_TRUE(direct.Direct());
}

}  // namespace
