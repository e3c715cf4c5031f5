// Shape filling, shading and outlining of sprite cells.
#include "tools/contentgen/canvas.h"

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {
// Lightness thresholds: above kLit a pixel takes the light tone, below kShaded the shade tone.
constexpr double kLit = 0.62;
constexpr double kShaded = -0.30;
}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      part_(static_cast<size_t>(width) * height, -1),
      colour_(static_cast<size_t>(width) * height) {}

void Canvas::BeginPart(const Material& m, bool lined, bool outlined, bool shaded) {
    parts_.push_back({m, lined, outlined, shaded});
}

void Canvas::BeginFlat(Rgb colour, bool outlined) {
    parts_.push_back({{colour, colour, colour, colour}, false, outlined, false});
}

void Canvas::Plot(int x, int y, double lightness) {
    // Shapes stay two pixels inside the cell, so the outline never reaches its outer ring and
    // no figure runs into a neighbouring cell.
    if (x < 2 || y < 2 || x >= width_ - 2 || y >= height_ - 2 || parts_.empty()) return;
    if (clip_) {
        double u = (x + 0.5 - clipX_) / clipRx_, v = (y + 0.5 - clipY_) / clipRy_;
        if (u * u + v * v > 1.0) return;
    }
    const PartInfo& p = parts_.back();
    size_t i = static_cast<size_t>(y) * width_ + x;
    part_[i] = static_cast<int>(parts_.size()) - 1;
    if (!p.shaded)
        colour_[i] = p.mat.base;
    else if (lightness > kLit)
        colour_[i] = p.mat.light;
    else if (lightness < kShaded)
        colour_[i] = p.mat.shade;
    else
        colour_[i] = p.mat.base;
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0) return;
    int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
            double d = u * u + v * v;
            if (d > 1.0) continue;
            // A ball lit from the upper left: a highlight spot, a shaded lower-right crescent.
            double hu = u + 0.42, hv = v + 0.48;
            double light = (hu * hu + hv * hv < 0.16) ? 1.0 : 0.0;
            double shade = (u * 0.55 + v * 0.85 > 0.42) ? -1.0 : 0.0;
            Plot(x, y, shade < 0 ? shade : light);
        }
}

void Canvas::Capsule(Pt a, Pt b, double r) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    // The side facing down-right is the shaded one.
    double nx = -dy, ny = dx;
    double nl = std::sqrt(len2);
    if (nl > 0) {
        nx /= nl;
        ny /= nl;
    } else {
        nx = 0.6;
        ny = 0.8;
    }
    if (nx * 0.6 + ny * 0.8 < 0) {
        nx = -nx;
        ny = -ny;
    }
    int x0 = static_cast<int>(std::floor(std::min(a.x, b.x) - r)),
        x1 = static_cast<int>(std::ceil(std::max(a.x, b.x) + r));
    int y0 = static_cast<int>(std::floor(std::min(a.y, b.y) - r)),
        y1 = static_cast<int>(std::ceil(std::max(a.y, b.y) + r));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
            double t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0, 1.0) : 0.0;
            double ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey > r * r) continue;
            double across = (ex * nx + ey * ny) / r;  // -1 lit edge .. +1 shaded edge
            double lightness = across > 0.35 ? -1.0 : (across < -0.55 && r >= 2.0 ? 1.0 : 0.0);
            Plot(x, y, lightness);
        }
}

void Canvas::Polygon(const std::vector<Pt>& pts) {
    if (pts.size() < 3) return;
    double minx = pts[0].x, maxx = pts[0].x, miny = pts[0].y, maxy = pts[0].y;
    for (const Pt& p : pts) {
        minx = std::min(minx, p.x);
        maxx = std::max(maxx, p.x);
        miny = std::min(miny, p.y);
        maxy = std::max(maxy, p.y);
    }
    double cx = (minx + maxx) / 2, cy = (miny + maxy) / 2;
    double hw = std::max(0.5, (maxx - minx) / 2), hh = std::max(0.5, (maxy - miny) / 2);
    for (int y = static_cast<int>(std::floor(miny)); y <= static_cast<int>(std::ceil(maxy)); ++y)
        for (int x = static_cast<int>(std::floor(minx)); x <= static_cast<int>(std::ceil(maxx)); ++x) {
            double px = x + 0.5, py = y + 0.5;
            bool inside = false;
            for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                const Pt &a = pts[i], &b = pts[j];
                if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x)
                    inside = !inside;
            }
            if (!inside) continue;
            double u = (px - cx) / hw, v = (py - cy) / hh;
            double lightness = (u * 0.8 + v * 0.35 > 0.5) ? -1.0 : (u < -0.55 && v < 0.3 ? 1.0 : 0.0);
            Plot(x, y, lightness);
        }
}

void Canvas::Rect(double x0, double y0, double x1, double y1) {
    Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

void Canvas::Pixel(int x, int y) {
    Plot(x, y, 0.0);
}

void Canvas::SetClip(double cx, double cy, double rx, double ry) {
    clip_ = true;
    clipX_ = cx;
    clipY_ = cy;
    clipRx_ = rx;
    clipRy_ = ry;
}

bool Canvas::Covered(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ && part_[static_cast<size_t>(y) * width_ + x] >= 0;
}

void Canvas::Finish(Rgb outline) {
    std::vector<Rgb> out = colour_;
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            size_t i = static_cast<size_t>(y) * width_ + x;
            int p = part_[i];
            if (p < 0) continue;
            const PartInfo& info = parts_[p];
            if (!info.lined) continue;
            for (int k = 0; k < 4; ++k) {
                int nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) continue;
                int q = part_[static_cast<size_t>(ny) * width_ + nx];
                if (q >= 0 && q < p && !(parts_[q].mat.base == info.mat.base)) {
                    out[i] = info.mat.line;
                    break;
                }
            }
        }
    std::vector<int> newPart = part_;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            size_t i = static_cast<size_t>(y) * width_ + x;
            if (part_[i] >= 0) continue;
            for (int k = 0; k < 4; ++k) {
                int nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_) continue;
                int q = part_[static_cast<size_t>(ny) * width_ + nx];
                if (q >= 0 && parts_[q].outlined) {
                    out[i] = outline;
                    newPart[i] = static_cast<int>(parts_.size());  // the outline itself
                    break;
                }
            }
        }
    colour_ = out;
    part_ = newPart;
    parts_.push_back({{outline, outline, outline, outline}, false, false, false});
}

Image Canvas::ToImage(Rgb background) const {
    Image img(width_, height_, background);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            size_t i = static_cast<size_t>(y) * width_ + x;
            if (part_[i] >= 0) img.At(x, y) = colour_[i];
        }
    return img;
}

}  // namespace contentgen
