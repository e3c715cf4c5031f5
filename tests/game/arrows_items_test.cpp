// Arrows and items: aiming, the shared sheet column, retirement, drop rolls, pick-up reach and the state
// dump.
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/world/state_dump.h"
#include "engine/system/frame_pacing.h"
#include "tests/game/game_test_support.h"

namespace {

// A seed whose first two rolls, rand() % 10, are (r, c).
unsigned SeedForRolls(int r, int c) {
    for (unsigned seed = 1; seed < 1000000; ++seed) {
        std::srand(seed);
        const int first = std::rand() % 10;
        const int second = std::rand() % 10;
        if (first == r && second == c) return seed;
    }
    return 0;
}

}  // namespace

class ArrowItemTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        FrameStep = Step();
        Princess.x = 300.0f;
        Princess.y = 200.0f;
        Princess.hitPoints = 18;
    }
};

TEST_F(ArrowItemTest, ArrowsAimAtThePrincessAndShareOneSheetColumn) {
    // Straight above her aim point (x + 43): down, angle 90.
    FireArrow(343.0, 100.0, kAimedArrow);
    EXPECT_EQ(Arrows.ArrowPool[0].angle, 90);
    EXPECT_EQ(Arrows.ArrowFrame, 2);
    EXPECT_EQ(Arrows.ArrowPool[0].vy, 100.0f);
    EXPECT_NEAR(Arrows.ArrowPool[0].vx, 0.0f, 1e-3f);
    // Straight below: up, angle -90.
    FireArrow(343.0, 400.0, kAimedArrow);
    EXPECT_EQ(Arrows.ArrowPool[1].angle, -90);
    EXPECT_EQ(Arrows.ArrowFrame, 0);
    // Lower left of the shooter: between 90 and 180.
    FireArrow(443.0, 143.0, kAimedArrow);
    EXPECT_GE(Arrows.ArrowPool[2].angle, 134);
    EXPECT_LE(Arrows.ArrowPool[2].angle, 135);
    EXPECT_EQ(Arrows.ArrowFrame, 2);
    FireArrow(443.0, 153.0, kAimedArrow);
    EXPECT_EQ(Arrows.ArrowPool[3].angle, 138);
    EXPECT_EQ(Arrows.ArrowFrame, 3);
    FireArrow(243.0, 243.0, kAimedArrow);
    EXPECT_EQ(Arrows.ArrowPool[4].angle, 0);
    EXPECT_EQ(Arrows.ArrowFrame, 1);
    // Another kind launches nothing but still sets the column from the last aim.
    Arrows.lastAimAngle = 200;
    FireArrow(0.0, 0.0, 7);
    EXPECT_EQ(Arrows.ArrowPool[5].active, 0);
    EXPECT_EQ(Arrows.ArrowFrame, 3);
}

TEST_F(ArrowItemTest, ArrowsFlyAHundredPixelsPerSecondAndRetireOffScreen) {
    ASSERT_EQ(LaunchArrow(Arrows.ArrowPool[0], 840.5, 100.0, 0), 1);
    EXPECT_EQ(LaunchArrow(Arrows.ArrowPool[0], 10.0, 10.0, 0), 0);
    ASSERT_EQ(LaunchArrow(Arrows.ArrowPool[1], 840.0, 100.0, 0), 1);
    UpdateArrows();
    EXPECT_EQ(Arrows.ArrowPool[0].active, 0);  // retired, but moved once more
    EXPECT_EQ(Arrows.ArrowPool[0].x, 840.5f + Step() * 100.0f);
    EXPECT_EQ(Arrows.ArrowPool[1].active, 1);
    UpdateArrows();
    EXPECT_EQ(Arrows.ArrowPool[1].active, 0);
}

TEST_F(ArrowItemTest, AFullArrowPoolDropsTheShot) {
    for (Arrow& a : Arrows.ArrowPool) a.active = 1;
    FireArrow(343.0, 100.0, kAimedArrow);
    EXPECT_EQ(Arrows.ArrowFrame, 2);
    for (const Arrow& a : Arrows.ArrowPool) ASSERT_EQ(a.angle, 0);
}

