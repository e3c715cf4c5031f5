// GameFrame: one fixed step of 1/60 s, composed back to front on the back buffer and presented.
#include "game/world/game_frame.h"

#include <bit>

#include "engine/draw/eldraw.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/text_output.h"
#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "game/game_startup.h"
#include "game/world/arrows.h"
#include "game/world/items.h"
#include "game/world/rooms.h"
#include "game/world/stage.h"

GameFrameState GameFrames;

float GameFrameStep() {
    return std::bit_cast<float>(0x3C888889u);
}

void GameFrame() {
    // Game time runs in fixed steps whatever the measured frame time.
    FrameStep = GameFrameStep();
    ClearScreen();
    if (LoadStage()) PlaceCameraOnStartRoom();
    if (LoadMap()) RenderRooms();
    UpdateRooms();
    UpdateArchers();
    UpdateShields();
    UpdateArrows();
    UpdateStrikers();
    UpdateChasers();
    UpdateCompanions();
    UpdatePrincess();
    UpdateItems();
    DebugPrint(400, 300, "%d", Princess.hitPoints);
    BltObject(0, 0, GameObjects.frameOverlay, 0, 0, 800, 600);
    Refresh();
    GameFrames.frameCount += 1;
}
