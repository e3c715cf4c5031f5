// Monochrome glyph bitmaps rendered by FreeType, cached per size, style, angle and character in a
// table and an arena of fixed capacity. Internal to the text rasterizer.
#pragma once
#include <cstdint>

#include "platform/soft/font_cache.h"
#include "platform/soft/glyph_cache_stats.h"

namespace platform::text {

struct Glyph {
    // Bitmap position from the pen: left columns to the right, top rows above the baseline.
    int left = 0, top = 0;
    int width = 0, rows = 0, pitch = 0;  // 1 bit per pixel, most significant bit first
    // Upright glyphs: the advance in whole pixels along the baseline (advanceY 0).
    // Glyphs of a free angle: the advance vector in 1/64 pixels, y upwards.
    int advanceX = 0, advanceY = 0;
    bool missing = false;  // the face has no glyph for the character; the bitmap is its default glyph
    const uint8_t* bits = nullptr;
};

struct GlyphStyle {
    bool bold = false;    // synthetic: the bitmap is smeared one pixel along the baseline
    bool italic = false;  // synthetic: the outline is slanted
    int angle = 0;        // 0, or a free angle in tenths of a degree that is not a multiple of 900
};

// The glyph stays valid until the next call (a full cache is emptied to make room).
// A size without a face gives an empty glyph.
const Glyph& GetGlyph(SizeEntry* size, char32_t code, const GlyphStyle& style);

}  // namespace platform::text
