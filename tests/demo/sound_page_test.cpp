// The sound effects page as a user drives it: the replay runner records no sound, so the checks
// read what the page reports of the sound objects in its status line.
#include <algorithm>

#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using SoundPageTest = DemoPageRun;

constexpr int kVkLeft = 37, kVkRight = 39, kVkDown = 40;

// Opens page 5 on frame 2 and presses the keys one every other frame from frame 4; returns the
// script and, through `frames`, a run long enough to see the last key's effect.
std::string Keys(std::initializer_list<int> keys, int* frames) {
    std::string script = Press(2, '5');
    int frame = 4;
    for (int key : keys) script += Press(frame, key), frame += 2;
    *frames = frame + 1;
    return script;
}

std::string Status(const Shot& shot) {
    return Text(shot.state, "status");
}

TEST_F(SoundPageTest, ThePageLoadsTheNineEffectsFromItsPackAndPlaysThemOnceLoopedAndRoundRobin) {
    const struct {
        std::initializer_list<int> keys;
        const char* status;
    } cases[] = {
        {{}, "9 of 9 effects loaded from demo"},
        {{'P'}, "played once: blip copy 0: volume 0, pan 0, frequency 22050 Hz"},
        {{kVkLeft, 'L'}, "looping: shot copy 0:"},
        {{kVkRight, kVkRight, 'R'}, "round-robin: explosion copy 0:"},
        {{kVkRight, kVkRight, 'R', 'R'}, "round-robin: explosion copy 1:"},
        {{kVkRight, kVkRight, 'R', 'R', 'R', 'R'}, "round-robin: explosion copy 0:"},  // three copies
        {{'R', 'R'}, "round-robin: blip copy 0:"},                                     // one copy
        {{kVkRight, kVkRight, 'R', 'P'}, "played once: explosion copy 0:"},
        {{kVkLeft, 'L', 'S'}, "shot stopped"},
        {{'E'}, "blip has one copy: no echo"},
    };
    for (int depth : kDepths)
        for (const auto& c : cases) {
            int frames = 0;
            const Shot shot = Run(depth, frames, Keys(c.keys, &frames));
            EXPECT_EQ(Number(shot.state, "page"), 5);
            EXPECT_EQ(Status(shot).rfind(c.status, 0), 0u) << depth << ": " << shot.state;
        }
}

TEST_F(SoundPageTest, VolumePanAndFrequencyChangeOnlyTheCopyPlayedLastWithinTheirRanges) {
    const struct {
        std::initializer_list<int> keys;
        const char* status;
    } cases[] = {
        {{'P', kVkDown, kVkDown}, "quieter: blip copy 0: volume -200, pan 0, frequency 22050 Hz"},
        {{'P', kVkUp}, "louder: blip copy 0: volume 0, pan 0,"},  // 0 dB is the top
        {{'P', 'A', 'A', 'A'}, "to the left: blip copy 0: volume 0, pan -300,"},
        {{'P', 'A', 'D', 'D'}, "to the right: blip copy 0: volume 0, pan 100,"},
        {{'P', 'Z', 'Z'}, "lower: blip copy 0: volume 0, pan 0, frequency 21850 Hz"},
        {{'P', 'X'}, "higher: blip copy 0: volume 0, pan 0, frequency 22150 Hz"},
        {{'P', kVkDown, 'A', 'X', 'C'}, "reset: blip copy 0: volume 0, pan 0, frequency 22050 Hz"},
        {{kVkRight, kVkRight, 'R', 'R', kVkDown}, "quieter: explosion copy 1: volume -100,"},
        {{kVkRight, kVkRight, 'R', 'R', kVkDown, 'R'}, "round-robin: explosion copy 2: volume 0,"},
        {{kVkRight, kVkRight, 'R', kVkDown, 'R', 'R', 'R'}, "round-robin: explosion copy 0: volume -100,"},
        {{kVkDown}, "9 of 9 effects loaded"},  // nothing played yet: nothing to change
    };
    for (int depth : kDepths)
        for (const auto& c : cases) {
            int frames = 0;
            const Shot shot = Run(depth, frames, Keys(c.keys, &frames));
            EXPECT_EQ(Status(shot).rfind(c.status, 0), 0u) << depth << ": " << shot.state;
        }
}

