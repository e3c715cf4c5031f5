// The one font description record every font selection writes into.
#pragma once
#include <cstdint>

struct FontDescription {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};

// Allocated zero-filled by the display set-up, freed by the exit procedure; null outside that.
extern FontDescription* FontRecord;

void AllocateFontRecord();
void FreeFontRecord();
