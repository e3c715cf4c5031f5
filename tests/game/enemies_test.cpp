// Enemies: strikes by flying companions, dying and drops, the Striker's blow, the Chaser's harmless
// strike, the Archer's shots, the shock, the on-screen rule and the debug texts.
#include <cstdlib>

#include "tests/game/game_test_support.h"

namespace {

// A seed whose first roll, rand() % 10, is r.
unsigned SeedWithFirstRoll(int r) {
    for (unsigned seed = 1; seed < 100000; ++seed) {
        std::srand(seed);
        if (std::rand() % 10 == r) return seed;
    }
    return 0;
}

int FlyingArrows() {
    int n = 0;
    for (const Arrow& a : Arrows.ArrowPool) n += a.active;
    return n;
}

}  // namespace

class EnemyTest : public GameTest {
  protected:
    // Princess at view (296, 248) in room (0, 0), plus what the test adds.
    void Start(Layer placement) {
        placement.Set(40, 34, kPlacePrincess);
        WriteLayer("map01_teki.txt", placement);
        Load();
    }
    // Puts companion k in flight from (x, y) in throw direction 0 (right), unpowered.
    void Fly(int k, float x, float y) {
        Companion& c = Companions.records[k];
        Companions.CompanionMode[k] = kModeFlying;
        c.x = x;
        c.y = y;
        c.hurtFrame = 2;
        c.throwDirection = 0;
        c.flightDistance = 0.0f;
        c.strikeDx = 0;
        c.strikeDy = 0;
    }
};

TEST_F(EnemyTest, AFlyingCompanionKillsAShieldThatDiesInTwoSecondsAndDrops) {
    Layer placement;
    placement.Set(52, 38, kPlaceShield);  // world (416, 304)
    placement.Set(10, 10, kPlaceCompanion1);
    Start(placement);
    Fly(1, 316.0f, 304.0f);
    int frames = 0;
    while (Standing.ShieldPool[0].state != kEnemyDying && frames < 100) {
        Frames(1);
        ++frames;
    }
    ASSERT_EQ(Standing.ShieldPool[0].state, kEnemyDying);
    // Companion 1 lands on the enemy it kills, its centre within 48 px of the enemy's.
    EXPECT_EQ(Companions.CompanionMode[1], kModeLanded);
    EXPECT_GT(Companions.records[1].x + 28.0f, 440.0f - 48.0f);
    EXPECT_EQ(Standing.ShieldPool[0].timer, 0.0f);

    std::srand(SeedWithFirstRoll(0));  // row 0 of the drop table: kind 0
    Frames(120);
    EXPECT_EQ(Standing.ShieldPool[0].state, kEnemyDying);
    EXPECT_EQ(Items.ItemPool[0].active, 0);
    Frames(1);
    EXPECT_EQ(Standing.ShieldPool[0].state, kEnemyGone);
    ASSERT_EQ(Items.ItemPool[0].active, 1);
    EXPECT_EQ(Items.ItemPool[0].x, 416.0);
    EXPECT_EQ(Items.ItemPool[0].y, 304.0);
    EXPECT_EQ(Items.ItemPool[0].kind, 0);
    // Gone for good: nothing brings the record back.
    Fly(1, 416.0f - 4.0f, 304.0f - 4.0f);
    Frames(1);
    EXPECT_EQ(Standing.ShieldPool[0].state, kEnemyGone);
    EXPECT_EQ(Companions.CompanionMode[1], kModeFlying);
    // Walking over the item raises the shared hit points in the same frame.
    Princess.x = 416.0f + 24.0f - 48.0f;
    Princess.y = 304.0f + 24.0f - 48.0f;
    Frames(1);
    EXPECT_EQ(Items.ItemPool[0].active, 0);
    EXPECT_EQ(Princess.hitPoints, 21);
}

TEST_F(EnemyTest, CompanionZeroPassesThroughAndKillsEveryEnemyOnItsWay) {
    Layer placement;
    placement.Set(55, 38, kPlaceChaser);   // world (440, 304)
    placement.Set(70, 38, kPlaceStriker);  // world (560, 304)
    placement.Set(10, 10, kPlaceCompanion0);
    Start(placement);
    Princess.x = 0.0f;  // keep her out of the enemies' way
    Princess.y = 500.0f;
    Fly(0, 316.0f, 300.0f);
    Frames(85);
    EXPECT_EQ(Walkers.ChaserPool[0].state, kEnemyDying);
    EXPECT_EQ(Walkers.StrikerPool[0].state, kEnemyDying);
    EXPECT_EQ(Companions.CompanionMode[0], kModeFlying);
}

