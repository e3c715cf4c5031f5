// The joystick page on the headless backend at both depths. With no stick scripted both read as
// absent, the keys say what they did, and leaving and coming back is clean; with stick 1 scripted its
// cross, dot and lines follow the stick and its buttons, stick 2 stays absent, and plugging and
// unplugging during the page is reported.
#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using JoystickPageTest = DemoPageRun;

const std::string kToPage = Press(2, '7');
constexpr int kBoxTop = kBodyTop + 196, kBoxSize = 160, kSecondColumn = 16 + 392 + 16;
constexpr int kColumnWidth = 392, kTextTop = kBodyTop + 12, kLineHeight = 18;
constexpr int kCentre = 32767;
// The text lines of a stick's column, from the top.
enum Line { kStickLine, kDirectionLine, kRawLine, kButtonsLine, kStatesLine, kHoldsLine, kAnalogueLine };

// Stick 1 at rest from the first frame, so the page measures its centre when it opens.
const std::string kStickOneAtRest = Stick(1, 1, kCentre, kCentre);

long ColourDifferences(const Shot& shot, int leftA, int leftB) {
    long count = 0;
    for (int y = kBoxTop; y < kBoxTop + kBoxSize; ++y)
        for (int x = 0; x < kBoxSize; ++x)
            count += shot.picture.At(leftA + x, y) != shot.picture.At(leftB + x, y);
    return count;
}

// Pixels that differ in one text line of a stick's column.
long LineDifferences(const Shot& a, const Shot& b, int column, Line line) {
    return RegionDifferences(a, b, column, kTextTop + line * kLineHeight, kColumnWidth, kLineHeight);
}

// Stick 2's column, text and box: what it shows while that stick is absent.
long SecondColumnDifferences(const Shot& a, const Shot& b) {
    return RegionDifferences(a, b, kSecondColumn, kBodyTop, 800 - kSecondColumn,
                             kBoxTop + kBoxSize + 8 - kBodyTop);
}

// A raw axis on the box: 0 at its left or top edge, 65535 at its last pixel.
int OnBox(int raw) {
    return raw * (kBoxSize - 1) / 65535;
}

// Whether the box at `left` shows the cross in `colour` at the raw position: all four arms.
bool CrossAt(const Shot& shot, uint32_t colour, int left, int x, int y) {
    const int px = left + OnBox(x), py = kBoxTop + OnBox(y);
    return shot.picture.At(px - 4, py) == colour && shot.picture.At(px + 4, py) == colour &&
           shot.picture.At(px, py - 4) == colour && shot.picture.At(px, py + 4) == colour;
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

TEST_F(JoystickPageTest, PushingStickOneMovesItsCrossDotAndLinesWhileStickTwoStaysAbsent) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot absent = Run(depth, 50, kToPage);
        const Shot centred = Run(depth, 50, kStickOneAtRest + kToPage);
        // Pushed at frame 8: well up and fully left, then a little down and fully right; then fully
        // left and up, the same directions as the first.
        const Shot leftUp = Run(depth, 50, kStickOneAtRest + kToPage + Stick(8, 1, 0, 16000));
        const Shot rightDown = Run(depth, 50, kStickOneAtRest + kToPage + Stick(8, 1, 65535, 50000));
        const Shot corner = Run(depth, 50, kStickOneAtRest + kToPage + Stick(8, 1, 0, 0));
        for (const Shot* shot : {&centred, &leftUp, &rightDown, &corner}) {
            EXPECT_EQ(Text(shot->state, "status"), "read: 1 present, 2 absent, pad keys off");
            EXPECT_EQ(SecondColumnDifferences(*shot, absent), 0);
        }
        // A present stick's box is not the crossed-out one.
        EXPECT_GT(ColourDifferences(centred, 16, kSecondColumn), 1000);
        EXPECT_GT(RegionDifferences(centred, absent, 16, kTextTop, kColumnWidth, 7 * kLineHeight), 0);

        // The cross sits at the raw position and leaves the middle when the stick is pushed.
        const uint32_t cross = centred.picture.At(16 + OnBox(kCentre) - 4, kBoxTop + OnBox(kCentre));
        EXPECT_NE(cross, centred.picture.At(16 + 20, kBoxTop + 20)) << "no cross on the box";
        EXPECT_TRUE(CrossAt(centred, cross, 16, kCentre, kCentre));
        EXPECT_TRUE(CrossAt(leftUp, cross, 16, 0, 16000));
        EXPECT_FALSE(CrossAt(leftUp, cross, 16, kCentre, kCentre));
        EXPECT_TRUE(CrossAt(rightDown, cross, 16, 65535, 50000));
        EXPECT_FALSE(CrossAt(rightDown, cross, 16, kCentre, kCentre));
        EXPECT_FALSE(CrossAt(rightDown, cross, 16, 50000, 65535));

        // The analogue dot starts in the middle and, held for 42 frames at 200 a second, reaches the
        // corner of the pushed side.
        const uint32_t dot = centred.picture.At(16 + kBoxSize / 2 - 1, kBoxTop + kBoxSize / 2 - 1);
        EXPECT_NE(dot, cross);
        EXPECT_EQ(leftUp.picture.At(16 + 1, kBoxTop + 1), dot);
        EXPECT_EQ(rightDown.picture.At(16 + kBoxSize - 2, kBoxTop + kBoxSize - 2), dot);
        EXPECT_NE(centred.picture.At(16 + 1, kBoxTop + 1), dot);
        EXPECT_NE(leftUp.picture.At(16 + kBoxSize - 2, kBoxTop + kBoxSize - 2), dot);

        // Direction, keypad digit, raw position and analogue value change with the push...
        for (Line line : {kDirectionLine, kRawLine, kAnalogueLine}) {
            SCOPED_TRACE("line " + std::to_string(line));
            EXPECT_GT(LineDifferences(centred, leftUp, 16, line), 0);
            EXPECT_GT(LineDifferences(leftUp, rightDown, 16, line), 0);
        }
        // ...the directions by side, not by how far: only the raw line tells the two left pushes apart.
        EXPECT_EQ(LineDifferences(leftUp, corner, 16, kDirectionLine), 0);
        EXPECT_EQ(LineDifferences(leftUp, corner, 16, kAnalogueLine), 0);
        EXPECT_GT(LineDifferences(leftUp, corner, 16, kRawLine), 0);
        // The buttons stay released.
        for (Line line : {kStickLine, kButtonsLine, kStatesLine, kHoldsLine})
            EXPECT_EQ(LineDifferences(centred, rightDown, 16, line), 0) << "line " << line;
    }
}

