// The vector rasterizer behind the device contexts: pixels, one-pixel and wide lines, rectangles,
// polygons filled by the alternate rule with solid or hatched brushes, flattened Bézier curves.
#include "platform/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/blit.h"

namespace platform {
namespace {

__extension__ typedef __int128 Wide;

// floor and ceiling of n / d for d > 0; in 64-bit arithmetic where both fit, which is far quicker.
Wide FloorDiv(Wide n, Wide d) {
    if (n >= INT64_MIN && n <= INT64_MAX && d <= INT64_MAX) {
        const int64_t a = static_cast<int64_t>(n), b = static_cast<int64_t>(d);
        const int64_t q = a / b;
        return q - (a % b != 0 && a < 0 ? 1 : 0);
    }
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
Wide CeilDiv(Wide n, Wide d) {
    return -FloorDiv(-n, d);
}

// n pixels of one value from p on; the caller has cut the run to the surface.
template <typename Pixel>
void FillPixels(uint8_t* p, int64_t n, uint32_t raw) {
    // Sixteen bytes of the colour at a time (two 8-byte stores), then the last pixels one by one.
    const uint64_t pattern = sizeof(Pixel) == 2 ? (raw & 0xFFFFu) * 0x0001000100010001ull
                                                : (raw & 0xFFFFFFFFu) * 0x0000000100000001ull;
    const size_t bytes = static_cast<size_t>(n) * sizeof(Pixel);
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        std::memcpy(p + i, &pattern, 8);
        std::memcpy(p + i + 8, &pattern, 8);
    }
    for (; i < bytes; i += sizeof(Pixel)) std::memcpy(p + i, &pattern, sizeof(Pixel));
}

// The same run through the diagonal-cross pattern of row y, starting at column x: pattern pixels
// take `line`, the others `gap` unless `gapShown` is false.
template <typename Pixel>
void HatchPixels(uint8_t* p, int64_t x, int64_t y, int64_t n, uint32_t line, uint32_t gap, bool gapShown) {
    // Bit k: columns congruent to k modulo 8 lie on the pattern in this row.
    const unsigned onPattern = (1u << (y & 7)) | (1u << ((7 - y) & 7));
    const Pixel lineValue = static_cast<Pixel>(line), gapValue = static_cast<Pixel>(gap);
    Pixel* to = reinterpret_cast<Pixel*>(p);
    for (int64_t i = 0; i < n; ++i) {
        if ((onPattern >> ((x + i) & 7)) & 1)
            std::memcpy(to + i, &lineValue, sizeof(Pixel));
        else if (gapShown)
            std::memcpy(to + i, &gapValue, sizeof(Pixel));
    }
}

// Where a call may write: the whole surface, every pixel of which lies in its store. Every run of
// pixels is cut to the surface once and then written without further checks.
class Canvas {
  public:
    explicit Canvas(DeviceContext* dc) : dc_(dc) {
        surface_ = dc != nullptr ? GetDCSurface(dc) : nullptr;
        if (surface_ != nullptr && !IsSurfaceValid(*surface_)) surface_ = nullptr;
        if (surface_ == nullptr) return;
        bytes_ = BytesPerPixel(surface_->format);
    }

    bool ok() const { return surface_ != nullptr && surface_->width > 0 && surface_->height > 0; }
    int width() const { return surface_->width; }
    int height() const { return surface_->height; }
    bool wide() const { return bytes_ == 4; }
    ptrdiff_t pitch() const { return surface_->pitch; }
    uint32_t Raw(uint32_t color) const { return ColorToRaw(surface_->format, color); }
    // The hatch gaps take the context's background; asking for it means setting it back.
    uint32_t backgroundRaw() const {
        const uint32_t color = SetBkColor(dc_, 0);
        SetBkColor(dc_, color);
        return Raw(color);
    }
    bool transparentBackground() const {
        const int mode = SetBkMode(dc_, OPAQUE);
        SetBkMode(dc_, mode);
        return mode == TRANSPARENT;
    }

    void Put(int64_t x, int64_t y, uint32_t raw) {
        if (x >= 0 && y >= 0 && x < width() && y < height())
            Store(Address(static_cast<int>(x), static_cast<int>(y)), raw);
    }

