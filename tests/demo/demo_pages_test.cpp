// The demo's pages as a user drives them: eldemo-replay runs a key script at both depths, and the
// shots of frames before and after a key show what the key did.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using DemoPagesTest = DemoPageRun;

TEST_F(DemoPagesTest, EveryFadeTypeCarriesTheFirstPictureOverToTheSecond) {
    for (int depth : kDepths) {
        const Shot before = Run(depth, 4, "");
        EXPECT_EQ(Text(before.state, "status"), "picture 1");
        for (int type = 0; type <= 12; ++type) {
            SCOPED_TRACE("depth " + std::to_string(depth) + ", fade " + std::to_string(type));
            // The tile fade covers, then uncovers in ten more frames; the others end with their cover.
            const Shot after = Run(depth, type == 0 ? 20 : 8, Press(5, 'A' + type));
            EXPECT_EQ(Text(after.state, "status"), "picture 2");
            EXPECT_GT(BodyDifferences(before, after), 100000);
            if (type == 0) {
                const Shot half = Run(depth, 10, Press(5, 'A'));
                EXPECT_EQ(Text(half.state, "status"), "fade 0 to the other picture");
                EXPECT_GT(BodyDifferences(half, after), 1000);  // still partly covered by the tiles
            }
        }
    }
}

TEST_F(DemoPagesTest, EachClipWipeClosesTheBodyAndOpensItBackToTheSamePicture) {
    for (int depth : kDepths) {
        const Shot start = Run(depth, 4, "");
        for (int type = 1; type <= 9; ++type) {
            SCOPED_TRACE("depth " + std::to_string(depth) + ", wipe " + std::to_string(type));
            const int key = 'N' + type - 1;
            const Shot closing = Run(depth, 8, Press(5, key));
            EXPECT_EQ(Text(closing.state, "status"), "clip wipe " + std::to_string(type) + " closing");
            const long partly = BodyDifferences(start, closing);
            EXPECT_GT(partly, 0);
            const Shot closed = Run(depth, 160, Press(5, key));
            EXPECT_EQ(Text(closed.state, "status"), "clip wipe " + std::to_string(type) + " closed");
            EXPECT_GT(BodyDifferences(start, closed), partly);
            const Shot opened = Run(depth, 330, Press(5, key) + Press(162, key));
            EXPECT_EQ(Text(opened.state, "status"), "picture 1");
            EXPECT_EQ(BodyDifferences(start, opened), 0);
        }
        // Picture 2 too: its stretched sheet keeps to the closing clip like the rest of it.
        const Shot closedOnSecond = Run(depth, 250, Press(5, 'E') + Press(100, 'N'));
        ASSERT_EQ(Text(closedOnSecond.state, "status"), "clip wipe 1 closed");
        long lit = 0;
        for (int y = kBodyTop; y < kBodyBottom; ++y)
            for (int x = 0; x < 800; ++x) lit += closedOnSecond.picture.At(x, y) != 0;
        EXPECT_EQ(lit, 0) << "depth " << depth;
    }
}

TEST_F(DemoPagesTest, TheViewerOpensOnWScrollsWithTheArrowsAndClosesOnW) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot start = Run(depth, 4, "");
        const Shot open = Run(depth, 8, Press(5, 'W'));
        EXPECT_EQ(Text(open.state, "status"), "picture viewer: arrows scroll, W closes");
        EXPECT_GT(BodyDifferences(start, open), 10000);
        const Shot scrolled = Run(depth, 40, Press(5, 'W') + "10 down 40\n38 up 40\n");
        EXPECT_GT(BodyDifferences(open, scrolled), 10000);
        const Shot closed = Run(depth, 14, Press(5, 'W') + Press(10, 'W'));
        EXPECT_EQ(Text(closed.state, "status"), "picture 1");
        EXPECT_EQ(BodyDifferences(start, closed), 0);
    }
}

