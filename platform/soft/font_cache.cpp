// Face resolution through fontconfig, FreeType faces and sizes, the font objects, and the list of
// installed faces.
#include "platform/soft/font_cache.h"

#include <fontconfig/fontconfig.h>
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/soft/text_encoding.h"

namespace platform::text {
namespace {

// The standard face names as UTF-8 (this file is not compiled to Shift-JIS).
constexpr const char* kGothicName = "標準ゴシック";
constexpr const char* kMinchoName = "標準明朝";
constexpr const char* kGothicPattern = "sans-serif:lang=ja";
constexpr const char* kMinchoPattern = "serif:lang=ja";

constexpr int kDefaultHeight = 16;
constexpr int kMaxHeight = 1024;
constexpr size_t kMaxResolutions = 512;

struct Resolution {
    char name[LF_FACESIZE] = {};
    bool bold = false, italic = false;
    ResolvedFace face;
};

struct FontCacheState {
    FT_Library library = nullptr;
    bool libraryFailed = false;
    std::vector<std::unique_ptr<FaceEntry>> faces;
    std::vector<Resolution> resolutions;
    uint16_t nextSizeId = 1;
    std::vector<ListedFamily> families;
    bool familiesListed = false;
};
FontCacheState g_cache;

int RoundDiv(int64_t numerator, int64_t denominator) {
    return static_cast<int>((numerator * 2 + denominator) / (denominator * 2));
}

FaceEntry* OpenFace(const std::string& file, int index) {
    for (auto& entry : g_cache.faces) {
        if (entry->index == index && entry->file == file) return entry.get();
    }
    FT_Library library = Library();
    if (library == nullptr) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) return nullptr;
    if (face->charmap == nullptr && face->num_charmaps > 0) FT_Set_Charmap(face, face->charmaps[0]);
    auto entry = std::make_unique<FaceEntry>();
    entry->file = file;
    entry->index = index;
    entry->face = face;
    g_cache.faces.push_back(std::move(entry));
    return g_cache.faces.back().get();
}

bool FaceIsBold(FT_Face face) {
    if (face->style_flags & FT_STYLE_FLAG_BOLD) return true;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    return os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600;
}

bool FamilyMatches(FcPattern* font, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) return true;
    }
    return false;
}

void ReleaseFontconfig() {
    FcFini();
}

// Starts fontconfig; the first successful start arranges for it to be released when the program
// exits, so that its configuration and caches are not left behind.
bool StartFontconfig() {
    static bool releaseArranged = false;
    if (!FcInit()) return false;
    if (!releaseArranged) {
        releaseArranged = true;
        std::atexit(ReleaseFontconfig);
    }
    return true;
}

// Asks fontconfig for a pattern ("sans-serif:lang=ja") or a family name; an empty result when no
// face is found (a family counts as found only when the match carries that family name).
ResolvedFace MatchFace(const char* patternText, const std::string* family, bool bold, bool italic) {
    ResolvedFace result;
    if (!StartFontconfig()) return result;
    FcPattern* pattern = nullptr;
    if (family != nullptr) {
        pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family->c_str()));
    } else {
        pattern = FcNameParse(reinterpret_cast<const FcChar8*>(patternText));
    }
    if (pattern == nullptr) return result;
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult = FcResultNoMatch;
    FcPattern* font = FcFontMatch(nullptr, pattern, &matchResult);
    FcPatternDestroy(pattern);
    if (font == nullptr) return result;

    FcChar8* file = nullptr;
    int index = 0;
    bool found = FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch;
    if (found && family != nullptr) found = FamilyMatches(font, *family);
    if (found) {
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        result.face = OpenFace(reinterpret_cast<const char*>(file), index);
        // The style comes from the face itself: fontconfig reports a regular face that it would
        // slant or embolden as if it had the style.
        if (result.face != nullptr) {
            result.syntheticBold = bold && !FaceIsBold(result.face->face);
            result.syntheticItalic = italic && !(result.face->face->style_flags & FT_STYLE_FLAG_ITALIC);
        }
    }
    FcPatternDestroy(font);
    return result;
}

const std::string* ListedFamilyOf(const char* faceName);

