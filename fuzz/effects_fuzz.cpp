// libFuzzer target: every effect blit and screen filter, with random objects, rectangles, clip
// rectangles and parameters (extreme and non-finite ones included), at 5-6-5, 5-5-5 and 32 bits,
// stays inside the surfaces and draws at every instruction-set level the processor has exactly
// what it draws with the one-pixel reference loops.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/effects.h"
#include "engine/draw/objects.h"
#include "platform/blit.h"

namespace {

using platform::BlitLevel;
using platform::PixelFormat;
using platform::Surface;

constexpr int kScreenW = 40, kScreenH = 30;
constexpr int kObjects = 3;  // slots 4, 5, 6

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    uint32_t Byte() { return pos < size ? data[pos++] : 0; }
    uint32_t Word() { return Byte() | (Byte() << 8); }
    // Mostly coordinates near the surfaces, sometimes extreme ones.
    int Coord() {
        const uint32_t kind = Byte();
        if (kind < 220) return static_cast<int>(Byte() % 64) - 12;
        static const int extremes[] = {INT32_MIN,     INT32_MIN + 1, -65536, 65536,
                                       INT32_MAX - 1, INT32_MAX,     -1,     0};
        return extremes[kind % 8];
    }
    int Level() {
        const uint32_t v = Byte();
        return v < 240 ? static_cast<int>(v % 32) : static_cast<int>(v) * 1000 - 245000;
    }
    float Real() {
        const uint32_t kind = Byte();
        if (kind < 230) return static_cast<float>(Word() % 1001) / 1000.0f;
        static const float odd[] = {-1.0f, 2.0f, 1e30f, -1e30f, INFINITY, -INFINITY, NAN, 1e-30f, 0.0f, 1.0f};
        return odd[kind % 10];
    }
    int Small() { return static_cast<int>(Byte() % 12) - 2; }
};

// One display: its back buffer, tables and object table, kept apart and swapped in.
struct World {
    DisplayState display;
    DrawTables tables;
    std::unique_ptr<Surface> buffer;  // the Buffer sprite
};

World worlds[3];

void FillSine(DrawTables& t) {
    for (int i = 0; i < kSineTableSize; ++i)
        t.SineTable[i] = static_cast<int32_t>(std::trunc(std::sin(2.0 * M_PI * i / 360.0) * 360.0));
}

void Prepare() {
    const uint32_t masks[3][3] = {
        {0xF800, 0x07E0, 0x001F}, {0x7C00, 0x03E0, 0x001F}, {0xFF0000, 0xFF00, 0xFF}};
    for (int k = 0; k < 3; ++k) {
        const PixelFormat format = k == 2 ? PixelFormat::XRGB8888 : PixelFormat::RGB565;
        Display = DisplayState{};
        Tables = DrawTables{};
        Display.present = true;
        Display.ScreenWidth = kScreenW;
        Display.ScreenHeight = kScreenH;
        Display.depth = k == 2 ? 32 : 16;
        Display.backBuffer = std::make_unique<Surface>(platform::CreateSurface(kScreenW, kScreenH, format));
        Display.format = DerivePixelFormat(masks[k][0], masks[k][1], masks[k][2]);
        FillSine(Tables);
        if (k != 2) BuildSixteenBitTables();
        // The 32-bit display draws its noise table at the first filter; draw it now, so that every
        // level's run sees the same random sequence.
        if (k == 2) NoiseFilter(0, 0, 0, 1, 1);
        worlds[k].display = std::move(Display);
        worlds[k].tables = std::move(Tables);
        worlds[k].buffer = std::make_unique<Surface>(platform::CreateSurface(kScreenW, kScreenH, format));
    }
}

void Enter(int k) {
    std::swap(Display, worlds[k].display);
    std::swap(Tables, worlds[k].tables);
    std::swap(ObjectTable.records[kBufferSprite].surface, worlds[k].buffer);
}

