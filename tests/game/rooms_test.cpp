// Rooms and camera: the start of a room change, the wait for the companions, the scroll and the snap.
#include "engine/draw/objects.h"
#include "game/actors/actor_common.h"
#include "platform/blit.h"
#include "platform/messages.h"
#include "tests/game/game_test_support.h"

namespace {

// Princess and three companions in room (column, row), placed near its middle.
void PlaceParty(Layer& placement, int column, int row) {
    const int c = column * kRoomCellColumns;
    const int r = row * kRoomCellRows;
    placement.Set(c + 50, r + 40, kPlacePrincess);
    placement.Set(c + 30, r + 20, kPlaceCompanion0);
    placement.Set(c + 60, r + 20, kPlaceCompanion1);
    placement.Set(c + 45, r + 60, kPlaceCompanion2);
}

bool AllRiding() {
    return Companions.CompanionMode[0] == kModeRiding && Companions.CompanionMode[1] == kModeRiding &&
           Companions.CompanionMode[2] == kModeRiding;
}

}  // namespace

class RoomChangeTest : public GameTest {
  protected:
    void SetUpRoom(int column, int row) {
        WriteStage(column, row);
        Layer placement;
        PlaceParty(placement, column, row);
        WriteLayer("map01_teki.txt", placement);
        Load();
    }

    // Runs frames until every companion rides; the view must not move meanwhile.
    void WaitForRiders() {
        const float cameraX = Rooms.CameraX;
        const float cameraY = Rooms.CameraY;
        const float princessX = Princess.x;
        const float princessY = Princess.y;
        int frames = 0;
        while (!AllRiding() && frames < 120) {
            Frames(1);
            ++frames;
            ASSERT_EQ(Rooms.Scrolling, 1);
            ASSERT_EQ(Rooms.CameraX, cameraX);
            ASSERT_EQ(Rooms.CameraY, cameraY);
            ASSERT_EQ(Princess.x, princessX);
            ASSERT_EQ(Princess.y, princessY);
        }
        ASSERT_TRUE(AllRiding());
        EXPECT_GT(frames, 1);
    }

    // Runs the scroll to its end; returns the number of frames on which the camera moved.
    int ScrollToEnd() {
        int moved = 0;
        for (int guard = 0; guard < 200 && Rooms.Scrolling; ++guard) {
            const float x = Rooms.CameraX;
            const float y = Rooms.CameraY;
            Frames(1);
            if (Rooms.Scrolling && (Rooms.CameraX != x || Rooms.CameraY != y)) ++moved;
        }
        return moved;
    }
};

TEST_F(RoomChangeTest, LeavingAtTheTopScrollsOneRoomUpIn60Frames) {
    SetUpRoom(1, 1);
    Princess.y = -37.0f;
    Frames(1);
    EXPECT_EQ(Stage.RoomRow, 0);
    EXPECT_EQ(Rooms.ScrollState, kScrollUp);
    EXPECT_EQ(Rooms.ScrollCarry, 545.0f);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Companions.CompanionMode[k], kModeCatchingUp);

    WaitForRiders();
    const float startY = Princess.y;
    EXPECT_EQ(ScrollToEnd(), 60);
    EXPECT_EQ(Rooms.Scrolling, 0);
    EXPECT_EQ(Rooms.ScrollState, kScrollNone);
    EXPECT_EQ(Rooms.CameraX, 768.0f);
    EXPECT_EQ(Rooms.CameraY, 0.0f);
    EXPECT_EQ(Rooms.CameraVY, 0.0f);
    float expectedY = startY;
    for (int i = 0; i < 60; ++i) expectedY += Step() * 545.0f;
    EXPECT_EQ(Princess.y, expectedY);
    EXPECT_NEAR(Princess.y, 508.0f, 0.01f);
    // The riders step off at the end and walk to their slots.
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Companions.CompanionMode[k], kModeReturning);
}

