// Blits: clipped copies of objects to the back buffer and between objects, stretched copies, fills,
// the clip rectangle, and the line effects that move rows of an object as they copy it.
#pragma once
#include <el/objects.h>

#include <cstdint>

// Copies a rectangle of an object to (x, y) on the back buffer with the object's colour key,
// clipped against the clip rectangle.
int BltObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// The same without the colour key.
void BltObjectOpaque(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// Copies a rectangle of an object to (x, y) of another object, with the source's colour key.
int BltObjectTo(ObjectNo destination, int x, int y, ObjectNo object, int left, int top, int right,
                int bottom);
// The same without the colour key.
void BltObjectToOpaque(ObjectNo destination, int x, int y, ObjectNo object, int left, int top, int right,
                       int bottom);
// Copies the back buffer's rectangle to (0, 0) of the object.
int CaptureToObject(ObjectNo object, int left, int top, int right, int bottom);
// Fills the back buffer with black.
void ClearScreen();
// The rectangle every sprite blit is clipped against (right and bottom exclusive).
void SetClipRect(int left, int top, int right, int bottom);
// The clip rectangle as it stands.
void GetClipRect(int* left, int* top, int* right, int* bottom);

// Copies a rectangle of an object stretched to width x height at (x, y), with its colour key.
int StretchObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width,
                  int height);
// The same without the colour key.
int StretchObjectOpaque(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width,
                        int height);
// Fills a whole object with black.
void ClearObject(ObjectNo object);
// Fills a rectangle of the back buffer with black.
void FillBlack(int left, int top, int right, int bottom);
// Draws a one-pixel black frame just inside the rectangle.
void FrameRect(int left, int top, int right, int bottom);
// Fills the back buffer with white.
void FillWhiteScreen();
// Fills a rectangle of the back buffer with white.
void FillWhite(int left, int top, int right, int bottom);
// Fills a rectangle of the back buffer with a raw pixel value of the back buffer's format.
void FillColor(int left, int top, int right, int bottom, uint32_t rawColor);
// Mixes a raw pixel value half and half into a rectangle of the back buffer.
int HalfBlendRect(int left, int top, int right, int bottom, uint32_t rawColor);

// Line effects: rows of an object copied to (x, y) with a sideways wave (every interlace-th row).
void WaveRows(int x, int y, int amplitude, int period, float speed, ObjectNo object, int left, int top,
              int right, int bottom, int interlace);
// The object tiled over the rectangle, scrolling by the velocities every frame.
void TileScroll(float velocityX, float velocityY, ObjectNo object, int left, int top, int right, int bottom);
// Rows waving sideways while the picture scrolls up.
void WaveScrollRows(int x, int y, int amplitude, int period, float waveSpeed, float scrollSpeed,
                    ObjectNo object, int left, int top, int right, int bottom);
// A band of the screen between two rows, waving and scrolling.
void WaveBand(int bandTop, int bandBottom, int amplitude, int period, float waveSpeed, float scrollSpeed,
              ObjectNo object, int left, int top, int right, int bottom);
// Rows repeated in blocks of blockHeight.
void MosaicRows(int x, int y, int blockHeight, ObjectNo object, int left, int top, int right, int bottom);
// Every step-th row only.
void ScanlineRows(int x, int y, int step, ObjectNo object, int left, int top, int right, int bottom);
// Rows shifted sideways at random by up to amplitude pixels.
void JitterRows(int x, int y, int amplitude, ObjectNo object, int left, int top, int right, int bottom);
// Rows wrapped round a turning drum.
void DrumRows(int x, int y, int forward, float speed, ObjectNo object, int left, int top, int right,
              int bottom);
