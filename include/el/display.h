// The display: bringing the screen up, the colour depths it tries, and what a scene reads of it.
#pragma once

// Placement of elDraw::Screen: where the back buffer and the Buffer and Screen sprites live.
namespace elPlacement {
constexpr int Video = 1;          // all where the device chooses
constexpr int System = 2;         // all in system memory
constexpr int SystemSprites = 3;  // the sprites in system memory, the rest where the device chooses
}  // namespace elPlacement

namespace elDraw {

// Brings the display up: back buffer, internal sprites, pixel format tables. 1 on success.
int Screen(int width, int height, int placement);
// The screen size given to Screen: 1, or 0 (and both 0) before the display is up.
int GetScreenSize(int* width, int* height);
// The back buffer's bits per pixel (16 or 32), 0 before the display is up.
int GetScreenDepth();

}  // namespace elDraw

// The depths the display set-up tries in order (0: none).
void SetScreenDepths(int first, int second, int third);
// Windowed on a desktop of fewer colours than the first depth: says so and offers full screen ("":
// no question, "*": switch only, else the answer is kept in that settings file). 0 when it ends the program.
int CheckColorDepth(const char* settingsName);
