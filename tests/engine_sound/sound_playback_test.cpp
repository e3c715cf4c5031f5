// Playback control: copy selection and round robin, stop and pause, clamped volume, pan and
// frequency, and the echo's state and levels.
#include "tests/engine_sound/sound_fixture.h"

namespace {

class SoundPlaybackTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        OpenDevice();
        WriteShortWave("a.wav", 22050);  // one second
    }
    const SoundCopy& Copy(SoundNo number, int copy) { return SoundObjects.objects[number].copies[copy]; }
};

TEST_F(SoundPlaybackTest, NegativeCopiesPlayRoundRobinAndStopEveryCopy) {
    const SoundNo n = elSound::LoadObject("a.wav", -3);
    ASSERT_EQ(n, 0);
    std::vector<int> started;
    for (int i = 0; i < 4; ++i) {
        elSound::Stop(n, -1);
        elSound::Play(n, -1);
        for (int c = 0; c < 3; ++c)
            if (CopyPlaying(n, c)) started.push_back(c);
    }
    EXPECT_EQ(started, (std::vector<int>{0, 1, 2, 0}));
    elSound::PlayLoop(n, 2);
    EXPECT_EQ(SoundObjects.objects[n].loop, 1);
    EXPECT_EQ(SoundObjects.objects[n].nextCopy, 1);  // a named copy leaves the round robin alone
    Render(4800);
    EXPECT_GT(elSound::GetPosition(n), 0u);
    elSound::Stop(n, -7);
    for (int c = 0; c < 3; ++c) {
        EXPECT_FALSE(CopyPlaying(n, c));
        EXPECT_EQ(platform::SoundBufferPosition(Copy(n, c).buffer), 0u);
    }
    EXPECT_EQ(elSound::GetPosition(5), 0u);  // not loaded
    EXPECT_EQ(elSound::GetPosition(-1), 0u);
    EXPECT_EQ(elSound::GetPosition(70), 0u);
}

TEST_F(SoundPlaybackTest, PauseKeepsThePositionAndResumesThere) {
    const SoundNo n = elSound::LoadObject("a.wav", 2);
    elSound::Pause(n, 1);  // never played: starts from its saved position 0
    EXPECT_TRUE(CopyPlaying(n, 1));
    EXPECT_EQ(platform::SoundBufferPosition(Copy(n, 1).buffer), 0u);
    elSound::Stop(n, 1);

    elSound::PlayLoop(n, 0);
    Render(9600);  // 0.2 s: 4410 frames of the sound
    elSound::Pause(n, 0);
    EXPECT_FALSE(CopyPlaying(n, 0));
    const uint32_t saved = Copy(n, 0).savedPosition;
    EXPECT_NEAR(static_cast<double>(saved), 4410.0 * 2, 2.0 * 512);
    Render(4800);
    EXPECT_EQ(elSound::GetPosition(n), saved);
    elSound::Pause(n, 0);
    EXPECT_TRUE(CopyPlaying(n, 0));
    Render(48000 * 2);  // longer than the sound: a looping copy goes on
    EXPECT_TRUE(CopyPlaying(n, 0));

    elSound::Play(n, 0);
    elSound::Pause(n, -1);  // every copy toggles
    EXPECT_FALSE(CopyPlaying(n, 0));
    EXPECT_TRUE(CopyPlaying(n, 1));
}

TEST_F(SoundPlaybackTest, VolumePanAndFrequencyAreClampedToTheirRanges) {
    const SoundNo n = elSound::LoadObject("a.wav", 4);
    elSound::AddVolume(n, -150, 0);
    EXPECT_EQ(Copy(n, 0).volume, -10000);
    elSound::SetVolume(n, -2, 1);
    elSound::AddVolume(n, 5, 1);
    EXPECT_EQ(Copy(n, 1).volume, 0);
    elSound::SetPan(n, 50, 2);
    EXPECT_EQ(Copy(n, 2).pan, 5000);
    elSound::SetPan(n, -150, 2);
    EXPECT_EQ(Copy(n, 2).pan, -10000);
    elSound::AddPan(n, 250, 2);
    EXPECT_EQ(Copy(n, 2).pan, 10000);
    elSound::AddFrequency(n, -300, 3);
    EXPECT_EQ(Copy(n, 3).frequency, 100u);
    elSound::SetFrequency(n, 1000, 3);
    EXPECT_EQ(Copy(n, 3).frequency, 100000u);
    elSound::SetFrequency(n, -2147483647 - 1, 3);  // far below: still the lowest frequency
    EXPECT_EQ(Copy(n, 3).frequency, 100u);
    elSound::AddVolume(n, 2147483647, 0);
    EXPECT_EQ(Copy(n, 0).volume, 0);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(platform::SoundBufferVolume(Copy(n, c).buffer), Copy(n, c).volume);
        EXPECT_EQ(platform::SoundBufferPan(Copy(n, c).buffer), Copy(n, c).pan);
        EXPECT_EQ(platform::SoundBufferFrequency(Copy(n, c).buffer), Copy(n, c).frequency);
    }

    // -2 shapes the copy the next round-robin play uses; other negative values every copy.
    elSound::Play(n, -1);
    elSound::SetVolume(n, -9, -2);
    EXPECT_EQ(Copy(n, 1).volume, -900);
    EXPECT_EQ(Copy(n, 2).volume, 0);
    elSound::PanLeft(n, -1);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(Copy(n, c).pan, -10000);
    elSound::PanRight(n, 3);
    EXPECT_EQ(Copy(n, 3).pan, 10000);
    elSound::ResetPan(n, -3);
    elSound::ResetVolume(n, -3);
    elSound::ResetFrequency(n, -3);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Copy(n, c).pan, 0);
        EXPECT_EQ(Copy(n, c).volume, 0);
        EXPECT_EQ(Copy(n, c).frequency, 22050u);
    }
    elSound::SetVolume(n, -5, 4);  // no such copy: nothing changes
    elSound::SetVolume(n + 1, -5, 0);
    EXPECT_EQ(Copy(n, 0).volume, 0);
}