TEST_F(JoystickPageTest, HeldButtonsShowAsBitsThenHeldStatesAndGrowingHoldsUntilReleased) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        // Buttons 1 and 3 held from frame 10 on, released at frame 25 in the last run.
        const std::string press = kStickOneAtRest + kToPage + Stick(10, 1, kCentre, kCentre, 0x5);
        const Shot rest = Run(depth, 30, kStickOneAtRest + kToPage);
        const Shot justPressed = Run(depth, 10, press);
        const Shot heldShort = Run(depth, 18, press);
        const Shot heldLong = Run(depth, 30, press);
        const Shot released = Run(depth, 30, press + Stick(25, 1, kCentre, kCentre, 0));

        for (Line line : {kButtonsLine, kStatesLine, kHoldsLine})
            EXPECT_GT(LineDifferences(rest, justPressed, 16, line), 0) << "line " << line;
        // The bits stay as they are while held; the states go from pressed to held, and stay held.
        EXPECT_EQ(LineDifferences(justPressed, heldLong, 16, kButtonsLine), 0);
        EXPECT_GT(LineDifferences(justPressed, heldShort, 16, kStatesLine), 0);
        EXPECT_EQ(LineDifferences(heldShort, heldLong, 16, kStatesLine), 0);
        // The hold amounts keep growing.
        EXPECT_GT(LineDifferences(justPressed, heldShort, 16, kHoldsLine), 0);
        EXPECT_GT(LineDifferences(heldShort, heldLong, 16, kHoldsLine), 0);
        // Nothing else on the page moves with the buttons.
        for (Line line : {kStickLine, kDirectionLine, kRawLine, kAnalogueLine})
            EXPECT_EQ(LineDifferences(rest, heldLong, 16, line), 0) << "line " << line;
        EXPECT_EQ(SecondColumnDifferences(rest, heldLong), 0);
        // Released for a few frames, the page is as if they had never been pressed.
        EXPECT_EQ(BodyDifferences(rest, released), 0);

        // Button 8 shows among the bits, but the states and holds are those of buttons 1 to 4.
        const Shot eighth = Run(depth, 30, kStickOneAtRest + kToPage + Stick(10, 1, kCentre, kCentre, 0x80));
        EXPECT_GT(LineDifferences(rest, eighth, 16, kButtonsLine), 0);
        EXPECT_EQ(LineDifferences(rest, eighth, 16, kStatesLine), 0);
        EXPECT_EQ(LineDifferences(rest, eighth, 16, kHoldsLine), 0);
    }
}

TEST_F(JoystickPageTest, UnpluggingAndPluggingInDuringThePageAreReportedAndDrawn) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot absent = Run(depth, 14, kToPage);
        const std::string unplugged = kStickOneAtRest + kToPage + Unplug(10, 1);
        const Shot gone = Run(depth, 14, unplugged);
        EXPECT_EQ(Text(gone.state, "status"), "plugged: 1 absent, 2 absent, pad keys off");
        // Stick 1's box is crossed out again, like stick 2's and like a page that never had a stick.
        EXPECT_EQ(ColourDifferences(gone, 16, kSecondColumn), 0);
        EXPECT_EQ(RegionDifferences(gone, absent, 16, kBoxTop, kBoxSize, kBoxSize), 0);
        EXPECT_EQ(LineDifferences(gone, absent, 16, kStickLine), 0);

        // Stick 1 back at rest and stick 2 plugged in pushed right and up: each in its own box.
        const Shot back =
            Run(depth, 20, unplugged + Stick(16, 1, kCentre, kCentre) + Stick(16, 2, 65535, 8000));
        EXPECT_EQ(Text(back.state, "status"), "plugged: 1 present, 2 present, pad keys off");
        const Shot centred = Run(depth, 20, kStickOneAtRest + kToPage);
        const uint32_t cross = centred.picture.At(16 + OnBox(kCentre) - 4, kBoxTop + OnBox(kCentre));
        EXPECT_TRUE(CrossAt(back, cross, 16, kCentre, kCentre));
        EXPECT_TRUE(CrossAt(back, cross, kSecondColumn, 65535, 8000));
        EXPECT_FALSE(CrossAt(back, cross, kSecondColumn, 8000, 65535));
        EXPECT_GT(SecondColumnDifferences(back, absent), 1000);
    }
}

}  // namespace