// Random pixels with many zeros (transparent) and channel extremes. Not a place for coverage.
__attribute__((no_sanitize("coverage"))) void Paint(Surface& s, Input& in) {
    uint32_t seed = in.Byte() * 2654435761u + in.Byte() + 1;
    const uint32_t style = in.Byte() % 4;
    for (size_t i = 0; i < s.pixels.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t r = seed >> 16;
        s.pixels[i] = style == 0 ? static_cast<uint8_t>(r)
                                 : (r % 4 == 0 ? 0 : (r % 3 == 0 ? 0xFF : static_cast<uint8_t>(r)));
    }
}

// Runs one operation; returns its result.
int Run(int op, const std::vector<int>& a, const std::vector<float>& f) {
    switch (op) {
        case 0:
            return HalfBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        case 1:
            return MirrorBlt(a[0], a[1], a[7], a[2], a[3], a[4], a[5], a[6]);
        case 2:
            return AlphaBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], f[0]);
        case 3:
            return AlphaBltRGB(a[0], a[1], a[2], a[3], a[4], a[5], a[6], f[0], f[1], f[2]);
        case 4:
            return FadeBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[8]);
        case 5:
            return FadeBltRGB(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[8], a[9], a[10]);
        case 6:
            return AddBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        case 7:
            return AddFadeBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], f[0]);
        case 8:
            return ShadowBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        case 9:
            return EdgeBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        case 10:
            return ChannelBlt(a[0], a[1], a[8] & 1, a[9] & 1, a[10] & 1, a[2], a[3], a[4], a[5], a[6]);
        case 11:
            return BrightBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], f[0] * 2.0f);
        case 12:
            return BrightBltRGB(a[0], a[1], a[2], a[3], a[4], a[5], a[6], f[0], f[1] * 3.0f, f[2]);
        case 13:
            return DarkBlt(a[0], a[1], a[8], a[2], a[3], a[4], a[5], a[6]);
        case 14:
            return DarkBltRGB(a[0], a[1], a[8], a[9], a[10], a[2], a[3], a[4], a[5], a[6]);
        case 15:
            return BlurBlt(a[0], a[1], a[7], a[2], a[3], a[4], a[5], a[6]);
        case 16:
            return GreyBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
        case 17:
            return DisplaceBlt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], f[0]);
        case 18:
            return RotateBlt(a[0], a[1], a[11], a[12], a[13], a[2], a[3], a[4], a[5], a[6]);
        case 19:
            return RotateZoomBlt(a[0], a[1], a[11], a[12], a[13], f[0] * 3.0f, a[2], a[3], a[4], a[5], a[6]);
        case 20:
            return RotateTileBlt(a[0], a[1], a[11], a[12], a[13], a[2], a[3], a[4], a[5], a[6]);
        case 21:
            return RotateZoomTileBlt(a[0], a[1], a[11], a[12], a[13], f[1], a[2], a[3], a[4], a[5], a[6]);
        case 22:
            return SmearFilter(a[0], a[1], a[3], a[4]);
        case 23:
            return SmearFadeFilter(a[8] & 1, a[9] & 1, a[10] & 1, a[0], a[1], a[3], a[4]);
        case 24:
            return BlurFilter(a[0], a[1], a[3], a[4]);
        case 25:
            return BlurFadeFilter(a[8] & 1, a[9] & 1, a[10] & 1, a[0], a[1], a[3], a[4]);
        case 26:
            return Zoom2Filter(a[0], a[1], a[3], a[4], a[7] & 1);
        case 27:
            return NoiseFilter(a[7], a[0], a[1], a[3], a[4]);
        case 28:
            return NoiseFilterRGB(a[8] & 1, a[9] & 1, a[10] & 1, a[7], a[0], a[1], a[3], a[4]);
        default:
            return CircleMosaicFilter(a[0], a[1], a[3], a[7]);
    }
}
constexpr int kOperations = 30;

