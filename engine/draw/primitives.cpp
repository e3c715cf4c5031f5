// Vector drawing on the back buffer through its device context.
#include "engine/draw/primitives.h"

#include "engine/draw/display.h"
#include "platform/text.h"

namespace {

// The back buffer's context for one call; null (and nothing drawn) when it cannot be lent.
class BackBufferDC {
  public:
    BackBufferDC() : dc_(Display.backBuffer ? platform::GetDC(*Display.backBuffer) : nullptr) {}
    ~BackBufferDC() {
        if (dc_ != nullptr) platform::ReleaseDC(dc_);
    }
    BackBufferDC(const BackBufferDC&) = delete;
    BackBufferDC& operator=(const BackBufferDC&) = delete;
    platform::DeviceContext* get() const { return dc_; }

  private:
    platform::DeviceContext* dc_;
};

platform::Pen SolidPen(uint32_t color, int width) {
    return platform::Pen{width, color};
}

}  // namespace

void GetPixelRGB(int x, int y, int* red, int* green, int* blue) {
    BackBufferDC dc;
    const uint32_t color = platform::GetPixel(dc.get(), x, y);
    // A missing output is left out, never written through.
    if (red != nullptr) *red = static_cast<int>(color & 0xFF);
    if (green != nullptr) *green = static_cast<int>(color >> 8 & 0xFF);
    if (blue != nullptr) *blue = static_cast<int>(color >> 16 & 0xFF);
}

void PutPixel(int x, int y, uint32_t color) {
    BackBufferDC dc;
    platform::SetPixel(dc.get(), x, y, color);
}

void DrawLine(int x1, int y1, int x2, int y2, uint32_t color, int penWidth) {
    BackBufferDC dc;
    platform::DrawLine(dc.get(), SolidPen(color, penWidth), x1, y1, x2, y2);
}

void DrawRectangle(int left, int top, int right, int bottom, uint32_t fillColor, uint32_t penColor,
                   int penWidth) {
    BackBufferDC dc;
    const platform::Brush brush{platform::BrushStyle::Solid, fillColor};
    platform::DrawRectangle(dc.get(), SolidPen(penColor, penWidth), brush, left, top, right, bottom);
}

void DrawPolygon(const platform::Point* points, int count, uint32_t color, uint32_t backgroundColor,
                 int penWidth, int fillMode) {
    BackBufferDC dc;
    if (dc.get() == nullptr) return;
    const platform::Brush brush{fillMode == 0 ? platform::BrushStyle::Hollow : platform::BrushStyle::Hatched,
                                color};
    int oldMode = 0;
    uint32_t oldColor = 0;
    if (fillMode == 2)
        oldMode = platform::SetBkMode(dc.get(), platform::TRANSPARENT);
    else
        oldColor = platform::SetBkColor(dc.get(), backgroundColor);
    platform::DrawPolygon(dc.get(), SolidPen(color, penWidth), brush, points, count);
    if (fillMode == 2)
        platform::SetBkMode(dc.get(), oldMode);
    else
        platform::SetBkColor(dc.get(), oldColor);
}

void DrawBezier(const platform::Point* points, int count, uint32_t color, int penWidth) {
    BackBufferDC dc;
    platform::DrawBezier(dc.get(), SolidPen(color, penWidth), points, count);
}
