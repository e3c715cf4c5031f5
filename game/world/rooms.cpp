// Room pictures, camera movement and the room change with its gathering, scroll and snap.
#include "game/world/rooms.h"

#include "engine/draw/eldraw.h"
#include "engine/system/frame_pacing.h"
#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/game_startup.h"
#include "game/world/stage.h"

RoomState Rooms;

namespace {

constexpr int kPlayfieldLeft = 16;
constexpr int kPlayfieldTop = 12;
constexpr int kChipsPerRow = 80;

// Starts a room change when the princess has left the room; only while none runs.
void StartRoomChange() {
    const float x = Princess.x;
    const float y = Princess.y;
    int d;
    if (y < -36.0f && Stage.RoomRow != 0) {
        Stage.RoomRow -= 1;
        Rooms.ScrollState = kScrollUp;
        Rooms.ScrollCarry = (y + 36.0f) * -1.0f + 544.0f;
        d = 0;
    } else if (y > 540.0f && Stage.RoomRow != kRoomsDown - 1) {
        Stage.RoomRow += 1;
        Rooms.ScrollState = kScrollDown;
        Rooms.ScrollCarry = -y;
        d = 1;
    } else if (x < -32.0f && Stage.RoomColumn != 0) {
        Stage.RoomColumn -= 1;
        Rooms.ScrollState = kScrollLeft;
        Rooms.ScrollCarry = (x + 32.0f) * -1.0f + 736.0f;
        d = 3;
    } else if (x > 736.0f && Stage.RoomColumn != kRoomsAcross - 1) {
        Stage.RoomColumn += 1;
        Rooms.ScrollState = kScrollRight;
        Rooms.ScrollCarry = -x;
        d = 2;
    } else {
        return;
    }
    Rooms.Scrolling = 1;
    Rooms.GatherTime = 0.0f;
    for (int k = 0; k < kCompanionCount; ++k) {
        Companion& c = Companions.records[k];
        Companions.CompanionMode[k] = kModeCatchingUp;
        c.catchUpVx = AbsF((x + 48.0f) - (c.x + 28.0f)) / 0.5f;
        c.catchUpVy = AbsF((y + 48.0f) - (c.y + 28.0f)) / 0.5f;
    }
    AssignSlots(d);
}

bool RoomChangeDone() {
    return Rooms.ScrollProgressX <= -768.0f || Rooms.ScrollProgressX >= 768.0f ||
           Rooms.ScrollProgressY <= -576.0f || Rooms.ScrollProgressY >= 576.0f;
}

void EndRoomChange() {
    Rooms.Scrolling = 0;
    Rooms.ScrollProgressX = 0.0f;
    Rooms.ScrollProgressY = 0.0f;
    Rooms.ScrollState = kScrollNone;
    Rooms.CameraVX = 0.0f;
    Rooms.CameraVY = 0.0f;
    Rooms.ScrollCarryVX = 0.0f;
    Rooms.ScrollCarryVY = 0.0f;
    Rooms.GatherTime = 0.0f;
    Rooms.CameraX = static_cast<float>(Stage.RoomColumn * kRoomWidth);
    Rooms.CameraY = static_cast<float>(Stage.RoomRow * kRoomHeight);
}

void RunRoomChange() {
    Rooms.GatherTime += FrameStep;
    const int32_t* mode = Companions.CompanionMode;
    if (Rooms.ScrollState >= kScrollRight && Rooms.ScrollState <= kScrollDown && mode[0] == kModeRiding &&
        mode[1] == kModeRiding && mode[2] == kModeRiding) {
        switch (Rooms.ScrollState) {
            case kScrollRight:
                Rooms.CameraVX = 768.0f;
                Rooms.ScrollCarryVX = Rooms.ScrollCarry;
                break;
            case kScrollLeft:
                Rooms.CameraVX = -768.0f;
                Rooms.ScrollCarryVX = Rooms.ScrollCarry;
                break;
            case kScrollUp:
                Rooms.CameraVY = -576.0f;
                Rooms.ScrollCarryVY = Rooms.ScrollCarry;
                break;
            case kScrollDown:
                Rooms.CameraVY = 576.0f;
                Rooms.ScrollCarryVY = Rooms.ScrollCarry;
                break;
        }
    }
    Rooms.ScrollProgressX += FrameStep * Rooms.CameraVX;
    Rooms.ScrollProgressY += FrameStep * Rooms.CameraVY;
    Princess.x += FrameStep * Rooms.ScrollCarryVX;
    Princess.y += FrameStep * Rooms.ScrollCarryVY;
}

}  // namespace