ResolvedFace ResolveUncached(const char* faceName, bool bold, bool italic) {
    std::string utf8;
    if (!FaceNameToUtf8(faceName, LF_FACESIZE, utf8)) utf8.clear();
    ResolvedFace result;
    if (utf8 == kMinchoName) {
        result = MatchFace(kMinchoPattern, nullptr, bold, italic);
    } else if (!utf8.empty() && utf8 != kGothicName) {
        result = MatchFace(nullptr, &utf8, bold, italic);
        // A name as the installed-face list shows it, cut short of its family's full name.
        if (result.face == nullptr) {
            if (const std::string* family = ListedFamilyOf(faceName); family != nullptr && *family != utf8)
                result = MatchFace(nullptr, family, bold, italic);
        }
    }
    if (result.face == nullptr) {
        result = MatchFace(kGothicPattern, nullptr, bold, italic);
        result.isStandardGothic = true;
    }
    return result;
}

void ComputeMetrics(SizeEntry& size) {
    FT_Face face = size.face->face;
    int upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    int winAscent = face->ascender, winDescent = -face->descender;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    int cellUnits = std::max(1, winAscent + winDescent);
    int requested = size.requestedHeight;
    if (requested > 0) {
        size.ppem = std::max(1, RoundDiv(static_cast<int64_t>(requested) * upem, cellUnits));
        size.height = requested;
        size.ascent = std::clamp(RoundDiv(static_cast<int64_t>(winAscent) * size.ppem, upem), 0, requested);
        size.descent = requested - size.ascent;
    } else {
        size.ppem = -requested;
        size.ascent = RoundDiv(static_cast<int64_t>(winAscent) * size.ppem, upem);
        size.descent = RoundDiv(static_cast<int64_t>(winDescent) * size.ppem, upem);
        size.height = std::max(1, size.ascent + size.descent);
    }
    int ppem = size.ppem;
    size.averageCharWidth = os2 != nullptr && os2->xAvgCharWidth > 0
                                ? RoundDiv(static_cast<int64_t>(os2->xAvgCharWidth) * ppem, upem)
                                : (ppem + 1) / 2;
    size.maxCharWidth = RoundDiv(static_cast<int64_t>(face->max_advance_width) * ppem, upem);
    int thickness = std::max(1, RoundDiv(static_cast<int64_t>(face->underline_thickness) * ppem, upem));
    int below = face->underline_position != 0
                    ? RoundDiv(-static_cast<int64_t>(face->underline_position) * ppem, upem)
                    : std::max(1, size.descent / 2);
    size.underlineThickness = std::min(thickness, size.height);
    size.underlineTop =
        std::clamp(size.ascent + below - thickness / 2, 0, size.height - size.underlineThickness);
}

// Per installed family: the name a person would choose it by (its Japanese name where it has
// one, else its first family name) and what its faces cover.
std::vector<ListedFamily> AskFamilies() {
    struct Found {
        std::string name;
        bool japanese = false, letters = false;
    };
    std::vector<Found> found;
    if (!StartFontconfig()) return {};
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_LANG, FC_CHARSET, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set != nullptr) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            FcChar8* family = nullptr;
            std::string chosen;
            for (int j = 0; FcPatternGetString(font, FC_FAMILY, j, &family) == FcResultMatch; ++j) {
                FcChar8* lang = nullptr;
                const bool japaneseName =
                    FcPatternGetString(font, FC_FAMILYLANG, j, &lang) == FcResultMatch &&
                    std::strcmp(reinterpret_cast<const char*>(lang), "ja") == 0;
                if (j == 0 || japaneseName) chosen = reinterpret_cast<const char*>(family);
                if (japaneseName) break;
            }
            if (chosen.empty()) continue;
            FcLangSet* langs = nullptr;
            FcCharSet* chars = nullptr;
            const bool japanese =
                FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch &&
                FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
            const bool letters = FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch &&
                                 FcCharSetHasChar(chars, 'A') && FcCharSetHasChar(chars, 'z');
            auto it = std::find_if(found.begin(), found.end(),
                                   [&chosen](const Found& f) { return f.name == chosen; });
            if (it == found.end()) it = found.insert(found.end(), Found{chosen});
            it->japanese |= japanese;
            it->letters |= letters;
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);

    std::vector<ListedFamily> listed;
    for (const Found& family : found) {
        ListedFamily entry;
        entry.family = family.name;
        if (!Utf8ToCutFaceName(family.name, entry.face.faceName, sizeof entry.face.faceName)) continue;
        entry.face.charset = family.japanese  ? SHIFTJIS_CHARSET
                             : family.letters ? ANSI_CHARSET
                                              : SYMBOL_CHARSET;
        listed.push_back(entry);
    }
    std::sort(listed.begin(), listed.end(), [](const ListedFamily& a, const ListedFamily& b) {
        const int order = std::strcmp(a.face.faceName, b.face.faceName);
        return order != 0 ? order < 0 : a.family < b.family;
    });
    // Two families cut to the same name are shown once, for the first in byte order.
    listed.erase(std::unique(listed.begin(), listed.end(),
                             [](const ListedFamily& a, const ListedFamily& b) {
                                 return std::strcmp(a.face.faceName, b.face.faceName) == 0;
                             }),
                 listed.end());
    return listed;
}

