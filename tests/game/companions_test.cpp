// Companions: throws in each facing, flight length, landing at the view edge, near and waiting, slots.
#include <cmath>

#include "platform/messages.h"
#include "tests/game/game_test_support.h"

namespace {

// Where the full-hit circle of each facing is centred, as an offset from the princess's corner.
constexpr int kFullHit[8][2] = {{12, 48}, {48, 84}, {84, 48}, {48, 12},
                                {12, 84}, {84, 84}, {12, 12}, {84, 12}};
constexpr int kDirection[8] = {2, 0, 6, 4, 1, 7, 3, 5};
constexpr int kFacing[8] = {0, 1, 2, 3, 1, 1, 3, 3};

}  // namespace

class CompanionTest : public GameTest {
  protected:
    // Princess at view (296, 248); companion k placed with its centre at (cx + 28, cy + 28).
    void Start(int k, float cx, float cy) {
        Layer placement;
        placement.Set(40, 34, kPlacePrincess);
        placement.Set(10, 10, kPlaceCompanion0 + k);
        WriteLayer("map01_teki.txt", placement);
        Load();
        Companions.records[k].x = cx;
        Companions.records[k].y = cy;
    }
    // Presses C and runs frames until companion k flies; returns the frames taken (0: never).
    int SwingUntilThrown(int k) {
        Press('C');
        for (int frame = 1; frame <= 60; ++frame) {
            const int32_t stepBefore = Princess.animStep;
            Frames(1);
            if (Companions.CompanionMode[k] == kModeFlying) {
                // Thrown on the first frame that sees the swing in its third column.
                EXPECT_EQ(stepBefore, 2);
                return frame;
            }
        }
        return 0;
    }
    // Stops the swing, which would throw the companion again while it is still in reach.
    void EndSwing() {
        Princess.swinging = 0;
        Princess.animStep = 0;
    }
};

TEST_F(CompanionTest, TheSwingKeepsThrowingWhileTheCompanionIsInReach) {
    Start(1, 296.0f + 48.0f - 28.0f, 248.0f + 84.0f - 28.0f);
    Princess.x = 100.0f;
    Companions.records[1].x = 100.0f + 48.0f - 28.0f;
    Princess.facing = kHeroRight;
    ASSERT_EQ(SwingUntilThrown(1), 27);
    // The third column lasts 13 frames; each frame in reach starts the flight afresh.
    Frames(12);
    EXPECT_EQ(Princess.swinging, 0);
    EXPECT_EQ(Companions.records[1].flightDistance, Step() * 300.0f);
    EXPECT_NEAR(Companions.records[1].x, 120.0f + 12 * 5.0f, 0.01f);
}

TEST_F(CompanionTest, ASwingThrowsTheCompanionInEveryFacing) {
    for (int facing = 0; facing < 8; ++facing) {
        SCOPED_TRACE(facing);
        TearDown();
        SetUp();
        Start(1, 296.0f + kFullHit[facing][0] - 28.0f, 248.0f + kFullHit[facing][1] - 28.0f);
        Princess.facing = facing;
        ASSERT_EQ(SwingUntilThrown(1), 27);
        const Companion& c = Companions.records[1];
        EXPECT_EQ(c.powered, 1);
        EXPECT_EQ(c.throwDirection, kDirection[facing]);
        EXPECT_EQ(c.facing, kFacing[facing]);
        EXPECT_EQ(c.throwFacing, facing);
        EXPECT_EQ(c.frameColumn, facing);
        EXPECT_EQ(c.frameRow, 4);
        const float x0 = c.x;
        const float y0 = c.y;
        Frames(5);
        const double a = kDirection[facing] * 45.0 * 3.141592 / 180.0;
        const float expectDx = static_cast<float>(std::cos(a) * 300.0 * 5 / 60.0);
        const float expectDy = static_cast<float>(std::sin(a) * 300.0 * 5 / 60.0);
        EXPECT_NEAR(c.x - x0, expectDx, 0.01f);
        EXPECT_NEAR(c.y - y0, expectDy, 0.01f);
    }
}

TEST_F(CompanionTest, TheThrowShowsItsCryAboveTheCompanion) {
    Start(2, 296.0f + 12.0f - 28.0f, 248.0f + 48.0f - 28.0f);
    Princess.facing = kHeroDown;
    ASSERT_EQ(SwingUntilThrown(2), 27);
    EXPECT_TRUE(DebugTextAt(280, 258));
}

