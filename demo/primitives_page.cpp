// Page 3, primitives: lines, rectangles, hatched polygons and Bézier curves drawn from the mouse
// position on the left part of the body, each kind switched by a key, the pen width and the
// polygon's fill mode changed live; on the right part every screen filter on a block of its own.
#include <el/el.h>

#include <cmath>
#include <cstdio>

#include "demo/demo.h"

namespace {

// The shapes keep to the left of the body; the right part stays free for the screen filters.
constexpr int kAreaLeft = 8, kAreaTop = kBodyTop + 8, kAreaRight = 536, kAreaBottom = kBodyBottom - 8;
constexpr int kMaxPen = 8;
const char* const kFillNames[3] = {"outline", "hatched on white", "hatched, clear"};

struct PrimitivesPageState {
    bool lines = true, rectangles = true, polygons = true, curves = true;
    int pen = 1;
    int fillMode = 1;
};

PrimitivesPageState State;

// The screen filters, each on a block of the right part with its name and values on a line above.
// The first four build on what they did the frame before; the others start from the picture each
// frame.
enum Filter { kSmear, kSmearFade, kBlur, kBlurFade, kZoom2, kNoise, kNoiseRGB, kCircleMosaic, kFilterCount };
constexpr int kAccumulating = 4;
const char* const kFilterNames[kFilterCount] = {"Smear", "SmearFade", "Blur",     "BlurFade",
                                                "Zoom2", "Noise",     "NoiseRGB", "CircleMosaic"};
constexpr int kBlockWidth = 120, kBlockHeight = 96, kLabelHeight = 13;
constexpr int kBlockLefts[2] = {544, 672};
constexpr int kBlockTops[4] = {kBodyTop + 21, kBodyTop + 136, kBodyTop + 251, kBodyTop + 366};
// The smears and blurs start again from their pictures after this many frames.
constexpr int kRestartFrames = 120;
// The fading filters darken these channels and leave the third, so the picture turns its colour.
constexpr int kSmearFadeRGB[3] = {1, 1, 0}, kBlurFadeRGB[3] = {0, 0, 1};
constexpr int kNoiseRGBShift = 2;
constexpr int kMosaicRadius = 44;

struct FilterBlocksState {
    ObjectNo pictures = 0;              // the eight fresh pictures, four to a row
    ObjectNo kept[kAccumulating] = {};  // what each accumulating block showed at the end of the last frame
    ObjectNo black = 0;                 // a black block, laid in the Buffer sprite before each enlargement
    bool on = true;
    bool zoomLines = false;
    int tick = 0;  // frames on this page since it was entered
    int age = 0;   // frames since the accumulating blocks last started from their pictures
};

FilterBlocksState Filters;

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

void ShowStatus() {
    SetStatus("pen %d, polygon %s, %s%s%s%s%s%s", State.pen, kFillNames[State.fillMode],
              State.lines ? "L" : "-", State.rectangles ? "R" : "-", State.polygons ? "P" : "-",
              State.curves ? "B" : "-", Filters.on ? "" : ", filters off",
              Filters.zoomLines ? ", zoom lines" : "");
}

void HandleKeys() {
    bool changed = false;
    auto toggle = [&](int key, bool& flag) {
        if (KeyPressed(key)) flag = !flag, changed = true;
    };
    toggle(elKey::L, State.lines);
    toggle(elKey::R, State.rectangles);
    toggle(elKey::P, State.polygons);
    toggle(elKey::B, State.curves);
    if (KeyPressed(elKey::H)) State.fillMode = (State.fillMode + 1) % 3, changed = true;
    if (KeyPressed(elKey::Up) && State.pen < kMaxPen) ++State.pen, changed = true;
    if (KeyPressed(elKey::Down) && State.pen > 1) --State.pen, changed = true;
    if (KeyPressed(elKey::F)) {
        Filters.on = !Filters.on, changed = true;
        Filters.age = 0;  // back on, the smears and blurs start from their pictures
    }
    if (KeyPressed(elKey::S)) Filters.age = 0;
    if (KeyPressed(elKey::Z)) Filters.zoomLines = !Filters.zoomLines, changed = true;
    if (changed) ShowStatus();
}

int BlockLeft(int filter) {
    return kBlockLefts[filter % 2];
}

int BlockTop(int filter) {
    return kBlockTops[filter / 2];
}

// Picture k of the sheet: ground from two strips of map chips (their top six rows, which have no
// gaps), a pose of the princess on it. Drawn on the cleared back buffer and taken from there; the
// frame clears the back buffer again.
void MakePictures() {
    Filters.pictures = elDraw::CreateObject(4 * kBlockWidth, 2 * kBlockHeight, kMemoryMode);
    Filters.black = elDraw::CreateObject(kBlockWidth, kBlockHeight, kMemoryMode);
    for (ObjectNo& kept : Filters.kept) kept = elDraw::CreateObject(kBlockWidth, kBlockHeight, kMemoryMode);
    SetClipRect(0, 0, 800, 600);
    ClearScreen();
    CaptureToObject(Filters.black, 0, 0, kBlockWidth, kBlockHeight);
    constexpr int kChipsWidth = 640, kStrip = kBlockHeight / 2, kCell = 96;
    for (int k = 0; k < kFilterCount; ++k) {
        const int x = k % 4 * kBlockWidth, y = k / 4 * kBlockHeight;
        const int upper = k * 64 % (kChipsWidth - kBlockWidth),
                  lower = (upper + 256) % (kChipsWidth - kBlockWidth);
        BltObjectOpaque(x, y, DemoPictures.chips, upper, 0, upper + kBlockWidth, kStrip);
        BltObjectOpaque(x, y + kStrip, DemoPictures.chips, lower, 0, lower + kBlockWidth, kStrip);
        BltObject(x + (kBlockWidth - kCell) / 2, y, DemoPictures.princess, k * kCell, k * kCell,
                  (k + 1) * kCell, (k + 1) * kCell);
    }
    CaptureToObject(Filters.pictures, 0, 0, 4 * kBlockWidth, 2 * kBlockHeight);
}

// The filter's fresh picture, all of it or the part from (left, top) of the size given.
void DrawPicture(int filter, int left = 0, int top = 0, int width = kBlockWidth, int height = kBlockHeight) {
    const int x = filter % 4 * kBlockWidth + left, y = filter / 4 * kBlockHeight + top;
    BltObjectOpaque(BlockLeft(filter), BlockTop(filter), Filters.pictures, x, y, x + width, y + height);
}

// A smear or blur: the block as it was left last frame (or its fresh picture on a restart), filtered
// once more on the screen and kept for the next frame.
void Accumulate(int filter, bool restart, char* label, int size) {
    const int x = BlockLeft(filter), y = BlockTop(filter);
    if (restart)
        DrawPicture(filter);
    else
        BltObjectOpaque(x, y, Filters.kept[filter], 0, 0, kBlockWidth, kBlockHeight);
    const int* fade = filter == kSmearFade ? kSmearFadeRGB : kBlurFadeRGB;
    switch (filter) {
        case kSmear:
            SmearFilter(x, y, kBlockWidth, kBlockHeight);
            break;
        case kSmearFade:
            SmearFadeFilter(fade[0], fade[1], fade[2], x, y, kBlockWidth, kBlockHeight);
            break;
        case kBlur:
            BlurFilter(x, y, kBlockWidth, kBlockHeight);
            break;
        case kBlurFade:
            BlurFadeFilter(fade[0], fade[1], fade[2], x, y, kBlockWidth, kBlockHeight);
            break;
    }
    CaptureToObject(Filters.kept[filter], x, y, x + kBlockWidth, y + kBlockHeight);
    if (filter == kSmearFade || filter == kBlurFade)
        std::snprintf(label, size, "%s %c%c%c %d", kFilterNames[filter], fade[0] ? 'R' : '-',
                      fade[1] ? 'G' : '-', fade[2] ? 'B' : '-', Filters.age);
    else
        std::snprintf(label, size, "%s  frame %d", kFilterNames[filter], Filters.age);
}

// The filters that work on the fresh picture, with their values from the page's frame count.
void FilterPicture(int filter, char* label, int size) {
    const int x = BlockLeft(filter), y = BlockTop(filter), second = Filters.tick / 60;
    switch (filter) {
        case kZoom2: {
            // The middle quarter of the picture, enlarged to fill the block. With lines only every
            // other pixel of every other row is written to the Buffer sprite; black laid there first
            // makes that pattern show.
            DrawPicture(filter, kBlockWidth / 4, kBlockHeight / 4, kBlockWidth / 2, kBlockHeight / 2);
            BltObjectToOpaque(kBufferSprite, 0, 0, Filters.black, 0, 0, kBlockWidth, kBlockHeight);
            Zoom2Filter(x, y, kBlockWidth / 2, kBlockHeight / 2, Filters.zoomLines ? 1 : 0);
            std::snprintf(label, size, "Zoom2  lines %d", Filters.zoomLines ? 1 : 0);
            break;
        }
        case kNoise: {
            const int shift = second % 4;
            DrawPicture(filter);
            NoiseFilter(shift, x, y, kBlockWidth, kBlockHeight);
            std::snprintf(label, size, "Noise  shift %d", shift);
            break;
        }
        case kNoiseRGB: {
            // The seven non-empty choices of channels, one a second.
            const int flags = second % 7 + 1;
            const int red = flags >> 2 & 1, green = flags >> 1 & 1, blue = flags & 1;
            DrawPicture(filter);
            NoiseFilterRGB(red, green, blue, kNoiseRGBShift, x, y, kBlockWidth, kBlockHeight);
            std::snprintf(label, size, "NoiseRGB %c%c%c s%d", red ? 'R' : '-', green ? 'G' : '-',
                          blue ? 'B' : '-', kNoiseRGBShift);
            break;
        }
        case kCircleMosaic: {
            const int block = 2 + Filters.tick / 30 % 7;
            DrawPicture(filter);
            CircleMosaicFilter(x + kBlockWidth / 2, y + kBlockHeight / 2, kMosaicRadius, block);
            std::snprintf(label, size, "CircleMosaic r%d c%d", kMosaicRadius, block);
            break;
        }
    }
}

void DrawFilterBlocks() {
    if (Filters.age >= kRestartFrames) Filters.age = 0;
    const bool restart = Filters.age == 0;
    for (int filter = 0; filter < kFilterCount; ++filter) {
        char label[48];
        if (!Filters.on) {
            DrawPicture(filter);
            std::snprintf(label, sizeof label, "%s  off", kFilterNames[filter]);
        } else if (filter < kAccumulating) {
            Accumulate(filter, restart, label, sizeof label);
        } else {
            FilterPicture(filter, label, sizeof label);
        }
        DebugText(BlockLeft(filter), BlockTop(filter) - kLabelHeight, label);
    }
    ++Filters.age;
    ++Filters.tick;
}

void Enter() {
    if (Filters.pictures == 0) MakePictures();
    Filters.tick = Filters.age = 0;
    ShowStatus();
}

void Frame() {
    HandleKeys();
    int mouseX = 0, mouseY = 0;
    GetMousePosition(&mouseX, &mouseY);
    const int x = Clamp(mouseX, kAreaLeft + 40, kAreaRight - 40);
    const int y = Clamp(mouseY, kAreaTop + 40, kAreaBottom - 40);
    DrawRectangle(kAreaLeft, kAreaTop, kAreaRight, kAreaBottom, 0x201810, 0x806040, 1);

    if (State.lines) {
        // A fan from the corners and edge middles of the area to the mouse.
        const int xs[] = {kAreaLeft, (kAreaLeft + kAreaRight) / 2, kAreaRight - 1};
        const int ys[] = {kAreaTop, (kAreaTop + kAreaBottom) / 2, kAreaBottom - 1};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (i != 1 || j != 1) DrawLine(xs[i], ys[j], x, y, 0x40C0FF - 0x101000 * (i + j), State.pen);
    }
    if (State.rectangles) {
        DrawRectangle(x - 60, y - 40, x + 60, y + 40, 0x305020, 0x60FF60, State.pen);
        DrawRectangle(x - 20, y - 14, x + 20, y + 14, 0xFFFFFF, 0x000000, 1);
    }
    if (State.polygons) {
        // A five-pointed star around the mouse, drawn by the alternate rule: its middle stays open.
        elDraw::Point star[5];
        for (int k = 0; k < 5; ++k) {
            const double angle = -M_PI / 2 + k * 4 * M_PI / 5;
            star[k] = {x + static_cast<int>(std::lround(90 * std::cos(angle))),
                       y + static_cast<int>(std::lround(90 * std::sin(angle)))};
        }
        DrawPolygon(star, 5, 0x4060FF, 0xFFFFFF, State.pen, State.fillMode);
    }
    if (State.curves) {
        // Two cubic segments from the left edge through the mouse to the right edge.
        const elDraw::Point curve[7] = {{kAreaLeft + 4, kAreaBottom - 20},
                                        {x - 160, y - 200},
                                        {x - 60, y + 120},
                                        {x, y},
                                        {x + 60, y - 120},
                                        {x + 160, y + 200},
                                        {kAreaRight - 4, kAreaTop + 20}};
        DrawBezier(curve, 7, 0xFF60FF, State.pen);
    }
    PutPixel(x, y, 0xFFFFFF);
    DrawFilterBlocks();
}

const char* const kKeys[] = {
    "Mouse  moves the shapes    Up/Down  pen width 1-8",
    "L  lines    R  rectangles    P  hatched polygon    B  Bezier curves    H  polygon fill mode",
    "S  smears and blurs start again    F  filters off / on    Z  Zoom2 line pattern",
    nullptr,
};

}  // namespace

extern const DemoPage PrimitivesPage{"Primitives", kKeys, Enter, Frame, nullptr, nullptr};
