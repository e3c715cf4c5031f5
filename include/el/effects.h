// Effect blits (a sprite object mixed into the back buffer pixel by pixel) and screen filters
// (a block of the back buffer worked on in place). Levels given as 5-bit values (0 to 31) mean the
// same at 16 and 32 bits per pixel.
//
// Blits return 1 when they ran (also when clipping left nothing to draw) and 0 when a surface cannot
// be locked or the object is free or out of range. The destination is clipped against the clip
// rectangle, then against the back buffer, and the source rectangle against its object.
#pragma once

#include <el/objects.h>

// Mirror types of MirrorBlt.
namespace elMirror {
constexpr int None = 0;
constexpr int LeftRight = 1;
constexpr int UpsideDown = 2;
constexpr int Both = 3;
}  // namespace elMirror

// A caller's 5-bit level (clamped to 0..31) in the back buffer's channel steps.
int EffectLevel(int level);

// Half the object over half the back buffer.
int HalfBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// type 1 mirrors left-right, 2 upside down, 3 both; other values copy unchanged.
int MirrorBlt(int x, int y, int type, ObjectNo object, int left, int top, int right, int bottom);
// The object mixed in with the weight alpha (0 to 1).
int AlphaBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float alpha);
// The same with a weight for each channel.
int AlphaBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red,
                float green, float blue);
// The object mixed in at a 5-bit level (0 none, 31 all).
int FadeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int level);
// The same with a level for each channel.
int FadeBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int red, int green,
               int blue);
// The object added to the back buffer, each channel saturating.
int AddBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// The object added with an intensity from 0 to 1.
int AddFadeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float intensity);
// The back buffer darkened where the object is not transparent.
int ShadowBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// The object's edge pixels blended with the back buffer pixels beside them.
int EdgeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// The object with only the channels kept that are non-zero.
int ChannelBlt(int x, int y, int keepRed, int keepGreen, int keepBlue, ObjectNo object, int left, int top,
               int right, int bottom);
// The object brightened (or darkened) by a factor.
int BrightBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float factor);
// The same with a factor for each channel.
int BrightBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red,
                 float green, float blue);
// The object darkened by a 5-bit level.
int DarkBlt(int x, int y, int level, ObjectNo object, int left, int top, int right, int bottom);
// The same with a level for each channel.
int DarkBltRGB(int x, int y, int red, int green, int blue, ObjectNo object, int left, int top, int right,
               int bottom);
// The object blurred: each pixel the average of the block x block pixels from it.
int BlurBlt(int x, int y, int block, ObjectNo object, int left, int top, int right, int bottom);
// The object in grey.
int GreyBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// The back buffer's rows moved up under the object by its red level, less as strength (0 to 1) falls.
int DisplaceBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float strength);

// Rotations into a destination rectangle about the centres of both rectangles; a positive angle
// (whole degrees, taken modulo 360) turns the picture clockwise on the screen.
int RotateBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, ObjectNo object, int left,
              int top, int right, int bottom);
// The same, enlarged by the zoom (above 0).
int RotateZoomBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, float zoom,
                  ObjectNo object, int left, int top, int right, int bottom);
// A rotation that repeats the source rectangle over the whole destination.
int RotateTileBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, ObjectNo object,
                  int left, int top, int right, int bottom);
// The same, enlarged by the zoom (above 0).
int RotateZoomTileBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, float zoom,
                      ObjectNo object, int left, int top, int right, int bottom);

// Screen filters on the block (x, y, width, height) of the back buffer, cut to the back buffer.
// 1 when they ran, 0 when the back buffer cannot be locked.

// Runs of neighbour averages moved up a row, their lengths taken from the noise table.
int SmearFilter(int x, int y, int width, int height);
// A smear that darkens the flagged channels (1 or 0 each) a step at a time.
int SmearFadeFilter(int red, int green, int blue, int x, int y, int width, int height);
// Each pixel the average of its four neighbours.
int BlurFilter(int x, int y, int width, int height);
// A blur that darkens the flagged channels (1 or 0 each) a step at a time.
int BlurFadeFilter(int red, int green, int blue, int x, int y, int width, int height);
// The block enlarged twice from its top-left corner (through the Buffer sprite); with lines set
// only the first pixel of each 2 x 2 square is written.
int Zoom2Filter(int x, int y, int width, int height, int lines);
// Noise from the noise table, its amount shifted left by shift.
int NoiseFilter(int shift, int x, int y, int width, int height);
// The same on the flagged channels (1 or 0 each) only.
int NoiseFilterRGB(int red, int green, int blue, int shift, int x, int y, int width, int height);
// A round mosaic of block-sized cells about the centre, out to the radius.
int CircleMosaicFilter(int centreX, int centreY, int radius, int block);
