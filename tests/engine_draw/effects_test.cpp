// Effect blits and screen filters: the blit frame, the level rules against the display's tables at
// every vector level, the 32-bit rule on pixels worked out by hand, rotations, and the filters.
#include "engine/draw/effects.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "platform/effects.h"
#include "tests/engine_draw/draw_fixture.h"

namespace {

using platform::BlitLevel;

std::vector<BlitLevel> SupportedLevels() {
    std::vector<BlitLevel> levels;
    for (BlitLevel l : {BlitLevel::Scalar, BlitLevel::SSE2, BlitLevel::AVX2, BlitLevel::AVX512})
        if (l <= platform::BestBlitLevel()) levels.push_back(l);
    return levels;
}

// Where the blur rule finds the channel levels of a raw pixel, and which bits make it opaque.
struct EffectFormat32Or16 {
    explicit EffectFormat32Or16(bool wide) : top(wide ? 255 : 31), colour(wide ? 0xFFFFFF : 0xFFFF) {
        const int* at = wide ? kWide : kNarrow;
        for (int k = 0; k < 3; ++k) position[k] = at[k];
    }
    static constexpr int kWide[3] = {16, 8, 0};
    static constexpr int kNarrow[3] = {11, 6, 0};  // 5-6-5, the test display's format
    uint32_t top, colour;
    int position[3];
};

class EffectTest : public DrawTest {
  protected:
    void TearDown() override {
        platform::SetBlitLevel(platform::BestBlitLevel());
        DrawTest::TearDown();
    }
    bool Wide() const { return GetParam() == 32; }
    platform::Surface& Back() { return *Display.backBuffer; }

    // A blank object whose pixel (x, y) is raw(x, y).
    ObjectNo MakeObject(int w, int h, const std::function<uint32_t(int, int)>& raw) {
        ObjectNo o = elDraw::CreateObject(w, h, 2);
        EXPECT_GE(o, kFirstFreeObject);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) platform::SetRawPixel(*ObjectSurface(o), x, y, raw(x, y));
        return o;
    }
    void PaintBack(const std::function<uint32_t(int, int)>& raw, int w = 64, int h = 64) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) platform::SetRawPixel(Back(), x, y, raw(x, y));
    }
    // Switches the 16-bit display to 5-5-5 channels and rebuilds its tables.
    void Use555() {
        Display.format = DerivePixelFormat(0x7C00, 0x03E0, 0x001F);
        BuildSixteenBitTables();
    }
    // A level-split pixel per the display's 5-bit positions (16 bits) or 8-bit channels (32 bits).
    uint32_t LevelOf(uint32_t p, int c) const {
        if (Wide()) return (p >> (16 - 8 * c)) & 255;
        return Tables.SplitTable[static_cast<size_t>(p & 0xFFFF) * 3 + c];
    }
    uint32_t Rgb32(uint32_t r, uint32_t g, uint32_t b) const { return (r << 16) | (g << 8) | b; }
};

// Rules of one depth only.
class SixteenBitEffectTest : public EffectTest {};
class ThirtyTwoBitEffectTest : public EffectTest {};

// ---- The frame ----

