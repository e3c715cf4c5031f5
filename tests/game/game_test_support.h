// A fresh game on the headless engine: stage files in a temporary folder, blank coloured sheets,
// key presses through the message queue, frame stepping and back-buffer reads.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "game/game_startup.h"
#include "game/world/arrows.h"
#include "game/world/game_frame.h"
#include "game/world/items.h"
#include "game/world/rooms.h"
#include "game/world/stage.h"

// One layer file's values, [row][column].
struct Layer {
    std::vector<int32_t> cells = std::vector<int32_t>(kMapRows * kMapColumns, 0);
    void Set(int column, int row, int32_t value) { cells[row * kMapColumns + column] = value; }
};

// The fixed step of the game, 1/60 s as a float.
inline float Step() {
    return GameFrameStep();
}

// Colours the sheets are filled with, so that drawing can be seen in the back buffer.
constexpr uint32_t kPrincessColour = 0xFF00FF;
constexpr uint32_t kDebugBackground = 0x000080;  // the debug text style's dark blue

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Files in the current (temporary) folder.
    void WriteText(const char* name, const std::string& text);
    void WriteLayer(const char* name, const Layer& layer, int valuesPerLine = kMapColumns);
    void WriteStage(int column, int row);
    // Reads the stage and map and places the characters, as the first frame does, without updating.
    void Load();

    void Frames(int count);
    void Press(int key);
    void Release(int key);

    // Is the back-buffer pixel at (x, y) the colour rgb (0xRRGGBB) in the display's format?
    bool PixelIs(int x, int y, uint32_t rgb) const;
    // True when a debug text starts at (x, y): its dark blue background fills the text's first pixels.
    bool DebugTextAt(int x, int y) const;

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
};
