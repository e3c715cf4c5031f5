// effects_sheet: draws every effect blit and screen filter once, in a grid of cells over a room-like
// ground tiled from the map chips, at 16 and then 32 bits, and writes both grids into one 24-bit
// BMP picture. Usage: effects_sheet [program folder [output.bmp]]; the folder holds BMP/.
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/effects.h"
#include "engine/draw/objects.h"
#include "platform/blit.h"
#include "platform/bmp.h"

namespace {

using platform::PixelFormat;
using platform::Surface;

constexpr int kCell = 120, kColumns = 8, kRows = 4;
constexpr int kWidth = kCell * kColumns, kHeight = kCell * kRows;
constexpr ObjectNo kSprite = 4, kGround = 5;

struct Entry {
    const char* name;
    std::function<void(int x, int y, int w, int h)> draw;  // the sprite's place in the cell
};

bool SetUp(PixelFormat f, const platform::Picture& sprite, const platform::Picture& chips) {
    ReleaseAllObjects();
    Display = DisplayState{};
    Tables = DrawTables{};
    Display.present = true;
    Display.ScreenWidth = kWidth;
    Display.ScreenHeight = kHeight;
    Display.depth = f == PixelFormat::RGB565 ? 16 : 32;
    Display.backBuffer = std::make_unique<Surface>(platform::CreateSurface(kWidth, kHeight, f));
    Display.format = f == PixelFormat::RGB565 ? DerivePixelFormat(0xF800, 0x07E0, 0x001F)
                                              : DerivePixelFormat(0xFF0000, 0x00FF00, 0x0000FF);
    for (int i = 0; i < kSineTableSize; ++i)
        Tables.SineTable[i] = static_cast<int32_t>(std::trunc(std::sin(2.0 * M_PI * i / 360.0) * 360.0));
    if (f == PixelFormat::RGB565) BuildSixteenBitTables();
    ObjectTable.records[kBufferSprite].surface =
        std::make_unique<Surface>(platform::CreateSurface(kWidth, kHeight, f));
    ObjectTable.records[kSprite].surface = std::make_unique<Surface>(platform::SurfaceFromPicture(sprite, f));
    ObjectTable.records[kGround].surface = std::make_unique<Surface>(platform::SurfaceFromPicture(chips, f));
    return true;
}

// A room-like ground: the map chips of the sheet's first 15 columns (grass, trees, water, stone),
// laid 8 x 8 pixels each.
void PaintGround(int x0, int y0) {
    for (int y = 0; y < kCell; y += 8)
        for (int x = 0; x < kCell; x += 8) {
            const int u = (x / 8) % 15 * 8, v = (y / 8) % 7 * 8;
            BltObjectOpaque(x0 + x, y0 + y, kGround, u, v, u + 8, v + 8);
        }
}

std::vector<Entry> Entries(int sw, int sh) {
    const ObjectNo o = kSprite;
    auto keyed = [=](int x, int y, int, int) { BltObject(x, y, o, 0, 0, sw, sh); };
    return {
        {"BltObject (plain)", keyed},
        {"HalfBlt", [=](int x, int y, int, int) { HalfBlt(x, y, o, 0, 0, sw, sh); }},
        {"MirrorBlt 3", [=](int x, int y, int, int) { MirrorBlt(x, y, 3, o, 0, 0, sw, sh); }},
        {"AlphaBlt 0.3", [=](int x, int y, int, int) { AlphaBlt(x, y, o, 0, 0, sw, sh, 0.3f); }},
        {"AlphaBltRGB 0.9 0.5 0.1",
         [=](int x, int y, int, int) { AlphaBltRGB(x, y, o, 0, 0, sw, sh, 0.9f, 0.5f, 0.1f); }},
        {"FadeBlt 20", [=](int x, int y, int, int) { FadeBlt(x, y, o, 0, 0, sw, sh, 20); }},
        {"FadeBltRGB 31 16 4", [=](int x, int y, int, int) { FadeBltRGB(x, y, o, 0, 0, sw, sh, 31, 16, 4); }},
        {"AddBlt", [=](int x, int y, int, int) { AddBlt(x, y, o, 0, 0, sw, sh); }},
        {"AddFadeBlt 0.5", [=](int x, int y, int, int) { AddFadeBlt(x, y, o, 0, 0, sw, sh, 0.5f); }},
        {"ShadowBlt", [=](int x, int y, int, int) { ShadowBlt(x, y, o, 0, 0, sw, sh); }},
        {"EdgeBlt", [=](int x, int y, int, int) { EdgeBlt(x, y, o, 0, 0, sw, sh); }},
        {"ChannelBlt red", [=](int x, int y, int, int) { ChannelBlt(x, y, 1, 0, 0, o, 0, 0, sw, sh); }},
        {"BrightBlt 0.5", [=](int x, int y, int, int) { BrightBlt(x, y, o, 0, 0, sw, sh, 0.5f); }},
        {"BrightBltRGB 1 0.5 0.2",
         [=](int x, int y, int, int) { BrightBltRGB(x, y, o, 0, 0, sw, sh, 1.0f, 0.5f, 0.2f); }},
        {"DarkBlt 12", [=](int x, int y, int, int) { DarkBlt(x, y, 12, o, 0, 0, sw, sh); }},
        {"DarkBltRGB 0 12 24", [=](int x, int y, int, int) { DarkBltRGB(x, y, 0, 12, 24, o, 0, 0, sw, sh); }},
        {"BlurBlt 4", [=](int x, int y, int, int) { BlurBlt(x, y, 4, o, 0, 0, sw, sh); }},
        {"GreyBlt", [=](int x, int y, int, int) { GreyBlt(x, y, o, 0, 0, sw, sh); }},
        {"DisplaceBlt 0.6", [=](int x, int y, int, int) { DisplaceBlt(x, y, o, 0, 0, sw, sh, 0.6f); }},
        {"RotateBlt 30",
         [=](int x, int y, int w, int h) {
             RotateBlt(x - (kCell - w) / 2, y - (kCell - h) / 2, x - (kCell - w) / 2 + kCell,
                       y - (kCell - h) / 2 + kCell, 30, o, 0, 0, sw, sh);
         }},
        {"RotateZoomBlt 300 x1.3",
         [=](int x, int y, int w, int h) {
             RotateZoomBlt(x - (kCell - w) / 2, y - (kCell - h) / 2, x - (kCell - w) / 2 + kCell,
                           y - (kCell - h) / 2 + kCell, 300, 1.3f, o, 0, 0, sw, sh);
         }},
        {"RotateTileBlt 20",
         [=](int x, int y, int w, int h) {
             RotateTileBlt(x - (kCell - w) / 2, y - (kCell - h) / 2, x - (kCell - w) / 2 + kCell,
                           y - (kCell - h) / 2 + kCell, 20, o, 0, 0, sw, sh);
         }},
        {"RotateZoomTileBlt 60 x0.5",
         [=](int x, int y, int w, int h) {
             RotateZoomTileBlt(x - (kCell - w) / 2, y - (kCell - h) / 2, x - (kCell - w) / 2 + kCell,
                               y - (kCell - h) / 2 + kCell, 60, 0.5f, o, 0, 0, sw, sh);
         }},
        {"SmearFilter x8",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             for (int i = 0; i < 8; ++i) SmearFilter(x - 10, y - 10, w + 20, h + 20);
         }},
        {"SmearFadeFilter x8",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             for (int i = 0; i < 8; ++i) SmearFadeFilter(1, 1, 1, x - 10, y - 10, w + 20, h + 20);
         }},
        {"BlurFilter x4",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             for (int i = 0; i < 4; ++i) BlurFilter(x - 10, y - 10, w + 20, h + 20);
         }},
        {"BlurFadeFilter red x4",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             for (int i = 0; i < 4; ++i) BlurFadeFilter(1, 0, 0, x - 10, y - 10, w + 20, h + 20);
         }},
        {"Zoom2Filter",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             Zoom2Filter(x + w / 4, y + h / 4, w / 2, h / 2, 0);
         }},
        {"Zoom2Filter lines",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             ClearObject(kBufferSprite);  // the squares' other pixels show what the Buffer sprite held
             Zoom2Filter(x + w / 4, y + h / 4, w / 2, h / 2, 1);
         }},
        {"NoiseFilter 2",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             NoiseFilter(2, x - 10, y - 10, w + 20, h + 20);
         }},
        {"NoiseFilterRGB green 3",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             NoiseFilterRGB(0, 1, 0, 3, x - 10, y - 10, w + 20, h + 20);
         }},
        {"CircleMosaicFilter r50 c6",
         [=](int x, int y, int w, int h) {
             keyed(x, y, w, h);
             CircleMosaicFilter(x + w / 2, y + h / 2, 50, 6);
         }},
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::string output = argc > 2 ? argv[2] : "effects_sheet.bmp";
    platform::Picture sheet, chips;
    if (!platform::LoadBmpFile((folder + "/BMP/princess.bmp").c_str(), sheet) ||
        !platform::LoadBmpFile((folder + "/BMP/m_cp.bmp").c_str(), chips)) {
        std::fprintf(stderr, "effects_sheet: cannot read %s/BMP/princess.bmp and m_cp.bmp\n", folder.c_str());
        return 1;
    }
    // The first 96 x 96 cell of the princess sheet, its magenta ground made 0: the effects leave out
    // source pixels of 0, not the colour key.
    const int sw = 96, sh = 96;
    platform::Picture sprite;
    sprite.width = sw;
    sprite.height = sh;
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) sprite.pixels.push_back(sheet.At(x, y) == 0xFF00FF ? 0 : sheet.At(x, y));

    platform::Picture out;
    out.width = kWidth;
    out.height = 2 * kHeight;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
    for (int depth = 0; depth < 2; ++depth) {
        const PixelFormat f = depth == 0 ? PixelFormat::RGB565 : PixelFormat::XRGB8888;
        SetUp(f, sprite, chips);
        const std::vector<Entry> entries = Entries(sw, sh);
        for (size_t i = 0; i < entries.size(); ++i) {
            const int cx = static_cast<int>(i % kColumns) * kCell,
                      cy = static_cast<int>(i / kColumns) * kCell;
            SetClipRect(0, 0, kWidth, kHeight);
            PaintGround(cx, cy);
            SetClipRect(cx, cy, cx + kCell, cy + kCell);
            entries[i].draw(cx + (kCell - sw) / 2, cy + (kCell - sh) / 2, sw, sh);
            if (depth == 0)
                std::printf("cell %2zu (row %zu, column %zu): %s\n", i, i / kColumns, i % kColumns,
                            entries[i].name);
        }
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                out.pixels[static_cast<size_t>(y + depth * kHeight) * kWidth + x] =
                    platform::RawToRgb(f, platform::GetRawPixel(*Display.backBuffer, x, y));
    }
    ReleaseAllObjects();
    if (!platform::SaveBmp24(output.c_str(), out)) {
        std::fprintf(stderr, "effects_sheet: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("top half 16 bits (5-6-5), bottom half 32 bits: %s\n", output.c_str());
    return 0;
}
