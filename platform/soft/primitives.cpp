// The vector rasterizer behind the device contexts: pixels, one-pixel and wide lines, rectangles,
// polygons filled by the alternate rule with solid or hatched brushes, flattened Bézier curves.
#include "platform/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/blit.h"

namespace platform {
namespace {

__extension__ typedef __int128 Wide;

// Where a call may write: the whole surface, every pixel of which lies in its store.
class Canvas {
  public:
    explicit Canvas(DeviceContext* dc) {
        surface_ = dc != nullptr ? GetDCSurface(dc) : nullptr;
        if (surface_ != nullptr && !IsSurfaceValid(*surface_)) surface_ = nullptr;
        if (surface_ == nullptr) return;
        bytes_ = BytesPerPixel(surface_->format);
        // The hatch gaps take the context's background; asking for it means setting it back.
        bkMode_ = SetBkMode(dc, OPAQUE);
        SetBkMode(dc, bkMode_);
        bkColor_ = SetBkColor(dc, 0);
        SetBkColor(dc, bkColor_);
    }

    bool ok() const { return surface_ != nullptr && surface_->width > 0 && surface_->height > 0; }
    int width() const { return surface_->width; }
    int height() const { return surface_->height; }
    uint32_t Raw(uint32_t color) const { return ColorToRaw(surface_->format, color); }
    uint32_t backgroundRaw() const { return Raw(bkColor_); }
    bool transparentBackground() const { return bkMode_ == TRANSPARENT; }

    void Put(int64_t x, int64_t y, uint32_t raw) {
        if (x >= 0 && y >= 0 && x < width() && y < height())
            Store(Address(static_cast<int>(x), static_cast<int>(y)), raw);
    }

    // Pixels x0 <= x < x1 of row y, cut to the surface.
    void Span(int64_t y, int64_t x0, int64_t x1, uint32_t raw) {
        if (y < 0 || y >= height()) return;
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, width());
        uint8_t* p = Address(static_cast<int>(x0), static_cast<int>(y));
        for (int64_t x = x0; x < x1; ++x, p += bytes_) Store(p, raw);
    }

    // The same span through the diagonal-cross pattern: pattern pixels take `line`, the others
    // `gap` unless `gapShown` is false.
    void HatchSpan(int64_t y, int64_t x0, int64_t x1, uint32_t line, uint32_t gap, bool gapShown) {
        if (y < 0 || y >= height()) return;
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, width());
        uint8_t* p = Address(static_cast<int>(x0), static_cast<int>(y));
        for (int64_t x = x0; x < x1; ++x, p += bytes_) {
            const bool onPattern = ((x - y) & 7) == 0 || ((x + y) & 7) == 7;
            if (onPattern)
                Store(p, line);
            else if (gapShown)
                Store(p, gap);
        }
    }

  private:
    uint8_t* Address(int x, int y) {
        return surface_->pixels.data() + static_cast<size_t>(y) * surface_->pitch +
               static_cast<size_t>(x) * bytes_;
    }
    void Store(uint8_t* p, uint32_t raw) {
        if (bytes_ == 2) {
            const uint16_t value = static_cast<uint16_t>(raw);
            std::memcpy(p, &value, 2);
        } else {
            std::memcpy(p, &raw, 4);
        }
    }

    Surface* surface_ = nullptr;
    int bytes_ = 2;
    int bkMode_ = OPAQUE;
    uint32_t bkColor_ = 0xFFFFFF;
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
        gap = canvas.backgroundRaw();
        gapShown = !canvas.transparentBackground();
    }
    void Span(Canvas& canvas, int64_t y, int64_t x0, int64_t x1) const {
        if (none || x0 >= x1) return;
        if (hatched)
            canvas.HatchSpan(y, x0, x1, raw, gap, gapShown);
        else
            canvas.Span(y, x0, x1, raw);
    }
};

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
    // minor offset at step i = floor((2 i minor + steps) / (2 steps)), carried as quotient and rest.
    const int64_t denominator = 2 * steps;
    const Wide numerator = static_cast<Wide>(2) * first * minor + steps;
    int64_t q = static_cast<int64_t>(numerator / denominator);
    int64_t r = static_cast<int64_t>(numerator % denominator);
    for (int64_t i = first; i < last; ++i) {
        const int64_t major = start + step * i;
        if (xMajor)
            canvas.Put(major, ay + sy * q, raw);
        else
            canvas.Put(ax + sx * q, major, raw);
        r += 2 * minor;
        if (r >= denominator) {
            r -= denominator;
            ++q;
        }
    }
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

// floor and ceiling of n / d for d > 0.
Wide FloorDiv(Wide n, Wide d) {
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
Wide CeilDiv(Wide n, Wide d) {
    return -FloorDiv(-n, d);
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