TEST_F(DemoPagesTest, EachLineEffectRedrawsTheBodyAndItsKeyAgainStopsIt) {
    for (int depth : kDepths) {
        const Shot start = Run(depth, 4, "");
        for (int effect = 0; effect < 8; ++effect) {
            SCOPED_TRACE("depth " + std::to_string(depth) + ", F" + std::to_string(effect + 1));
            const Shot running = Run(depth, 8, Press(5, kVkF1 + effect));
            EXPECT_EQ(Text(running.state, "status").rfind("line effect F" + std::to_string(effect + 1), 0),
                      0u)
                << running.state;
            EXPECT_GT(BodyDifferences(start, running), 1000);
            const Shot stopped = Run(depth, 12, Press(5, kVkF1 + effect) + Press(9, kVkF1 + effect));
            EXPECT_EQ(BodyDifferences(start, stopped), 0);
        }
    }
}

TEST_F(DemoPagesTest, PagesSwitchByNumberAndPageKeysSkippingPagesNotBuiltAndEscEnds) {
    // Pages 1 to 8 are built; 9 is not, so its key does nothing and the page keys wrap past it.
    std::string forward, backward;
    for (int step = 0; step < 8; ++step) {
        forward += Press(2 + 2 * step, kVkPageDown);
        backward += Press(2 + 2 * step, kVkPageUp);
    }
    const struct {
        std::string script;
        long page;
    } cases[] = {
        {Press(2, '2'), 2},
        {Press(2, '4'), 4},
        {Press(2, '5'), 5},
        {Press(2, '7'), 7},
        {Press(2, '8'), 8},
        {Press(2, '9'), 1},  // no page 9: the key does nothing
        {Press(2, '3') + Press(4, kVkPageDown), 4},
        {Press(2, '7') + Press(4, kVkPageUp), 6},
        {Press(2, '8') + Press(4, kVkPageDown), 1},
        {Press(2, kVkPageUp), 8},
        {forward, 1},   // eight pages on, round to the first again
        {backward, 1},  // and eight back
    };
    for (int depth : kDepths)
        for (const auto& c : cases) {
            const Shot shot = Run(depth, 20, c.script);
            EXPECT_EQ(Number(shot.state, "page"), c.page) << c.script;
        }
    const Shot ended = Run(16, 100, Press(5, kVkEscape));
    EXPECT_EQ(Number(ended.state, "frame"), 4);  // Esc before frame 5 ends the run there
}

TEST_F(DemoPagesTest, PrimitivesFollowTheMouseAndEachKeyChangesWhatIsDrawn) {
    const std::string toPage = Press(2, '3') + "3 mouse 200 200\n";
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        // The shapes' part only: the filter blocks on the right animate by themselves.
        auto shapesDiffer = [](const Shot& a, const Shot& b) {
            return RegionDifferences(a, b, 0, kBodyTop, 536, kBodyBottom - kBodyTop);
        };
        const Shot base = Run(depth, 8, toPage);
        EXPECT_EQ(Number(base.state, "page"), 3);
        const Shot moved = Run(depth, 8, toPage + "7 mouse 400 300\n");
        EXPECT_GT(shapesDiffer(base, moved), 1000);
        for (int key : {int{'L'}, int{'R'}, int{'P'}, int{'B'}, int{'H'}, kVkUp}) {
            const Shot changed = Run(depth, 8, toPage + Press(7, key));
            EXPECT_GT(shapesDiffer(base, changed), 100) << "key " << key;
        }
        // With every shape off only the empty drawing area is left, in one colour inside its border.
        const Shot empty =
            Run(depth, 14, toPage + Press(7, 'L') + Press(8, 'R') + Press(9, 'P') + Press(10, 'B'));
        EXPECT_EQ(Text(empty.state, "status"), "pen 1, polygon hatched on white, ----");
        const uint32_t inside = empty.picture.At(100, 100);
        long others = 0;
        for (int y = kBodyTop + 10; y < kBodyBottom - 10; ++y)
            for (int x = 10; x < 534; ++x)
                others += empty.picture.At(x, y) != inside && !(x == 200 && y == 200);
        EXPECT_EQ(others, 0);
    }
}