TEST_F(SoundPlaybackTest, AnEchoRepeatsQuieterAtItsIntervalAndThenStops) {
    const SoundNo n = elSound::LoadObject("a.wav", 4);
    const SoundNo single = elSound::LoadObject("a.wav", 1);
    FrameStep = 1.0f / 60.0f;
    elSound::SetVolume(n, -20, -1);
    elSound::SetPan(n, 10, -1);
    elSound::Play(n, -2);
    const SoundObject& object = SoundObjects.objects[n];
    EXPECT_EQ(object.echoState, 1);
    EXPECT_EQ(object.echoLoops, 0);
    EXPECT_EQ(Copy(n, 0).volume, 0);  // the echo starts from full volume, centred
    EXPECT_EQ(Copy(n, 3).pan, 0);
    std::vector<int> repeatFrames;
    for (int frame = 1; frame <= 100; ++frame) {
        const int before = object.nextCopy;
        elSound::UpdateEcho(n, 200, 3, 10);
        if (object.nextCopy != before) repeatFrames.push_back(frame);
    }
    EXPECT_EQ(repeatFrames, (std::vector<int>{12, 24, 36}));
    EXPECT_EQ(object.echoState, 0);
    EXPECT_EQ(Copy(n, 1).volume, -1000);
    EXPECT_EQ(Copy(n, 2).volume, -2000);
    EXPECT_EQ(Copy(n, 3).volume, -3000);
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(CopyPlaying(n, c));

    elSound::PlayLoop(n, -2);  // looping echo: every repeat loops; Stop with -1 ends it
    EXPECT_EQ(object.echoLoops, 1);
    for (int frame = 0; frame < 12; ++frame) elSound::UpdateEcho(n, 200, 3, 10);
    EXPECT_EQ(object.echoState, 2);
    elSound::Stop(n, -1);
    EXPECT_EQ(object.echoState, 0);
    elSound::UpdateEcho(n, 200, 3, 10);
    EXPECT_FALSE(CopyPlaying(n, 0));

    elSound::Play(single, -2);  // count 1: no echo
    EXPECT_EQ(SoundObjects.objects[single].echoState, -1);
    for (int frame = 0; frame < 30; ++frame) elSound::UpdateEcho(single, 200, 3, 10);
    EXPECT_EQ(SoundObjects.objects[single].nextCopy, 0);
}

TEST_F(SoundPlaybackTest, ASweepingEchoSwaysWithinThirtyPanSteps) {
    const SoundNo n = elSound::LoadObject("a.wav", 3);
    FrameStep = 0.5f;
    elSound::Play(n, -2);
    const SoundObject& object = SoundObjects.objects[n];
    const int direction = object.sweepDirection;
    ASSERT_TRUE(direction == 1 || direction == -1);
    // Each due repeat moves the pan by direction × 0.5 × 100 × sway steps and stops at ±30.
    elSound::UpdateEchoSweep(n, 100, 10, 1, 0);
    EXPECT_EQ(Copy(n, 1).pan, 0);
    elSound::UpdateEchoSweep(n, 100, 10, 1, 0);
    elSound::Stop(n, -1);
    elSound::Play(n, -2);
    const int d = object.sweepDirection;
    elSound::UpdateEchoSweep(n, 100, 10, 1, 1);  // 50 steps: clamped to 30, direction turns
    EXPECT_EQ(Copy(n, object.nextCopy == 0 ? 2 : object.nextCopy - 1).pan, d * 3000);
    EXPECT_EQ(object.sweepDirection, -d);
    EXPECT_FLOAT_EQ(object.sweepPan, 30.0f * d);
}

}  // namespace