    // Pixels x0 <= x < x1 of row y, cut to the surface.
    void Span(int64_t y, int64_t x0, int64_t x1, uint32_t raw) {
        if (y < 0 || y >= height()) return;
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, width());
        if (x0 >= x1) return;
        uint8_t* p = Address(static_cast<int>(x0), static_cast<int>(y));
        if (wide())
            FillPixels<uint32_t>(p, x1 - x0, raw);
        else
            FillPixels<uint16_t>(p, x1 - x0, raw);
    }

    void HatchSpan(int64_t y, int64_t x0, int64_t x1, uint32_t line, uint32_t gap, bool gapShown) {
        if (y < 0 || y >= height()) return;
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, width());
        if (x0 >= x1) return;
        uint8_t* p = Address(static_cast<int>(x0), static_cast<int>(y));
        if (wide())
            HatchPixels<uint32_t>(p, x0, y, x1 - x0, line, gap, gapShown);
        else
            HatchPixels<uint16_t>(p, x0, y, x1 - x0, line, gap, gapShown);
    }

    uint8_t* Address(int x, int y) {
        return surface_->pixels.data() + static_cast<size_t>(y) * surface_->pitch +
               static_cast<size_t>(x) * bytes_;
    }

  private:
    void Store(uint8_t* p, uint32_t raw) {
        if (bytes_ == 2) {
            const uint16_t value = static_cast<uint16_t>(raw);
            std::memcpy(p, &value, 2);
        } else {
            std::memcpy(p, &raw, 4);
        }
    }

    DeviceContext* dc_ = nullptr;
    Surface* surface_ = nullptr;
    int bytes_ = 2;
};

// How a brush paints the pixels of a fill.
struct Paint {
    bool none = true;
    bool hatched = false;
    uint32_t raw = 0, gap = 0;
    bool gapShown = true;

    Paint(const Canvas& canvas, const Brush& brush) {
        none = brush.style == BrushStyle::Hollow;
        hatched = brush.style == BrushStyle::Hatched;
        raw = canvas.Raw(brush.color);
        if (hatched) {
            gap = canvas.backgroundRaw();
            gapShown = !canvas.transparentBackground();
        }
    }
    void Span(Canvas& canvas, int64_t y, int64_t x0, int64_t x1) const {
        if (none || x0 >= x1) return;
        if (hatched)
            canvas.HatchSpan(y, x0, x1, raw, gap, gapShown);
        else
            canvas.Span(y, x0, x1, raw);
    }
};

// The pixels of a one-pixel line, all on the surface: `count` steps from p, each moving
// `majorStep` bytes and, where the rest r passes `denominator`, `minorStep` bytes more.
template <typename Pixel>
void WalkLine(uint8_t* p, ptrdiff_t majorStep, ptrdiff_t minorStep, int64_t count, int64_t r,
              int64_t twoMinor, int64_t denominator, uint32_t raw) {
    const Pixel value = static_cast<Pixel>(raw);
    // The minor step is taken by selection rather than by a branch, which a line of any slope but
    // the plainest would mispredict at every other pixel.
    r -= denominator;  // r < 0 before each step: the minor step comes when r + twoMinor >= 0
    const ptrdiff_t bothSteps = majorStep + minorStep;
    for (; count > 0; --count) {
        std::memcpy(p, &value, sizeof(Pixel));
        r += twoMinor;
        const bool carry = r >= 0;
        p += carry ? bothSteps : majorStep;
        r -= carry ? denominator : 0;
    }
}

