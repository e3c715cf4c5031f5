// The joystick page on the headless backend, where the replay runner plugs in no stick: both sticks
// read as absent at both depths, the keys say what they did, and leaving and coming back is clean.
#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using JoystickPageTest = DemoPageRun;

const std::string kToPage = Press(2, '7');
constexpr int kBoxTop = kBodyTop + 196, kBoxSize = 160, kSecondColumn = 16 + 392 + 16;

long ColourDifferences(const Shot& shot, int leftA, int leftB) {
    long count = 0;
    for (int y = kBoxTop; y < kBoxTop + kBoxSize; ++y)
        for (int x = 0; x < kBoxSize; ++x)
            count += shot.picture.At(leftA + x, y) != shot.picture.At(leftB + x, y);
    return count;
}

TEST_F(JoystickPageTest, BothSticksShowAsAbsentWithGamepadKeysOffAtBothDepths) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot before = Run(depth, 6, "");
        const Shot shot = Run(depth, 6, kToPage);
        EXPECT_EQ(Number(shot.state, "page"), 7);
        EXPECT_EQ(Text(shot.state, "status"), "read: 1 absent, 2 absent, pad keys off");
        EXPECT_GT(BodyDifferences(before, shot), 10000);
        // Two absent sticks draw the same crossed-out box, and the box is not empty.
        EXPECT_EQ(ColourDifferences(shot, 16, kSecondColumn), 0);
        const uint32_t fill = shot.picture.At(16 + 40, kBoxTop + 80);
        EXPECT_NE(fill, shot.picture.At(16 + kBoxSize / 2, kBoxTop + kBoxSize / 2));  // the diagonals cross
        EXPECT_NE(fill, shot.picture.At(16 + kBoxSize + 20, kBoxTop + 80));           // on a box of its own
        // Many frames later nothing has come or gone.
        const Shot later = Run(depth, 60, kToPage);
        EXPECT_EQ(Text(later.state, "status"), Text(shot.state, "status"));
        EXPECT_EQ(BodyDifferences(shot, later), 0);
    }
}

TEST_F(JoystickPageTest, CalibrateInitAndResetKeysReportWhatTheyDid) {
    const struct {
        int key;
        const char* action;
    } cases[] = {{'C', "calibrated"}, {'I', "re-init"}, {'R', "reset"}};
    for (int depth : kDepths)
        for (const auto& c : cases) {
            const Shot shot = Run(depth, 8, kToPage + Press(5, c.key));
            EXPECT_EQ(Text(shot.state, "status"),
                      std::string(c.action) + ": 1 absent, 2 absent, pad keys off")
                << "depth " << depth << ", key " << char(c.key);
        }
}

TEST_F(JoystickPageTest, LeavingAndComingBackShowsThePageAsBefore) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot first = Run(depth, 6, kToPage);
        const Shot left = Run(depth, 8, kToPage + Press(5, '6'));
        EXPECT_EQ(Number(left.state, "page"), 6);
        const Shot back = Run(depth, 12, kToPage + Press(5, '6') + Press(8, '7'));
        EXPECT_EQ(Number(back.state, "page"), 7);
        EXPECT_EQ(Text(back.state, "status"), Text(first.state, "status"));
        EXPECT_EQ(BodyDifferences(first, back), 0);
    }
}

}  // namespace