// Every member, as a call with the destination (x, y) and the source rectangle.
std::vector<std::function<int(int, int, ObjectNo, int, int, int, int)>> AllMembers() {
    using R = int;
    return {
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return HalfBlt(x, y, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return MirrorBlt(x, y, 3, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return AlphaBlt(x, y, o, l, t, r, b, 0.5f);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return AlphaBltRGB(x, y, o, l, t, r, b, 0.1f, 0.5f, 0.9f);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return FadeBlt(x, y, o, l, t, r, b, 12);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return FadeBltRGB(x, y, o, l, t, r, b, 1, 15, 30);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R { return AddBlt(x, y, o, l, t, r, b); },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return AddFadeBlt(x, y, o, l, t, r, b, 0.5f);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return ShadowBlt(x, y, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return EdgeBlt(x, y, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return ChannelBlt(x, y, 1, 0, 1, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return BrightBlt(x, y, o, l, t, r, b, 0.7f);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return BrightBltRGB(x, y, o, l, t, r, b, 0.2f, 0.4f, 0.9f);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return DarkBlt(x, y, 5, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return DarkBltRGB(x, y, 1, 2, 3, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return BlurBlt(x, y, 3, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return GreyBlt(x, y, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return DisplaceBlt(x, y, o, l, t, r, b, 0.8f);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return RotateBlt(x, y, x + (r - l), y + (b - t), 30, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return RotateZoomBlt(x, y, x + (r - l), y + (b - t), 45, 1.5f, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return RotateTileBlt(x, y, x + (r - l), y + (b - t), 200, o, l, t, r, b);
        },
        [](int x, int y, ObjectNo o, int l, int t, int r, int b) -> R {
            return RotateZoomTileBlt(x, y, x + (r - l), y + (b - t), 300, 0.5f, o, l, t, r, b);
        },
    };
}

TEST_P(EffectTest, OutsideTheClipEveryMemberReturnsOneWithoutLockingAndInsideALostSurfaceGivesZero) {
    ObjectNo sprite = MakeObject(8, 8, [](int x, int y) { return 0x0421u * (x + y + 1); });
    ObjectSurface(sprite)->lost = true;  // any lock would fail
    SetClipRect(100, 100, 200, 200);
    int n = 0;
    for (auto& member : AllMembers()) {
        SCOPED_TRACE(n++);
        EXPECT_EQ(member(300, 120, sprite, 0, 0, 8, 8), 1);  // right of the clip
        EXPECT_EQ(member(120, 20, sprite, 0, 0, 8, 8), 1);   // above it
        EXPECT_EQ(member(120, 120, sprite, 0, 0, 8, 8), 0);
    }
}

TEST_P(EffectTest, FreeAndOutOfRangeObjectsReturnZeroAndDrawNothing) {
    platform::FillSurface(Back(), 0x1234);
    int n = 0;
    for (auto& member : AllMembers()) {
        SCOPED_TRACE(n++);
        for (ObjectNo o : {511, -1, 512, 100000}) EXPECT_EQ(member(10, 10, o, 0, 0, 8, 8), 0);
    }
    EXPECT_EQ(BackPixel(12, 12), 0x1234u);
}

TEST_P(EffectTest, RectanglesPastTheObjectAndAClipPastTheBackBufferStayOnBothSurfaces) {
    // Under the address sanitizer any pixel outside a surface would be caught; here the visible
    // part must land where the unclipped picture would have put it.
    ObjectNo sprite =
        MakeObject(8, 8, [](int x, int y) { return 0x0841u * static_cast<uint32_t>(1 + x + 8 * y); });
    SetClipRect(-1000, -1000, 5000, 5000);
    int n = 0;
    for (auto& member : AllMembers()) {
        SCOPED_TRACE(n++);
        ClearScreen();
        EXPECT_EQ(member(-4, -4, sprite, -3, -3, 20, 20), 1);
        EXPECT_EQ(member(796, 596, sprite, 0, 0, 8, 8), 1);
        EXPECT_EQ(member(100, 100, sprite, 6, 6, 100, 100), 1);
    }
    // A plain copy: source (-3, -3) goes to (-4, -4), so (0, 0) of the object lands on (-1, -1)
    // and the object's (1, 1) on (0, 0).
    ClearScreen();
    MirrorBlt(-4, -4, 0, sprite, -3, -3, 20, 20);
    EXPECT_EQ(BackPixel(0, 0), platform::GetRawPixel(*ObjectSurface(sprite), 1, 1));
    EXPECT_EQ(BackPixel(6, 6), platform::GetRawPixel(*ObjectSurface(sprite), 7, 7));
    EXPECT_EQ(BackPixel(7, 7), 0u);
}

// ---- The level rules against the tables, at every vector level ----

TEST_P(SixteenBitEffectTest, LevelMembersFollowTheTablesAtEveryVectorLevel) {
    for (bool five55 : {false, true}) {
        if (five55) Use555();
        std::mt19937 rng(five55 ? 7 : 3);
        // 37 columns: whole vectors and a partial one at every level; some source pixels are 0.
        const int w = 37, h = 5;
        std::vector<uint32_t> src(w * h), dst(w * h);
        // A 5-5-5 pixel has no sixteenth bit.
        const uint32_t bits = five55 ? 0x7FFF : 0xFFFF;
        for (auto& p : src) p = rng() % 5 == 0 ? 0 : rng() & bits;
        for (auto& p : dst) p = rng() & bits;
        ObjectNo sprite = MakeObject(w, h, [&](int x, int y) { return src[y * w + x]; });
        auto split = [&](uint32_t p, int c) { return static_cast<uint32_t>(Tables.SplitTable[p * 3 + c]); };
        auto cross = [&](int c, int t, uint32_t a, uint32_t b) {
            return Tables.CrossFadeTable[((static_cast<size_t>(c) * 32 + t) * 32 + a) * 32 + b];
        };
        auto fadeAdd = [&](int c, int t, uint32_t a, uint32_t b) {
            return Tables.FadeAddTable[((static_cast<size_t>(c) * 32 + t) * 32 + a) * 32 + b];
        };
        auto sub = [&](int c, uint32_t a, uint32_t b) {
            return Tables.SubtractTable[(static_cast<size_t>(c) * 32 + a) * 32 + b];
        };
        auto check = [&](const char* what, const std::function<void()>& blit,
                         const std::function<uint32_t(uint32_t, uint32_t)>& expected) {
            for (BlitLevel level : SupportedLevels()) {
                ASSERT_TRUE(platform::SetBlitLevel(level));
                PaintBack([&](int x, int y) { return x < w && y < h ? dst[y * w + x] : 0; });
                blit();
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint32_t s = src[y * w + x], d = dst[y * w + x];
                        ASSERT_EQ(BackPixel(x, y), s == 0 ? d : expected(s, d))
                            << what << " at " << platform::BlitLevelName(level) << " (" << x << ", " << y
                            << ")" << (five55 ? " 5-5-5" : " 5-6-5");
                    }
            }
        };
        for (int L = 0; L <= 31; ++L) {
            check(
                "FadeBlt", [&] { FadeBlt(0, 0, sprite, 0, 0, w, h, L); },
                [&](uint32_t s, uint32_t d) {
                    return static_cast<uint32_t>(cross(0, 31 - L, split(s, 0), split(d, 0)) |
                                                 cross(1, 31 - L, split(s, 1), split(d, 1)) |
                                                 cross(2, 31 - L, split(s, 2), split(d, 2)));
                });
            check(
                "DarkBlt", [&] { DarkBlt(0, 0, L, sprite, 0, 0, w, h); },
                [&](uint32_t s, uint32_t) {
                    return static_cast<uint32_t>(sub(0, split(s, 0), L) | sub(1, split(s, 1), L) |
                                                 sub(2, split(s, 2), L));
                });
            // Intensities whose t = trunc(31 - 31 * I) walks every table row.
            const float intensity = static_cast<float>(L) / 31.0f;
            const int t = static_cast<int>(31.0f - 31.0f * intensity);
            check(
                "AddFadeBlt", [&] { AddFadeBlt(0, 0, sprite, 0, 0, w, h, intensity); },
                [&](uint32_t s, uint32_t d) {
                    return static_cast<uint32_t>(fadeAdd(0, t, split(s, 0), split(d, 0)) |
                                                 fadeAdd(1, t, split(s, 1), split(d, 1)) |
                                                 fadeAdd(2, t, split(s, 2), split(d, 2)));
                });
        }
        check(
            "FadeBltRGB", [&] { FadeBltRGB(0, 0, sprite, 0, 0, w, h, 3, 17, 29); },
            [&](uint32_t s, uint32_t d) {
                return static_cast<uint32_t>(cross(0, 28, split(s, 0), split(d, 0)) |
                                             cross(1, 14, split(s, 1), split(d, 1)) |
                                             cross(2, 2, split(s, 2), split(d, 2)));
            });
        check(
            "AddBlt", [&] { AddBlt(0, 0, sprite, 0, 0, w, h); },
            [&](uint32_t s, uint32_t d) {
                return static_cast<uint32_t>(fadeAdd(0, 0, split(s, 0), split(d, 0)) |
                                             fadeAdd(1, 0, split(s, 1), split(d, 1)) |
                                             fadeAdd(2, 0, split(s, 2), split(d, 2)));
            });
        check(
            "ShadowBlt", [&] { ShadowBlt(0, 0, sprite, 0, 0, w, h); },
            [&](uint32_t s, uint32_t d) {
                const uint32_t red = split(s, 0);
                return static_cast<uint32_t>(sub(0, split(d, 0), red) | sub(1, split(d, 1), red) |
                                             sub(2, split(d, 2), red));
            });
        check(
            "GreyBlt", [&] { GreyBlt(0, 0, sprite, 0, 0, w, h); },
            [&](uint32_t s, uint32_t) {
                const uint32_t g = Tables.AverageTable[split(s, 0) + split(s, 1) + split(s, 2)];
                const PixelFormatInfo& f = Display.format;
                return (g << f.redPosition5) | (g << f.greenPosition5) | (g << f.bluePosition5);
            });
        check(
            "HalfBlt", [&] { HalfBlt(0, 0, sprite, 0, 0, w, h); },
            [&](uint32_t s, uint32_t d) {
                const uint32_t m = Display.format.halfMask;
                return ((s >> 1) & m) + ((d >> 1) & m);
            });
    }
}

TEST_P(EffectTest, EveryVectorLevelEqualsTheOnePixelReferenceBitForBit) {
    // Odd widths, negative pitches and every loop with random parameters.
    const bool wide = Wide();
    const int bytes = wide ? 4 : 2;
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        const int w = 1 + static_cast<int>(rng() % 150), h = 1 + static_cast<int>(rng() % 4);
        const ptrdiff_t pitch = static_cast<ptrdiff_t>(w) * bytes + 8;
        std::vector<uint8_t> src(pitch * h), start(pitch * h);
        for (auto& b : src) b = rng() % 3 == 0 ? 0 : static_cast<uint8_t>(rng());
        for (auto& b : start) b = static_cast<uint8_t>(rng());
        const bool five55 = !wide && (round & 1);
        platform::EffectFormat f = wide     ? platform::EffectFormatFor(true, 0xFF0000, 0xFF00, 0xFF)
                                   : five55 ? platform::EffectFormatFor(false, 0x7C00, 0x3E0, 0x1F)
                                            : platform::EffectFormatFor(false, 0xF800, 0x7E0, 0x1F);
        platform::EffectArgs a;
        for (int c = 0; c < 3; ++c) {
            a.alpha[c] = static_cast<float>(rng() % 1001) / 1000.0f;
            a.keep[c] = 1.0f - a.alpha[c];
            a.sourceCut[c] = rng() % (f.maxLevel + 1);
            a.destCut[c] = f.maxLevel - a.sourceCut[c] + rng() % 3;  // the cuts add up to at least the top
        }
        const bool upward = round % 3 == 0;
        const uint8_t* s0 = upward ? src.data() + pitch * (h - 1) : src.data();
        const ptrdiff_t sp = upward ? -pitch : pitch;
        using Member = platform::EffectLoop(platform::EffectLoops::*)[2];
        const Member members[] = {&platform::EffectLoops::half,   &platform::EffectLoops::alpha,
                                  &platform::EffectLoops::fade,   &platform::EffectLoops::addFade,
                                  &platform::EffectLoops::shadow, &platform::EffectLoops::grey,
                                  &platform::EffectLoops::copy,   &platform::EffectLoops::copyMirrored};
        for (size_t mi = 0; mi < std::size(members); ++mi) {
            const Member m = members[mi];
            std::vector<uint8_t> expected = start;
            (platform::EffectLoopsFor(BlitLevel::Scalar).*m)[wide](expected.data(), pitch, s0, sp, w, h, f,
                                                                   a);
            for (BlitLevel level : SupportedLevels()) {
                std::vector<uint8_t> got = start;
                (platform::EffectLoopsFor(level).*m)[wide](got.data(), pitch, s0, sp, w, h, f, a);
                ASSERT_EQ(got, expected)
                    << "loop " << mi << " at " << platform::BlitLevelName(level) << ", width " << w;
            }
        }
    }
}

// ---- The members' own rules ----

TEST_P(EffectTest, HalfOfWhiteOverBlackIsHalfWhiteAndBlackSourcePixelsAreLeftOut) {
    const uint32_t white = Display.format.fullMask;
    ObjectNo sprite = MakeObject(2, 1, [&](int x, int) { return x == 0 ? white : 0u; });
    platform::FillSurface(Back(), 0);
    platform::SetRawPixel(Back(), 1, 0, white);
    HalfBlt(0, 0, sprite, 0, 0, 2, 1);
    EXPECT_EQ(BackPixel(0, 0), Wide() ? 0x7F7F7Fu : 0x7BEFu);
    EXPECT_EQ(BackPixel(1, 0), white);
    if (Wide()) return;
    Use555();
    platform::FillSurface(Back(), 0);
    platform::SetRawPixel(*ObjectSurface(sprite), 0, 0, 0x7FFF);
    HalfBlt(0, 0, sprite, 0, 0, 2, 1);
    EXPECT_EQ(BackPixel(0, 0), 0x3DEFu);
}

TEST_P(EffectTest, FadeAtLevelZeroKeepsTheBackBufferAndAtThirtyOneCopiesTheSource) {
    // 16-bit greens are even here: the level tables keep five bits of a six-bit green.
    std::mt19937 rng(5);
    auto pixel = [&]() { return Wide() ? rng() & 0xFFFFFF : (rng() & 0xFFFF) & ~0x20u; };
    std::vector<uint32_t> src(16), dst(16);
    for (auto& p : src) p = rng() % 4 == 0 ? 0 : pixel();
    for (auto& p : dst) p = pixel();
    ObjectNo sprite = MakeObject(16, 1, [&](int x, int) { return src[x]; });
    PaintBack([&](int x, int y) { return y == 0 && x < 16 ? dst[x] : 0; });
    FadeBlt(0, 0, sprite, 0, 0, 16, 1, 0);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(BackPixel(x, 0), dst[x]) << x;
    FadeBlt(0, 0, sprite, 0, 0, 16, 1, 31);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(BackPixel(x, 0), src[x] != 0 ? src[x] : dst[x]) << x;
    // Levels out of range are held at 0 and 31.
    PaintBack([&](int x, int y) { return y == 0 && x < 16 ? dst[x] : 0; });
    FadeBlt(0, 0, sprite, 0, 0, 16, 1, 99);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(BackPixel(x, 0), src[x] != 0 ? src[x] : dst[x]) << x;
}

TEST_P(EffectTest, AddSaturatesEachChannelWithoutCarryingIntoTheNext) {
    // Red and blue near the top, green low: the sums must stop at the top of each channel.
    const uint32_t s = Wide() ? Rgb32(200, 10, 250) : (20u << 11) | (4u << 6) | 30u;
    const uint32_t d = Wide() ? Rgb32(100, 20, 10) : (20u << 11) | (8u << 6) | 3u;
    ObjectNo sprite = MakeObject(1, 1, [&](int, int) { return s; });
    platform::SetRawPixel(Back(), 0, 0, d);
    AddBlt(0, 0, sprite, 0, 0, 1, 1);
    EXPECT_EQ(BackPixel(0, 0), Wide() ? Rgb32(255, 30, 255) : (31u << 11) | (12u << 6) | 31u);
}

TEST_P(ThirtyTwoBitEffectTest, TheThirtyTwoBitRuleOnPixelsWorkedOutByHand) {
    const uint32_t s = Rgb32(200, 100, 50), d = Rgb32(32, 64, 128);
    ObjectNo sprite = MakeObject(2, 1, [&](int x, int) { return x == 0 ? s : 0xFF000000u; });
    ObjectNo dim = MakeObject(2, 1, [&](int x, int) { return x == 0 ? Rgb32(50, 255, 255) : 0xFF000000u; });
    auto run = [&](const std::function<void()>& blit) {
        platform::SetRawPixel(Back(), 0, 0, d);
        platform::SetRawPixel(Back(), 1, 0, d);
        blit();
        EXPECT_EQ(BackPixel(1, 0), d) << "a source with only a top byte is transparent";
        return BackPixel(0, 0);
    };
    // Level 16 is 16 * 255 / 31 = 131: max(s - 124, 0) + max(d - 131, 0).
    EXPECT_EQ(run([&] { FadeBlt(0, 0, sprite, 0, 0, 2, 1, 16); }), Rgb32(76, 0, 0));
    EXPECT_EQ(run([&] { AddBlt(0, 0, sprite, 0, 0, 2, 1); }), Rgb32(232, 164, 178));
    // t = trunc(255 - 255 * 0.25) = 191: min(max(s - 191, 0) + d, 255).
    EXPECT_EQ(run([&] { AddFadeBlt(0, 0, sprite, 0, 0, 2, 1, 0.25f); }), Rgb32(41, 64, 128));
    EXPECT_EQ(run([&] { ShadowBlt(0, 0, dim, 0, 0, 2, 1); }), Rgb32(0, 14, 78));  // d - 50
    EXPECT_EQ(run([&] { GreyBlt(0, 0, sprite, 0, 0, 2, 1); }), Rgb32(116, 116, 116));
    EXPECT_EQ(run([&] { HalfBlt(0, 0, sprite, 0, 0, 2, 1); }), Rgb32(116, 82, 89));
    // Level 5 is 41.
    EXPECT_EQ(run([&] { DarkBlt(0, 0, 5, sprite, 0, 0, 2, 1); }), Rgb32(159, 59, 9));
    // trunc(0.25 * s + 0.75 * d) per channel.
    EXPECT_EQ(run([&] { AlphaBlt(0, 0, sprite, 0, 0, 2, 1, 0.25f); }), Rgb32(74, 73, 108));
    EXPECT_EQ(run([&] { BrightBlt(0, 0, sprite, 0, 0, 2, 1, 0.5f); }), Rgb32(100, 50, 25));
    EXPECT_EQ(run([&] { ChannelBlt(0, 0, 0, 1, 1, sprite, 0, 0, 2, 1); }), Rgb32(0, 100, 50));
}

TEST_P(SixteenBitEffectTest, AlphaAndBrightWorkOnTheChannelsOwnWidths) {
    ObjectNo sprite = MakeObject(1, 1, [](int, int) { return 0xFFFFu; });
    platform::SetRawPixel(Back(), 0, 0, 0);
    AlphaBlt(0, 0, sprite, 0, 0, 1, 1, 0.5f);
    EXPECT_EQ(BackPixel(0, 0), (15u << 11) | (31u << 5) | 15u);  // 31 and 63 halved, truncated
    BrightBltRGB(0, 0, sprite, 0, 0, 1, 1, 1.0f, 0.25f, 0.0f);
    EXPECT_EQ(BackPixel(0, 0), (31u << 11) | (15u << 5));
    BrightBlt(0, 0, sprite, 0, 0, 1, 1, 3.0f);  // held at the top of each channel
    EXPECT_EQ(BackPixel(0, 0), 0xFFFFu);
}

TEST_P(EffectTest, MirrorTypesFlipTheSourceRectangle) {
    // 3 x 2 picture with distinct pixels a..f: a b c / d e f.
    ObjectNo sprite =
        MakeObject(3, 2, [](int x, int y) { return 0x0821u * static_cast<uint32_t>(1 + x + 3 * y); });
    auto src = [&](int x, int y) { return platform::GetRawPixel(*ObjectSurface(sprite), x, y); };
    for (int type = 0; type < 4; ++type) {
        ClearScreen();
        MirrorBlt(10, 10, type, sprite, 0, 0, 3, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const int sx = (type & 1) ? 2 - x : x, sy = (type & 2) ? 1 - y : y;
                EXPECT_EQ(BackPixel(10 + x, 10 + y), src(sx, sy)) << type;
            }
    }
}

TEST_P(EffectTest, EdgeAveragesWithTransparentNeighboursInsideTheDrawnAreaOnly) {
    // One opaque pixel in the middle of a 3 x 3 source of zeros.
    const uint32_t p = Wide() ? Rgb32(200, 100, 40) : (30u << 11) | (20u << 6) | 10u;
    const uint32_t q = Wide() ? Rgb32(50, 0, 40) : (0u << 11) | (10u << 6) | 5u;
    ObjectNo sprite = MakeObject(3, 3, [&](int x, int y) { return x == 1 && y == 1 ? p : 0u; });
    auto expect = [&](int count) {
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t sum = LevelOf(p, c) + (count - 1) * LevelOf(q, c);
            out |= (sum / count) << (Wide() ? 16 - 8 * c
                                            : (c == 0   ? Display.format.redPosition5
                                               : c == 1 ? Display.format.greenPosition5
                                                        : Display.format.bluePosition5));
        }
        return out;
    };
    platform::FillSurface(Back(), q);
    EdgeBlt(10, 10, sprite, 0, 0, 3, 3);
    EXPECT_EQ(BackPixel(11, 11), expect(5));
    EXPECT_EQ(BackPixel(10, 11), q);  // transparent pixels are not drawn
    platform::FillSurface(Back(), q);
    SetClipRect(11, 0, 800, 600);  // the left neighbour is outside the drawn area
    EdgeBlt(10, 10, sprite, 0, 0, 3, 3);
    EXPECT_EQ(BackPixel(11, 11), expect(4));
    platform::FillSurface(Back(), q);
    SetClipRect(0, 0, 800, 600);
    EdgeBlt(11, 11, sprite, 1, 1, 2, 2);  // alone in its drawn area: copied unchanged
    EXPECT_EQ(BackPixel(11, 11), p);
}

TEST_P(EffectTest, BlurAveragesTheBlockFromEachPixelMovedBackAtTheEdges) {
    // Red levels 4, 8, 12 over a transparent second row; block 2 over the 3 x 2 area: every block
    // holds two source pixels and two zeros.
    auto red = [&](uint32_t level) {
        return Wide() ? Rgb32(level, 0, 0) : level << Display.format.redPosition5;
    };
    ObjectNo sprite = MakeObject(3, 2, [&](int x, int y) { return y == 0 ? red(4u * (x + 1)) : 0u; });
    platform::FillSurface(Back(), 0);
    BlurBlt(0, 0, 2, sprite, 0, 0, 3, 2);
    EXPECT_EQ(BackPixel(0, 0), red((4 + 8) / 4));
    EXPECT_EQ(BackPixel(1, 0), red((8 + 12) / 4));
    EXPECT_EQ(BackPixel(2, 0), red((8 + 12) / 4));  // the block moved back to start at column 1
    EXPECT_EQ(BackPixel(0, 1), 0u);                 // transparent: not drawn
}

// The block rule written out pixel by pixel, over the drawn area (dx0, dy0) to (dx1, dy1) of the
// back buffer whose first pixel comes from (sx0, sy0) of the object.
std::vector<uint32_t> BlurByTheRule(const platform::Surface& object, const platform::Surface& back, int block,
                                    int sx0, int sy0, int dx0, int dy0, int dx1, int dy1) {
    const bool wide = back.format == platform::PixelFormat::XRGB8888;
    const EffectFormat32Or16 f(wide);
    std::vector<uint32_t> out(static_cast<size_t>(back.width) * back.height);
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x)
            out[static_cast<size_t>(y) * back.width + x] = platform::GetRawPixel(back, x, y);
    const int w = dx1 - dx0, h = dy1 - dy0;
    const int64_t size = block < 1 ? 1 : block;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            if ((platform::GetRawPixel(object, sx0 + col, sy0 + row) & f.colour) == 0) continue;
            int64_t c0 = std::max<int64_t>(0, std::min<int64_t>(col, w - size));
            int64_t r0 = std::max<int64_t>(0, std::min<int64_t>(row, h - size));
            uint64_t sum[3] = {0, 0, 0};
            for (int64_t r = r0; r < std::min<int64_t>(r0 + size, h); ++r)
                for (int64_t c = c0; c < std::min<int64_t>(c0 + size, w); ++c) {
                    const uint32_t p =
                        platform::GetRawPixel(object, sx0 + static_cast<int>(c), sy0 + static_cast<int>(r));
                    for (int k = 0; k < 3; ++k) sum[k] += (p >> f.position[k]) & f.top;
                }
            uint32_t v = 0;
            for (int k = 0; k < 3; ++k)
                v |= static_cast<uint32_t>(sum[k] / static_cast<uint64_t>(size * size)) << f.position[k];
            out[static_cast<size_t>(dy0 + row) * back.width + dx0 + col] = v;
        }
    return out;
}

TEST_P(EffectTest, BlurEqualsTheBlockRuleAtEveryBlockSizeClipAndLevel) {
    // Random pixels (at 32 bits with random top bytes), a quarter of them transparent.
    std::mt19937 rng(23);
    const uint32_t colour = Wide() ? 0xFFFFFFu : 0xFFFFu;
    ObjectNo sprite = MakeObject(120, 100, [&](int, int) {
        const uint32_t v = static_cast<uint32_t>(rng());
        return rng() % 4 == 0 ? v & ~colour : (Wide() ? v : v & 0xFFFF);
    });
    PaintBack(
        [&](int x, int y) {
            return (Wide() ? 0x10203u : 0x1234u) * static_cast<uint32_t>(x + 3 * y + 1) & colour;
        },
        160, 140);
    const platform::Surface backBefore = Back();
    struct Case {
        int block, x, y, left, top, right, bottom;
        int clipLeft, clipTop, clipRight, clipBottom;
    };
    std::vector<Case> cases;
    // Small areas, every block from 0 to 18 and a few past the area, with the clip cutting each edge.
    const int blocks[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 23, 24, 31, 40};
    for (int block : blocks) {
        cases.push_back({block, 5, 7, 3, 2, 40, 25, 0, 0, 800, 600});
        cases.push_back({block, -4, -9, 10, 20, 33, 45, 0, 0, 800, 600});    // past the top-left
        cases.push_back({block, 30, 40, 0, 0, 24, 19, 0, 0, 41, 50});        // the clip cuts right, bottom
        cases.push_back({block, 30, 40, 50, 60, 73, 79, 37, 45, 800, 600});  // the clip cuts left, top
        cases.push_back({block, 20, 20, 7, 7, 8 + block % 5, 9 + block % 3, 0, 0, 800, 600});  // a few pixels
    }
    // Whole picture: long rows, and block sums too large for packed channels at 32 bits; a block
    // whose area alone is too large.
    cases.push_back({100, 10, 10, 0, 0, 120, 100, 0, 0, 800, 600});
    cases.push_back({2000, 10, 10, 50, 40, 80, 60, 0, 0, 800, 600});
    for (const Case& c : cases) {
        SetClipRect(c.clipLeft, c.clipTop, c.clipRight, c.clipBottom);
        const int dx0 = std::max({c.x, c.clipLeft, 0}), dy0 = std::max({c.y, c.clipTop, 0});
        const int dx1 = std::min(c.x + c.right - c.left, c.clipRight);
        const int dy1 = std::min(c.y + c.bottom - c.top, c.clipBottom);
        Back() = backBefore;
        const std::vector<uint32_t> expected =
            BlurByTheRule(*ObjectSurface(sprite), backBefore, c.block, c.left + dx0 - c.x, c.top + dy0 - c.y,
                          dx0, dy0, dx1, dy1);
        for (BlitLevel level : SupportedLevels()) {
            ASSERT_TRUE(platform::SetBlitLevel(level));
            Back() = backBefore;
            ASSERT_EQ(BlurBlt(c.x, c.y, c.block, sprite, c.left, c.top, c.right, c.bottom), 1);
            for (int y = 0; y < 140; ++y)
                for (int x = 0; x < 160; ++x)
                    ASSERT_EQ(BackPixel(x, y), expected[static_cast<size_t>(y) * Back().width + x])
                        << "block " << c.block << " at (" << c.x << ", " << c.y << "), source (" << c.left
                        << ", " << c.top << ", " << c.right << ", " << c.bottom << "), pixel (" << x << ", "
                        << y << ") at " << platform::BlitLevelName(level);
        }
    }
}

TEST_P(EffectTest, DisplaceTakesTheBackBufferPixelAsManyRowsBelowAsTheRedLevelMinusTheOffset) {
    auto red = [&](uint32_t level) {
        return Wide() ? Rgb32(level << 3, 1, 1) : (level << Display.format.redPosition5) | 1;
    };
    // Strength 1: offset 0, so red level k reads k rows below; a reach past the area reads itself.
    ObjectNo sprite =
        MakeObject(3, 6, [&](int x, int y) { return y == 0 ? red(x == 0 ? 2 : (x == 1 ? 9 : 0)) : 0u; });
    PaintBack([](int x, int y) { return static_cast<uint32_t>(100 + 10 * y + x); });
    DisplaceBlt(0, 0, sprite, 0, 0, 3, 6, 1.0f);
    EXPECT_EQ(BackPixel(0, 0), 120u);  // two rows below
    EXPECT_EQ(BackPixel(1, 0), 101u);  // nine rows would leave the six-row area
    EXPECT_EQ(BackPixel(2, 0), 102u);  // transparent
    // Strength 0: offset 31 at both depths leaves every level below 1.
    PaintBack([](int x, int y) { return static_cast<uint32_t>(100 + 10 * y + x); });
    DisplaceBlt(0, 0, sprite, 0, 0, 3, 6, 0.0f);
    EXPECT_EQ(BackPixel(0, 0), 100u);
}

TEST_P(EffectTest, DisplaceMovesARampByTheSameRowsAtBothDepths) {
    // A 64 x 64 red ramp of the same colours at both depths (8-bit red 4x, 5-bit red x / 2); the
    // reach is rows, so neither the offset nor an 8-bit red is scaled to 255.
    constexpr int kSize = 64;
    ObjectNo sprite = MakeObject(kSize, kSize, [&](int x, int) {
        const uint32_t r8 = 4u * static_cast<uint32_t>(x);
        return Wide() ? Rgb32(r8, 8, 8) : ((r8 >> 3) << Display.format.redPosition5) | 1u;
    });
    auto back = [](int x, int y) { return static_cast<uint32_t>(1 + x + kSize * y); };
    for (float strength : {1.0f, 0.5f}) {
        SCOPED_TRACE(strength);
        PaintBack(back);
        DisplaceBlt(0, 0, sprite, 0, 0, kSize, kSize, strength);
        const int offset = static_cast<int>(31.0f - 31.0f * strength);
        int moved = 0, wrong = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                int k = x / 2 - offset;
                if (k < 1 || y + k >= kSize) k = 0;
                moved += k > 0 ? 1 : 0;
                wrong += BackPixel(x, y) == back(x, y + k) ? 0 : 1;
            }
        EXPECT_EQ(wrong, 0);
        // Reaches 1..31 two columns each, 64 - k rows of each column can reach that far.
        if (strength == 1.0f) {
            EXPECT_EQ(moved, 2976);
        }
    }
}

// ---- Rotations ----

TEST_P(EffectTest, QuarterTurnsGiveExactPictures) {
    // 4 x 3 picture with distinct pixels, turned clockwise into rectangles of the turned size.
    const int w = 4, h = 3;
    ObjectNo sprite =
        MakeObject(w, h, [](int x, int y) { return 0x0841u * static_cast<uint32_t>(1 + x + w * y); });
    auto src = [&](int x, int y) { return platform::GetRawPixel(*ObjectSurface(sprite), x, y); };
    struct Turn {
        int angle, dw, dh;
        std::function<std::pair<int, int>(int, int)> from;  // destination (i, j) -> source (x, y)
    };
    const Turn turns[] = {
        {0, w, h,
         [](int i, int j) {
             return std::pair{i, j};
         }},
        {90, h, w,
         [](int i, int j) {
             return std::pair{j, h - 1 - i};
         }},
        {180, w, h,
         [](int i, int j) {
             return std::pair{w - 1 - i, h - 1 - j};
         }},
        {270, h, w,
         [](int i, int j) {
             return std::pair{w - 1 - j, i};
         }},
        {-90, h, w,
         [](int i, int j) {
             return std::pair{w - 1 - j, i};
         }},
        {450, h, w,
         [](int i, int j) {
             return std::pair{j, h - 1 - i};
         }},
    };
    for (const Turn& t : turns) {
        ClearScreen();
        RotateBlt(20, 30, 20 + t.dw, 30 + t.dh, t.angle, sprite, 0, 0, w, h);
        for (int j = -1; j <= t.dh; ++j)
            for (int i = -1; i <= t.dw; ++i) {
                const bool inside = i >= 0 && j >= 0 && i < t.dw && j < t.dh;
                const uint32_t expected = inside ? src(t.from(i, j).first, t.from(i, j).second) : 0u;
                ASSERT_EQ(BackPixel(20 + i, 30 + j), expected) << t.angle << " at " << i << ", " << j;
            }
        // Zoom 1 is the same picture; zoom 2 shows each source pixel as a 2 x 2 square.
        ClearScreen();
        RotateZoomBlt(20, 30, 20 + t.dw, 30 + t.dh, t.angle, 1.0f, sprite, 0, 0, w, h);
        for (int j = 0; j < t.dh; ++j)
            for (int i = 0; i < t.dw; ++i)
                ASSERT_EQ(BackPixel(20 + i, 30 + j), src(t.from(i, j).first, t.from(i, j).second));
    }
    ClearScreen();
    RotateZoomBlt(0, 0, 8, 6, 0, 2.0f, sprite, 0, 0, w, h);
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 8; ++i) ASSERT_EQ(BackPixel(i, j), src(i / 2, j / 2)) << i << ", " << j;
}

TEST_P(EffectTest, RotationsAtEveryVectorLevelEqualTheOnePixelLoop) {
    // Odd and even widths: at 16 bits the even one's last pixel ends the picture's store. Random
    // pixels, a quarter of them transparent (at 32 bits some only by their colour bits).
    std::mt19937 rng(5);
    auto pixel = [&](int, int) {
        const uint32_t v = static_cast<uint32_t>(rng());
        if (rng() % 4 == 0) return Wide() ? v & 0xFF000000u : 0u;
        return Wide() ? v : v & 0xFFFF;
    };
    const ObjectNo odd = MakeObject(61, 47, pixel), even = MakeObject(62, 47, pixel);
    PaintBack([](int x, int y) { return static_cast<uint32_t>(0x1357 + 7 * x + 131 * y) & 0xFFFF; }, 200,
              200);
    const platform::Surface before = Back();
    struct Case {
        ObjectNo object;
        int left, top, right, bottom;  // the source rectangle
        int dl, dt, dr, db;            // the destination rectangle
    };
    const Case cases[] = {
        {odd, 0, 0, 61, 47, 20, 20, 150, 140},   {even, 0, 0, 62, 47, 20, 20, 150, 140},
        {even, 3, 5, 60, 44, -30, -10, 120, 90},  // the destination past the screen's top-left
        {odd, -5, -7, 70, 52, 10, 15, 190, 170},  // the source rectangle past the object
        {even, 10, 10, 11, 12, 50, 50, 57, 59},   // a one-pixel-wide source
    };
    const int angles[] = {0, 7, 30, 45, 90, 133, 180, 211, 270, 359, -17};
    const float zooms[] = {0.3f, 0.77f, 1.0f, 1.5f, 3.7f};
    for (const Case& c : cases)
        for (int angle : angles)
            for (float zoom : zooms) {
                ASSERT_TRUE(platform::SetBlitLevel(BlitLevel::Scalar));
                Back() = before;
                RotateZoomBlt(c.dl, c.dt, c.dr, c.db, angle, zoom, c.object, c.left, c.top, c.right,
                              c.bottom);
                const platform::Surface expected = Back();
                for (BlitLevel level : SupportedLevels()) {
                    ASSERT_TRUE(platform::SetBlitLevel(level));
                    Back() = before;
                    RotateZoomBlt(c.dl, c.dt, c.dr, c.db, angle, zoom, c.object, c.left, c.top, c.right,
                                  c.bottom);
                    ASSERT_EQ(Back().pixels, expected.pixels)
                        << "angle " << angle << ", zoom " << zoom << ", destination (" << c.dl << ", " << c.dt
                        << ", " << c.dr << ", " << c.db << ") at " << platform::BlitLevelName(level);
                }
            }
}

TEST_P(EffectTest, RotatedRowsOfEveryLengthAtEveryVectorLevelEqualTheOnePixelLoop) {
    // Rows of every length from 1 to 70 pixels: whole vector blocks and every remainder after them,
    // with steps from 1/40 to 50 source pixels a pixel; the right-hand source rectangle ends at the
    // picture's last pixel.
    std::mt19937 rng(9);
    auto pixel = [&](int, int) {
        const uint32_t v = static_cast<uint32_t>(rng());
        if (rng() % 3 == 0) return Wide() ? v & 0xFF000000u : 0u;
        return Wide() ? v : v & 0xFFFF;
    };
    const ObjectNo strip = MakeObject(150, 9, pixel);
    // Only the block around the destination is painted and compared (copying the whole screen for
    // each of these thousands of cases would take most of the time).
    auto background = [](int x, int y) { return static_cast<uint32_t>(0x2468 + 5 * x + 97 * y) & 0xFFFF; };
    const int sources[][4] = {{0, 0, 150, 9}, {100, 0, 150, 9}};
    for (const auto& s : sources)
        for (int width = 1; width <= 70; ++width)
            for (int angle : {0, 1, 90, 180, 315})
                for (float zoom : {0.02f, 0.5f, 1.0f, 40.0f}) {
                    auto draw = [&] {
                        PaintBack(background, 90, 30);
                        RotateZoomBlt(10, 10, 10 + width, 22, angle, zoom, strip, s[0], s[1], s[2], s[3]);
                        std::vector<uint32_t> block;
                        for (int y = 0; y < 30; ++y)
                            for (int x = 0; x < 90; ++x) block.push_back(platform::GetRawPixel(Back(), x, y));
                        return block;
                    };
                    ASSERT_TRUE(platform::SetBlitLevel(BlitLevel::Scalar));
                    const auto expected = draw();
                    for (BlitLevel level : SupportedLevels()) {
                        ASSERT_TRUE(platform::SetBlitLevel(level));
                        ASSERT_EQ(draw(), expected)
                            << "width " << width << ", angle " << angle << ", zoom " << zoom
                            << ", source from " << s[0] << " at " << platform::BlitLevelName(level);
                    }
                }
}

TEST_P(EffectTest, TilingFillsTheWholeRectangleWithThePicture) {
    const int w = 4, h = 4;
    ObjectNo sprite =
        MakeObject(w, h, [](int x, int y) { return 0x0841u * static_cast<uint32_t>(1 + x + w * y); });
    auto src = [&](int x, int y) { return platform::GetRawPixel(*ObjectSurface(sprite), x, y); };
    ClearScreen();
    // A 16 x 16 rectangle centred on the picture: right of and below its first copy, the picture
    // repeats every 4 pixels; every pixel of the rectangle is drawn.
    RotateTileBlt(100, 100, 116, 116, 0, sprite, 0, 0, w, h);
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) {
            ASSERT_NE(BackPixel(100 + i, 100 + j), 0u) << i << ", " << j;
            if (i >= 6 && j >= 6) {
                ASSERT_EQ(BackPixel(100 + i, 100 + j), src((i - 6) % 4, (j - 6) % 4));
            }
        }
    EXPECT_EQ(BackPixel(99, 100), 0u);
    EXPECT_EQ(BackPixel(116, 100), 0u);
    // Turned and zoomed, the tiles still cover everything.
    ClearScreen();
    RotateZoomTileBlt(0, 0, 50, 40, 37, 0.3f, sprite, 0, 0, w, h);
    for (int j = 0; j < 40; ++j)
        for (int i = 0; i < 50; ++i) ASSERT_NE(BackPixel(i, j), 0u) << i << ", " << j;
}

// ---- Screen filters ----

TEST_P(EffectTest, CircleMosaicWithBlockOneOrNoRadiusChangesNothingAndOtherwiseCopiesBlockCorners) {
    PaintBack([](int x, int y) { return static_cast<uint32_t>(1 + x + 64 * y); });
    EXPECT_EQ(CircleMosaicFilter(30, 30, 20, 1), 1);
    EXPECT_EQ(CircleMosaicFilter(30, 30, 0, 4), 1);
    EXPECT_EQ(CircleMosaicFilter(30, 30, 20, 0), 1);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(BackPixel(x, y), static_cast<uint32_t>(1 + x + 64 * y));
    EXPECT_EQ(CircleMosaicFilter(30, 30, 10, 4), 1);
    // Offsets run from -10 in steps of 4: the block at offset (-2, -2) starts at (28, 28).
    EXPECT_EQ(BackPixel(29, 31), static_cast<uint32_t>(1 + 28 + 64 * 28));
    EXPECT_EQ(BackPixel(33, 30), static_cast<uint32_t>(1 + 32 + 64 * 28));  // block at offset (2, -2)
    EXPECT_EQ(BackPixel(39, 39), static_cast<uint32_t>(1 + 39 + 64 * 39));  // outside the circle
    EXPECT_EQ(BackPixel(25, 22), static_cast<uint32_t>(1 + 24 + 64 * 20));  // offset (-5, -8): inside
    EXPECT_EQ(BackPixel(25, 20), static_cast<uint32_t>(1 + 25 + 64 * 20));  // offset (-5, -10): outside
}

TEST_P(EffectTest, FiltersReachingPastTheBackBufferStayOnIt) {
    // Blocks and circles past every edge; the sanitizers would catch a pixel outside memory.
    PaintBack([](int x, int y) { return static_cast<uint32_t>(0x0841 * (1 + (x ^ y) % 29)); }, 800, 600);
    EXPECT_EQ(SmearFilter(-50, -50, 200, 200), 1);
    EXPECT_EQ(SmearFadeFilter(1, 1, 1, 700, 500, 500, 500), 1);
    EXPECT_EQ(BlurFilter(-10, 590, 900, 100), 1);
    EXPECT_EQ(BlurFadeFilter(1, 0, 1, 790, -10, 100, 1000), 1);
    EXPECT_EQ(NoiseFilter(2, -5, -5, 10000, 10000), 1);
    EXPECT_EQ(NoiseFilterRGB(0, 1, 0, 40, 795, 595, 10, 10), 1);
    EXPECT_EQ(Zoom2Filter(600, 400, 300, 300, 0), 1);
    EXPECT_EQ(Zoom2Filter(-20, -20, 100, 100, 1), 1);
    EXPECT_EQ(CircleMosaicFilter(790, 590, 5000, 7), 1);
    EXPECT_EQ(CircleMosaicFilter(-100, -100, 150, 3), 1);
    EXPECT_EQ(CircleMosaicFilter(-2147483647 - 1, 2147483647, 2147483647, 1000), 1);
    EXPECT_EQ(SmearFilter(2147483600, 2147483600, 2147483647, 2147483647), 1);
}

TEST_P(EffectTest, NoiseWalksTheTableAndRestartsNearItsStart) {
    platform::FillSurface(Back(), 0);
    // Three pixels: the table's last two entries, then the restart at rand() % 1000.
    NoiseFilter(0, 0, 0, 1, 1);  // draws the table at depths that lack it
    Effects.noisePosition = kNoiseTableSize - 2;
    std::srand(1234);
    const int restart = std::rand() % 1000;
    std::srand(1234);
    platform::FillSurface(Back(), 0);
    NoiseFilter(1, 0, 0, 3, 1);
    const uint8_t* noise = Tables.NoiseTable.data();
    const int amounts[3] = {noise[kNoiseTableSize - 2], noise[kNoiseTableSize - 1], noise[restart]};
    for (int x = 0; x < 3; ++x) {
        const uint32_t n = static_cast<uint32_t>(amounts[x]) << 1 << (Wide() ? 3 : 0);
        for (int c = 0; c < 3; ++c) EXPECT_EQ(LevelOf(BackPixel(x, 0), c), n) << x;
    }
    EXPECT_EQ(Effects.noisePosition, restart + 1);
    // Amounts stop at the top of the channel, and only flagged channels take them.
    platform::FillSurface(Back(), Display.format.fullMask & ~Display.format.blueMask);
    NoiseFilterRGB(1, 0, 1, 8, 0, 0, 4, 1);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(LevelOf(BackPixel(x, 0), 0), Wide() ? 255u : 31u);
        const uint32_t n = noise[(restart + 1 + x) % kNoiseTableSize];
        EXPECT_EQ(LevelOf(BackPixel(x, 0), 2), n == 0 ? 0u : (Wide() ? 255u : 31u));
    }
}

TEST_P(EffectTest, BlurFilterAveragesFourNeighboursReadingPixelsItHasAlreadyChanged) {
    auto red = [&](uint32_t level) {
        return Wide() ? Rgb32(level, 0, 0) : level << Display.format.redPosition5;
    };
    const uint32_t top = Wide() ? 255 : 31;
    PaintBack([&](int x, int y) { return red(x == 2 && y == 1 ? top : 0); }, 4, 4);
    BlurFilter(0, 0, 4, 4);
    EXPECT_EQ(BackPixel(1, 1), red(top / 4));
    EXPECT_EQ(BackPixel(2, 1), red(top / 4 / 4));  // its left neighbour was changed just before
    EXPECT_EQ(BackPixel(3, 1), 0u);                // edges are left alone
    // Darkening: a flat block loses one step (8 at 32 bits) on the flagged channel only.
    const uint32_t flat = Wide() ? Rgb32(80, 80, 80) : (10u << 11) | (10u << 6) | 10u;
    PaintBack([&](int, int) { return flat; }, 4, 4);
    BlurFadeFilter(1, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(BackPixel(1, 1), Wide() ? Rgb32(72, 80, 80) : (9u << 11) | (10u << 6) | 10u);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Depths, EffectTest, ::testing::Values(16, 32));
INSTANTIATE_TEST_SUITE_P(Depths, SixteenBitEffectTest, ::testing::Values(16));
INSTANTIATE_TEST_SUITE_P(Depths, ThirtyTwoBitEffectTest, ::testing::Values(32));
