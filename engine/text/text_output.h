// Text drawn on the back buffer: the font bracket, colours, lines and boxes, and the debug style.
#pragma once
#include <el/text.h>

#include <cstdint>

#include "platform/text.h"

constexpr int kDebugTextSize = 260;

struct TextState {
    int32_t currentFontSize = 0;
    platform::Font* font = nullptr;
    platform::Font* previousFont = nullptr;
    platform::DeviceContext* dc = nullptr;
    uint32_t textColor = 0;
    uint32_t backgroundColor = 0;
    int32_t transparent = 0;
    platform::Rect boxRect{};
    platform::Rect measureRect{};
};

struct FrameRateState {
    int32_t frameCount = 0;
    uint32_t nextSampleTime = 0;
    float rate = 0.0f;
    float maximum = 0.0f;
    float minimum = 999.9f;
    char line[kDebugTextSize] = {};
};

extern TextState Text;
extern FrameRateState FrameRate;

struct FontDescription;
// The record every selection writes into (a stand-in while the display is not set up).
FontDescription& CurrentFontRecord();
// A font made from the record as it stands.
platform::Font* CreateRecordFont();
// Opens the bracket again from the record on a surface: font, device context, selection.
void OpenBracketOn(platform::Surface* surface);
