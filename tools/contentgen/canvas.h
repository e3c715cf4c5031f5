// A canvas for drawing one sprite cell from shaded shapes, finished with pixel-art outlines.
// Nothing is drawn on the cell's outermost ring of pixels.
#pragma once
#include <vector>

#include "tools/contentgen/image.h"
#include "tools/contentgen/sources.h"

namespace contentgen {

struct Pt {
    double x = 0, y = 0;
};

// Shapes are grouped into parts. A part is one surface: its pixels take the material's base,
// shade or light tone by where they lie in their shape (light comes from the upper left).
// Finish() draws the part's line tone where a part lies over an earlier one of another colour,
// and a dark outline around the whole figure.
class Canvas {
  public:
    Canvas(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // lined: draw the material's line tone along the edges where this part covers others.
    // outlined: the figure outline goes round this part's pixels. shaded: use shade and light tones.
    void BeginPart(const Material& m, bool lined = true, bool outlined = true, bool shaded = true);
    // A flat one-colour part for small details (eyes, marks): no lines, no shading.
    void BeginFlat(Rgb colour, bool outlined = true);

    void Ellipse(double cx, double cy, double rx, double ry);
    // A thick line with round ends: every pixel whose centre lies within r of the segment.
    void Capsule(Pt a, Pt b, double r);
    void Polygon(const std::vector<Pt>& points);
    void Rect(double x0, double y0, double x1, double y1);
    void Pixel(int x, int y);
    // While a clip is set, shapes only fill pixels whose centres lie inside the ellipse (to keep
    // details such as a face or a stripe on the surface they belong to).
    void SetClip(double cx, double cy, double rx, double ry);
    void ClearClip() { clip_ = false; }

    bool Covered(int x, int y) const;
    // Applies inner lines and the outline; call once when every part is drawn.
    void Finish(Rgb outline);
    // The finished cell; uncovered pixels take the background colour.
    Image ToImage(Rgb background) const;

  private:
    struct PartInfo {
        Material mat;
        bool lined, outlined, shaded;
    };
    void Plot(int x, int y, double lightness);
    int width_, height_;
    std::vector<int> part_;  // -1 = empty
    std::vector<Rgb> colour_;
    std::vector<PartInfo> parts_;
    bool clip_ = false;
    double clipX_ = 0, clipY_ = 0, clipRx_ = 1, clipRy_ = 1;
};

}  // namespace contentgen
