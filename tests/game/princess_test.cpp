// The princess: walking, dash, blocking, facing, the swing's columns, knock-back and invulnerability.
#include "platform/messages.h"
#include "tests/game/game_test_support.h"

class PrincessTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        Layer placement;
        placement.Set(40, 34, kPlacePrincess);  // view (296, 248)
        WriteLayer("map01_teki.txt", placement);
    }
    void Start(const Layer& blocks = Layer{}) {
        WriteLayer("map01_zk.txt", blocks);
        Load();
        ASSERT_EQ(Princess.x, 296.0f);
        ASSERT_EQ(Princess.y, 248.0f);
    }
};

TEST_F(PrincessTest, WalksAHundredPixelsPerSecondFromTheSecondFrameOfAPress) {
    Start();
    Press(platform::VK_RIGHT);
    Frames(1);
    EXPECT_EQ(Princess.x, 296.0f);  // just pressed: not yet held
    EXPECT_EQ(Princess.facing, kHeroDown);
    Frames(60);
    float expected = 296.0f;
    for (int i = 0; i < 60; ++i) expected += Step() * 100.0f;
    EXPECT_EQ(Princess.x, expected);
    EXPECT_EQ(Princess.y, 248.0f);
    EXPECT_EQ(Princess.facing, kHeroRight);
    EXPECT_EQ(Princess.directionCode, 10);
    Release(platform::VK_RIGHT);
    Frames(5);
    EXPECT_EQ(Princess.x, expected);
}

TEST_F(PrincessTest, DashTriplesTheSpeedOnceTheKeyIsHeld) {
    Start();
    Press(platform::VK_LEFT);
    Frames(2);
    const float afterWalk = Princess.x;
    EXPECT_EQ(afterWalk, 296.0f - Step() * 100.0f);
    Press('B');
    Frames(1);  // B just pressed: still 100 px/s
    EXPECT_EQ(Princess.x, afterWalk - Step() * 100.0f);
    const float before = Princess.x;
    Frames(1);
    EXPECT_EQ(Princess.x, (before - Step() * 100.0f) - Step() * 200.0f);
    Frames(59);
    EXPECT_NEAR(Princess.x, before - 300.0f, 0.01f);
}

TEST_F(PrincessTest, BlockedSidesStopOnlyTheirOwnAxis) {
    Layer blocks;
    // Cells right of her feet: view x 296 + 72 - 16 = 352 px is column 44.
    for (int row = 30; row < 50; ++row) blocks.Set(44, row, 1);
    Start(blocks);
    Press(platform::VK_RIGHT);
    Frames(10);
    EXPECT_EQ(Princess.x, 296.0f);
    Press(platform::VK_DOWN);
    Frames(2);
    EXPECT_EQ(Princess.x, 296.0f);
    EXPECT_GT(Princess.y, 248.0f);
    EXPECT_EQ(Princess.facing, kHeroDownRight);
    Release(platform::VK_RIGHT);
    Release(platform::VK_DOWN);
    Press(platform::VK_LEFT);
    Frames(3);
    EXPECT_LT(Princess.x, 296.0f);
}

TEST_F(PrincessTest, OppositeKeysTogetherDoNotMoveButStillAnimate) {
    Start();
    Press(platform::VK_LEFT);
    Press(platform::VK_RIGHT);
    Frames(2);
    EXPECT_EQ(Princess.directionCode, 1010);
    EXPECT_EQ(Princess.moveAngle, 400.0f);
    EXPECT_EQ(Princess.facing, kHeroDown);
    Frames(40);
    EXPECT_EQ(Princess.x, 296.0f);
    EXPECT_EQ(Princess.y, 248.0f);
    EXPECT_EQ(Princess.facing, kHeroDown);
    EXPECT_EQ(Princess.frameColumn, 4);  // walking columns 2, 3, 4 after two steps of 0.3 s
}

TEST_F(PrincessTest, EachDirectionGivesItsFacing) {
    Start();
    struct Case {
        int first, second;
        int32_t facing;
    };
    const Case cases[] = {{platform::VK_UP, 0, kHeroUp},
                          {platform::VK_DOWN, 0, kHeroDown},
                          {platform::VK_LEFT, 0, kHeroLeft},
                          {platform::VK_RIGHT, 0, kHeroRight},
                          {platform::VK_UP, platform::VK_RIGHT, kHeroUpRight},
                          {platform::VK_DOWN, platform::VK_RIGHT, kHeroDownRight},
                          {platform::VK_DOWN, platform::VK_LEFT, kHeroDownLeft},
                          {platform::VK_UP, platform::VK_LEFT, kHeroUpLeft}};
    for (const Case& c : cases) {
        Press(c.first);
        if (c.second) Press(c.second);
        Frames(2);
        EXPECT_EQ(Princess.facing, c.facing) << c.first << "+" << c.second;
        Release(c.first);
        if (c.second) Release(c.second);
        Frames(2);
    }
}

TEST_F(PrincessTest, SwingShowsThreeColumnsAndFreezesWalking) {
    Start();
    Press('C');
    // Each column is shown until its timer passes 0.2 s: 13 frames of 1/60 s.
    for (int frame = 1; frame <= 39; ++frame) {
        if (frame == 2) Press(platform::VK_RIGHT);
        Frames(1);
        EXPECT_EQ(Princess.frameColumn, 6 + (frame - 1) / 13) << frame;
        EXPECT_EQ(Princess.swinging, frame < 39 ? 1 : 0) << frame;
    }
    EXPECT_EQ(Princess.x, 296.0f);  // no walking during the swing
    EXPECT_EQ(Princess.animStep, 0);
    Frames(1);
    EXPECT_GT(Princess.x, 296.0f);  // walking again
}

TEST_F(PrincessTest, BlowKnocksHerBackThenSheBlinksWhileInvulnerable) {
    Start();
    StrikePrincess(0.0f);  // from the right
    EXPECT_EQ(Princess.hitPoints, 17);
    EXPECT_EQ(Princess.controllable, 0);
    StrikePrincess(0.0f);
    EXPECT_EQ(Princess.hitPoints, 17);
    Frames(1);
    EXPECT_EQ(Princess.facing, kHeroRight);
    EXPECT_EQ(Princess.frameColumn, 11);
    EXPECT_LT(Princess.x, 296.0f);
    // Pushed away at 100 px/s until the knock-back timer passes 0.5 s.
    int frames = 1;
    while (Princess.controllable == 0 && frames < 100) {
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(frames, 30);
    EXPECT_NEAR(Princess.x, 296.0f - 50.0f, 0.01f);
    EXPECT_EQ(Princess.invulnerableTime, 1.0f);
    Frames(2);
    EXPECT_EQ(Princess.blinkOff, 1);  // 0.967 s left: phase 9 % 2
    Frames(5);
    EXPECT_EQ(Princess.blinkOff, 0);  // 0.883 s left: phase 8 % 2
    EXPECT_EQ(Princess.hurt, 1);
    Frames(60);
    EXPECT_EQ(Princess.hurt, 0);
    EXPECT_EQ(Princess.blinkOff, 0);
    StrikePrincess(1.570796f);
    EXPECT_EQ(Princess.hitPoints, 16);
}

TEST_F(PrincessTest, KnockBackPlaysInPlaceOutsideTheInnerArea) {
    Start();
    Princess.x = 712.0f;
    StrikePrincess(3.141592f);
    Frames(10);
    EXPECT_EQ(Princess.x, 712.0f);
    EXPECT_EQ(Princess.facing, kHeroLeft);
    Princess.x = 711.0f;
    Frames(1);
    EXPECT_GT(Princess.x, 711.0f);
}
