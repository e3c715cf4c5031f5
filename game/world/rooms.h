// Rooms and camera: the pre-rendered room pictures, the camera and the room change that scrolls one room.
#pragma once
#include <cstdint>

// Room change directions.
enum ScrollDirection : int32_t {
    kScrollNone = 0,
    kScrollRight = 1,
    kScrollLeft = 2,
    kScrollUp = 3,
    kScrollDown = 4
};

struct RoomState {
    float CameraX = 0.0f;  // world position shown at the playfield's top-left
    float CameraY = 0.0f;
    float CameraVX = 0.0f;  // px/s, 0 except while the camera scrolls
    float CameraVY = 0.0f;
    int32_t ScrollState = kScrollNone;
    int32_t Scrolling = 0;  // 1 from the start of a room change to its end
    float ScrollProgressX = 0.0f;
    float ScrollProgressY = 0.0f;
    float ScrollCarry = 0.0f;    // the princess's carry speed for this change
    float ScrollCarryVX = 0.0f;  // carry speed in force (0 until the camera moves)
    float ScrollCarryVY = 0.0f;
    float GatherTime = 0.0f;  // s since the current change started
};

// The catch-up speeds close a companion's distance in 0.5 s, and arrivals take up to about 0.85 s
// (one hurt animation adds 0.6 s). Near the centre line a far companion can overshoot on every frame
// and never come within reach; one still catching up after this long joins the ride where it is.
constexpr float kGatherTimeLimit = 2.0f;

extern RoomState Rooms;

// Puts the camera on the start room of the stage.
void PlaceCameraOnStartRoom();
// Once per frame, after the map is read: runs room changes and draws the rooms.
void UpdateRooms();
// Moves the camera by its speed and draws the nine room pictures.
void DrawRooms();
// Renders the nine rooms from the chip layer into their pictures, through the back buffer.
void RenderRooms();
// Gives every companion its formation slot for a room change: d 0 up, 1 down, 2 right, 3 left.
void AssignSlots(int d);
