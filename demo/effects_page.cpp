// Page 2, effect blits: each member of the effect blits drawn over a room of map chips, one at a
// time, with its levels sweeping and its rotation and zoom turning as the frames go by; the
// member's name and the values it is drawn with on screen.
#include <el/el.h>

#include <cmath>
#include <cstdio>

#include "demo/demo.h"

namespace {

// The picture the members draw: the enemy sheet copied with its key onto black, which is what the
// effect blits leave out.
constexpr int kSpriteWidth = 384, kSpriteHeight = 240;
constexpr int kSpriteTop = kBodyTop + 150;
constexpr int kSpriteMemoryMode = 2;
// The room is laid from 8 x 8 map chips: grass floor, a sand path across it, brick walls round it.
constexpr int kChip = 8;
constexpr int kGrassX = 0, kGrassY = 0, kSandX = 40, kSandY = 32, kBrickX = 24, kBrickY = 24;
constexpr int kWallRows = 4, kPathTop = kBodyTop + 232, kPathRows = 4;
// The rotations fill this rectangle in the middle of the body.
constexpr int kTurnLeft = 160, kTurnTop = kBodyTop + 60, kTurnRight = 640, kTurnBottom = kBodyBottom - 20;

struct EffectsPageState {
    ObjectNo sprite = 0;
    int member = 0;
    int tick = 0;  // frames on this page since it was entered
};

EffectsPageState State;

// The values one frame draws with, all from the page's tick.
struct Sweep {
    int x = 0;         // the sprite's left edge, drifting from side to side
    float unit = 0;    // 0 to 1 and back
    float unit2 = 0;   // the same, a third of a turn behind
    float unit3 = 0;   // and two thirds
    int level = 0;     // 0 to 31 and back
    int level2 = 0;    // the same, a third of a turn behind
    int level3 = 0;    // and two thirds
    float bright = 0;  // 0.25 to 2
    int step = 0;      // counts up once a second
    int angle = 0;     // whole degrees, turning
    float zoom = 1;    // 0.5 to 2
};

Sweep SweepAt(int tick) {
    constexpr float kTurn = 6.2831853f / 150.0f;  // one sweep in 150 frames
    auto unitAt = [&](float phase) { return 0.5f - 0.5f * std::cos(tick * kTurn + phase); };
    Sweep s;
    s.x = 208 + static_cast<int>(std::lround(120.0 * std::sin(tick * 0.04)));
    s.unit = unitAt(0.0f);
    s.unit2 = unitAt(2.0944f);
    s.unit3 = unitAt(4.1888f);
    s.level = static_cast<int>(std::lround(31.0f * s.unit));
    s.level2 = static_cast<int>(std::lround(31.0f * s.unit2));
    s.level3 = static_cast<int>(std::lround(31.0f * s.unit3));
    s.bright = 0.25f + 1.75f * s.unit;
    s.step = tick / 60;
    s.angle = (tick * 3) % 360;
    s.zoom = 0.5f + 1.5f * s.unit;
    return s;
}

struct Member {
    const char* name;
    // Draws the member and writes the values it used into text.
    void (*draw)(const Sweep& s, char* text, int size);
};

ObjectNo Sprite() {
    return State.sprite;
}

int Blit(int (*blit)(int, int, ObjectNo, int, int, int, int), const Sweep& s) {
    return blit(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight);
}

void DrawHalf(const Sweep& s, char* text, int size) {
    Blit(HalfBlt, s);
    std::snprintf(text, size, "x %d", s.x);
}

void DrawMirror(const Sweep& s, char* text, int size) {
    const int type = s.step % 4;
    MirrorBlt(s.x, kSpriteTop, type, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight);
    std::snprintf(text, size, "x %d, type %d", s.x, type);
}

void DrawAlpha(const Sweep& s, char* text, int size) {
    AlphaBlt(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.unit);
    std::snprintf(text, size, "x %d, alpha %.2f", s.x, s.unit);
}

void DrawAlphaRGB(const Sweep& s, char* text, int size) {
    AlphaBltRGB(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.unit, s.unit2, s.unit3);
    std::snprintf(text, size, "x %d, alpha rgb %.2f %.2f %.2f", s.x, s.unit, s.unit2, s.unit3);
}

void DrawFade(const Sweep& s, char* text, int size) {
    FadeBlt(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.level);
    std::snprintf(text, size, "x %d, level %d", s.x, s.level);
}

void DrawFadeRGB(const Sweep& s, char* text, int size) {
    FadeBltRGB(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.level, s.level2, s.level3);
    std::snprintf(text, size, "x %d, levels rgb %d %d %d", s.x, s.level, s.level2, s.level3);
}

void DrawAdd(const Sweep& s, char* text, int size) {
    Blit(AddBlt, s);
    std::snprintf(text, size, "x %d", s.x);
}

void DrawAddFade(const Sweep& s, char* text, int size) {
    AddFadeBlt(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.unit);
    std::snprintf(text, size, "x %d, intensity %.2f", s.x, s.unit);
}

void DrawShadow(const Sweep& s, char* text, int size) {
    Blit(ShadowBlt, s);
    std::snprintf(text, size, "x %d", s.x);
}

void DrawEdge(const Sweep& s, char* text, int size) {
    Blit(EdgeBlt, s);
    std::snprintf(text, size, "x %d", s.x);
}

// The seven non-empty choices of channels, one a second.
void DrawChannel(const Sweep& s, char* text, int size) {
    const int keep = s.step % 7 + 1;
    const int red = keep & 4 ? 1 : 0, green = keep & 2 ? 1 : 0, blue = keep & 1 ? 1 : 0;
    ChannelBlt(s.x, kSpriteTop, red, green, blue, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight);
    std::snprintf(text, size, "x %d, keep rgb %d %d %d", s.x, red, green, blue);
}

void DrawBright(const Sweep& s, char* text, int size) {
    BrightBlt(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.bright);
    std::snprintf(text, size, "x %d, factor %.2f", s.x, s.bright);
}

void DrawBrightRGB(const Sweep& s, char* text, int size) {
    const float red = s.bright, green = 0.25f + 1.75f * s.unit2, blue = 0.25f + 1.75f * s.unit3;
    BrightBltRGB(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, red, green, blue);
    std::snprintf(text, size, "x %d, factors rgb %.2f %.2f %.2f", s.x, red, green, blue);
}

void DrawDark(const Sweep& s, char* text, int size) {
    DarkBlt(s.x, kSpriteTop, s.level, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight);
    std::snprintf(text, size, "x %d, level %d", s.x, s.level);
}

void DrawDarkRGB(const Sweep& s, char* text, int size) {
    DarkBltRGB(s.x, kSpriteTop, s.level, s.level2, s.level3, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight);
    std::snprintf(text, size, "x %d, levels rgb %d %d %d", s.x, s.level, s.level2, s.level3);
}

void DrawBlur(const Sweep& s, char* text, int size) {
    const int block = 1 + static_cast<int>(15.0f * s.unit);
    BlurBlt(s.x, kSpriteTop, block, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight);
    std::snprintf(text, size, "x %d, block %d", s.x, block);
}

void DrawGrey(const Sweep& s, char* text, int size) {
    Blit(GreyBlt, s);
    std::snprintf(text, size, "x %d", s.x);
}

void DrawDisplace(const Sweep& s, char* text, int size) {
    DisplaceBlt(s.x, kSpriteTop, Sprite(), 0, 0, kSpriteWidth, kSpriteHeight, s.unit);
    std::snprintf(text, size, "x %d, strength %.2f", s.x, s.unit);
}

void DrawRotate(const Sweep& s, char* text, int size) {
    RotateBlt(kTurnLeft, kTurnTop, kTurnRight, kTurnBottom, s.angle, Sprite(), 0, 0, kSpriteWidth,
              kSpriteHeight);
    std::snprintf(text, size, "angle %d", s.angle);
}

void DrawRotateZoom(const Sweep& s, char* text, int size) {
    RotateZoomBlt(kTurnLeft, kTurnTop, kTurnRight, kTurnBottom, s.angle, s.zoom, Sprite(), 0, 0, kSpriteWidth,
                  kSpriteHeight);
    std::snprintf(text, size, "angle %d, zoom %.2f", s.angle, s.zoom);
}

void DrawRotateTile(const Sweep& s, char* text, int size) {
    RotateTileBlt(kTurnLeft, kTurnTop, kTurnRight, kTurnBottom, s.angle, Sprite(), 0, 0, kSpriteWidth,
                  kSpriteHeight);
    std::snprintf(text, size, "angle %d", s.angle);
}

void DrawRotateZoomTile(const Sweep& s, char* text, int size) {
    RotateZoomTileBlt(kTurnLeft, kTurnTop, kTurnRight, kTurnBottom, s.angle, s.zoom, Sprite(), 0, 0,
                      kSpriteWidth, kSpriteHeight);
    std::snprintf(text, size, "angle %d, zoom %.2f", s.angle, s.zoom);
}

// In the order of their keys, A onwards.
const Member kMembers[] = {
    {"HalfBlt", DrawHalf},
    {"MirrorBlt", DrawMirror},
    {"AlphaBlt", DrawAlpha},
    {"AlphaBltRGB", DrawAlphaRGB},
    {"FadeBlt", DrawFade},
    {"FadeBltRGB", DrawFadeRGB},
    {"AddBlt", DrawAdd},
    {"AddFadeBlt", DrawAddFade},
    {"ShadowBlt", DrawShadow},
    {"EdgeBlt", DrawEdge},
    {"ChannelBlt", DrawChannel},
    {"BrightBlt", DrawBright},
    {"BrightBltRGB", DrawBrightRGB},
    {"DarkBlt", DrawDark},
    {"DarkBltRGB", DrawDarkRGB},
    {"BlurBlt", DrawBlur},
    {"GreyBlt", DrawGrey},
    {"DisplaceBlt", DrawDisplace},
    {"RotateBlt", DrawRotate},
    {"RotateZoomBlt", DrawRotateZoom},
    {"RotateTileBlt", DrawRotateTile},
    {"RotateZoomTileBlt", DrawRotateZoomTile},
};
constexpr int kMemberCount = sizeof kMembers / sizeof kMembers[0];

// The room: brick wall along the top and down the sides, grass floor, a sand path across the middle.
void DrawRoom() {
    for (int y = kBodyTop; y < kBodyBottom; y += kChip)
        for (int x = kBodyLeft; x < kBodyRight; x += kChip) {
            const bool wall =
                y < kBodyTop + kWallRows * kChip || x < kBodyLeft + 2 * kChip || x >= kBodyRight - 2 * kChip;
            const bool path = y >= kPathTop && y < kPathTop + kPathRows * kChip;
            const int chipX = wall ? kBrickX : path ? kSandX : kGrassX;
            const int chipY = wall ? kBrickY : path ? kSandY : kGrassY;
            BltObjectOpaque(x, y, DemoPictures.chips, chipX, chipY, chipX + kChip, chipY + kChip);
        }
}

void HandleKeys() {
    for (int member = 0; member < kMemberCount; ++member)
        if (KeyPressed(elKey::A + member)) State.member = member;
    if (KeyPressed(elKey::Right)) State.member = (State.member + 1) % kMemberCount;
    if (KeyPressed(elKey::Left)) State.member = (State.member + kMemberCount - 1) % kMemberCount;
}

void Enter() {
    if (State.sprite == 0) {
        // Drawn with its key on the cleared back buffer and taken from there; the frame clears the
        // back buffer again before it draws.
        State.sprite = elDraw::CreateObject(kSpriteWidth, kSpriteHeight, kSpriteMemoryMode);
        SetClipRect(0, 0, 800, 600);
        ClearScreen();
        BltObject(0, 0, DemoPictures.enemies, 0, 0, kSpriteWidth, kSpriteHeight);
        CaptureToObject(State.sprite, 0, 0, kSpriteWidth, kSpriteHeight);
        SetObjectKeyColor(State.sprite, 0);
    }
    SetClipRect(kBodyLeft, kBodyTop, kBodyRight, kBodyBottom);
    State.tick = 0;
}

void Frame() {
    HandleKeys();
    DrawRoom();
    const Member& member = kMembers[State.member];
    char values[96];
    member.draw(SweepAt(State.tick), values, sizeof values);
    ++State.tick;
    SetStatus("%c %s: %s", 'A' + State.member, member.name, values);
    char line[128];
    std::snprintf(line, sizeof line, "%d of %d  %s  %s", State.member + 1, kMemberCount, member.name, values);
    DebugText(16, kBodyTop + 8, line);
}

void Leave() {
    SetClipRect(0, 0, 800, 600);
}

const char* const kKeys[] = {
    "A-V  HalfBlt, MirrorBlt, AlphaBlt, AlphaBltRGB, FadeBlt, FadeBltRGB, AddBlt, AddFadeBlt, ShadowBlt,",
    "     EdgeBlt, ChannelBlt, BrightBlt, BrightBltRGB, DarkBlt, DarkBltRGB, BlurBlt, GreyBlt,",
    "     DisplaceBlt, RotateBlt, RotateZoomBlt, RotateTileBlt, RotateZoomTileBlt",
    "Left / Right  the member before / after",
    nullptr,
};

}  // namespace

extern const DemoPage EffectsPage{"Effect blits", kKeys, Enter, Frame, nullptr, Leave};
