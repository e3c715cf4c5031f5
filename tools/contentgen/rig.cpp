// View placement and back-to-front drawing of figure parts.
#include "tools/contentgen/rig.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

View View::Facing(double angleDegrees, double groundX, double groundY, double squash) {
    View v;
    double a = angleDegrees * 3.14159265358979323846 / 180.0;
    v.fx = std::cos(a);
    v.fy = std::sin(a);
    // Snap tiny values so that straight views stay exactly symmetric.
    if (std::fabs(v.fx) < 1e-9) v.fx = 0;
    if (std::fabs(v.fy) < 1e-9) v.fy = 0;
    v.rx = -v.fy;
    v.ry = v.fx;
    v.gx = groundX;
    v.gy = groundY;
    v.squash = squash;
    return v;
}

Pt View::At(double forward, double right, double height) const {
    return {gx + forward * fx + right * rx, gy + (forward * fy + right * ry) * squash - height};
}

void DrawList::Add(double depth, std::function<void(Canvas&)> draw) {
    items_.push_back({depth, static_cast<int>(items_.size()), std::move(draw)});
}

void DrawList::DrawAll(Canvas& canvas) {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return a.depth < b.depth; });
    for (auto& item : items_) item.draw(canvas);
    items_.clear();
}

void DrawStar(Canvas& c, Pt centre, int size, Rgb colour) {
    c.BeginFlat(colour, false);
    int x = static_cast<int>(std::floor(centre.x)), y = static_cast<int>(std::floor(centre.y));
    for (int k = -size; k <= size; ++k) {
        c.Pixel(x + k, y);
        c.Pixel(x, y + k);
    }
}

void DrawClosedEye(Canvas& c, Pt at, int width, bool pointLeft, Rgb colour) {
    c.BeginFlat(colour, false);
    int x = static_cast<int>(std::floor(at.x)), y = static_cast<int>(std::floor(at.y));
    // Two strokes meeting at the point, centred on (x, y): ">" or "<".
    for (int k = 0; k < width; ++k) {
        int px = pointLeft ? x + (width - 1) / 2 - k : x - (width - 1) / 2 + k;
        c.Pixel(px, y - (width - 1) + k);
        c.Pixel(px, y + (width - 1) - k);
    }
}

Pt Lerp(Pt a, Pt b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

}  // namespace contentgen
