// The game's start-up: the display, its eighteen pictures and nine room objects, the frame rate, scene 1.
#pragma once
#include "engine/draw/eldraw.h"

struct GameObjectTable {
    ObjectNo en = 0;             // loaded at start, never drawn
    ObjectNo en1 = 0;            // loaded at start, never drawn
    ObjectNo mapChips = 0;       // 8 x 8 chips, 80 per row
    ObjectNo RoomObjects[3][3] = {};  // [column][row], the pre-rendered rooms
    ObjectNo frameOverlay = 0;   // 800 x 600, drawn last
    ObjectNo itemSheet = 0;      // 48 x 48 cells
    ObjectNo shockPicture = 0;   // the Striker's 250 x 250 shock
    ObjectNo blowVertical = 0;   // the Striker's blow, vertical
    ObjectNo blowHorizontal = 0; // the Striker's blow, horizontal
    ObjectNo arrowSheet = 0;     // 12 x 12 cells
    ObjectNo archerSheet = 0;
    ObjectNo shieldSheet = 0;
    ObjectNo strikerSheet = 0;
    ObjectNo chaserSheet = 0;
    ObjectNo princessSheet = 0;  // 96 x 96 cells
    ObjectNo companionSheets[3] = {};
    ObjectNo flightEffect = 0;   // companion 0's flight effect
};

extern GameObjectTable GameObjects;

void GameStartup();
// One frame of scene 1 (game play).
void GameFrame();
