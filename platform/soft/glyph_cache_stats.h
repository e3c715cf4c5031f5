// Counters of the glyph cache, for tests and benchmarks that check it works and stays bounded.
#pragma once
#include <cstdint>

namespace platform::text {

struct GlyphCacheStats {
    uint64_t renders = 0;  // glyphs rendered by FreeType since start
    uint64_t flushes = 0;  // times the cache was emptied because it was full
    int entries = 0;
    int arenaBytes = 0;
};
GlyphCacheStats GetGlyphCacheStats();

constexpr int kGlyphCacheMaxEntries = 4096;
constexpr int kGlyphCacheArenaBytes = 2 << 20;

}  // namespace platform::text