// A one-pixel line from a to b without b. Each step moves one pixel along the longer axis; the
// other coordinate is the nearest one to the true line, halves rounding away from a.
void ThinLine(Canvas& canvas, int64_t ax, int64_t ay, int64_t bx, int64_t by, uint32_t raw) {
    const int64_t dx = bx - ax, dy = by - ay;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const int64_t steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    if (steps == 0) return;
    // Only the steps whose major coordinate lies on the surface are walked.
    const int64_t start = xMajor ? ax : ay, step = xMajor ? sx : sy;
    const int64_t extent = xMajor ? canvas.width() : canvas.height();
    int64_t first = 0, last = steps;  // [first, last)
    if (step > 0) {
        first = std::max(first, -start);
        last = std::min(last, extent - start);
    } else {
        first = std::max(first, start - extent + 1);
        last = std::min(last, start + 1);
    }
    if (first >= last) return;
    // minor offset at step i = q(i) = floor((2 i minor + steps) / (2 steps)), which never falls as i
    // grows; the minor coordinate start + minorSign * q(i) lies on the surface for lo <= q(i) <= hi.
    const int64_t minorStart = xMajor ? ay : ax, minorSign = xMajor ? sy : sx;
    const int64_t minorExtent = xMajor ? canvas.height() : canvas.width();
    const int64_t lo = minorSign > 0 ? -minorStart : minorStart - (minorExtent - 1);
    const int64_t hi = minorSign > 0 ? minorExtent - 1 - minorStart : minorStart;
    if (hi < 0) return;  // q(i) >= 0
    if (minor == 0) {
        if (lo > 0) return;
    } else {
        // q(i) >= lo exactly when 2 i minor >= 2 steps lo - steps; q(i) <= hi when
        // 2 i minor < 2 steps (hi + 1) - steps.
        if (lo > 0)
            first = static_cast<int64_t>(
                std::max<Wide>(first, CeilDiv(Wide{2} * steps * lo - steps, Wide{2} * minor)));
        last = static_cast<int64_t>(
            std::min<Wide>(last, CeilDiv(Wide{2} * steps * (hi + 1) - steps, Wide{2} * minor)));
    }
    if (first >= last) return;
    const int64_t denominator = 2 * steps;
    const Wide numerator = static_cast<Wide>(2) * first * minor + steps;  // >= 0
    const Wide quotient = FloorDiv(numerator, denominator);
    const int64_t q = static_cast<int64_t>(quotient);
    const int64_t r = static_cast<int64_t>(numerator - quotient * denominator);
    const int64_t major = start + step * first, minorAt = minorStart + minorSign * q;
    const int64_t x = xMajor ? major : minorAt, y = xMajor ? minorAt : major;
    const ptrdiff_t bytes = canvas.wide() ? 4 : 2, pitch = canvas.pitch();
    const ptrdiff_t majorStep = xMajor ? step * bytes : step * pitch;
    const ptrdiff_t minorStep = xMajor ? minorSign * pitch : minorSign * bytes;
    uint8_t* p = canvas.Address(static_cast<int>(x), static_cast<int>(y));
    if (canvas.wide())
        WalkLine<uint32_t>(p, majorStep, minorStep, last - first, r, 2 * minor, denominator, raw);
    else
        WalkLine<uint16_t>(p, majorStep, minorStep, last - first, r, 2 * minor, denominator, raw);
}

// Every pixel whose centre lies within `radius` of the segment a-b (a disc when a == b).
void WideSegment(Canvas& canvas, double ax, double ay, double bx, double by, double radius, uint32_t raw) {
    const double top = std::max(std::min(ay, by) - radius, -1.0);
    const double bottom = std::min(std::max(ay, by) + radius, static_cast<double>(canvas.height()));
    if (top > bottom) return;
    const double length = std::hypot(bx - ax, by - ay);
    const double ux = length > 0 ? (bx - ax) / length : 0, uy = length > 0 ? (by - ay) / length : 0;
    const double r2 = radius * radius;
    const double far = 4.0 * kMaxSurfaceSide;
    for (int64_t y = static_cast<int64_t>(std::ceil(top)); y <= static_cast<int64_t>(std::floor(bottom));
         ++y) {
        double left = far, right = -far;
        auto unite = [&](double l, double r) {
            left = std::min(left, l);
            right = std::max(right, r);
        };
        for (const double* end : {&ax, &bx}) {
            const double cx = *end, cy = end == &ax ? ay : by;
            const double h = y - cy;
            if (h * h <= r2) {
                const double s = std::sqrt(r2 - h * h);
                unite(cx - s, cx + s);
            }
        }
        if (length > 0) {
            // Along the segment: 0 <= (p - a) . u <= length and |(p - a) x u| <= radius, each a bound on x.
            double l = -far, r = far;
            const double h = y - ay;
            auto bound = [&](double coefficient, double offset, double low, double high) {
                // low <= coefficient * (x - ax) + offset <= high
                if (std::fabs(coefficient) < 1e-12) {
                    if (offset < low || offset > high) l = far, r = -far;
                    return;
                }
                double x0 = ax + (low - offset) / coefficient, x1 = ax + (high - offset) / coefficient;
                if (x0 > x1) std::swap(x0, x1);
                l = std::max(l, x0);
                r = std::min(r, x1);
            };
            bound(ux, h * uy, 0, length);
            bound(uy, -h * ux, -radius, radius);
            if (l <= r) unite(l, r);
        }
        if (left > right) continue;
        left = std::max(left, -1.0);
        right = std::min(right, static_cast<double>(canvas.width()));
        canvas.Span(y, static_cast<int64_t>(std::ceil(left)), static_cast<int64_t>(std::floor(right)) + 1,
                    raw);
    }
}