// The full family behind a listed (possibly cut) name, or null.
const std::string* ListedFamilyOf(const char* faceName) {
    for (const ListedFamily& family : ListFamilies()) {
        if (strncmp(family.face.faceName, faceName, LF_FACESIZE) == 0) return &family.family;
    }
    return nullptr;
}

}  // namespace

const std::vector<ListedFamily>& ListFamilies() {
    if (!g_cache.familiesListed) {
        g_cache.families = AskFamilies();
        g_cache.familiesListed = true;
    }
    return g_cache.families;
}

FT_Library Library() {
    if (g_cache.library == nullptr && !g_cache.libraryFailed) {
        if (FT_Init_FreeType(&g_cache.library) != 0) {
            g_cache.library = nullptr;
            g_cache.libraryFailed = true;
        }
    }
    return g_cache.library;
}

ResolvedFace ResolveFace(const char* faceName, bool bold, bool italic) {
    for (const Resolution& entry : g_cache.resolutions) {
        if (entry.bold == bold && entry.italic == italic && strncmp(entry.name, faceName, LF_FACESIZE) == 0)
            return entry.face;
    }
    if (g_cache.resolutions.size() >= kMaxResolutions) g_cache.resolutions.clear();
    Resolution entry;
    memcpy(entry.name, faceName, strnlen(faceName, LF_FACESIZE - 1));
    entry.bold = bold;
    entry.italic = italic;
    entry.face = ResolveUncached(entry.name, bold, italic);
    g_cache.resolutions.push_back(entry);
    return entry.face;
}

SizeEntry* GetSize(FaceEntry* face, int requestedHeight) {
    if (face == nullptr) return nullptr;
    if (requestedHeight == 0) requestedHeight = kDefaultHeight;
    requestedHeight = std::clamp(requestedHeight, -kMaxHeight, kMaxHeight);
    for (auto& size : face->sizes) {
        if (size->requestedHeight == requestedHeight) return size.get();
    }
    if (g_cache.nextSizeId == 0) return nullptr;  // every size id is taken
    auto entry = std::make_unique<SizeEntry>();
    entry->face = face;
    entry->requestedHeight = requestedHeight;
    if (FT_New_Size(face->face, &entry->size) != 0) return nullptr;
    FT_Activate_Size(entry->size);
    if (FT_IS_SCALABLE(face->face)) {
        ComputeMetrics(*entry);
        if (FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(entry->ppem)) != 0) {
            FT_Done_Size(entry->size);
            return nullptr;
        }
    } else {
        // A face of fixed bitmap sizes: the strike closest to the requested height.
        if (face->face->num_fixed_sizes <= 0) {
            FT_Done_Size(entry->size);
            return nullptr;
        }
        int want = std::abs(requestedHeight), best = 0;
        for (int i = 1; i < face->face->num_fixed_sizes; ++i) {
            if (std::abs(face->face->available_sizes[i].height - want) <
                std::abs(face->face->available_sizes[best].height - want))
                best = i;
        }
        FT_Select_Size(face->face, best);
        const FT_Size_Metrics& m = face->face->size->metrics;
        entry->ppem = m.y_ppem;
        entry->ascent = static_cast<int>((m.ascender + 63) >> 6);
        entry->descent = static_cast<int>((-m.descender + 63) >> 6);
        entry->height = std::max(1, entry->ascent + entry->descent);
        entry->maxCharWidth = static_cast<int>((m.max_advance + 63) >> 6);
        entry->averageCharWidth = std::max(1, entry->maxCharWidth / 2);
        entry->underlineThickness = 1;
        entry->underlineTop = std::min(entry->height - 1, entry->ascent + 1);
    }
    entry->id = g_cache.nextSizeId++;
    face->sizes.push_back(std::move(entry));
    return face->sizes.back().get();
}

