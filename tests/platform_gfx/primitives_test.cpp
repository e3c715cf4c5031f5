// The vector rasterizer: one-pixel and wide lines, rectangles, hatched polygons and Bézier curves
// compared pixel for pixel with pictures worked out here, clipping, and single pixels.
#include "platform/primitives.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/blit.h"
#include "platform/bmp.h"

namespace {

using platform::Brush;
using platform::BrushStyle;
using platform::Pen;
using platform::PixelFormat;
using platform::Point;
using platform::Surface;

constexpr uint32_t kPaper = 0x402010;  // what the surface holds before drawing (0x00BBGGRR)
constexpr uint32_t kInk = 0x0000FF;
constexpr uint32_t kFill = 0x00FF00;
constexpr uint32_t kBack = 0xFF0000;

class PrimitivesTest : public ::testing::TestWithParam<PixelFormat> {
  protected:
    void Make(int width, int height) {
        surface = platform::CreateSurface(width, height, GetParam());
        platform::FillSurface(surface, platform::ColorToRaw(GetParam(), kPaper));
        if (dc != nullptr) platform::ReleaseDC(dc);
        dc = platform::GetDC(surface);
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override {
        if (dc != nullptr) platform::ReleaseDC(dc);
    }

    // The surface as rows of characters: each colour named in `legend` by its letter, the paper
    // as '.', anything else as '?'.
    std::string Picture(const std::vector<std::pair<char, uint32_t>>& legend) const {
        std::string out;
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x) {
                const uint32_t raw = platform::GetRawPixel(surface, x, y);
                char c = raw == Raw(kPaper) ? '.' : '?';
                for (const auto& [letter, color] : legend)
                    if (raw == Raw(color)) c = letter;
                out += c;
            }
            out += '\n';
        }
        return out;
    }
    // The expected picture from a rule giving each pixel's letter.
    std::string Expected(const std::function<char(int, int)>& letter) const {
        std::string out;
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x) out += letter(x, y);
            out += '\n';
        }
        return out;
    }
    uint32_t Raw(uint32_t color) const { return platform::ColorToRaw(GetParam(), color); }
    int Count(uint32_t color) const {
        int n = 0;
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x) n += platform::GetRawPixel(surface, x, y) == Raw(color);
        return n;
    }

    Surface surface;
    platform::DeviceContext* dc = nullptr;
};

TEST_P(PrimitivesTest, OnePixelLinesStopBeforeTheirEndPoint) {
    Make(10, 8);
    ASSERT_TRUE(platform::DrawLine(dc, Pen{1, kInk}, 2, 1, 7, 6));
    EXPECT_EQ(Picture({{'#', kInk}}),
              Expected([](int x, int y) { return x - y == 1 && x >= 2 && x < 7 ? '#' : '.'; }));

    // A shallow line: one pixel per column, the row nearest to the true line (a half rounds on).
    Make(10, 4);
    platform::DrawLine(dc, Pen{1, kInk}, 0, 0, 8, 2);
    EXPECT_EQ(Picture({{'#', kInk}}),
              "##........\n"
              "..####....\n"
              "......##..\n"
              "..........\n");
    // Steep and backwards: from the bottom up, the start (bottom) drawn, the top left out.
    Make(4, 9);
    platform::DrawLine(dc, Pen{0, kInk}, 3, 8, 1, 0);
    EXPECT_EQ(Picture({{'#', kInk}}),
              "....\n"
              ".#..\n"
              ".#..\n"
              "..#.\n"
              "..#.\n"
              "..#.\n"
              "..#.\n"
              "...#\n"
              "...#\n");
    // A line to its own start draws nothing.
    Make(4, 4);
    platform::DrawLine(dc, Pen{1, kInk}, 2, 2, 2, 2);
    EXPECT_EQ(Count(kInk), 0);
}

