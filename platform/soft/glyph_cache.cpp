// The glyph cache: open addressing over a fixed table, bitmaps in one arena; when either fills up
// the whole cache is emptied, so memory stays bounded and nothing is allocated once it exists.
#include "platform/soft/glyph_cache.h"

#include FT_OUTLINE_H

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

namespace platform::text {
namespace {

constexpr int kSlotBits = 13;
constexpr int kSlots = 1 << kSlotBits;
constexpr int kMaxEntries = kGlyphCacheMaxEntries;
constexpr size_t kArenaBytes = kGlyphCacheArenaBytes;
static_assert(kMaxEntries <= kSlots / 2, "the table stays at most half full");

// Slant of synthetic italics: about 12 degrees, 0.2126 in 16.16.
constexpr FT_Fixed kItalicShear = 0x0366A;

struct Slot {
    uint64_t key = 0;  // 0: empty
    Glyph glyph;
};

struct GlyphCacheState {
    std::unique_ptr<Slot[]> slots;
    std::unique_ptr<uint8_t[]> arena;
    size_t arenaUsed = 0;
    int entries = 0;
    GlyphCacheStats stats;
    Glyph empty;
};
GlyphCacheState g_glyphs;

uint64_t MakeKey(const SizeEntry* size, char32_t code, const GlyphStyle& style) {
    return uint64_t{1} << 63 | uint64_t{size->id} << 35 | uint64_t{style.bold} << 34 |
           uint64_t{style.italic} << 33 | uint64_t(style.angle & 0xFFF) << 21 | (code & 0x1FFFFF);
}

size_t SlotOf(uint64_t key) { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kSlotBits)); }

void Flush() {
    for (int i = 0; i < kSlots; ++i) g_glyphs.slots[i].key = 0;
    g_glyphs.arenaUsed = 0;
    g_glyphs.entries = 0;
    ++g_glyphs.stats.flushes;
}

// Copies FreeType's bitmap as 1 bit per pixel (grey pixels count from half intensity), smeared one
// pixel to the right for synthetic bold. False when the cache has no room even after emptying.
bool StoreBitmap(const FT_Bitmap& bitmap, bool smear, Glyph& glyph) {
    int width = static_cast<int>(bitmap.width);
    int rows = static_cast<int>(bitmap.rows);
    bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (width == 0 || rows == 0 || (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)) return true;
    int outWidth = width + (smear ? 1 : 0);
    int pitch = (outWidth + 7) / 8;
    size_t bytes = static_cast<size_t>(pitch) * rows;
    if (bytes > kArenaBytes) return false;
    if (g_glyphs.arenaUsed + bytes > kArenaBytes) return false;
    uint8_t* out = g_glyphs.arena.get() + g_glyphs.arenaUsed;
    g_glyphs.arenaUsed += bytes;
    memset(out, 0, bytes);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        uint8_t* dst = out + static_cast<size_t>(y) * pitch;
        if (mono) {
            memcpy(dst, src, static_cast<size_t>((width + 7) / 8));
            if (width % 8 != 0) dst[(width - 1) / 8] &= static_cast<uint8_t>(0xFF00 >> (width % 8));
        } else {
            for (int x = 0; x < width; ++x) {
                if (src[x] >= 128) dst[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
            }
        }
        if (smear) {
            for (int i = pitch - 1; i >= 0; --i) {
                uint8_t carry = i > 0 ? static_cast<uint8_t>(dst[i - 1] << 7) : 0;
                dst[i] = static_cast<uint8_t>(dst[i] | dst[i] >> 1 | carry);
            }
        }
    }
    glyph.width = outWidth;
    glyph.rows = rows;
    glyph.pitch = pitch;
    glyph.bits = out;
    return true;
}

// Renders one glyph; false when its bitmap found no room in the arena.
bool Render(SizeEntry* size, char32_t code, const GlyphStyle& style, Glyph& glyph) {
    glyph = Glyph{};
    ++g_glyphs.stats.renders;
    FT_Face face = size->face->face;
    ActivateSize(size);
    FT_UInt index = FT_Get_Char_Index(face, code);
    glyph.missing = index == 0;
    FT_Int32 flags = FT_LOAD_TARGET_MONO;
    if (style.italic || style.angle != 0) flags |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face, index, flags) != 0) return true;
    FT_GlyphSlot slot = face->glyph;
    int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (style.bold) advance += 1;
    double radians = style.angle * std::numbers::pi / 1800.0;
    double cosine = std::cos(radians), sine = std::sin(radians);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (style.italic) {
            FT_Matrix shear = {0x10000, kItalicShear, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (style.angle != 0) {
            if (style.bold) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
            FT_Matrix rotation = {static_cast<FT_Fixed>(std::lround(cosine * 65536)),
                                  static_cast<FT_Fixed>(std::lround(-sine * 65536)),
                                  static_cast<FT_Fixed>(std::lround(sine * 65536)),
                                  static_cast<FT_Fixed>(std::lround(cosine * 65536))};
            FT_Outline_Transform(&slot->outline, &rotation);
        }
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return true;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    if (style.angle != 0) {
        glyph.advanceX = static_cast<int>(std::lround(advance * 64 * cosine));
        glyph.advanceY = static_cast<int>(std::lround(advance * 64 * sine));
    } else {
        glyph.advanceX = advance;
    }
    return StoreBitmap(slot->bitmap, style.bold && style.angle == 0, glyph);
}

}  // namespace

const Glyph& GetGlyph(SizeEntry* size, char32_t code, const GlyphStyle& style) {
    if (size == nullptr) return g_glyphs.empty;
    if (!g_glyphs.slots) {
        g_glyphs.slots = std::make_unique<Slot[]>(kSlots);
        g_glyphs.arena = std::make_unique<uint8_t[]>(kArenaBytes);
    }
    uint64_t key = MakeKey(size, code, style);
    size_t mask = kSlots - 1;
    size_t i = SlotOf(key);
    while (g_glyphs.slots[i].key != 0) {
        if (g_glyphs.slots[i].key == key) return g_glyphs.slots[i].glyph;
        i = (i + 1) & mask;
    }
    Glyph glyph;
    if (g_glyphs.entries >= kMaxEntries || !Render(size, code, style, glyph)) {
        Flush();
        if (!Render(size, code, style, glyph)) {
            // Larger than the whole arena: the glyph keeps its advance and draws nothing.
            glyph.bits = nullptr;
            glyph.width = glyph.rows = 0;
        }
        i = SlotOf(key);
    }
    g_glyphs.slots[i].key = key;
    g_glyphs.slots[i].glyph = glyph;
    ++g_glyphs.entries;
    return g_glyphs.slots[i].glyph;
}

GlyphCacheStats GetGlyphCacheStats() {
    GlyphCacheStats stats = g_glyphs.stats;
    stats.entries = g_glyphs.entries;
    stats.arenaBytes = static_cast<int>(g_glyphs.arenaUsed);
    return stats;
}

}  // namespace platform::text
