// Faces found through fontconfig and opened with FreeType, their sizes and metrics, and the font
// objects that CreateFont hands out. Internal to the text rasterizer.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"

namespace platform::text {

struct FaceEntry;

// One face at one requested height, with the cell metrics that text layout uses.
struct SizeEntry {
    FaceEntry* face = nullptr;
    uint16_t id = 0;  // unique among all sizes; part of the glyph cache key
    int requestedHeight = 0;
    FT_Size size = nullptr;
    int ppem = 0;
    int height = 0, ascent = 0, descent = 0;
    int averageCharWidth = 0, maxCharWidth = 0;
    int underlineTop = 0;  // first underline row, counted from the cell top
    int underlineThickness = 1;
};

// An opened face file; kept for the whole run.
struct FaceEntry {
    std::string file;
    int index = 0;
    FT_Face face = nullptr;
    std::vector<std::unique_ptr<SizeEntry>> sizes;
};

// A face chosen for a name and style, with what the face lacks of that style drawn synthetically.
struct ResolvedFace {
    FaceEntry* face = nullptr;  // null only when no face at all could be opened
    bool syntheticBold = false;
    bool syntheticItalic = false;
    bool isStandardGothic = false;
};

FT_Library Library();

// An installed family as the face list shows it, with its full fontconfig name.
struct ListedFamily {
    std::string family;  // UTF-8
    FontFace face;       // the name cut to the face-name field, and its character set
};
// Every installed family once, in byte order of the shown names; asked once, then kept.
const std::vector<ListedFamily>& ListFamilies();

// Cached by name and style; the first resolution of a name asks fontconfig.
ResolvedFace ResolveFace(const char* faceName, bool bold, bool italic);

// The face at a height (see FontDescription::height); cached per face. Null when the face
// cannot be set to any size.
SizeEntry* GetSize(FaceEntry* face, int requestedHeight);

// Makes the size the face's active one (FreeType keeps one active size per face).
void ActivateSize(SizeEntry* size);

// Escapement in tenths of a degree, normalised to 0..3599.
int NormaliseEscapement(int escapement);

}  // namespace platform::text

namespace platform {

// What CreateFont hands out. Fonts live in chunks that are never freed, so a handle stays a
// valid address for the whole run; deleted fonts go back to a free list.
struct Font {
    text::SizeEntry* size = nullptr;          // the chosen face; null when no face exists
    text::SizeEntry* fallbackSize = nullptr;  // standard Gothic for glyphs the face lacks; may be null
    bool syntheticBold = false, syntheticItalic = false;
    bool fallbackBold = false, fallbackItalic = false;
    bool underline = false;
    int escapement = 0;  // 0..3599
    int height = 0, ascent = 0, descent = 0;
    int selectedCount = 0;  // device contexts that hold the font
    bool alive = false;
    Font* nextFree = nullptr;
};

}  // namespace platform
