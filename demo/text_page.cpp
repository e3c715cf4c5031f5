// Page 4, text: the installed-font list with the chosen face shown in itself, a block of Japanese
// lines drawn plainly and smoothed with the effects switched by keys, and the same block revealed
// character by character.
#include <el/el.h>

#include <cstdint>
#include <cstdio>

#include "demo/demo.h"

namespace {

constexpr const char* kLines =
    "朝の港に白い船が入ってきた。\n"
    "姫は塔の窓から、それをじっと見ていた。\n"
    "「今日こそ、旅に出る日です！」\n"
    "風は南から、やさしく吹いていた。";
constexpr const char* kSample = "あいう アイウ 漢字 Abc";
constexpr const char* const kKindNames[] = {"empty", "?", "Japanese", "other", "symbol"};
constexpr const char* const kFaceNames[] = {"Mincho", "Gothic"};

// The font list on the left, the blocks on the right, the reveal across the bottom.
constexpr int kListLeft = 8, kListTop = kBodyTop + 8, kListRight = 300;
constexpr int kListRows = 14, kRowHeight = 20;
constexpr int kBlockLeft = 316, kBlockRight = 792;
constexpr int kPlainTop = kBodyTop + 8, kPlainBottom = 232;
constexpr int kSmoothTop = 240, kSmoothBottom = 372;
constexpr int kRevealLeft = 8, kRevealTop = 384, kRevealRight = 792, kRevealBottom = kBodyBottom - 4;
constexpr int kSpacings[] = {0, 2, 4, 8};
constexpr float kRevealInterval = 1.0f / 30.0f;  // seconds per character

struct TextPageState {
    int cursor = 0;  // the chosen entry of the font list
    int first = 0;   // the entry on the list's top row
    bool shadow = true, boldX = false, boldY = false;
    int spacing = 0;  // index into kSpacings
    int face = 1;
    // The reveal's progress, kept across the frame's other blocks, which start their own.
    int32_t shown = 0;
    float revealTimer = 0.0f;
};

TextPageState State;

uint16_t Effects() {
    return static_cast<uint16_t>((State.shadow ? TEXT_SHADOW : 0) | (State.boldX ? TEXT_BOLD_X : 0) |
                                 (State.boldY ? TEXT_BOLD_Y : 0) | kSpacings[State.spacing]);
}

const char* KindName(int32_t kind) {
    return kind >= -1 && kind <= 3 ? kKindNames[kind + 1] : "?";
}

void RestartReveal() {
    State.shown = 0;
    State.revealTimer = 0.0f;
}

void Enter() {
    RestartReveal();
}

void HandleKeys() {
    auto toggle = [](int key, bool& flag) {
        if (KeyPressed(key)) flag = !flag;
    };
    toggle(elKey::S, State.shadow);
    toggle(elKey::X, State.boldX);
    toggle(elKey::Y, State.boldY);
    if (KeyPressed(elKey::L)) State.spacing = (State.spacing + 1) % 4;
    if (KeyPressed(elKey::F)) State.face = 1 - State.face;
    if (KeyPressed(elKey::R)) RestartReveal();
    if (KeyPressed(elKey::Down) && State.cursor + 1 < GetFontCount()) ++State.cursor;
    if (KeyPressed(elKey::Up) && State.cursor > 0) --State.cursor;
    if (State.cursor < State.first) State.first = State.cursor;
    if (State.cursor >= State.first + kListRows) State.first = State.cursor - kListRows + 1;
}

void DrawFontList() {
    DrawRectangle(kListLeft, kListTop, kListRight, kSmoothBottom, 0x281810, 0x806040, 1);
    if (State.cursor >= State.first && State.cursor < State.first + kListRows) {
        const int y = kListTop + 24 + (State.cursor - State.first) * kRowHeight;
        DrawRectangle(kListLeft + 2, y - 1, kListRight - 2, y + kRowHeight - 3, 0x805020, 0x805020, 1);
    }
    char line[96];
    SetFont(1, 14, 0, 0, 0, 0);
    SetTextColors(0x80FFFF, 0, 1);
    std::snprintf(line, sizeof line, "%d installed fonts", GetFontCount());
    PutText(kListLeft + 6, kListTop + 4, line);
    for (int row = 0; row < kListRows && State.first + row < GetFontCount(); ++row) {
        const int index = State.first + row;
        const int y = kListTop + 24 + row * kRowHeight;
        SetTextColors(index == State.cursor ? 0xFFFFFF : 0xC0C0C0, 0, 1);
        std::snprintf(line, sizeof line, "%3d %-8s %s", index + 1, KindName(GetFontKind(index)),
                      GetFontName(index));
        PutText(kListLeft + 6, y, line);
    }
    ReleaseFont();
    if (State.cursor >= GetFontCount()) return;
    // The chosen face, in itself.
    SetFontName(GetFontName(State.cursor), 20, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(kListLeft + 6, kListTop + 28 + kListRows * kRowHeight, kSample);
    ReleaseFont();
}

void DrawBlocks() {
    const uint16_t effects = Effects();
    DrawRectangle(kBlockLeft, kPlainTop, kBlockRight, kPlainBottom, 0x704020, 0x806040, 1);
    SetFont(State.face, 20, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x000000, 1);
    DrawTextBlock(kBlockLeft + 8, kPlainTop + 8, kBlockRight - 8, kPlainBottom - 4, kLines, effects);
    ReleaseFont();

    DrawRectangle(kBlockLeft, kSmoothTop, kBlockRight, kSmoothBottom, 0x206040, 0x806040, 1);
    SetSmoothFont(State.face, 20);
    SetTextColors(0x40E0FF, 0x400000, 1);
    DrawSmoothText(kBlockLeft + 8, kSmoothTop + 8, kBlockRight - 8, kSmoothBottom - 4, kLines, effects);
    ReleaseSmoothFont();
}

// Laid out again every frame, as the blocks above take the Font sprite; the progress carries on.
void DrawReveal() {
    DrawRectangle(kRevealLeft, kRevealTop, kRevealRight, kRevealBottom, 0x402030, 0x806040, 1);
    SetFont(State.face, 18, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x202020, 1);
    LayoutTextBlock(kRevealLeft + 8, kRevealTop + 6, kRevealRight - 8, kRevealBottom - 4, kLines, Effects());
    ReleaseFont();
    SetRevealProgress(State.shown, State.revealTimer);
    RevealText(kRevealInterval);
    GetRevealProgress(&State.shown, &State.revealTimer);
}

void Frame() {
    HandleKeys();
    DrawFontList();
    DrawBlocks();
    DrawReveal();
    const int shown = State.shown > 0 ? State.shown - 1 : 0;
    const int all = GetTextCharCount();
    SetStatus("%s, effects %04X, revealed %d of %d", kFaceNames[State.face], Effects(),
              shown < all ? shown : all, all);
}

const char* const kKeys[] = {
    "Up / Down  font list    F  Mincho / Gothic    R  restart the reveal",
    "S  shadow    X  bold across    Y  bold down    L  line spacing 0, 2, 4, 8",
    nullptr,
};

}  // namespace

extern const DemoPage TextPage{"Text", kKeys, Enter, Frame, nullptr, nullptr};
