// elDraw: the display, the sprite object table and the blits that compose each frame on the back buffer.
#pragma once
#include <cstdint>

// Index of a sprite object in the object table: 0 to 3 are the engine's own screen-sized sprites,
// loaders hand out 4 to 511 and return 0 on failure.
using ObjectNo = int;

constexpr int kObjectCount = 512;
constexpr int kFirstFreeObject = 4;
constexpr int32_t KEY_TOP_LEFT = -1;

namespace elDraw {

// Brings the display up: back buffer, internal sprites, pixel format tables. 1 on success.
int Screen(int width, int height, int placement);
ObjectNo LoadObject(const char* name, int memoryMode);
ObjectNo CreateObject(int width, int height, int memoryMode);
int SwapObject(const char* name, ObjectNo object, int memoryMode);

}  // namespace elDraw

// Copies a rectangle of an object to (x, y) on the back buffer with the object's colour key,
// clipped against the clip rectangle.
int BltObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
void BltObjectOpaque(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
int BltObjectTo(ObjectNo destination, int x, int y, ObjectNo object, int left, int top, int right, int bottom);
void BltObjectToOpaque(ObjectNo destination, int x, int y, ObjectNo object, int left, int top, int right,
                       int bottom);
// Copies the back buffer's rectangle to (0, 0) of the object.
int CaptureToObject(ObjectNo object, int left, int top, int right, int bottom);
void ClearScreen();
void SetClipRect(int left, int top, int right, int bottom);

// Presents the back buffer, after any running transition or picture viewer.
void Refresh();