struct Stroke {
    bool thin = true;
    double radius = 0, offset = 0;
    uint32_t raw = 0;

    Stroke(const Canvas& canvas, const Pen& pen) {
        thin = pen.width <= 1;
        radius = pen.width / 2.0;
        offset = pen.width % 2 == 0 ? -0.5 : 0.0;
        raw = canvas.Raw(pen.color);
    }
    void Segment(Canvas& canvas, double ax, double ay, double bx, double by) const {
        WideSegment(canvas, ax + offset, ay + offset, bx + offset, by + offset, radius, raw);
    }
};

std::vector<int64_t>& Crossings() {
    static std::vector<int64_t> crossings;
    return crossings;
}

// The inside of the polygon by the alternate rule, sampled at pixel centres.
void FillPolygon(Canvas& canvas, const Paint& paint, const Point* points, int count) {
    if (paint.none) return;
    int64_t top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min<int64_t>(top, points[i].y);
        bottom = std::max<int64_t>(bottom, points[i].y);
    }
    top = std::max<int64_t>(top, 0);
    bottom = std::min<int64_t>(bottom, canvas.height());
    std::vector<int64_t>& crossings = Crossings();
    for (int64_t y = top; y < bottom; ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            Point a = points[i], b = points[(i + 1) % count];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            if (y < a.y || y >= b.y) continue;
            // The first pixel centre at or right of the edge's crossing of the row.
            const Wide x = a.x + CeilDiv(static_cast<Wide>(y - a.y) * (static_cast<int64_t>(b.x) - a.x),
                                         static_cast<int64_t>(b.y) - a.y);
            crossings.push_back(static_cast<int64_t>(std::clamp<Wide>(x, -1, canvas.width() + 1)));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            paint.Span(canvas, y, crossings[i], crossings[i + 1]);
    }
}

// A line through the points; closed joins the last one back to the first.
void Polyline(Canvas& canvas, const Stroke& stroke, const Point* points, int count, bool closed) {
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % count];
        if (stroke.thin)
            ThinLine(canvas, a.x, a.y, b.x, b.y, stroke.raw);
        else
            stroke.Segment(canvas, a.x, a.y, b.x, b.y);
    }
}

struct Vec {
    double x, y;
};

// Splits the curve until each piece lies within a quarter pixel of its chord (or the pieces get
// too many to matter), appending the end of each piece.
void Flatten(Vec p0, Vec p1, Vec p2, Vec p3, int depth, std::vector<Vec>& out) {
    const double cx = p3.x - p0.x, cy = p3.y - p0.y;
    const double chord = std::hypot(cx, cy);
    auto distance = [&](Vec p) {
        if (chord == 0) return std::hypot(p.x - p0.x, p.y - p0.y);
        return std::fabs((p.x - p0.x) * cy - (p.y - p0.y) * cx) / chord;
    };
    if (depth >= 10 || std::max(distance(p1), distance(p2)) <= 0.25) {
        out.push_back(p3);
        return;
    }
    auto mid = [](Vec a, Vec b) { return Vec{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
    const Vec a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3);
    const Vec d = mid(a, b), e = mid(b, c), m = mid(d, e);
    Flatten(p0, a, d, m, depth + 1, out);
    Flatten(m, e, c, p3, depth + 1, out);
}

}  // namespace

