// Page 2, effect blits: each member's key, the Left and Right steps through them, and the animation
// of the member shown, at both depths.
#include <array>
#include <string>

#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using EffectsPageTest = DemoPageRun;

constexpr int kVkLeft = 37, kVkRight = 39;
constexpr int kMemberCount = 22;
const std::array<const char*, kMemberCount> kNames = {
    "HalfBlt",      "MirrorBlt",     "AlphaBlt",      "AlphaBltRGB",      "FadeBlt",    "FadeBltRGB",
    "AddBlt",       "AddFadeBlt",    "ShadowBlt",     "EdgeBlt",          "ChannelBlt", "BrightBlt",
    "BrightBltRGB", "DarkBlt",       "DarkBltRGB",    "BlurBlt",          "GreyBlt",    "DisplaceBlt",
    "RotateBlt",    "RotateZoomBlt", "RotateTileBlt", "RotateZoomTileBlt"};

// The page comes up on frame 3; its members are keyed from frame 5.
const std::string kToPage = Press(2, '2');

// The status line names the member by its key and name, then the values it draws with.
std::string Prefix(int member) {
    return std::string(1, static_cast<char>('A' + member)) + " " + kNames[member] + ": ";
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Pixels that differ below the body's text line, where only the room and the member are drawn.
long DrawingDifferences(const Shot& a, const Shot& b) {
    long count = 0;
    for (int y = kBodyTop + 28; y < kBodyBottom; ++y)
        for (int x = 0; x < 800; ++x) count += a.picture.At(x, y) != b.picture.At(x, y);
    return count;
}

TEST_F(EffectsPageTest, EachMemberKeyDrawsThatMemberAndItsAnimationMoves) {
    for (int depth : kDepths) {
        const Shot first = Run(depth, 40, kToPage);
        EXPECT_EQ(Number(first.state, "page"), 2);
        EXPECT_TRUE(StartsWith(Text(first.state, "status"), Prefix(0))) << first.state;
        for (int member = 0; member < kMemberCount; ++member) {
            SCOPED_TRACE("depth " + std::to_string(depth) + ", " + kNames[member]);
            const std::string script = kToPage + Press(5, 'A' + member);
            const Shot shot = Run(depth, 40, script);
            EXPECT_TRUE(StartsWith(Text(shot.state, "status"), Prefix(member))) << shot.state;
            if (member == 0)
                EXPECT_EQ(DrawingDifferences(first, shot), 0);
            else
                EXPECT_GT(DrawingDifferences(first, shot), 2000);
            // Ten frames on, the member is drawn with other values and at another place or angle.
            const Shot later = Run(depth, 50, script);
            EXPECT_NE(Text(later.state, "status"), Text(shot.state, "status"));
            EXPECT_GT(DrawingDifferences(shot, later), 2000);
        }
    }
}

TEST_F(EffectsPageTest, LeftAndRightStepThroughTheMembersAndWrapAround) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const struct {
            std::string steps;
            int member;
        } cases[] = {
            {Press(5, kVkRight), 1},
            {Press(5, kVkRight) + Press(7, kVkRight) + Press(9, kVkRight), 3},
            {Press(5, kVkLeft), kMemberCount - 1},
            {Press(5, 'U') + Press(7, kVkRight), kMemberCount - 1},
            {Press(5, 'V') + Press(7, kVkRight), 0},
            {Press(5, 'K') + Press(7, kVkLeft), 9},
        };
        for (const auto& c : cases) {
            // Stepping to a member draws exactly what its own key does.
            const Shot stepped = Run(depth, 30, kToPage + c.steps);
            const Shot keyed = Run(depth, 30, kToPage + Press(5, 'A' + c.member));
            EXPECT_TRUE(StartsWith(Text(stepped.state, "status"), Prefix(c.member))) << stepped.state;
            EXPECT_EQ(BodyDifferences(stepped, keyed), 0) << kNames[c.member];
        }
    }
}

}  // namespace