TEST_F(RoomChangeTest, LeavingAtTheRightScrollsOneRoomIn61Frames) {
    SetUpRoom(1, 1);
    Princess.x = 737.0f;
    Frames(1);
    EXPECT_EQ(Stage.RoomColumn, 2);
    EXPECT_EQ(Rooms.ScrollState, kScrollRight);
    EXPECT_EQ(Rooms.ScrollCarry, -737.0f);
    WaitForRiders();
    const float startX = Princess.x;
    EXPECT_EQ(ScrollToEnd(), 61);
    EXPECT_EQ(Rooms.CameraX, 1536.0f);
    EXPECT_EQ(Rooms.CameraY, 576.0f);
    // Carried at 737 px/s on each of the 61 frames: a little past the left edge.
    float expectedX = startX;
    for (int i = 0; i < 61; ++i) expectedX += Step() * -737.0f;
    EXPECT_EQ(Princess.x, expectedX);
    EXPECT_NEAR(Princess.x, -12.28f, 0.01f);
}

TEST_F(RoomChangeTest, LeavingAtTheBottomAndLeftCarriesThePrincessAcross) {
    SetUpRoom(1, 1);
    Princess.y = 541.0f;
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollDown);
    EXPECT_EQ(Stage.RoomRow, 2);
    WaitForRiders();
    EXPECT_EQ(ScrollToEnd(), 60);
    EXPECT_EQ(Rooms.CameraY, 1152.0f);
    EXPECT_NEAR(Princess.y, 0.0f, 0.5f);

    for (int i = 0; i < 200; ++i) Frames(1);  // the companions settle
    Princess.x = -33.0f;
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollLeft);
    EXPECT_EQ(Rooms.ScrollCarry, 737.0f);
    WaitForRiders();
    EXPECT_EQ(ScrollToEnd(), 61);
    EXPECT_EQ(Rooms.CameraX, 0.0f);
    EXPECT_NEAR(Princess.x, -33.0f + 61 * 737.0f / 60.0f, 0.01f);
}

TEST_F(RoomChangeTest, NoChangeStartsAtTheEdgeItselfOrAtTheMapBorder) {
    SetUpRoom(2, 0);
    Princess.x = 737.0f;  // room column 2 has no room to its right
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollNone);
    EXPECT_EQ(Rooms.Scrolling, 0);
    Princess.y = -37.0f;  // nor row 0 one above
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollNone);
    Princess.x = 736.0f;
    Princess.y = -36.0f;
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollNone);
    Princess.x = -32.0f;
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollNone);
    Princess.x = -33.0f;
    Frames(1);
    EXPECT_EQ(Rooms.ScrollState, kScrollLeft);
    EXPECT_EQ(Stage.RoomColumn, 1);
}

TEST_F(RoomChangeTest, SlotsGivenAtTheStartSurviveTheRide) {
    SetUpRoom(1, 1);
    Companions.records[0].x = 300.0f;
    Companions.records[1].x = 500.0f;
    Companions.records[2].x = 100.0f;
    Princess.y = -37.0f;
    Frames(1);
    EXPECT_EQ(Companions.CompanionSlot[1], 1);
    EXPECT_EQ(Companions.CompanionSlot[2], 3);
    EXPECT_EQ(Companions.CompanionSlot[0], 0);
    WaitForRiders();
    ScrollToEnd();
    EXPECT_EQ(Companions.CompanionSlot[0], 0);
    EXPECT_EQ(Companions.CompanionSlot[1], 1);
    EXPECT_EQ(Companions.CompanionSlot[2], 3);
    // Walking to their slots, they stop within reach of the princess.
    for (int i = 0; i < 240; ++i) Frames(1);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Companions.CompanionMode[k], kModeNear);
}

TEST_F(GameTest, AssignSlotsRanksByPositionAcrossTheDirection) {
    Companions.records[0].y = 50.0f;
    Companions.records[1].y = 50.0f;
    Companions.records[2].y = 20.0f;
    AssignSlots(2);  // right: ranked by y; equal values go to the lower index first
    EXPECT_EQ(Companions.CompanionSlot[0], 2);
    EXPECT_EQ(Companions.CompanionSlot[2], 0);
    EXPECT_EQ(Companions.CompanionSlot[1], 1);
    AssignSlots(3);
    EXPECT_EQ(Companions.CompanionSlot[0], 2);
    EXPECT_EQ(Companions.CompanionSlot[1], 3);
    EXPECT_EQ(Companions.CompanionSlot[2], 0);
    Companions.records[0].x = 10.0f;
    Companions.records[1].x = 10.0f;
    Companions.records[2].x = 10.0f;
    AssignSlots(1);  // down: all equal: 0 greatest, 1 smallest, 2 middle
    EXPECT_EQ(Companions.CompanionSlot[0], 1);
    EXPECT_EQ(Companions.CompanionSlot[1], 3);
    EXPECT_EQ(Companions.CompanionSlot[2], 2);
}

