// Blocks of Japanese text laid out character by character in a rectangle, drawn into the Font
// sprite and copied onto the back buffer, plainly or smoothed, at once or revealed over time.
#pragma once
#include <el/text.h>

#include <cstdint>

#include "engine/draw/eldraw.h"

constexpr int kTextRectCount = 3200;  // entry 0 and up to 3199 character cells

struct TextBlockRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct TextBlockState {
    // Entry 0 bounds the whole block; entries 1 .. charCount - 1 are the characters' cells.
    TextBlockRect rects[kTextRectCount];
    int32_t charCount = 0;
    int32_t shown = 0;         // characters revealed so far
    float revealTimer = 0.0f;  // seconds since the last one
    int32_t blitFlag = 0;      // 1: the renderer copies its block onto the back buffer
};

extern TextBlockState TextBlock;

namespace text_block_detail {
// Near-black colours are lifted to 0x101010: black is the key of the final copy.
uint32_t LiftColor(uint32_t color);
// Bytes of the character at p: 2 for a Shift-JIS lead byte followed by a byte, else 1.
int CharLength(const char* p);
// Characters that must not start a line; they hang past the right edge instead.
bool NoLineStart(const char* p, int length);
// Reduces the Font buffer sprite's (0, 0, width, height) into the Font sprite at (x, y), blended
// against the back buffer, within the clip rectangle.
void ReduceSegment(int x, int y, int width, int height);
}  // namespace text_block_detail
