// Page 3, primitives: lines, rectangles, hatched polygons and Bézier curves drawn from the mouse
// position on the left part of the body, each kind switched by a key, the pen width and the
// polygon's fill mode changed live.
#include <cmath>

#include "demo/demo.h"
#include "engine/draw/primitives.h"
#include "engine/system/input.h"
#include "platform/messages.h"

namespace {

// The shapes keep to the left of the body; the right part stays free for the screen filters.
constexpr int kAreaLeft = 8, kAreaTop = kBodyTop + 8, kAreaRight = 536, kAreaBottom = kBodyBottom - 8;
constexpr int kMaxPen = 8;
const char* const kFillNames[3] = {"outline", "hatched on white", "hatched, clear"};

struct PrimitivesPageState {
    bool lines = true, rectangles = true, polygons = true, curves = true;
    int pen = 1;
    int fillMode = 1;
};

PrimitivesPageState State;

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

void ShowStatus() {
    SetStatus("pen %d, polygon %s, %s%s%s%s", State.pen, kFillNames[State.fillMode], State.lines ? "L" : "-",
              State.rectangles ? "R" : "-", State.polygons ? "P" : "-", State.curves ? "B" : "-");
}

void HandleKeys() {
    bool changed = false;
    auto toggle = [&](int key, bool& flag) {
        if (KeyPressed(key)) flag = !flag, changed = true;
    };
    toggle('L', State.lines);
    toggle('R', State.rectangles);
    toggle('P', State.polygons);
    toggle('B', State.curves);
    if (KeyPressed('H')) State.fillMode = (State.fillMode + 1) % 3, changed = true;
    if (KeyPressed(platform::VK_UP) && State.pen < kMaxPen) ++State.pen, changed = true;
    if (KeyPressed(platform::VK_DOWN) && State.pen > 1) --State.pen, changed = true;
    if (changed) ShowStatus();
}

void Frame() {
    HandleKeys();
    const int x = Clamp(Input.MouseX, kAreaLeft + 40, kAreaRight - 40);
    const int y = Clamp(Input.MouseY, kAreaTop + 40, kAreaBottom - 40);
    DrawRectangle(kAreaLeft, kAreaTop, kAreaRight, kAreaBottom, 0x201810, 0x806040, 1);

    if (State.lines) {
        // A fan from the corners and edge middles of the area to the mouse.
        const int xs[] = {kAreaLeft, (kAreaLeft + kAreaRight) / 2, kAreaRight - 1};
        const int ys[] = {kAreaTop, (kAreaTop + kAreaBottom) / 2, kAreaBottom - 1};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (i != 1 || j != 1) DrawLine(xs[i], ys[j], x, y, 0x40C0FF - 0x101000 * (i + j), State.pen);
    }
    if (State.rectangles) {
        DrawRectangle(x - 60, y - 40, x + 60, y + 40, 0x305020, 0x60FF60, State.pen);
        DrawRectangle(x - 20, y - 14, x + 20, y + 14, 0xFFFFFF, 0x000000, 1);
    }
    if (State.polygons) {
        // A five-pointed star around the mouse, drawn by the alternate rule: its middle stays open.
        platform::Point star[5];
        for (int k = 0; k < 5; ++k) {
            const double angle = -M_PI / 2 + k * 4 * M_PI / 5;
            star[k] = {x + static_cast<int>(std::lround(90 * std::cos(angle))),
                       y + static_cast<int>(std::lround(90 * std::sin(angle)))};
        }
        DrawPolygon(star, 5, 0x4060FF, 0xFFFFFF, State.pen, State.fillMode);
    }
    if (State.curves) {
        // Two cubic segments from the left edge through the mouse to the right edge.
        const platform::Point curve[7] = {{kAreaLeft + 4, kAreaBottom - 20},
                                          {x - 160, y - 200},
                                          {x - 60, y + 120},
                                          {x, y},
                                          {x + 60, y - 120},
                                          {x + 160, y + 200},
                                          {kAreaRight - 4, kAreaTop + 20}};
        DrawBezier(curve, 7, 0xFF60FF, State.pen);
    }
    PutPixel(x, y, 0xFFFFFF);
}

const char* const kKeys[] = {
    "Mouse  moves the shapes    Up/Down  pen width 1-8",
    "L  lines    R  rectangles    P  hatched polygon    B  Bezier curves    H  polygon fill mode",
    nullptr,
};

}  // namespace

extern const DemoPage PrimitivesPage{"Primitives", kKeys, ShowStatus, Frame, nullptr, nullptr};