TEST_F(GameTest, FirstFrameDrawsTheStartRoomInThePlayfield) {
    WriteStage(1, 1);
    Layer chips;
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const bool middle = column / 96 == 1 && row / 72 == 1;
            chips.Set(column, row, middle ? 1 : 82);  // chip 82 is row 1, column 2 of the sheet
        }
    }
    WriteLayer("map01_data.txt", chips);
    Layer placement;
    placement.Set(96 + 50, 72 + 40, kPlacePrincess);  // away from the corners looked at
    WriteLayer("map01_teki.txt", placement);
    platform::Surface& sheet = *ObjectSurface(GameObjects.mapChips);
    platform::FillRect(sheet, platform::Rect{8, 0, 16, 8}, platform::RgbToRaw(sheet.format, 0xFF0000));
    platform::FillRect(sheet, platform::Rect{16, 8, 24, 16}, platform::RgbToRaw(sheet.format, 0x00FF00));
    Frames(1);
    EXPECT_TRUE(PixelIs(16, 12, 0xFF0000));
    EXPECT_TRUE(PixelIs(783, 587, 0xFF0000));
    EXPECT_TRUE(PixelIs(15, 12, 0x00FF00));
    EXPECT_TRUE(PixelIs(16, 11, 0x00FF00));
    EXPECT_TRUE(PixelIs(784, 588, 0x00FF00));
}

// A companion left at the far side of the room, 12 px off the princess's centre line, overshoots her
// by about 12 px on every frame of its catch-up and never comes within 8 px. It joins the ride when
// the gathering has run out of time, and the change then runs as any other.
TEST_F(RoomChangeTest, ACompanionThatNeverArrivesJoinsTheRideAfterTheGatheringTime) {
    WriteStage(1, 1);
    Layer placement;
    const int c = kRoomCellColumns;
    const int r = kRoomCellRows;
    placement.Set(c + 95, r + 40, kPlacePrincess);  // view x 736, on the right edge
    placement.Set(c + 2, r + 38, kPlaceCompanion0);
    placement.Set(c + 90, r + 36, kPlaceCompanion1);
    placement.Set(c + 90, r + 44, kPlaceCompanion2);
    WriteLayer("map01_teki.txt", placement);
    Load();

    Press(platform::VK_RIGHT);
    int guard = 0;
    while (!Rooms.Scrolling && guard++ < 60) Frames(1);
    Release(platform::VK_RIGHT);
    ASSERT_EQ(Rooms.ScrollState, kScrollRight);
    const Companion& far = Companions.records[0];
    ASSERT_GT(Princess.x + 48.0f - (far.x + 28.0f), 720.0f);

    // Still short of her after the time the speeds were sized for, and the view waits.
    const float princessX = Princess.x;
    int gathering = 1;
    bool closeOnBothAxes = false;
    while (!AllRiding() && gathering < 600) {
        Frames(1);
        ++gathering;
        if (Companions.CompanionMode[0] == kModeCatchingUp) {
            const float dx = Princess.x + 48.0f - (far.x + 28.0f);
            const float dy = Princess.y + 48.0f - (far.y + 28.0f);
            if (AbsF(dx) < 8.0f && AbsF(dy) < 8.0f) closeOnBothAxes = true;
        }
        ASSERT_EQ(Rooms.CameraX, 768.0f);
        ASSERT_EQ(Princess.x, princessX);
    }
    EXPECT_FALSE(closeOnBothAxes);
    ASSERT_TRUE(AllRiding());
    // Frame 1 of the change is the one that started it; the gathering lasts 2 s of frame steps.
    float gathered = 0.0f;
    int expected = 0;
    while (gathered <= kGatherTimeLimit) {
        gathered += Step();
        ++expected;
    }
    EXPECT_EQ(gathering, expected);
    EXPECT_EQ(far.x, Princess.x + 24.0f);

    EXPECT_EQ(ScrollToEnd(), 61);
    EXPECT_EQ(Rooms.CameraX, 1536.0f);
    EXPECT_EQ(Rooms.ScrollState, kScrollNone);
    EXPECT_EQ(Princess.controllable, 1);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Companions.CompanionMode[k], kModeReturning);
}
