// The installed-font list, filled once at display set-up, and the look-up by face name.
#include "engine/text/fonts.h"

#include <cstring>
#include <vector>

#include "engine/text/font_record.h"
#include "engine/text/text_block.h"
#include "platform/text.h"

FontListState FontList;

namespace {

int32_t KindOf(uint8_t charset) {
    if (charset == platform::SHIFTJIS_CHARSET) return 1;
    if (charset == platform::SYMBOL_CHARSET) return 3;
    return 2;
}

}  // namespace

void EnumerateFonts() {
    AllocateFontRecord();
    for (FontListEntry& entry : FontList.entries) entry = FontListEntry{};
    FontList.count = 0;
    const std::vector<platform::FontFace> faces = platform::EnumerateFontFaces();
    for (const platform::FontFace& face : faces) {
        if (FontList.count == kFontListSize) break;
        FontListEntry& entry = FontList.entries[FontList.count++];
        std::memcpy(entry.faceName, face.faceName, kFontNameSize);
        entry.faceName[kFontNameSize - 1] = '\0';
        entry.kind = KindOf(face.charset);
        entry.charset = face.charset;
    }
    TextBlock.blitFlag = 1;
}

void ReleaseFonts() {
    FreeFontRecord();
}

uint8_t ListedCharset(const char* faceName) {
    if (faceName == nullptr) faceName = "";
    for (int i = 0; i < FontList.count; ++i) {
        if (std::strcmp(FontList.entries[i].faceName, faceName) == 0) return FontList.entries[i].charset;
    }
    return platform::SHIFTJIS_CHARSET;
}