TEST_P(PrimitivesTest, LinesFromFarOutsideDrawExactlyTheirPartOnTheSurface) {
    Make(12, 12);
    platform::DrawLine(dc, Pen{1, kInk}, -(1 << 30), -(1 << 30), 1 << 30, 1 << 30);
    platform::DrawLine(dc, Pen{1, kFill}, (1 << 30) + 11, -(1 << 30), -(1 << 30) + 11, 1 << 30);
    platform::DrawLine(dc, Pen{1, kBack}, INT_MIN, 5, INT_MAX, 5);
    EXPECT_EQ(Picture({{'#', kInk}, {'o', kFill}, {'-', kBack}}), Expected([](int x, int y) {
                  if (y == 5) return '-';
                  if (x == y) return '#';
                  return x + y == 11 ? 'o' : '.';
              }));
    // Passing just outside a corner touches nothing.
    Make(12, 12);
    platform::DrawLine(dc, Pen{1, kInk}, INT_MAX, INT_MIN, INT_MIN, INT_MAX);
    EXPECT_EQ(Count(kInk), 0);
}

// One-pixel lines by the rule walked one step at a time, each pixel checked against the surface:
// the major coordinate moves by one, the minor one is floor((2 i minor + steps) / (2 steps)) away
// from the start.
void LineByTheRule(Surface& s, int64_t ax, int64_t ay, int64_t bx, int64_t by, uint32_t raw) {
    const int64_t dx = bx - ax, dy = by - ay;
    const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int64_t steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    // Steps whose major coordinate is off the surface cannot draw; they are skipped, not walked.
    const int64_t start = xMajor ? ax : ay, step = xMajor ? sx : sy, extent = xMajor ? s.width : s.height;
    const int64_t first = std::max<int64_t>(0, step > 0 ? -start : start - extent + 1);
    const int64_t last = std::min<int64_t>(steps, step > 0 ? extent - start : start + 1);
    for (int64_t i = first; i < last; ++i) {
        const __int128 q =
            (static_cast<__int128>(2) * i * minor + steps) / (2 * static_cast<__int128>(steps));
        const int64_t major = start + step * i;
        const __int128 other = (xMajor ? ay : ax) + (xMajor ? sy : sx) * q;
        const int64_t x = xMajor ? major : static_cast<int64_t>(other),
                      y = xMajor ? static_cast<int64_t>(other) : major;
        if (other >= 0 && other < (xMajor ? s.height : s.width))
            platform::SetRawPixel(s, static_cast<int>(x), static_cast<int>(y), raw);
    }
}

TEST_P(PrimitivesTest, OnePixelLinesEqualTheRuleWalkedPixelByPixel) {
    // Random segments: on the surface, reaching past it, far outside, and near the limits of int.
    uint64_t seed = 99;
    auto next = [&]() {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(seed >> 32);
    };
    auto coordinate = [&](int extent) -> int {
        switch (next() % 6) {
            case 0:
                return static_cast<int>(next() % extent);  // on the surface
            case 1:
                return static_cast<int>(next() % (3 * extent)) - extent;  // near it
            case 2:
                return static_cast<int>(next() % 2000) - 1000;  // a little further
            case 3:
                return static_cast<int>(next());  // anywhere
            case 4:
                return next() % 2 ? INT_MAX - static_cast<int>(next() % 4)
                                  : INT_MIN + static_cast<int>(next() % 4);
            default:
                return static_cast<int>(next() % 2 ? next() % (1 << 20) : -(next() % (1 << 20)));
        }
    };
    for (const auto& [w, h] : {std::pair{37, 23}, std::pair{1, 9}, std::pair{64, 1}}) {
        Make(w, h);
        Surface expected = surface;
        for (int i = 0; i < 3000; ++i) {
            const uint32_t colour = next() & 0xFFFFFF;
            int x1 = coordinate(w), y1 = coordinate(h), x2 = coordinate(w), y2 = coordinate(h);
            if (i % 7 == 0) y2 = y1;  // level and upright lines too
            if (i % 11 == 0) x2 = x1;
            ASSERT_TRUE(platform::DrawLine(dc, Pen{1, colour}, x1, y1, x2, y2));
            LineByTheRule(expected, x1, y1, x2, y2, Raw(colour));
            ASSERT_EQ(surface.pixels, expected.pixels)
                << "line " << i << " from (" << x1 << ", " << y1 << ") to (" << x2 << ", " << y2 << ") on "
                << w << " x " << h;
        }
    }
}