TEST_F(ArrowItemTest, DropRollsFollowTheTable) {
    std::srand(SeedForRolls(1, 4));
    EXPECT_TRUE(DropItem(10.0, 20.0));
    EXPECT_EQ(Items.ItemPool[0].kind, 0);
    std::srand(SeedForRolls(2, 0));
    EXPECT_TRUE(DropItem(30.0, 40.0));
    EXPECT_EQ(Items.ItemPool[1].kind, 1);
    EXPECT_EQ(Items.ItemPool[1].x, 30.0);
    std::srand(SeedForRolls(1, 5));
    EXPECT_FALSE(DropItem(50.0, 60.0));
    EXPECT_EQ(Items.ItemPool[2].active, 0);
    // A full pool: the roll still counts, nothing is placed.
    for (Item& item : Items.ItemPool) item.active = 1;
    std::srand(SeedForRolls(0, 0));
    EXPECT_TRUE(DropItem(70.0, 80.0));
    EXPECT_EQ(Items.ItemPool[99].x, 0.0);
}

TEST_F(ArrowItemTest, ItemsArePickedUpWithin72Pixels) {
    // Her centre (348, 248); item centres 71 and 72 px to the right.
    PlaceItem(Items.ItemPool[0], 348.0 + 71.0 - 24.0, 248.0 - 24.0, 0);
    PlaceItem(Items.ItemPool[1], 348.0 + 72.0 - 24.0, 248.0 - 24.0, 1);
    UpdateItems();
    EXPECT_EQ(Items.ItemPool[0].active, 0);
    EXPECT_EQ(Items.ItemPool[1].active, 1);
    EXPECT_EQ(Princess.hitPoints, 21);
    Princess.x -= 1.0f;
    UpdateItems();
    EXPECT_EQ(Items.ItemPool[1].active, 1);
    Princess.x += 2.0f;
    UpdateItems();
    EXPECT_EQ(Items.ItemPool[1].active, 0);
    EXPECT_EQ(Princess.hitPoints, 26);
    // Items keep world positions: with the camera one room on, a world item is found there.
    Rooms.CameraX = 768.0f;
    PlaceItem(Items.ItemPool[2], 768.0 + 348.0 - 24.0, 248.0 - 24.0, 0);
    UpdateItems();
    EXPECT_EQ(Items.ItemPool[2].active, 0);
    EXPECT_EQ(Princess.hitPoints, 29);
}

TEST_F(ArrowItemTest, StateDumpWritesTheWorldAsJson) {
    Rooms.CameraX = 768.0f;
    Stage.RoomColumn = 1;
    Princess.x = 0.1f;
    Companions.CompanionMode[1] = kModeFlying;
    Companions.CompanionSlot[2] = 3;
    Walkers.StrikerPool[4].state = kEnemyDying;
    Walkers.StrikerPool[4].x = 12.5f;
    LaunchArrow(Arrows.ArrowPool[3], 1.0, 2.0, 45);
    PlaceItem(Items.ItemPool[0], 5.0, 6.0, 1);
    GameFrames.frameCount = 7;
    char buffer[4096] = {};
    FILE* out = fmemopen(buffer, sizeof buffer - 1, "w");
    ASSERT_NE(out, nullptr);
    WriteGameState(out, {"bad \"thing\"\n"});
    std::fclose(out);
    const std::string json = buffer;
    EXPECT_EQ(
        json.rfind(
            "{\"frame\":7,\"camera\":{\"x\":768,\"y\":0},\"room\":{\"column\":1,\"row\":0},"
            "\"scrollState\":0,\"scrolling\":0,\"princess\":{\"x\":0.100000001,\"y\":200,"
            "\"hitPoints\":18,\"facing\":0,\"controllable\":0,\"swinging\":0,\"hurt\":0,\"animStep\":0},",
            0),
        0u)
        << json;
    EXPECT_NE(json.find("{\"mode\":4,\"slot\":0,\"x\":0,\"y\":0,\"powered\":0,\"hurt\":0}"),
              std::string::npos);
    EXPECT_NE(json.find("\"slot\":3"), std::string::npos);
    EXPECT_NE(json.find("\"strikers\":[{\"index\":4,\"state\":99,\"x\":12.5,\"y\":0}],\"chasers\":[],"),
              std::string::npos);
    EXPECT_NE(json.find("\"arrows\":[{\"x\":1,\"y\":2,\"angle\":45}]"), std::string::npos);
    EXPECT_NE(json.find("\"items\":[{\"x\":5,\"y\":6,\"kind\":1}]"), std::string::npos);
    EXPECT_NE(json.find("\"errors\":[\"bad \\\"thing\\\"\\n\"]}"), std::string::npos);
    EXPECT_EQ(json.back(), '}');
}