TEST_F(CompanionTest, AHitInTheBoxButOutsideTheCircleIsNotPowered) {
    // Facing right: box centre (px + 60, py + 84), circle centre (px + 48, py + 84).
    Start(0, 296.0f + 90.0f - 28.0f, 248.0f + 84.0f - 28.0f);
    Princess.facing = kHeroRight;
    ASSERT_EQ(SwingUntilThrown(0), 27);
    EXPECT_EQ(Companions.records[0].powered, 0);
    EndSwing();
    // 300 px at 200 px/s: the float sum of 90 steps is 299.99997, so it lands on the 91st step
    // (the first is taken on the frame of the throw).
    int frames = 0;
    while (Companions.CompanionMode[0] == kModeFlying && frames < 200) {
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(frames, 90);
    EXPECT_EQ(Companions.CompanionMode[0], kModeLanded);
}

TEST_F(CompanionTest, PoweredFlightCoversThreeHundredPixelsInOneSecond) {
    Start(1, 296.0f + 48.0f - 28.0f, 248.0f + 84.0f - 28.0f);
    Princess.x = 100.0f;  // leave room to the right
    Companions.records[1].x = 100.0f + 48.0f - 28.0f;
    Princess.facing = kHeroRight;
    ASSERT_EQ(SwingUntilThrown(1), 27);
    EndSwing();
    const float x0 = Companions.records[1].x;
    int frames = 0;
    while (Companions.CompanionMode[1] == kModeFlying && frames < 200) {
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(frames, 59);
    EXPECT_NEAR(Companions.records[1].x - x0, 295.0f, 0.01f);
    // Landed: stands in column 8 for a second, then waits.
    EXPECT_EQ(Companions.records[1].frameColumn, 8);
    Frames(61);
    EXPECT_EQ(Companions.CompanionMode[1], kModeWaiting);
}

TEST_F(CompanionTest, FlightEndsAtTheViewEdge) {
    Start(1, 296.0f + 48.0f - 28.0f, 248.0f + 84.0f - 28.0f);
    Princess.x = 600.0f;
    Companions.records[1].x = 600.0f + 48.0f - 28.0f;
    Princess.facing = kHeroRight;
    ASSERT_EQ(SwingUntilThrown(1), 27);
    Frames(30);
    EXPECT_EQ(Companions.records[1].x, 748.0f);
    EXPECT_NE(Companions.CompanionMode[1], kModeFlying);
}

TEST_F(CompanionTest, FlightStopsAtAWall) {
    Layer blocks;
    for (int row = 0; row < 216; ++row) blocks.Set(70, row, 1);  // world x 560
    WriteLayer("map01_zk.txt", blocks);
    Start(1, 296.0f + 48.0f - 28.0f, 248.0f + 84.0f - 28.0f);
    Princess.facing = kHeroRight;
    ASSERT_EQ(SwingUntilThrown(1), 27);
    Frames(60);
    EXPECT_EQ(Companions.CompanionMode[1], kModeLanded);
    // It lands on the first frame whose right samples (x + 56 - 16) read the wall's column.
    EXPECT_GE(Companions.records[1].x + 40.0f, 560.0f);
    EXPECT_LT(Companions.records[1].x + 40.0f, 565.0f);
}

TEST_F(CompanionTest, NoThrowWhileTheSwingShowsItsFirstTwoColumns) {
    Start(1, 296.0f + 48.0f - 28.0f, 248.0f + 84.0f - 28.0f);
    Princess.facing = kHeroRight;
    Press('C');
    Frames(26);
    EXPECT_EQ(Princess.animStep, 2);
    EXPECT_EQ(SwingTest(316, 304).result, 2);
    EXPECT_NE(Companions.CompanionMode[1], kModeFlying);
    Princess.animStep = 1;
    EXPECT_EQ(SwingTest(316, 304).result, 0);
}

TEST_F(CompanionTest, SwingTestReachesToHerRightHandSide) {
    Start(0, 0.0f, 0.0f);
    Princess.swinging = 1;
    Princess.animStep = 2;
    const int px = 296, py = 248;
    // Facing down: circle at (px + 12, py + 48) radius 32, box |g - (px + 12)| < 36, |h - (py + 60)| < 60.
    Princess.facing = kHeroDown;
    EXPECT_EQ(SwingTest(px + 12 - 28 + 31, py + 48 - 28).result, 2);
    EXPECT_EQ(SwingTest(px + 12 - 28 + 32, py + 48 - 28).result, 1);
    EXPECT_EQ(SwingTest(px + 12 - 28 + 36, py + 48 - 28).result, 0);
    EXPECT_EQ(SwingTest(px + 12 - 28, py + 60 - 28 + 59).result, 1);
    EXPECT_EQ(SwingTest(px + 12 - 28, py + 60 - 28 + 60).result, 0);
    // Facing up-left: two boxes.
    Princess.facing = kHeroUpLeft;
    EXPECT_EQ(SwingTest(px + 72 - 28 + 47, py + 12 - 28).result, 1);
    EXPECT_EQ(SwingTest(px + 84 - 28, py + 36 - 28 + 35).result, 1);
    EXPECT_EQ(SwingTest(px + 84 - 28 + 36, py + 36 - 28 + 35).result, 0);
    EXPECT_EQ(SwingTest(px + 84 - 28, py + 12 - 28).facing, kHeroUpLeft);
}

TEST_F(CompanionTest, NearAndWaitingFollowTheDistanceToThePrincess) {
    // Centre exactly 76 px right of hers: neither near nor leaving.
    Start(0, 296.0f + 48.0f + 76.0f - 28.0f, 248.0f + 20.0f);
    Frames(40);
    EXPECT_EQ(Companions.CompanionMode[0], kModeWaiting);
    EXPECT_NEAR(Companions.records[0].nearTime, 40 * Step(), 1e-5f);
    Companions.records[0].x -= 1.0f;
    Frames(1);
    EXPECT_EQ(Companions.CompanionMode[0], kModeNear);
    EXPECT_EQ(Companions.records[0].nearTime, 0.0f);
    // Out of reach while near: follows only after more than half a second.
    Companions.records[0].x += 30.0f;
    Frames(30);
    EXPECT_EQ(Companions.CompanionMode[0], kModeNear);
    Frames(1);
    EXPECT_EQ(Companions.CompanionMode[0], kModeFollowing);
    EXPECT_EQ(Companions.CompanionSlot[0], 1);  // the right-hand slot is nearest
    // It walks at 80 px/s until it is near again.
    for (int i = 0; i < 120 && Companions.CompanionMode[0] == kModeFollowing; ++i) Frames(1);
    EXPECT_EQ(Companions.CompanionMode[0], kModeNear);
    Frames(1);
    EXPECT_EQ(Companions.CompanionSlot[0], -1);  // standing gives the slot up
}

TEST_F(CompanionTest, CallReachesWaitingCompanionsWithin174Pixels) {
    Start(0, 296.0f + 48.0f + 173.0f - 28.0f, 248.0f + 20.0f);
    Press('V');
    Frames(1);
    EXPECT_EQ(Companions.CompanionMode[0], kModeFollowing);
    EXPECT_EQ(Companions.CompanionSlot[0], 1);
    Release('V');
    Frames(2);
    Companions.CompanionMode[0] = kModeWaiting;
    Companions.records[0].x = 296.0f + 48.0f + 175.0f - 28.0f;
    Companions.records[0].vx = 0.0f;
    Press('V');
    Frames(1);
    EXPECT_EQ(Companions.CompanionMode[0], kModeWaiting);
}

TEST_F(CompanionTest, NearestSlotLeavesOutTheOthersSlots) {
    Start(0, 296.0f + 48.0f - 28.0f, 248.0f + 48.0f - 72.0f - 28.0f);  // right on slot 0
    EXPECT_EQ(NearestSlot(0, -1, -1, 0), 0);
    EXPECT_EQ(NearestSlot(0, 0, -1, 1), 1);  // 1 and 3 are as near: the lower wins
    EXPECT_EQ(NearestSlot(0, 0, 1, 2), 3);
    EXPECT_EQ(NearestSlot(0, 1, 0, 1), 0);  // n = 1 looks at the first exclusion only
    Companions.CompanionMode[1] = kModeNear;
    Companions.CompanionMode[2] = kModeFollowing;
    Companions.CompanionSlot[1] = 0;
    Companions.CompanionSlot[2] = 1;
    ChooseSlot(0);
    EXPECT_EQ(Companions.CompanionSlot[0], 3);
    Companions.CompanionMode[1] = kModeAbsent;
    ChooseSlot(0);
    EXPECT_EQ(Companions.CompanionSlot[0], 0);
}
