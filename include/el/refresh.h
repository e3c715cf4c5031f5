// Presenting the back buffer, screen transitions (fades through the Screen sprite), the picture
// viewer, clip wipes and inversion.
#pragma once

#include <el/objects.h>

// Kinds of fade for SetFadeType: how the Screen sprite comes in over the back buffer, in steps.
namespace elFade {
constexpr int Tiles = 0;              // the wipe pattern's ten steps tiled over the screen
constexpr int Rows = 1;               // more and more rows
constexpr int Bands = 2;              // bands of rows growing
constexpr int TornRows = 3;           // rows, shifted sideways at random
constexpr int TornBands = 4;          // bands, shifted sideways at random
constexpr int FromTop = 5;            // the picture slides in from above
constexpr int FromBottom = 6;         // from below
constexpr int FromLeft = 7;           // from the left
constexpr int FromRight = 8;          // from the right
constexpr int HalvesVertical = 9;     // the top half from above, the bottom half from below
constexpr int HalvesHorizontal = 10;  // the left half from the left, the right half from the right
constexpr int GrowFromLeft = 11;      // uncovered from the left edge
constexpr int GrowFromRight = 12;     // uncovered from the right edge
}  // namespace elFade

// Clip wipe state (GetClipWipeState) and the type that StartClipWipe picks at random.
namespace elWipe {
constexpr int Random = 0;  // type: one of 1 to 9 at random
constexpr int Hidden = -1;
constexpr int Idle = 0;
constexpr int Opening = 1;
constexpr int Closing = 2;
}  // namespace elWipe

// Presents the back buffer, after any running transition or picture viewer.
void Refresh();
// Starts a fade in: the Screen sprite comes in over the next frames.
void StartFadeIn();
// Starts a fade out: the steps of a fade in, backwards.
void StartFadeOut();
// The kind of the next fades (elFade) and their number of strips.
void SetFadeType(int type, int strips);
// 1 while a fade runs, else 0.
int IsFading();
// Loads the tile fade's pattern picture (ten 64 x 48 steps side by side); its object, 0 on failure.
ObjectNo LoadWipePattern(const char* name);

// Loads the picture viewer's picture and scrolling background; height is the picture's height.
void LoadViewer(const char* picture, const char* background, int height);
// Shows or hides the picture viewer over every presented frame.
void ToggleViewer();
// 1 while the picture viewer shows, else 0.
int IsViewerOn();
// The picture viewer's picture object (0 before LoadViewer).
ObjectNo GetViewerPicture();

// Starts closing (hide 1) or opening (hide 0) the clip rectangle; 0 while one runs.
int StartClipWipe(int hide, int type, float speed, int band);
// Closes the clip rectangle at once.
void HideAll();
// Once per frame: moves a running clip wipe on; 0 when none runs.
int StepClipWipe();
// The clip wipe's state (elWipe).
int GetClipWipeState();
// The type of the clip wipe that runs or ran last (1 to 9).
int GetClipWipeType();
// 1 once after a clip wipe finished opening, then 0 until the next one finishes.
int TakeClipWipeOpened();
// 1 once after a clip wipe finished closing, then 0 until the next one finishes.
int TakeClipWipeClosed();
// Forgets a closed or running clip wipe; the clip rectangle stays as it is.
void CancelClipWipe();

// Inverts the colours of a rectangle of the back buffer.
void InvertArea(int left, int top, int right, int bottom);
