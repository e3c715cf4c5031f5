// What a scene reads of elDraw's module state through the public interface (sizes, the clip
// rectangle, transitions, the viewer, clip wipes), and the polygon and curve with public points.
#include <algorithm>
#include <vector>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/primitives.h"
#include "engine/draw/refresh.h"
#include "platform/blit.h"

namespace {

void Put(int* out, int value) {
    if (out != nullptr) *out = value;
}

// The points in the platform's form: on the stack for the usual few, else in a buffer kept for
// the next call.
template <typename Draw>
void WithPlatformPoints(const elDraw::Point* points, int count, Draw draw) {
    if (points == nullptr || count <= 0) {
        draw(static_cast<const platform::Point*>(nullptr), count);
        return;
    }
    constexpr int kOnStack = 64;
    platform::Point local[kOnStack];
    static std::vector<platform::Point> large;
    platform::Point* out = local;
    if (count > kOnStack) {
        large.resize(static_cast<size_t>(count));
        out = large.data();
    }
    for (int i = 0; i < count; ++i) out[i] = platform::Point{points[i].x, points[i].y};
    draw(static_cast<const platform::Point*>(out), count);
}

}  // namespace

namespace elDraw {

int GetObjectSize(ObjectNo object, int* width, int* height) {
    const platform::Surface* surface = ObjectSurface(object);
    Put(width, surface != nullptr ? surface->width : 0);
    Put(height, surface != nullptr ? surface->height : 0);
    return surface != nullptr ? 1 : 0;
}

int IsObjectLoaded(ObjectNo object) {
    return ObjectSurface(object) != nullptr ? 1 : 0;
}

int GetObjectRawPixel(ObjectNo object, int x, int y, uint32_t* raw) {
    const platform::Surface* surface = ObjectSurface(object);
    const bool inside = surface != nullptr && x >= 0 && y >= 0 && x < surface->width && y < surface->height;
    if (raw != nullptr) *raw = inside ? platform::GetRawPixel(*surface, x, y) : 0;
    return inside ? 1 : 0;
}

int GetScreenSize(int* width, int* height) {
    Put(width, Display.present ? Display.ScreenWidth : 0);
    Put(height, Display.present ? Display.ScreenHeight : 0);
    return Display.present ? 1 : 0;
}

int GetScreenDepth() {
    return Display.present ? Display.depth : 0;
}

}  // namespace elDraw

void GetClipRect(int* left, int* top, int* right, int* bottom) {
    Put(left, ClipRect.left);
    Put(top, ClipRect.top);
    Put(right, ClipRect.right);
    Put(bottom, ClipRect.bottom);
}

void SetFadeType(int type, int strips) {
    Transition.fadeType = type;
    Transition.fadeStrips = strips;
}

int IsFading() {
    return Transition.fadeDirection != 0 ? 1 : 0;
}

int IsViewerOn() {
    return Viewer.viewerOn ? 1 : 0;
}

ObjectNo GetViewerPicture() {
    return Viewer.viewerPicture;
}

int GetClipWipeState() {
    return Wipe.wipeState;
}

int GetClipWipeType() {
    return Wipe.wipeType;
}

int TakeClipWipeOpened() {
    const int opened = Wipe.wipeOpened;
    Wipe.wipeOpened = 0;
    return opened != 0 ? 1 : 0;
}

int TakeClipWipeClosed() {
    const int closed = Wipe.wipeClosed;
    Wipe.wipeClosed = 0;
    return closed != 0 ? 1 : 0;
}

void CancelClipWipe() {
    Wipe.wipeState = 0;
}

void DrawPolygon(const elDraw::Point* points, int count, uint32_t color, uint32_t backgroundColor,
                 int penWidth, int fillMode) {
    WithPlatformPoints(points, count, [&](const platform::Point* converted, int n) {
        DrawPolygon(converted, n, color, backgroundColor, penWidth, fillMode);
    });
}

void DrawBezier(const elDraw::Point* points, int count, uint32_t color, int penWidth) {
    WithPlatformPoints(points, count, [&](const platform::Point* converted, int n) {
        DrawBezier(converted, n, color, penWidth);
    });
}
