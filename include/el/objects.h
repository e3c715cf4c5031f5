// Sprite objects: their numbers, loading pictures and blank surfaces, colour keys, memory modes.
#pragma once
#include <cstdint>

// Index of a sprite object in the object table: 0 to 3 are the engine's own screen-sized sprites,
// loaders hand out 4 to 511 and return 0 on failure.
using ObjectNo = int;

constexpr int kObjectCount = 512;
constexpr int kFirstFreeObject = 4;
// The colour key that takes an object's top-left pixel as its transparent colour.
constexpr int32_t KEY_TOP_LEFT = -1;

// The engine's own sprites, as big as the screen.
constexpr ObjectNo kBufferSprite = 0;
constexpr ObjectNo kScreenSprite = 1;  // what a fade copies in over the back buffer
constexpr ObjectNo kFontSprite = 2;
constexpr ObjectNo kFontBufferSprite = 3;

// Memory mode of the loaders: where an object's surface is asked for.
namespace elMemory {
constexpr int Video = 2;   // where the device chooses (what the game passes)
constexpr int System = 1;  // system memory (any value but 2)
}  // namespace elMemory

namespace elDraw {

// Loads a BMP picture (name relative to the program's folder) into a new object; 0 on failure.
ObjectNo LoadObject(const char* name, int memoryMode);
// A new blank object of that size; 0 on failure.
ObjectNo CreateObject(int width, int height, int memoryMode);
// Loads a BMP picture into an existing object, replacing its picture; 1 on success, 0 on failure.
int SwapObject(const char* name, ObjectNo object, int memoryMode);
// The width and height of an object: 1, or 0 (and both 0) for a free or out-of-range number.
int GetObjectSize(ObjectNo object, int* width, int* height);
// 1 when the number holds a loaded or created object, else 0.
int IsObjectLoaded(ObjectNo object);
// The raw pixel value (the display's format) at (x, y) of an object: 1, or 0 (and 0) outside it.
int GetObjectRawPixel(ObjectNo object, int x, int y, uint32_t* raw);

}  // namespace elDraw

// Frees an object's surface and its number.
void ReleaseObject(ObjectNo object);
// The colour key (0x00BBGGRR) the next loads give their objects.
void SetLoadKeyColor(int32_t color);
// The next loads key their objects on the top-left pixel.
void SetLoadKeyTopLeft();
// Sets an object's colour key (0x00BBGGRR, or KEY_TOP_LEFT).
void SetObjectKeyColor(ObjectNo object, int32_t color);
// Keys an object on its top-left pixel.
void SetObjectKeyTopLeft(ObjectNo object);
// Gives the destination object the colour key of the source object.
void CopyObjectKey(ObjectNo destination, ObjectNo source);
