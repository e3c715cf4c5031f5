// Placing a figure's parts in the game's top-down view, and drawing them back to front.
#pragma once
#include <functional>
#include <vector>

#include "tools/contentgen/canvas.h"

namespace contentgen {

// A figure stands at a ground point of its cell and faces a direction on the ground. A point of
// the figure is given as (forward, right, height): forward along the facing, right towards the
// figure's right hand, height above the ground. The ground is seen from above and in front, so
// ground distances towards or away from the viewer are squashed.
struct View {
    double fx = 0, fy = 1;   // facing on the screen, unit length (y grows towards the viewer)
    double rx = -1, ry = 0;  // the figure's right-hand side
    double gx = 0, gy = 0;   // screen position of the ground point under the figure
    double squash = 0.55;

    // angle in degrees: 0 right, 90 down (towards the viewer), 180 left, 270 up.
    static View Facing(double angleDegrees, double groundX, double groundY, double squash);

    Pt At(double forward, double right, double height) const;
    // Larger = nearer the viewer, drawn later.
    double Depth(double forward, double right) const { return forward * fy + right * ry; }
    bool FrontVisible() const { return fy > -0.05; }
};

// Parts queued with a depth and drawn from far to near; equal depths keep their queue order.
class DrawList {
  public:
    void Add(double depth, std::function<void(Canvas&)> draw);
    void DrawAll(Canvas& canvas);

  private:
    struct Item {
        double depth;
        int order;
        std::function<void(Canvas&)> draw;
    };
    std::vector<Item> items_;
};

// Small shapes shared by the figures.
void DrawStar(Canvas& c, Pt centre, int size, Rgb colour);                    // a four-point sparkle
void DrawClosedEye(Canvas& c, Pt at, int width, bool pointLeft, Rgb colour);  // ">" or "<"
Pt Lerp(Pt a, Pt b, double t);

}  // namespace contentgen