TEST_P(PrimitivesTest, WidePensCoverEveryPixelWithinHalfTheirWidth) {
    Make(13, 9);
    ASSERT_TRUE(platform::DrawLine(dc, Pen{3, kInk}, 3, 4, 9, 4));
    // Rows 3 to 5 from x 3 to 9, and round ends reaching one column further (corners at sqrt 2).
    EXPECT_EQ(Picture({{'#', kInk}}),
              ".............\n"
              ".............\n"
              ".............\n"
              "..#########..\n"
              "..#########..\n"
              "..#########..\n"
              ".............\n"
              ".............\n"
              ".............\n");
    // A diagonal 3-wide line: the pixels whose centres lie within 1.5 of the segment.
    Make(12, 12);
    platform::DrawLine(dc, Pen{3, kInk}, 2, 2, 9, 9);
    EXPECT_EQ(Picture({{'#', kInk}}), Expected([](int x, int y) {
                  // distance to the line x = y is |x - y| / sqrt 2; to the ends, the plain distance
                  const double t = std::clamp((x + y - 4) / 14.0, 0.0, 1.0);
                  const double px = 2 + 7 * t, py = 2 + 7 * t;
                  return (x - px) * (x - px) + (y - py) * (y - py) <= 2.25 ? '#' : '.';
              }));
    // An even width lies half a pixel up and left: two rows, from the row above the line.
    Make(8, 6);
    platform::DrawLine(dc, Pen{2, kInk}, 2, 3, 5, 3);
    EXPECT_EQ(Picture({{'#', kInk}}),
              "........\n"
              "........\n"
              ".#####..\n"
              ".#####..\n"
              "........\n"
              "........\n");
}

TEST_P(PrimitivesTest, RectanglesKeepTheirPenInsideAndLeaveRightAndBottomOut) {
    Make(11, 9);
    ASSERT_TRUE(platform::DrawRectangle(dc, Pen{2, kInk}, Brush{BrushStyle::Solid, kFill}, 1, 1, 10, 8));
    EXPECT_EQ(Picture({{'#', kInk}, {'o', kFill}}),
              "...........\n"
              ".#########.\n"
              ".#########.\n"
              ".##ooooo##.\n"
              ".##ooooo##.\n"
              ".##ooooo##.\n"
              ".#########.\n"
              ".#########.\n"
              "...........\n");
    // Given the other way round it is the same shape; a one-pixel pen is a one-pixel frame.
    Make(6, 5);
    platform::DrawRectangle(dc, Pen{1, kInk}, Brush{BrushStyle::Solid, kFill}, 5, 4, 1, 0);
    EXPECT_EQ(Picture({{'#', kInk}, {'o', kFill}}),
              ".####.\n"
              ".#oo#.\n"
              ".#oo#.\n"
              ".####.\n"
              "......\n");
    // Half of the surface and beyond: clipped, the frame's far sides off the surface.
    Make(6, 5);
    platform::DrawRectangle(dc, Pen{1, kInk}, Brush{BrushStyle::Solid, kFill}, 3, -20, INT_MAX, 3);
    EXPECT_EQ(Picture({{'#', kInk}, {'o', kFill}}),
              "...#oo\n"
              "...#oo\n"
              "...###\n"
              "......\n"
              "......\n");
}

// The diagonal cross of the hatch brush at a surface pixel.
bool OnHatch(int x, int y) {
    return (x - y) % 8 == 0 || (x + y) % 8 == 7;
}

TEST_P(PrimitivesTest, HatchedTrianglesOnOpaqueAndTransparentBackgrounds) {
    // A right triangle whose edges are a row, a column and a diagonal: the outline takes every
    // pixel on them, the inside the hatch aligned to the surface's origin.
    const Point triangle[] = {{3, 2}, {17, 2}, {3, 16}};
    auto letter = [](bool opaque) {
        return [opaque](int x, int y) {
            const bool inside = x >= 3 && y >= 2 && x + y <= 19;
            if (!inside) return '.';
            if (x == 3 || y == 2 || x + y == 19) return '#';
            if (OnHatch(x, y)) return '#';
            return opaque ? 'b' : '.';
        };
    };
    for (bool opaque : {true, false}) {
        Make(20, 18);
        platform::SetBkColor(dc, kBack);
        platform::SetBkMode(dc, opaque ? platform::OPAQUE : platform::TRANSPARENT);
        ASSERT_TRUE(platform::DrawPolygon(dc, Pen{1, kInk}, Brush{BrushStyle::Hatched, kInk}, triangle, 3));
        EXPECT_EQ(Picture({{'#', kInk}, {'b', kBack}}), Expected(letter(opaque)))
            << (opaque ? "opaque" : "transparent");
    }
}

