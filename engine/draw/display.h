// The display: back buffer, screen size, pixel format tables, presentation rectangle and release.
#pragma once
#include <el/display.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"

// Masks, shifts and derived values of the back buffer's pixel format.
struct PixelFormatInfo {
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    int32_t redShift = 0, greenShift = 0, blueShift = 0;
    uint32_t redSizeMask = 0, greenSizeMask = 0, blueSizeMask = 0;
    int32_t redPosition5 = 0, greenPosition5 = 0, bluePosition5 = 0;  // where a 5-bit value fills the top
    uint32_t halfMask = 0;
    uint32_t fullMask = 0;
};

PixelFormatInfo DerivePixelFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

constexpr int kSineTableSize = 450;
constexpr int kNoiseTableSize = 10000;

// Look-up tables of the effect blits; the 16-bit ones stay empty at other depths.
struct DrawTables {
    int32_t SineTable[kSineTableSize] = {};
    std::vector<uint8_t> SplitTable;       // 65536 x {r, g, b} as 5-bit values
    std::vector<uint16_t> CrossFadeTable;  // [channel][t][a][b]
    std::vector<uint16_t> FadeAddTable;    // [channel][t][a][b]
    std::vector<uint16_t> SubtractTable;   // [channel][a][b]
    std::vector<uint16_t> AverageTable;    // 94 entries
    std::vector<uint8_t> NoiseTable;       // 10000 entries of 0, 1 or 2
};

struct DisplayState {
    bool present = false;  // the display has been set up and not released
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t depth = 16;
    int32_t depthPreferences[3] = {16, 0, 0};
    int32_t hardwareDevice = 0;
    int32_t stretchSupported = 1;
    platform::Rect PresentRect{};
    platform::Rect presentSource{};
    std::unique_ptr<platform::Surface> backBuffer;
    PixelFormatInfo format;
};

extern DisplayState Display;
extern DrawTables Tables;

// Releases every sprite object and the back buffer; skipped when there is no display.
void ReleaseDisplay();
// Fills the 16-bit tables for the current pixel format.
void BuildSixteenBitTables();
