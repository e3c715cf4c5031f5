// The game's start-up: display, the eighteen pictures in their load order, nine room objects.
#include "game/game_startup.h"

#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/scenes.h"

GameObjectTable GameObjects;

namespace {

constexpr int kMemoryMode = 2;
constexpr int kRoomWidth = 768;
constexpr int kRoomHeight = 576;

ObjectNo Load(const char* name) { return elDraw::LoadObject(name, kMemoryMode); }

}  // namespace

void GameStartup() {
    elDraw::Screen(800, 600, 1);

    GameObjects.en = Load("BMP\\en.BMP");
    GameObjects.en1 = Load("BMP\\en1.BMP");
    GameObjects.mapChips = Load("BMP\\m_cp.bmp");
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row)
            GameObjects.RoomObjects[column][row] = elDraw::CreateObject(kRoomWidth, kRoomHeight, kMemoryMode);
    GameObjects.frameOverlay = Load("BMP\\waku.BMP");
    GameObjects.itemSheet = Load("BMP\\item.bmp");
    GameObjects.shockPicture = Load("BMP\\biribiri.bmp");
    GameObjects.blowVertical = Load("BMP\\g_a1.bmp");
    GameObjects.blowHorizontal = Load("BMP\\g_a2.bmp");
    GameObjects.arrowSheet = Load("bmp\\Ya.bmp");
    GameObjects.archerSheet = Load("bmp\\atya.bmp");
    GameObjects.shieldSheet = Load("bmp\\tate1.bmp");

    // Every picture from here on is keyed on its own top-left pixel.
    SetLoadKeyTopLeft();
    GameObjects.strikerSheet = Load("bmp\\enemy00_00.bmp");
    GameObjects.chaserSheet = Load("bmp\\enemy00_01.bmp");
    GameObjects.princessSheet = Load("BMP\\princess.bmp");
    GameObjects.companionSheets[0] = Load("BMP\\damenzu_00.bmp");
    GameObjects.companionSheets[1] = Load("BMP\\damenzu_01.bmp");
    GameObjects.companionSheets[2] = Load("BMP\\damenzu_02.bmp");
    GameObjects.flightEffect = Load("BMP\\damenzu_ef00.bmp");

    SetFrameRate(75);
    RegisterScene(1, GameFrame);
    Engine.Scene = 1;
    Engine.PreviousScene = 0;
}