uint32_t GetPixel(DeviceContext* dc, int x, int y) {
    Canvas canvas(dc);
    if (!canvas.ok() || x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return CLR_INVALID;
    const Surface& surface = *GetDCSurface(dc);
    return RawToColor(surface.format, GetRawPixel(surface, x, y));
}

uint32_t SetPixel(DeviceContext* dc, int x, int y, uint32_t color) {
    Canvas canvas(dc);
    if (!canvas.ok() || x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return CLR_INVALID;
    canvas.Put(x, y, canvas.Raw(color));
    return RawToColor(GetDCSurface(dc)->format, canvas.Raw(color));
}

bool DrawLine(DeviceContext* dc, const Pen& pen, int x1, int y1, int x2, int y2) {
    Canvas canvas(dc);
    if (!canvas.ok()) return false;
    const Stroke stroke(canvas, pen);
    if (stroke.thin)
        ThinLine(canvas, x1, y1, x2, y2, stroke.raw);
    else
        stroke.Segment(canvas, x1, y1, x2, y2);
    return true;
}

bool DrawRectangle(DeviceContext* dc, const Pen& pen, const Brush& brush, int left, int top, int right,
                   int bottom) {
    Canvas canvas(dc);
    if (!canvas.ok()) return false;
    int64_t l = std::min(left, right), r = std::max(left, right);
    int64_t t = std::min(top, bottom), b = std::max(top, bottom);
    if (l == r || t == b) return true;
    const int64_t w = std::max(pen.width, 1);
    const Paint paint(canvas, brush);
    const uint32_t raw = canvas.Raw(pen.color);
    // Only rows on the surface are visited.
    const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min<int64_t>(b, canvas.height());
    for (int64_t y = y0; y < y1; ++y) {
        if (y < t + w || y >= b - w) {
            canvas.Span(y, l, r, raw);
            continue;
        }
        canvas.Span(y, l, std::min(l + w, r), raw);
        canvas.Span(y, std::max(r - w, l), r, raw);
        paint.Span(canvas, y, l + w, r - w);
    }
    return true;
}

bool DrawPolygon(DeviceContext* dc, const Pen& pen, const Brush& brush, const Point* points, int count) {
    Canvas canvas(dc);
    if (!canvas.ok()) return false;
    if (points == nullptr || count < 2) return true;
    FillPolygon(canvas, Paint(canvas, brush), points, count);
    Polyline(canvas, Stroke(canvas, pen), points, count, true);
    return true;
}

bool DrawBezier(DeviceContext* dc, const Pen& pen, const Point* points, int count) {
    Canvas canvas(dc);
    if (!canvas.ok()) return false;
    if (points == nullptr || count < 4 || (count - 1) % 3 != 0) return true;
    static std::vector<Vec> path;
    path.clear();
    auto vec = [](const Point& p) { return Vec{static_cast<double>(p.x), static_cast<double>(p.y)}; };
    path.push_back(vec(points[0]));
    for (int i = 0; i + 3 < count; i += 3)
        Flatten(vec(points[i]), vec(points[i + 1]), vec(points[i + 2]), vec(points[i + 3]), 0, path);
    const Stroke stroke(canvas, pen);
    if (!stroke.thin) {
        for (size_t i = 0; i + 1 < path.size(); ++i)
            stroke.Segment(canvas, path[i].x, path[i].y, path[i + 1].x, path[i + 1].y);
        return true;
    }
    // One-pixel pens walk the chords between the nearest pixels, so the curve stays one line.
    auto pixel = [](double v) { return static_cast<int64_t>(std::floor(v + 0.5)); };
    int64_t x = pixel(path[0].x), y = pixel(path[0].y);
    for (size_t i = 1; i < path.size(); ++i) {
        const int64_t nx = pixel(path[i].x), ny = pixel(path[i].y);
        if (nx == x && ny == y) continue;
        ThinLine(canvas, x, y, nx, ny, stroke.raw);
        x = nx, y = ny;
    }
    return true;
}

}  // namespace platform
