// Copies to the back buffer and between objects, clipped against the one clip rectangle; stretched
// copies; colour fills; the half blend; and the line effects built from one-row copies.
#include "engine/draw/blit.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "platform/blit.h"
#include "engine/system/frame_pacing.h"

ClipRectState ClipRect;
LineEffectState LineEffects;

namespace {

using platform::Rect;
using platform::Surface;

struct ClippedCopy {
    int x, y;
    Rect source;
    bool visible;
};

// Clips a copy to (x, y) of the source rectangle against the clip rectangle, edge by edge.
// An empty result (equal edges) still counts as visible, a reversed one does not. The edges are
// worked out in 64 bits, so that rectangles near the int limits cannot overflow.
ClippedCopy ClipToClipRect(int x, int y, int left, int top, int right, int bottom) {
    int64_t dx = x, dy = y, l = left, t = top, r = right, b = bottom;
    if (dx + (r - l) > ClipRect.right) r = l + ClipRect.right - dx;
    if (dy + (b - t) > ClipRect.bottom) b = t + ClipRect.bottom - dy;
    if (dx < ClipRect.left) {
        l += ClipRect.left - dx;
        dx = ClipRect.left;
    }
    if (dy < ClipRect.top) {
        t += ClipRect.top - dy;
        dy = ClipRect.top;
    }
    if (r < l || b < t) return {x, y, {left, top, right, bottom}, false};
    // Left and top only grow, right and bottom only shrink: visible edges stay within int.
    return {static_cast<int>(dx),
            static_cast<int>(dy),
            {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)},
            true};
}

// One copy onto a surface; a lost surface brings every picture back.
int CopyTo(Surface* destination, int x, int y, ObjectNo object, int left, int top, int right, int bottom, bool keyed) {
    ClippedCopy copy = ClipToClipRect(x, y, left, top, right, bottom);
    if (!copy.visible) return 0;
    Surface* source = ObjectSurface(object);
    if (destination == nullptr || source == nullptr) return platform::BLIT_INVALID;
    int result = keyed ? platform::BltKeyed(*destination, copy.x, copy.y, *source, copy.source)
                       : platform::BltOpaque(*destination, copy.x, copy.y, *source, copy.source);
    if (result == platform::SURFACE_LOST) RestoreSurfaces();
    return result;
}

int Stretch(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width, int height,
            bool keyed) {
    Surface* source = ObjectSurface(object);
    Surface* back = Display.backBuffer.get();
    if (source == nullptr || back == nullptr) return platform::BLIT_INVALID;
    int result;
    if (Display.stretchSupported) {
        Rect to{x, y, x + width, y + height};
        Rect from{left, top, right, bottom};
        result = keyed ? platform::StretchBltKeyed(*back, to, *source, from)
                       : platform::StretchBltOpaque(*back, to, *source, from);
    } else {
        // Without a stretching device: stretch into the Buffer sprite, then copy from there.
        Surface* buffer = ObjectSurface(kBufferSprite);
        if (buffer == nullptr) return platform::BLIT_INVALID;
        result = platform::StretchBltOpaque(*buffer, {0, 0, width, height}, *source, {left, top, right, bottom});
        if (result == platform::BLIT_OK) {
            result = keyed ? BltObject(x, y, kBufferSprite, 0, 0, width, height)
                           : (BltObjectOpaque(x, y, kBufferSprite, 0, 0, width, height), 0);
        }
    }
    if (result == platform::SURFACE_LOST) RestoreSurfaces();
    return result;
}

void Fill(Surface* surface, int left, int top, int right, int bottom, uint32_t raw) {
    if (surface != nullptr) platform::FillRect(*surface, {left, top, right, bottom}, raw);
}

float WrapDegrees(float phase) {
    while (phase >= 360.0f) phase -= 360.0f;
    while (phase < 0.0f) phase += 360.0f;
    return phase;
}

float WrapInto(float value, float range) {
    if (range <= 0.0f) return 0.0f;
    while (value >= range) value -= range;
    while (value < 0.0f) value += range;
    return value;
}

// The horizontal offset of a row in the wave effects.
int WaveOffset(int amplitude, int period, int row, float phase) {
    int angle = period != 0 ? row / period + static_cast<int>(phase) : static_cast<int>(phase) + row;
    return static_cast<int>(amplitude * std::cos(static_cast<double>(angle) * M_PI / 180.0));
}

void CopyRow(int x, int y, ObjectNo object, int left, int right, int row) {
    BltObject(x, y, object, left, row, right, row + 1);
}

}  // namespace

void SetClipRect(int left, int top, int right, int bottom) { ClipRect = {left, top, right, bottom}; }

int BltObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    return CopyTo(Display.backBuffer.get(), x, y, object, left, top, right, bottom, true);
}

