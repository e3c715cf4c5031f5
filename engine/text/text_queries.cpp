// What a scene reads of the text module's state through the public interface: the installed-font
// list and the progress of revealed text.
#include "engine/text/fonts.h"
#include "engine/text/text_block.h"

namespace {

const FontListEntry* Entry(int index) {
    if (index < 0 || index >= FontList.count || index >= kFontListSize) return nullptr;
    return &FontList.entries[index];
}

}  // namespace

int GetFontCount() {
    return FontList.count;
}

const char* GetFontName(int index) {
    const FontListEntry* entry = Entry(index);
    return entry != nullptr ? entry->faceName : "";
}

int GetFontKind(int index) {
    const FontListEntry* entry = Entry(index);
    return entry != nullptr ? entry->kind : -1;
}

int GetTextCharCount() {
    return TextBlock.charCount > 0 ? TextBlock.charCount - 1 : 0;
}

void GetRevealProgress(int* shown, float* timer) {
    if (shown != nullptr) *shown = TextBlock.shown;
    if (timer != nullptr) *timer = TextBlock.revealTimer;
}

void SetRevealProgress(int shown, float timer) {
    TextBlock.shown = shown;
    TextBlock.revealTimer = timer;
}