TEST_F(SoundPageTest, TheEchoRepeatsFadingUntilItEndsAndTheSwayMovesItsPan) {
    // Powerup, the eighth effect, has five copies.
    const std::initializer_list<int> toPowerup = {kVkLeft, kVkLeft};
    for (int depth : kDepths) {
        int frames = 0;
        std::string script = Keys(toPowerup, &frames);
        script += Press(frames, 'E');
        const Shot started = Run(depth, frames + 2, script);
        EXPECT_EQ(Status(started), "echo of powerup started") << started.state;

        const Shot first = Run(depth, frames + 9, script);  // a repeat every 100 ms
        EXPECT_EQ(Status(first).rfind("echo of powerup: repeat 1 of 4, copy 1, volume -400, pan 0", 0), 0u)
            << first.state;

        const Shot done = Run(depth, frames + 60, script);
        EXPECT_EQ(Status(done), "echo of powerup: done after 4 repeats") << done.state;

        const Shot stopped = Run(depth, frames + 9, script + Press(frames + 3, 'S'));
        EXPECT_EQ(Status(stopped), "powerup stopped") << stopped.state;

        script = Keys(toPowerup, &frames);
        script += Press(frames, 'W');
        const Shot swayed = Run(depth, frames + 9, script);
        const std::string status = Status(swayed);
        EXPECT_EQ(status.rfind("echo with sway of powerup: repeat 1 of 4, copy 1, volume -400, pan ", 0), 0u)
            << swayed.state;
        // The first repeat sways by about a frame's share of a second's sway, to either side.
        const long pan = std::strtol(status.c_str() + status.rfind(' '), nullptr, 10);
        EXPECT_TRUE(std::abs(pan) >= 800 && std::abs(pan) <= 1000) << status;
    }
}

// Where the status drew in the title band right of the title: the columns and rows it reached.
struct StatusInk {
    int rightmost = -1, top = 1000, bottom = -1;
};

StatusInk InkRightOfTitle(const Shot& shot) {
    constexpr int kStatusLeft = 330, kBandBottom = kBodyTop - 4;
    const uint32_t band = shot.picture.At(kStatusLeft - 2, kBandBottom - 1);
    StatusInk ink;
    for (int y = 0; y < kBandBottom; ++y)
        for (int x = kStatusLeft; x < 800; ++x) {
            if (shot.picture.At(x, y) == band) continue;
            ink.rightmost = std::max(ink.rightmost, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

TEST_F(SoundPageTest, AStatusTooLongForTheTitlesSizeIsDrawnSmallerInsideTheTitleBand) {
    for (int depth : kDepths) {
        int frames = 0;
        std::string script = Keys({kVkLeft, kVkLeft}, &frames);
        const Shot shortStatus = Run(depth, frames + 2, script + Press(frames, 'E'));
        ASSERT_EQ(Status(shortStatus), "echo of powerup started");
        const StatusInk title = InkRightOfTitle(shortStatus);
        EXPECT_GT(title.rightmost, 500) << "depth " << depth;
        EXPECT_LT(title.rightmost, 796) << "depth " << depth;

        // 71 characters: past the band's right end at the title's size.
        const Shot longStatus = Run(depth, frames + 9, script + Press(frames, 'W'));
        ASSERT_EQ(Status(longStatus).rfind("echo with sway of powerup: repeat 1 of 4", 0), 0u);
        const StatusInk small = InkRightOfTitle(longStatus);
        EXPECT_GT(small.rightmost, 700) << "depth " << depth;  // all of it, not cut short
        EXPECT_LE(small.rightmost, 796) << "depth " << depth;
        EXPECT_LT(small.bottom - small.top, title.bottom - title.top) << "depth " << depth;
        EXPECT_GE(small.top, 2) << "depth " << depth;  // kept off the band's edges
        EXPECT_LE(small.bottom, kBodyTop - 7) << "depth " << depth;
    }
}

}  // namespace

namespace {

// On a machine without a sound device both sound pages say so in words instead of listing effects
// that are "not loaded", and a key that would play a sound says why nothing plays.
TEST_F(SoundPageTest, WithoutASoundDeviceTheSoundPagesSayWhyNothingPlays) {
    for (int depth : kDepths) {
        int frames = 0;
        const std::string script = Keys({'P'}, &frames);
        const Shot withDevice = Run(depth, frames, script);
        extraOptions = {"--sound-device", "off"};
        const Shot effects = Run(depth, frames, script);
        EXPECT_EQ(Status(effects), "no sound device: blip cannot play") << depth;
        EXPECT_GT(BodyDifferences(withDevice, effects), 1000) << depth;

        const Shot music = Run(depth, 4, Press(2, '6'));
        EXPECT_EQ(Number(music.state, "page"), 6);
        EXPECT_EQ(Status(music), "no sound device: sound is off") << depth;
        const Shot effectsPage = Run(depth, 4, Press(2, '5'));
        EXPECT_EQ(Status(effectsPage), "no sound device: sound is off") << depth;
        extraOptions.clear();
    }
}

}  // namespace
