// Effect blits (a sprite object mixed into the back buffer pixel by pixel) and screen filters
// (a block of the back buffer worked on in place).
//
// Pixels are split into channel levels: at 16 bits the 5-bit value at each channel's 5-bit
// position (a 6-bit green is halved and comes back with its lowest bit 0), at 32 bits the 8-bit
// channel. The "own-width" members (AlphaBlt, BrightBlt and their per-channel forms) work on the
// channels as they are (5, 6 or 8 bits).
//
// One rule makes every member work at 32 bits: the 16-bit formulas applied to 8-bit channels, with
// every 5-bit level, bound and constant scaled from 31 to 255. A level L given by the caller
// becomes L * 255 / 31 (integer division; see EffectLevel), a constant 31 of a formula becomes
// 255, the half mask is 0x7F7F7F, a noise amount n becomes n << 3, the grey level is
// (r + g + b) / 3, and a source pixel whose low 24 bits are 0 is transparent (at 16 bits: the raw
// value 0). Mixed pixels get a top byte of 0; copies keep the source pixel whole. The scaling is for
// levels and amounts only; geometry keeps its numbers: DisplaceBlt's reach is a number of rows, so
// its offset stays 31 - 31 * S and an 8-bit red counts in 5-bit steps (red >> 3), and a picture
// moves the same rows at both depths.
//
// Blits return 1 when they ran (also when clipping left nothing to draw) and 0 when a surface cannot
// be locked or the object is free or out of range. The destination is clipped against ClipRect,
// then against the back buffer, and the source rectangle against its object.
#pragma once
#include <cstdint>

#include "engine/draw/eldraw.h"

// The walk through the noise table, shared by the filters that read it.
struct EffectState {
    int32_t noisePosition = 0;
};

extern EffectState Effects;

// A caller's 5-bit level (clamped to 0..31) in the back buffer's channel steps.
int EffectLevel(int level);

int HalfBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
// type 1 mirrors left-right, 2 upside down, 3 both; other values copy unchanged.
int MirrorBlt(int x, int y, int type, ObjectNo object, int left, int top, int right, int bottom);
int AlphaBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float alpha);
int AlphaBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red,
                float green, float blue);
int FadeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int level);
int FadeBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int red, int green,
               int blue);
int AddBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
int AddFadeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float intensity);
int ShadowBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
int EdgeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
int ChannelBlt(int x, int y, int keepRed, int keepGreen, int keepBlue, ObjectNo object, int left, int top,
               int right, int bottom);
int BrightBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float factor);
int BrightBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red,
                 float green, float blue);
int DarkBlt(int x, int y, int level, ObjectNo object, int left, int top, int right, int bottom);
int DarkBltRGB(int x, int y, int red, int green, int blue, ObjectNo object, int left, int top, int right,
               int bottom);
int BlurBlt(int x, int y, int block, ObjectNo object, int left, int top, int right, int bottom);
int GreyBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom);
int DisplaceBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float strength);

// Rotations into a destination rectangle about the centres of both rectangles; a positive angle
// (whole degrees, any value, taken modulo 360) turns the picture clockwise on the screen, and the
// zoom (above 0; as its reciprocal in 16.16 fixed point, 1/256 to 65536) enlarges. Each row's
// first source position is exact; along the row it moves by fixed 16.16 steps. The tiling forms
// fold negative offsets from the rectangle's top-left back (absolute value) before the modulo.
int RotateBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, ObjectNo object, int left,
              int top, int right, int bottom);
int RotateZoomBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, float zoom,
                  ObjectNo object, int left, int top, int right, int bottom);
int RotateTileBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, ObjectNo object,
                  int left, int top, int right, int bottom);
int RotateZoomTileBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, float zoom,
                      ObjectNo object, int left, int top, int right, int bottom);

// Screen filters on the block (x, y, width, height) of the back buffer, cut to the back buffer.
// 1 when they ran, 0 when the back buffer cannot be locked.
int SmearFilter(int x, int y, int width, int height);
int SmearFadeFilter(int red, int green, int blue, int x, int y, int width, int height);
int BlurFilter(int x, int y, int width, int height);
int BlurFadeFilter(int red, int green, int blue, int x, int y, int width, int height);
int Zoom2Filter(int x, int y, int width, int height, int lines);
int NoiseFilter(int shift, int x, int y, int width, int height);
int NoiseFilterRGB(int red, int green, int blue, int shift, int x, int y, int width, int height);
int CircleMosaicFilter(int centreX, int centreY, int radius, int block);
