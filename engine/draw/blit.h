// Clipped copies to the back buffer and between objects, stretched copies, fills, and line effects.
#pragma once
#include <cstdint>

#include "engine/draw/eldraw.h"

struct ClipRectState {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

extern ClipRectState ClipRect;

// Phases and offsets of the line effects, kept from frame to frame.
struct LineEffectState {
    float wavePhase = 0.0f;
    int32_t waveSign = 1;
    float tileOffsetX = 0.0f, tileOffsetY = 0.0f;
    float scrollWavePhase = 0.0f, scrollOffset = 0.0f;
    float bandPhase = 0.0f, bandScroll = 0.0f;
    float drumPhase = 0.0f;
};

extern LineEffectState LineEffects;

int StretchObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width, int height);
int StretchObjectOpaque(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width,
                        int height);
void ClearObject(ObjectNo object);
void FillBlack(int left, int top, int right, int bottom);
void FrameRect(int left, int top, int right, int bottom);
void FillWhiteScreen();
void FillWhite(int left, int top, int right, int bottom);
void FillColor(int left, int top, int right, int bottom, uint32_t rawColor);
int HalfBlendRect(int left, int top, int right, int bottom, uint32_t rawColor);

void WaveRows(int x, int y, int amplitude, int period, float speed, ObjectNo object, int left, int top, int right,
              int bottom, int interlace);
void TileScroll(float velocityX, float velocityY, ObjectNo object, int left, int top, int right, int bottom);
void WaveScrollRows(int x, int y, int amplitude, int period, float waveSpeed, float scrollSpeed, ObjectNo object,
                    int left, int top, int right, int bottom);
void WaveBand(int bandTop, int bandBottom, int amplitude, int period, float waveSpeed, float scrollSpeed,
              ObjectNo object, int left, int top, int right, int bottom);
void MosaicRows(int x, int y, int blockHeight, ObjectNo object, int left, int top, int right, int bottom);
void ScanlineRows(int x, int y, int step, ObjectNo object, int left, int top, int right, int bottom);
void JitterRows(int x, int y, int amplitude, ObjectNo object, int left, int top, int right, int bottom);
void DrumRows(int x, int y, int forward, float speed, ObjectNo object, int left, int top, int right, int bottom);