void ActivateSize(SizeEntry* size) {
    if (size->face->face->size != size->size) FT_Activate_Size(size->size);
}

int NormaliseEscapement(int escapement) {
    int angle = escapement % 3600;
    return angle < 0 ? angle + 3600 : angle;
}

}  // namespace platform::text

namespace platform {
namespace {

constexpr int kFontChunk = 64;

struct FontPool {
    std::vector<std::unique_ptr<Font[]>> chunks;
    Font* freeList = nullptr;
};
FontPool g_fonts;

Font* TakeFont() {
    if (g_fonts.freeList == nullptr) {
        g_fonts.chunks.push_back(std::make_unique<Font[]>(kFontChunk));
        Font* chunk = g_fonts.chunks.back().get();
        for (int i = kFontChunk - 1; i >= 0; --i) {
            chunk[i].nextFree = g_fonts.freeList;
            g_fonts.freeList = &chunk[i];
        }
    }
    Font* font = g_fonts.freeList;
    g_fonts.freeList = font->nextFree;
    *font = Font{};
    return font;
}

}  // namespace

Font* CreateFont(const FontDescription& description) {
    bool bold = description.weight >= 600;
    bool italic = description.italic != 0;
    char name[LF_FACESIZE];
    memcpy(name, description.faceName, LF_FACESIZE);
    name[LF_FACESIZE - 1] = '\0';

    Font* font = TakeFont();
    font->alive = true;
    font->underline = description.underline != 0;
    font->escapement = text::NormaliseEscapement(description.escapement);

    text::ResolvedFace face = text::ResolveFace(name, bold, italic);
    font->size = text::GetSize(face.face, description.height);
    font->syntheticBold = face.syntheticBold;
    font->syntheticItalic = face.syntheticItalic;
    if (!face.isStandardGothic || font->size == nullptr) {
        text::ResolvedFace gothic = text::ResolveFace("", bold, italic);
        if (gothic.face != face.face) {
            text::SizeEntry* fallback = text::GetSize(gothic.face, description.height);
            if (font->size == nullptr) {
                font->size = fallback;
                font->syntheticBold = gothic.syntheticBold;
                font->syntheticItalic = gothic.syntheticItalic;
            } else {
                font->fallbackSize = fallback;
                font->fallbackBold = gothic.syntheticBold;
                font->fallbackItalic = gothic.syntheticItalic;
            }
        }
    }
    if (font->size != nullptr) {
        font->height = font->size->height;
        font->ascent = font->size->ascent;
        font->descent = font->size->descent;
    } else {
        int height = description.height == 0 ? 16 : std::clamp(std::abs(description.height), 1, 1024);
        font->height = height;
        font->ascent = height * 7 / 8;
        font->descent = height - font->ascent;
    }
    return font;
}

bool DeleteFont(Font* font) {
    if (font == nullptr || !font->alive) return false;
    if (font->selectedCount > 0) return false;
    font->alive = false;
    font->nextFree = g_fonts.freeList;
    g_fonts.freeList = font;
    return true;
}

std::vector<FontFace> EnumerateFontFaces() {
    std::vector<FontFace> faces;
    for (const char* standard : {text::kGothicName, text::kMinchoName}) {
        FontFace face;
        face.charset = SHIFTJIS_CHARSET;
        if (text::Utf8ToFaceName(standard, face.faceName, sizeof face.faceName)) faces.push_back(face);
    }
    for (const text::ListedFamily& family : text::ListFamilies()) faces.push_back(family.face);
    return faces;
}

}  // namespace platform