TEST_F(DemoPagesTest, PackPicturesMatchTheirBmpFilesToFiveBitsAndF5SavesTheScreen) {
    const fs::path programFolder = fs::path(EL_DEMO_REPLAY_BINARY).parent_path();
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot shot = Run(depth, 5, Press(2, '8') + Press(5, kVkF5));
        EXPECT_EQ(Number(shot.state, "page"), 8);
        // The item picture at the pack's column and at the BMP's: the same picture, the pack's channels
        // cut to five bits.
        long differing = 0, coloured = 0;
        for (int y = 58; y < 58 + 48; ++y)
            for (int x = 0; x < 96; ++x) {
                const uint32_t packed = shot.picture.At(16 + x, y), loose = shot.picture.At(408 + x, y);
                for (int shift = 0; shift < 24; shift += 8) {
                    const int a = packed >> shift & 0xFF, b = loose >> shift & 0xFF;
                    differing += std::abs(a - b) >= 8;
                }
                coloured += loose != 0;
            }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(coloured, 100);

        // The capture holds what the frame presented.
        const std::string status = Text(shot.state, "status");
        ASSERT_EQ(status.rfind("saved eldemo", 0), 0u) << status;
        const fs::path capture = programFolder / status.substr(6);
        platform::Picture saved;
        ASSERT_TRUE(platform::LoadBmpFile(capture.c_str(), saved)) << capture;
        std::error_code ignored;
        fs::remove(capture, ignored);
        ASSERT_EQ(saved.width, 800);
        ASSERT_EQ(saved.height, 600);
        const uint32_t mask = depth == 16 ? 0xF8F8F8 : 0xFFFFFF;  // 16 bits: five bits a channel, times 8
        long mismatches = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                mismatches += (saved.At(x, y) & mask) != (shot.picture.At(x, y) & mask);
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(DemoPagesTest, TheMusicPageStartsTheStreamFromItsPackAndTheMidiPiece) {
    for (int depth : kDepths) {
        const Shot stream = Run(depth, 12, Press(2, '6') + Press(5, 'S'));
        EXPECT_EQ(Number(stream.state, "page"), 6);
        EXPECT_NE(stream.state.find("stream playing, repeating from byte 216000"), std::string::npos)
            << stream.state;
        const Shot midi = Run(depth, 12, Press(2, '6') + Press(5, 'M'));
        EXPECT_NE(midi.state.find("MIDI playing, repeating (play result 0)"), std::string::npos)
            << midi.state;
        const Shot closed = Run(depth, 14, Press(2, '6') + Press(5, 'M') + Press(8, 'Z'));
        EXPECT_NE(closed.state.find("MIDI closed"), std::string::npos) << closed.state;
    }
}

// The loudest sample of each frame's share of a recorded run's left channel.
std::vector<int> FramePeaks(const fs::path& wave, int framesRun) {
    const std::vector<double> left = LeftChannel(wave);
    std::vector<int> peaks;
    if (framesRun <= 0) return peaks;
    const size_t perFrame = left.size() / static_cast<size_t>(framesRun);
    for (size_t f = 0; f < static_cast<size_t>(framesRun); ++f) {
        double peak = 0;
        for (size_t i = f * perFrame; i < (f + 1) * perFrame; ++i) peak = std::max(peak, std::abs(left[i]));
        peaks.push_back(static_cast<int>(peak));
    }
    return peaks;
}

TEST_F(DemoPagesTest, TheRecordedSoundStartsInTheFrameThatStartedItAndMusicKeepsPlaying) {
    const fs::path sound = dir / "sound.wav";
    Run(16, 60, Press(2, '5') + Press(20, 'P'), sound.string());  // page 5 plays its first effect once
    std::vector<int> peaks = FramePeaks(sound, 60);
    ASSERT_EQ(peaks.size(), 60u);
    for (int f = 0; f < 19; ++f) EXPECT_EQ(peaks[f], 0) << "frame " << f + 1;
    EXPECT_GT(peaks[19], 1000) << "the 20th frame, in which the key was pressed";
    EXPECT_EQ(peaks[59], 0) << "the short effect is over";

    Run(32, 150, Press(2, '6') + Press(10, 'S') + Press(12, 'M'), sound.string());  // stream, then MIDI
    peaks = FramePeaks(sound, 150);
    ASSERT_EQ(peaks.size(), 150u);
    for (int f = 0; f < 9; ++f) EXPECT_EQ(peaks[f], 0) << "frame " << f + 1;
    for (int f = 9; f < 150; ++f) EXPECT_GT(peaks[f], 100) << "frame " << f + 1;
}

}  // namespace