void RenderRooms() {
    for (int i = 0; i < kRoomsAcross; ++i) {
        for (int j = 0; j < kRoomsDown; ++j) {
            ClearScreen();
            for (int k = 0; k < kRoomCellColumns; ++k) {
                for (int l = 0; l < kRoomCellRows; ++l) {
                    const int32_t c = Stage.ChipLayer[kRoomCellRows * j + l][kRoomCellColumns * i + k];
                    const int left = kCellSize * (c % kChipsPerRow);
                    const int top = kCellSize * (c / kChipsPerRow);
                    BltObject(kCellSize * k, kCellSize * l, GameObjects.mapChips, left, top, left + kCellSize,
                              top + kCellSize);
                }
            }
            CaptureToObject(GameObjects.RoomObjects[i][j], 0, 0, kRoomWidth, kRoomHeight);
        }
    }
}

void DrawRooms() {
    Rooms.CameraX += FrameStep * Rooms.CameraVX;
    Rooms.CameraY += FrameStep * Rooms.CameraVY;
    const int ox = static_cast<int>(-Rooms.CameraX) + kPlayfieldLeft;
    const int oy = static_cast<int>(-Rooms.CameraY) + kPlayfieldTop;
    for (int i = 0; i < kRoomsAcross; ++i) {
        for (int j = 0; j < kRoomsDown; ++j) {
            BltObject(ox + kRoomWidth * i, oy + kRoomHeight * j, GameObjects.RoomObjects[i][j], 0, 0,
                      kRoomWidth, kRoomHeight);
        }
    }
}

void PlaceCameraOnStartRoom() {
    Rooms.CameraX = static_cast<float>(Stage.RoomColumn * kRoomWidth);
    Rooms.CameraY = static_cast<float>(Stage.RoomRow * kRoomHeight);
}

void UpdateRooms() {
    if (Rooms.ScrollState == kScrollNone) StartRoomChange();
    if (RoomChangeDone()) {
        EndRoomChange();
    } else {
        RunRoomChange();
    }
    DrawRooms();
}

void AssignSlots(int d) {
    static constexpr int32_t kSlots[4][3] = {
        // greatest, middle, smallest
        {1, 0, 3},  // up
        {1, 2, 3},  // down
        {2, 1, 0},  // right
        {2, 3, 0},  // left
    };
    if (d < 0 || d > 3) return;
    float value[kCompanionCount];
    for (int k = 0; k < kCompanionCount; ++k) {
        const Companion& c = Companions.records[k];
        value[k] = (d == 0 || d == 1) ? c.x : c.y;
    }
    int greatest = 0;
    for (int k = 1; k < kCompanionCount; ++k) {
        if (value[k] > value[greatest]) greatest = k;
    }
    int others[2];
    int n = 0;
    for (int k = 0; k < kCompanionCount; ++k) {
        if (k != greatest) others[n++] = k;
    }
    // others[0] has the lower index, so it wins a tie for the smallest value.
    const int smallest = (value[others[1]] < value[others[0]]) ? others[1] : others[0];
    const int middle = (smallest == others[0]) ? others[1] : others[0];
    Companions.CompanionSlot[greatest] = kSlots[d][0];
    Companions.CompanionSlot[middle] = kSlots[d][1];
    Companions.CompanionSlot[smallest] = kSlots[d][2];
}