void BltObjectOpaque(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    CopyTo(Display.backBuffer.get(), x, y, object, left, top, right, bottom, false);
}

int BltObjectTo(ObjectNo destination, int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    return CopyTo(ObjectSurface(destination), x, y, object, left, top, right, bottom, true);
}

void BltObjectToOpaque(ObjectNo destination, int x, int y, ObjectNo object, int left, int top, int right,
                       int bottom) {
    CopyTo(ObjectSurface(destination), x, y, object, left, top, right, bottom, false);
}

int CaptureToObject(ObjectNo object, int left, int top, int right, int bottom) {
    Surface* target = ObjectSurface(object);
    Surface* back = Display.backBuffer.get();
    if (target == nullptr || back == nullptr) return platform::BLIT_INVALID;
    int result = platform::BltOpaque(*target, 0, 0, *back, {left, top, right, bottom});
    if (result == platform::SURFACE_LOST) RestoreSurfaces();
    return result;
}

int StretchObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width, int height) {
    return Stretch(x, y, object, left, top, right, bottom, width, height, true);
}

int StretchObjectOpaque(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int width,
                        int height) {
    return Stretch(x, y, object, left, top, right, bottom, width, height, false);
}

void ClearScreen() { Fill(Display.backBuffer.get(), 0, 0, Display.ScreenWidth, Display.ScreenHeight, 0); }

void ClearObject(ObjectNo object) {
    if (Surface* surface = ObjectSurface(object)) Fill(surface, 0, 0, surface->width, surface->height, 0);
}

void FillBlack(int left, int top, int right, int bottom) { Fill(Display.backBuffer.get(), left, top, right, bottom, 0); }

void FrameRect(int left, int top, int right, int bottom) {
    FillBlack(left, top, right, top + 1);
    FillBlack(left, bottom - 1, right, bottom);
    FillBlack(left, top, left + 1, bottom);
    FillBlack(right - 1, top, right, bottom);
}

void FillWhiteScreen() {
    Fill(Display.backBuffer.get(), 0, 0, Display.ScreenWidth, Display.ScreenHeight, Display.format.fullMask);
}

void FillWhite(int left, int top, int right, int bottom) {
    Fill(Display.backBuffer.get(), left, top, right, bottom, Display.format.fullMask);
}

void FillColor(int left, int top, int right, int bottom, uint32_t rawColor) {
    Fill(Display.backBuffer.get(), left, top, right, bottom, rawColor & 0xFFFF);
}

int HalfBlendRect(int left, int top, int right, int bottom, uint32_t rawColor) {
    Surface* back = Display.backBuffer.get();
    if (right > ClipRect.right) right = ClipRect.right;
    if (bottom > ClipRect.bottom) bottom = ClipRect.bottom;
    if (left < ClipRect.left) left = ClipRect.left;
    if (top < ClipRect.top) top = ClipRect.top;
    if (right < left || bottom < top) return 1;
    if (back == nullptr) return 0;
    // The clip rectangle may reach past the back buffer: never blend outside it.
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > back->width) right = back->width;
    if (bottom > back->height) bottom = back->height;
    platform::LockedPixels pixels;
    if (platform::Lock(*back, pixels) != platform::BLIT_OK) return 0;
    const uint32_t half = Display.format.halfMask;
    const uint32_t add = (rawColor >> 1) & half;
    for (int y = top; y < bottom; ++y) {
        uint8_t* row = pixels.bits + static_cast<size_t>(y) * pixels.pitch;
        for (int x = left; x < right; ++x) {
            if (pixels.format == platform::PixelFormat::RGB565) {
                uint16_t* p = reinterpret_cast<uint16_t*>(row) + x;
                *p = static_cast<uint16_t>(((*p >> 1) & half) + add);
            } else {
                uint32_t* p = reinterpret_cast<uint32_t*>(row) + x;
                *p = ((*p >> 1) & half) + add;
            }
        }
    }
    platform::Unlock(*back);
    return 1;
}

void WaveRows(int x, int y, int amplitude, int period, float speed, ObjectNo object, int left, int top, int right,
              int bottom, int interlace) {
    for (int row = top; row < bottom; ++row) {
        int offset = WaveOffset(amplitude, period, row, LineEffects.wavePhase);
        if (interlace) {
            offset *= LineEffects.waveSign;
            LineEffects.waveSign = -LineEffects.waveSign;
        }
        CopyRow(x + offset, y + row - top, object, left, right, row);
    }
    LineEffects.wavePhase = WrapDegrees(LineEffects.wavePhase + FrameStep * speed);
}

