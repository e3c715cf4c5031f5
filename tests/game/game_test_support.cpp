// The game test fixture: headless display, blank sheets, temporary stage folder, keys and pixels.
#include "tests/game/game_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/refresh.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "platform/blit.h"
#include "platform/headless/headless.h"
#include "platform/window.h"

// The start-up of the game defines the object table; tests that link without it get this one.
__attribute__((weak)) GameObjectTable GameObjects;

namespace {

intptr_t IgnoreMessages(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return platform::DefWindowProc(message, wParam, lParam);
}

ObjectNo Sheet(int width, int height, uint32_t rgb) {
    const ObjectNo object = elDraw::CreateObject(width, height, 2);
    platform::Surface* surface = ObjectSurface(object);
    if (surface != nullptr) platform::FillSurface(*surface, platform::RgbToRaw(surface->format, rgb));
    return object;
}

void DrainMessages() {
    platform::Message message;
    while (platform::PeekMessage(message)) {
    }
}

}  // namespace

void GameTest::SetUp() {
    platform::headless::Reset();
    EngineInit();
    Engine.FullScreen = 0;
    Engine.WindowFlags = 3;
    Transition = TransitionState{};
    Viewer = ViewerState{};
    ASSERT_TRUE(platform::CreateMainWindow("game test", 0, 0, 800, 600, IgnoreMessages));
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);

    GameObjects = GameObjectTable{};
    GameObjects.mapChips = Sheet(640, 64, 0x000000);
    for (auto& column : GameObjects.RoomObjects) {
        for (ObjectNo& room : column) room = elDraw::CreateObject(768, 576, 2);
    }
    GameObjects.frameOverlay = elDraw::CreateObject(800, 600, 2);  // black, keyed on black: see-through
    GameObjects.itemSheet = Sheet(96, 48, 0x00FF00);
    GameObjects.shockPicture = Sheet(250, 250, 0xFFFF00);
    GameObjects.blowVertical = Sheet(48, 32, 0xFF8000);
    GameObjects.blowHorizontal = Sheet(32, 48, 0xFF8000);
    GameObjects.arrowSheet = Sheet(48, 12, 0x00FFFF);
    GameObjects.archerSheet = Sheet(240, 240, 0xC00000);
    GameObjects.shieldSheet = Sheet(96, 240, 0x808080);
    GameObjects.strikerSheet = Sheet(336, 240, 0xFF0000);
    GameObjects.chaserSheet = Sheet(336, 240, 0xA000A0);
    GameObjects.princessSheet = Sheet(1152, 768, kPrincessColour);
    for (ObjectNo& sheet : GameObjects.companionSheets) sheet = Sheet(448, 336, 0x0080FF);
    GameObjects.flightEffect = Sheet(448, 112, 0xFFFFFF);

    Stage = StageState{};
    Rooms = RoomState{};
    Princess = PrincessState{};
    Companions = CompanionState{};
    Walkers = WalkerState{};
    Standing = StandingState{};
    Arrows = ArrowState{};
    Items = ItemState{};
    GameFrames = GameFrameState{};
    std::srand(1);

    char pattern[] = "/tmp/el_game_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    previousFolder = std::filesystem::current_path();
    std::filesystem::current_path(folder);
}

void GameTest::TearDown() {
    std::filesystem::current_path(previousFolder);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    ReleaseDisplay();
    if (platform::MainWindowExists()) platform::DestroyMainWindow();
}

void GameTest::WriteText(const char* name, const std::string& text) {
    FILE* file = std::fopen(name, "w");
    ASSERT_NE(file, nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

void GameTest::WriteLayer(const char* name, const Layer& layer, int valuesPerLine) {
    FILE* file = std::fopen(name, "w");
    ASSERT_NE(file, nullptr);
    for (size_t i = 0; i < layer.cells.size(); ++i) {
        std::fprintf(file, "%d%c", layer.cells[i], (i + 1) % valuesPerLine == 0 ? '\n' : ' ');
    }
    std::fclose(file);
}

void GameTest::WriteStage(int column, int row) {
    WriteText("stagedata.txt", std::to_string(column) + " " + std::to_string(row) + "\n");
}

void GameTest::Load() {
    FrameStep = Step();
    if (LoadStage()) PlaceCameraOnStartRoom();
    if (LoadMap()) RenderRooms();
}

void GameTest::Frames(int count) {
    for (int i = 0; i < count; ++i) GameFrame();
}

void GameTest::Press(int key) {
    platform::PostMessage(platform::WM_KEYDOWN, static_cast<uintptr_t>(key), 0);
    DrainMessages();
}

void GameTest::Release(int key) {
    platform::PostMessage(platform::WM_KEYUP, static_cast<uintptr_t>(key), 0);
    DrainMessages();
}

bool GameTest::PixelIs(int x, int y, uint32_t rgb) const {
    const platform::Surface& back = *Display.backBuffer;
    return platform::GetRawPixel(back, x, y) == platform::RgbToRaw(back.format, rgb);
}

bool GameTest::DebugTextAt(int x, int y) const {
    // The first column and row of a text cell are background in the debug face; the pixel before
    // the text is not.
    return PixelIs(x, y, kDebugBackground) && PixelIs(x + 1, y, kDebugBackground) &&
           (x == 0 || !PixelIs(x - 1, y, kDebugBackground));
}
