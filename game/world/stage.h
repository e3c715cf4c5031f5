// The stage: the start room and the three map layers read from the stage files on the first frame.
#pragma once
#include <cstdint>

// Map geometry in cells of 8 x 8 pixels.
constexpr int kCellSize = 8;
constexpr int kRoomCellColumns = 96;
constexpr int kRoomCellRows = 72;
constexpr int kMapColumns = 288;
constexpr int kMapRows = 216;
constexpr int kRoomWidth = 768;
constexpr int kRoomHeight = 576;
constexpr int kRoomsAcross = 3;
constexpr int kRoomsDown = 3;

// Placement codes of the placement layer.
enum PlacementCode : int32_t {
    kPlaceNothing = 0,
    kPlacePrincess = 1,
    kPlaceCompanion0 = 2,
    kPlaceCompanion1 = 3,
    kPlaceCompanion2 = 4,
    kPlaceStriker = 5,
    kPlaceArcher = 6,
    kPlaceChaser = 7,
    kPlaceShield = 8,
};

struct StageState {
    int32_t ChipLayer[kMapRows][kMapColumns] = {};       // chip of the chip sheet per cell
    int32_t AttributeLayer[kMapRows][kMapColumns] = {};  // 0 free, anything else blocks
    int32_t PlacementLayer[kMapRows][kMapColumns] = {};  // placement codes as read
    int32_t RoomColumn = 0;                              // the room the view shows
    int32_t RoomRow = 0;
    int32_t stageLoaded = 0;  // "stagedata.txt" has been read
    int32_t mapLoaded = 0;    // the three layer files have been read
};

extern StageState Stage;

// Reads "stagedata.txt" on its first call (answering true then) and sets the start room.
bool LoadStage();
// Reads "map01_data.txt", "map01_zk.txt" and "map01_teki.txt" on its first call, places the
// characters in reading order; answers true on the call that read them.
bool LoadMap();
