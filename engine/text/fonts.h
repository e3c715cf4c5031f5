// The installed-font list and the face-name look-up of font selections.
#pragma once
#include <el/text.h>

#include <cstdint>

constexpr int kFontListSize = 200;
constexpr int kFontNameSize = 32;  // 31 bytes and the terminator

struct FontListEntry {
    char faceName[kFontNameSize] = {};
    int32_t kind = -1;  // -1 empty, 1 Japanese, 2 other, 3 symbol
    uint8_t charset = 0;
};

struct FontListState {
    FontListEntry entries[kFontListSize];
    int32_t count = 0;
};

extern FontListState FontList;

// Display set-up: allocates the font record and fills the list (the first 200 faces).
void EnumerateFonts();
// Program end: frees the font record.
void ReleaseFonts();
// The character set of the first entry named exactly so; 128 (Shift-JIS) for a name not listed.
uint8_t ListedCharset(const char* faceName);