TEST_F(EnemyTest, AStrikeOnADyingEnemyOnlyTheArcherRestartsItsSequence) {
    Layer placement;
    placement.Set(50, 10, kPlaceStriker);  // world (400, 80)
    placement.Set(60, 50, kPlaceArcher);   // world (480, 400)
    placement.Set(10, 10, kPlaceCompanion0);
    placement.Set(11, 10, kPlaceCompanion1);
    Start(placement);
    Walkers.StrikerPool[0].state = kEnemyDying;
    Walkers.StrikerPool[0].deathTime = 1.0f;
    Standing.ArcherPool[0].state = kEnemyDying;
    Standing.ArcherPool[0].idleTime = 1.0f;
    Fly(0, 400.0f - 4.0f, 80.0f - 4.0f);
    Fly(1, 480.0f - 4.0f, 400.0f - 4.0f);
    Frames(1);
    EXPECT_EQ(Walkers.StrikerPool[0].state, kEnemyDying);
    EXPECT_EQ(Walkers.StrikerPool[0].deathTime, 1.0f + Step());
    EXPECT_EQ(Standing.ArcherPool[0].state, kEnemyDying);
    EXPECT_EQ(Standing.ArcherPool[0].idleTime, 0.0f);
}

TEST_F(EnemyTest, AStrikersBlowCostsOneHitPointPerBlowAndKnocksHerBack) {
    Layer placement;
    placement.Set(37, 31, kPlaceStriker);  // world (296, 248), on top of her
    Start(placement);
    Striker& s = Walkers.StrikerPool[0];
    Frames(2);
    EXPECT_EQ(s.state, kEnemyChasing);
    EXPECT_EQ(s.animMode, kAnimStrike);
    // The strike shows frame 5, then 6 and 7 in which the blow lands.
    int frames = 2;
    while (!(s.frameIndex == 6) && frames < 100) {
        EXPECT_EQ(Princess.hitPoints, 18);
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(Princess.hitPoints, 17);
    EXPECT_EQ(Princess.controllable, 0);
    EXPECT_EQ(Princess.hurt, 1);
    EXPECT_TRUE(DebugTextAt(0, 40));
    const float hitX = Princess.x;
    const float hitY = Princess.y;
    while (s.animMode == kAnimStrike && frames < 300) {
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(Princess.hitPoints, 17);  // one blow, one hit point
    EXPECT_TRUE(Princess.x != hitX || Princess.y != hitY);
    // It takes up the chase and strikes again.
    for (int i = 0; i < 900 && Princess.hitPoints == 17; ++i) Frames(1);
    EXPECT_EQ(Princess.hitPoints, 16);
}

TEST_F(EnemyTest, BlowsHurtStandingCompanionsButNeverFlyingOnes) {
    Layer placement;
    placement.Set(10, 10, kPlaceCompanion0);
    placement.Set(11, 10, kPlaceCompanion1);
    Start(placement);
    StrikeCompanion(0, 0.0f);
    EXPECT_EQ(Princess.hitPoints, 17);
    EXPECT_EQ(Companions.records[0].hurtFrame, 0);
    EXPECT_EQ(Companions.records[0].invulnerableTime, 4.0f);
    StrikeCompanion(0, 0.0f);  // already hurt
    EXPECT_EQ(Princess.hitPoints, 17);
    Companions.CompanionMode[1] = kModeFlying;
    StrikeCompanion(1, 0.0f);
    EXPECT_EQ(Companions.records[1].hurt, 0);
    EXPECT_EQ(Princess.hitPoints, 17);
    // Hurt: frozen in columns 6 and 7 for 0.3 s each, then blinking.
    const float x = Companions.records[0].x;
    Frames(1);
    EXPECT_EQ(Companions.records[0].frameColumn, 6);
    EXPECT_EQ(Companions.records[0].frameRow, kHeroRight);
    Frames(18);
    EXPECT_EQ(Companions.records[0].frameColumn, 7);
    Frames(17);
    EXPECT_EQ(Companions.records[0].hurtFrame, 2);
    EXPECT_EQ(Companions.records[0].x, x);
    EXPECT_EQ(Companions.records[0].invulnerableTime, 4.0f);
}

TEST_F(EnemyTest, AChaserStrikesWithoutHarm) {
    Layer placement;
    placement.Set(37, 31, kPlaceChaser);
    Start(placement);
    for (int i = 0; i < 600; ++i) {
        Frames(1);
        ASSERT_EQ(Princess.hitPoints, 18);
        ASSERT_EQ(Princess.controllable, 1);
    }
    EXPECT_EQ(Walkers.ChaserPool[0].state, kEnemyChasing);
}

TEST_F(EnemyTest, WanderingStaysInsideTheFirstRoomsBounds) {
    Layer placement;
    placement.Set(93, 69, kPlaceStriker);  // world (744, 552): never right, never down
    Start(placement);
    Princess.x = 0.0f;
    Princess.y = 0.0f;
    const Striker& s = Walkers.StrikerPool[0];
    int moved = 0;
    for (int i = 0; i < 3000; ++i) {
        const float x = s.x;
        const float y = s.y;
        Frames(1);
        // From x 740 or y 540 on (world), it never wanders right or down.
        if (x >= 740.0f) {
            ASSERT_LE(s.x, x) << i;
        }
        if (y >= 540.0f) {
            ASSERT_LE(s.y, y) << i;
        }
        if (s.x != x || s.y != y) ++moved;
    }
    EXPECT_GT(moved, 1000);
}

TEST_F(EnemyTest, TheArcherShootsEveryTwoAndAHalfSeconds) {
    Layer placement;
    placement.Set(40, 6, kPlaceArcher);  // world (320, 48): centre 224 px above hers
    Start(placement);
    std::vector<int> shots;
    int flying = 0;
    for (int frame = 1; frame <= 450; ++frame) {
        Frames(1);
        if (FlyingArrows() > flying) shots.push_back(frame);
        flying = FlyingArrows();
    }
    ASSERT_EQ(shots.size(), 3u);
    EXPECT_EQ(shots[0], 121);  // 2.0 s after the trigger on the first frame
    EXPECT_EQ(shots[1] - shots[0], 150);
    EXPECT_EQ(shots[2] - shots[1], 150);
    EXPECT_EQ(Standing.ArcherPool[0].facing, kEnemyDown);
    // Aimed from its centre (344, 72) at her point (339, 291): a little left of straight down.
    EXPECT_EQ(Arrows.ArrowPool[0].angle, 91);
    EXPECT_EQ(Arrows.ArrowFrame, 2);
}

TEST_F(EnemyTest, TheArcherIgnoresAPrincessExactly273PixelsAway) {
    Layer placement;
    placement.Set(1, 1, kPlaceArcher);
    placement.Set(1, 60, kPlaceArcher);
    Start(placement);
    // Her centre is (344, 296); Archer 0's centre 273 px to the left, Archer 1's 272.
    Standing.ArcherPool[0].x = 344.0f - 273.0f - 24.0f;
    Standing.ArcherPool[0].y = 296.0f - 24.0f;
    Standing.ArcherPool[1].x = 344.0f - 24.0f;
    Standing.ArcherPool[1].y = 296.0f + 272.0f - 24.0f;
    Frames(2);
    EXPECT_EQ(Standing.ArcherPool[0].shooting, 0);
    EXPECT_EQ(Standing.ArcherPool[1].shooting, 1);
    Frames(300);
    EXPECT_EQ(Standing.ArcherPool[0].shooting, 0);
    EXPECT_EQ(Standing.ArcherPool[0].frame, 0);
}

TEST_F(EnemyTest, ALandedCompanionTwoStunsWithinHalfItsRange) {
    Layer placement;
    placement.Set(1, 1, kPlaceShield);
    placement.Set(2, 1, kPlaceShield);
    placement.Set(3, 1, kPlaceShield);
    placement.Set(4, 1, kPlaceArcher);
    placement.Set(10, 10, kPlaceCompanion2);
    Start(placement);
    Princess.x = 600.0f;
    Princess.y = 450.0f;
    Companions.CompanionMode[2] = kModeLanded;
    Companions.records[2].x = 300.0f;
    Companions.records[2].y = 100.0f;
    // Unpowered: 4 s and 250 px, stunned below 125 px.
    Standing.ShieldPool[0].x = 300.0f + 124.0f;
    Standing.ShieldPool[0].y = 100.0f;
    Standing.ShieldPool[1].x = 300.0f;
    Standing.ShieldPool[1].y = 100.0f + 125.0f;
    Standing.ShieldPool[2].x = 300.0f - 180.0f;
    Standing.ShieldPool[2].y = 100.0f;
    Standing.ArcherPool[0].x = 300.0f;
    Standing.ArcherPool[0].y = 100.0f - 100.0f;
    Frames(1);
    EXPECT_EQ(Standing.ShieldPool[0].state, kEnemyStunnedState);
    EXPECT_EQ(Standing.ShieldPool[0].facing, kEnemyStunned);
    EXPECT_EQ(Standing.ShieldPool[1].state, kEnemyNormal);
    EXPECT_EQ(Standing.ShieldPool[2].state, kEnemyNormal);
    EXPECT_EQ(Standing.ArcherPool[0].state, kEnemyStunnedState);
    // Shaking: 2 px left after the first half second, back after the second.
    Frames(30);
    EXPECT_EQ(Standing.ShieldPool[0].x, 424.0f - 2.0f);
    Frames(30);
    EXPECT_EQ(Standing.ShieldPool[0].x, 424.0f);
    // No arrows while stunned, although she is in range of the Archer.
    Frames(170);
    EXPECT_EQ(FlyingArrows(), 0);
    // The window closes after 4 s: every armed enemy is back in state 1.
    for (int i = 0; i < 20 && Standing.ShieldPool[0].state == kEnemyStunnedState; ++i) Frames(1);
    EXPECT_EQ(Standing.ShieldPool[0].state, kEnemyNormal);
    EXPECT_EQ(Standing.ShieldPool[0].facing, 0);
    EXPECT_EQ(Standing.ShieldPool[0].stunArmed, 0);
    EXPECT_EQ(GameFrames.frameCount, 241);
}

TEST_F(EnemyTest, APoweredShockReachesFartherAndStunsWalkers) {
    Layer placement;
    placement.Set(1, 1, kPlaceStriker);
    placement.Set(10, 10, kPlaceCompanion2);
    Start(placement);
    Princess.x = 600.0f;
    Princess.y = 450.0f;
    Companions.CompanionMode[2] = kModeLanded;
    Companions.records[2].powered = 1;
    Companions.records[2].x = 300.0f;
    Companions.records[2].y = 100.0f;
    Walkers.StrikerPool[0].x = 300.0f - 180.0f;
    Walkers.StrikerPool[0].y = 100.0f;
    Frames(1);
    const Striker& s = Walkers.StrikerPool[0];
    EXPECT_EQ(s.state, kEnemyStunnedState);
    EXPECT_EQ(s.stunRange, 375.0f);
    EXPECT_EQ(s.facing, kEnemyStunned);
    const float x = s.x;
    Frames(300);
    EXPECT_EQ(s.state, kEnemyStunnedState);
    EXPECT_EQ(s.x, x);  // stunned enemies stand still
    Frames(60);
    EXPECT_NE(s.state, kEnemyStunnedState);
}

TEST_F(EnemyTest, OnlyEnemiesOverlappingTheScreenAreUpdated) {
    Layer placement;
    placement.Set(1, 1, kPlaceShield);
    placement.Set(2, 1, kPlaceShield);
    placement.Set(3, 1, kPlaceShield);
    Start(placement);
    Standing.ShieldPool[0].x = -48.0f;
    Standing.ShieldPool[1].x = -47.0f;
    Standing.ShieldPool[2].x = 800.0f;
    Frames(3);
    EXPECT_EQ(Standing.ShieldPool[0].timer, 0.0f);
    EXPECT_EQ(Standing.ShieldPool[1].timer, 3 * Step());
    EXPECT_EQ(Standing.ShieldPool[2].timer, 0.0f);
}

TEST_F(EnemyTest, EveryActorWritesItsDebugTextInItsPlace) {
    Layer placement;
    placement.Set(80, 10, kPlaceStriker);  // world (640, 80)
    placement.Set(80, 30, kPlaceChaser);   // world (640, 240)
    placement.Set(60, 60, kPlaceCompanion0);
    placement.Set(66, 60, kPlaceCompanion1);
    placement.Set(72, 60, kPlaceCompanion2);
    Start(placement);
    Frames(1);
    EXPECT_TRUE(DebugTextAt(0, 0));      // Striker's direction
    EXPECT_TRUE(DebugTextAt(0, 20));     // Striker's act=
    EXPECT_TRUE(DebugTextAt(0, 40));     // Chaser's direction
    EXPECT_TRUE(DebugTextAt(0, 60));     // Chaser's act=
    EXPECT_TRUE(DebugTextAt(100, 200));  // companions' modes
    EXPECT_TRUE(DebugTextAt(150, 200));
    EXPECT_TRUE(DebugTextAt(200, 200));
    EXPECT_TRUE(DebugTextAt(400, 300));  // hit points
    EXPECT_FALSE(DebugTextAt(0, 100));
    // The princess's sheet is drawn at her corner.
    EXPECT_TRUE(PixelIs(296, 248, kPrincessColour));
    EXPECT_TRUE(PixelIs(391, 343, kPrincessColour));
    EXPECT_FALSE(PixelIs(295, 248, kPrincessColour));
}