void TileScroll(float velocityX, float velocityY, ObjectNo object, int left, int top, int right, int bottom) {
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0) return;
    const int rows = Display.ScreenHeight / h + 2, columns = Display.ScreenWidth / w + 2;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            BltObject(w * column + static_cast<int>(LineEffects.tileOffsetX),
                      h * row + static_cast<int>(LineEffects.tileOffsetY), object, left, top, right, bottom);
    LineEffects.tileOffsetX += FrameStep * velocityX;
    LineEffects.tileOffsetY += FrameStep * velocityY;
    if (LineEffects.tileOffsetX < -w) LineEffects.tileOffsetX += w;
    if (LineEffects.tileOffsetX > 0) LineEffects.tileOffsetX -= w;
    if (LineEffects.tileOffsetY < -h) LineEffects.tileOffsetY += h;
    if (LineEffects.tileOffsetY > 0) LineEffects.tileOffsetY -= h;
}

void WaveScrollRows(int x, int y, int amplitude, int period, float waveSpeed, float scrollSpeed, ObjectNo object,
                    int left, int top, int right, int bottom) {
    const int height = bottom - top;
    for (int row = top; row < bottom; ++row) {
        int offset = WaveOffset(amplitude, period, row, LineEffects.scrollWavePhase);
        int source = row + static_cast<int>(LineEffects.scrollOffset);
        if (source >= bottom) source -= height;
        CopyRow(x + offset, y + row, object, left, right, source);
    }
    LineEffects.scrollWavePhase = WrapDegrees(LineEffects.scrollWavePhase + FrameStep * waveSpeed);
    LineEffects.scrollOffset = WrapInto(LineEffects.scrollOffset - FrameStep * scrollSpeed, static_cast<float>(height));
}

void WaveBand(int bandTop, int bandBottom, int amplitude, int period, float waveSpeed, float scrollSpeed,
              ObjectNo object, int left, int top, int right, int bottom) {
    const int width = right - left, height = bottom - top;
    if (width <= 0 || height <= 0) return;
    const int copies = Display.ScreenWidth / width + 2;
    for (int k = 0; k < bandBottom - bandTop; ++k) {
        int source = top + ((k % height) + static_cast<int>(LineEffects.bandScroll)) % height;
        int offset = WaveOffset(amplitude, period, k, LineEffects.bandPhase);
        for (int n = 0; n < copies; ++n) CopyRow(width * n + offset - amplitude, bandTop + k, object, left, right, source);
    }
    LineEffects.bandPhase = WrapDegrees(LineEffects.bandPhase + FrameStep * waveSpeed);
    LineEffects.bandScroll = WrapInto(LineEffects.bandScroll - FrameStep * scrollSpeed, static_cast<float>(height));
}

void MosaicRows(int x, int y, int blockHeight, ObjectNo object, int left, int top, int right, int bottom) {
    if (blockHeight < 1) blockHeight = 1;  // a block is at least one row high
    for (int v = top; v < bottom; v += blockHeight)
        for (int u = v; u < v + blockHeight; ++u) CopyRow(x, y + u - top, object, left, right, v);
}

void ScanlineRows(int x, int y, int step, ObjectNo object, int left, int top, int right, int bottom) {
    if (step > 0) {
        for (int row = top + step; row < bottom; row += step) CopyRow(x, y + row - top, object, left, right, row);
    } else if (step < 0) {
        for (int row = top + std::rand() % -step + 1; row < bottom; row += std::rand() % -step + 1)
            CopyRow(x, y + row - top, object, left, right, row);
    }
}

void JitterRows(int x, int y, int amplitude, ObjectNo object, int left, int top, int right, int bottom) {
    if (amplitude <= 0) {
        BltObject(x, y, object, left, top, right, bottom);
        return;
    }
    for (int row = top; row < bottom; ++row)
        CopyRow(x + std::rand() % (2 * amplitude) - amplitude, y + row - top, object, left, right, row);
}

void DrumRows(int x, int y, int forward, float speed, ObjectNo object, int left, int top, int right, int bottom) {
    const int height = bottom - top;
    if (height < 2) return;  // the drum needs two rows to turn
    const float half = height / 2.0f;
    int previousEnd = -1;
    for (int k = 0; k < height; ++k) {
        int end = static_cast<int>(half + half * std::cos((LineEffects.drumPhase + k) * 2.0 * M_PI / (height - 1)));
        // Each row starts below the previous row's end, even when that end lies lower than its own.
        for (int row = previousEnd + 1; row <= end; ++row) BltObjectOpaque(x, y + row, object, left, k, right, k + 1);
        previousEnd = end;
    }
    if (forward) {
        LineEffects.drumPhase += FrameStep * speed;
        if (LineEffects.drumPhase >= height) LineEffects.drumPhase -= height;
    } else {
        LineEffects.drumPhase -= FrameStep * speed;
        if (LineEffects.drumPhase < 0) LineEffects.drumPhase += height;
    }
}