struct Snapshot {
    std::vector<uint8_t> back, buffer;
    int32_t noise;
};

Snapshot Take() {
    return {Display.backBuffer->pixels, ObjectTable.records[kBufferSprite].surface->pixels,
            Effects.noisePosition};
}

void Restore(const Snapshot& s) {
    Display.backBuffer->pixels = s.back;
    ObjectTable.records[kBufferSprite].surface->pixels = s.buffer;
    Effects.noisePosition = s.noise;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool prepared = false;
    if (!prepared) {
        Prepare();
        prepared = true;
    }
    Input in{data, size};
    const int world = static_cast<int>(in.Byte() % 3);
    Enter(world);
    const PixelFormat format = Display.backBuffer->format;
    for (int i = 0; i < kObjects; ++i) {
        ObjectRecord& record = ObjectTable.records[kFirstFreeObject + i];
        record.surface = std::make_unique<Surface>(platform::CreateSurface(
            1 + static_cast<int>(in.Byte() % 32), 1 + static_cast<int>(in.Byte() % 24), format));
        Paint(*record.surface, in);
    }
    Paint(*Display.backBuffer, in);
    Paint(*ObjectTable.records[kBufferSprite].surface, in);
    ObjectSurface(kFirstFreeObject)->lost = in.Byte() % 16 == 0;
    ClipRect = in.Byte() % 4 == 0 ? ClipRectState{in.Coord(), in.Coord(), in.Coord(), in.Coord()}
                                  : ClipRectState{0, 0, kScreenW, kScreenH};
    Effects.noisePosition = static_cast<int32_t>(in.Word() % kNoiseTableSize);
    if (in.Byte() % 8 == 0) Effects.noisePosition = kNoiseTableSize - 1 - static_cast<int32_t>(in.Byte() % 4);

    const int operations = 1 + static_cast<int>(in.Byte() % 3);
    for (int n = 0; n < operations; ++n) {
        const int op = static_cast<int>(in.Byte() % kOperations);
        std::vector<int> a(14);
        for (int i : {0, 1, 3, 4, 5, 6, 11, 12}) a[i] = in.Coord();
        const uint32_t pick = in.Byte();
        a[2] = pick < 240
                   ? kFirstFreeObject + static_cast<int>(pick % kObjects)
                   : (pick % 4 == 0 ? 511 : (pick % 4 == 1 ? -1 : (pick % 4 == 2 ? 4096 : kScreenSprite)));
        a[7] = in.Small();
        for (int i : {8, 9, 10}) a[i] = in.Level();
        a[13] = static_cast<int>(in.Word()) - 32768;
        std::vector<float> f = {in.Real(), in.Real(), in.Real()};
        const uint32_t seed = in.Byte();

        const Snapshot before = Take();
        platform::SetBlitLevel(BlitLevel::Scalar);
        std::srand(seed);
        const int expected = Run(op, a, f);
        const Snapshot reference = Take();
        for (BlitLevel level : {BlitLevel::SSE2, BlitLevel::AVX2, BlitLevel::AVX512}) {
            if (!platform::SetBlitLevel(level)) continue;
            Restore(before);
            std::srand(seed);
            const int result = Run(op, a, f);
            const Snapshot got = Take();
            if (result != expected || got.back != reference.back || got.buffer != reference.buffer ||
                got.noise != reference.noise) {
                size_t at = 0;
                while (at < got.back.size() && got.back[at] == reference.back[at]) ++at;
                std::fprintf(
                    stderr, "operation %d at %s, format %d: %d vs %d, noise %d vs %d, back byte %zu\n", op,
                    platform::BlitLevelName(level), world, result, expected, got.noise, reference.noise, at);
                __builtin_trap();
            }
        }
        Restore(reference);
    }
    for (int i = 0; i < kObjects; ++i) ObjectTable.records[kFirstFreeObject + i].surface.reset();
    Enter(world);
    return 0;
}