TEST_P(PrimitivesTest, PolygonsFillByTheAlternateRuleUnderTheirOutline) {
    // A square: the fill takes the pixels inside, the outline every pixel of the edges.
    Make(8, 8);
    const Point square[] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
    platform::DrawPolygon(dc, Pen{1, kInk}, Brush{BrushStyle::Solid, kFill}, square, 4);
    EXPECT_EQ(Picture({{'#', kInk}, {'o', kFill}}), Expected([](int x, int y) {
                  if (x < 1 || x > 6 || y < 1 || y > 5) return '.';
                  return x == 1 || x == 6 || y == 1 || y == 5 ? '#' : 'o';
              }));
    // A five-pointed star: with the alternate rule its centre stays empty.
    Make(21, 21);
    const Point star[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    platform::DrawPolygon(dc, Pen{1, kPaper}, Brush{BrushStyle::Solid, kFill}, star, 5);
    EXPECT_EQ(platform::GetRawPixel(surface, 10, 11), Raw(kPaper));
    EXPECT_EQ(platform::GetRawPixel(surface, 10, 3), Raw(kFill));
    EXPECT_EQ(platform::GetRawPixel(surface, 3, 8), Raw(kFill));
    // Too few points draw nothing; two points are a line there and back, both ends drawn.
    Make(8, 8);
    platform::DrawPolygon(dc, Pen{1, kInk}, Brush{BrushStyle::Solid, kFill}, square, 1);
    platform::DrawPolygon(dc, Pen{1, kInk}, Brush{BrushStyle::Solid, kFill}, square, 0);
    EXPECT_EQ(Count(kInk) + Count(kFill), 0);
    platform::DrawPolygon(dc, Pen{1, kInk}, Brush{BrushStyle::Solid, kFill}, square, 2);
    EXPECT_EQ(Picture({{'#', kInk}}),
              Expected([](int x, int y) { return y == 1 && x >= 1 && x <= 6 ? '#' : '.'; }));
}

TEST_P(PrimitivesTest, ShapesFarBeyondTheSurfaceStayInsideIt) {
    Make(16, 10);
    const Point huge[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    platform::SetBkColor(dc, kBack);
    platform::DrawPolygon(dc, Pen{5, kFill}, Brush{BrushStyle::Hatched, kInk}, huge, 4);
    EXPECT_EQ(Picture({{'#', kInk}, {'b', kBack}}),
              Expected([](int x, int y) { return OnHatch(x, y) ? '#' : 'b'; }));
    platform::DrawLine(dc, Pen{INT_MAX, kFill}, INT_MIN, 0, INT_MAX, 0);
    EXPECT_EQ(Count(kFill), 16 * 10);
    const Point curve[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}};
    platform::DrawBezier(dc, Pen{1, kInk}, curve, 4);
    platform::DrawBezier(dc, Pen{9, kInk}, curve, 4);
    platform::DrawRectangle(dc, Pen{INT_MAX, kInk}, Brush{BrushStyle::Hatched, kInk}, INT_MIN, INT_MIN,
                            INT_MAX, INT_MAX);
    EXPECT_EQ(Count(kInk), 16 * 10);
}

// The point of the cubic at t.
void Bezier(const Point* p, double t, double& x, double& y) {
    const double u = 1 - t;
    x = u * u * u * p[0].x + 3 * u * u * t * p[1].x + 3 * u * t * t * p[2].x + t * t * t * p[3].x;
    y = u * u * u * p[0].y + 3 * u * u * t * p[1].y + 3 * u * t * t * p[2].y + t * t * t * p[3].y;
}

TEST_P(PrimitivesTest, BezierCurvesPassThroughTheirPointsAsOneThinLine) {
    // Control points evenly on a diagonal make the diagonal line itself.
    Make(36, 36);
    const Point straight[] = {{2, 2}, {12, 12}, {22, 22}, {32, 32}};
    ASSERT_TRUE(platform::DrawBezier(dc, Pen{1, kInk}, straight, 4));
    EXPECT_EQ(Picture({{'#', kInk}}),
              Expected([](int x, int y) { return x == y && x >= 2 && x < 32 ? '#' : '.'; }));

    // An arch: at t = 1/4, 1/2 and 3/4 it passes exactly through (5, 18), (16, 24) and (27, 18).
    Make(40, 40);
    const Point arch[] = {{0, 0}, {0, 32}, {32, 32}, {32, 0}};
    platform::DrawBezier(dc, Pen{1, kInk}, arch, 4);
    for (Point p : {Point{0, 0}, Point{5, 18}, Point{16, 24}, Point{27, 18}})
        EXPECT_EQ(platform::GetRawPixel(surface, p.x, p.y), Raw(kInk)) << p.x << "," << p.y;
    EXPECT_NE(platform::GetRawPixel(surface, 32, 0), Raw(kInk));  // the end point is left out
    // Every drawn pixel lies within a pixel of the curve, and the curve is never more than a
    // pixel from a drawn one: a thin, unbroken line.
    std::vector<std::pair<double, double>> samples;
    for (int i = 0; i <= 2000; ++i) {
        double x, y;
        Bezier(arch, i / 2000.0, x, y);
        samples.emplace_back(x, y);
    }
    int drawn = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            if (platform::GetRawPixel(surface, x, y) != Raw(kInk)) continue;
            ++drawn;
            double nearest = 1e9;
            for (auto [sx, sy] : samples) nearest = std::min(nearest, std::hypot(sx - x, sy - y));
            EXPECT_LE(nearest, 1.0) << x << "," << y;
        }
    for (size_t i = 0; i + 20 < samples.size(); ++i) {
        const auto [sx, sy] = samples[i];
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                near = near || platform::GetRawPixel(surface, static_cast<int>(std::lround(sx)) + dx,
                                                     static_cast<int>(std::lround(sy)) + dy) == Raw(kInk);
        ASSERT_TRUE(near) << "gap near " << sx << "," << sy;
    }
    // A thin line has about one pixel per step along its longer axis (no doubled runs).
    EXPECT_LT(drawn, 80);

    // Counts other than 3n + 1 draw nothing.
    Make(40, 40);
    const Point two[] = {{0, 0}, {0, 32}, {32, 32}, {32, 0}, {10, 10}, {20, 20}};
    for (int count : {0, 1, 2, 3, 5, 6}) platform::DrawBezier(dc, Pen{1, kInk}, two, count);
    EXPECT_EQ(Count(kInk), 0);
}

TEST_P(PrimitivesTest, PixelsReadBackAsTheSurfaceShowsThem) {
    Make(4, 4);
    const uint32_t shown = platform::SetPixel(dc, 1, 2, 0x123456);
    const uint32_t expected = GetParam() == PixelFormat::RGB565 ? 0x103450u : 0x123456u;
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(platform::GetPixel(dc, 1, 2), expected);
    EXPECT_EQ(platform::GetPixel(dc, 4, 0), platform::CLR_INVALID);
    EXPECT_EQ(platform::GetPixel(dc, -1, 0), platform::CLR_INVALID);
    EXPECT_EQ(platform::SetPixel(dc, 0, 4, 0xFFFFFF), platform::CLR_INVALID);
    EXPECT_EQ(platform::GetPixel(nullptr, 0, 0), platform::CLR_INVALID);
    EXPECT_FALSE(platform::DrawLine(nullptr, Pen{}, 0, 0, 3, 3));
}

INSTANTIATE_TEST_SUITE_P(Formats, PrimitivesTest,
                         ::testing::Values(PixelFormat::RGB565, PixelFormat::XRGB8888), [](const auto& info) {
                             return info.param == PixelFormat::RGB565 ? "RGB565" : "XRGB8888";
                         });

}  // namespace
