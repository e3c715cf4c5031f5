// The display on the headless backend at a chosen depth, for fonts and text blocks, with helpers
// that read the back buffer and the Font sprite and write pictures of them.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/refresh.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/font_record.h"
#include "engine/text/fonts.h"
#include "engine/text/text_output.h"
#include "platform/blit.h"
#include "platform/bmp.h"
#include "platform/headless/headless.h"

class TextBlockTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        setenv("ELDRAW_DEPTH", std::to_string(GetParam()).c_str(), 1);
        platform::headless::Reset();
        EngineInit();
        Engine.FullScreen = 0;
        Transition = TransitionState{};
        ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
        FrameStep = 1.0f / 60.0f;
    }
    void TearDown() override {
        ReleaseFont();
        ReleaseDisplay();
        ReleaseFonts();
        unsetenv("ELDRAW_DEPTH");
    }

    static uint32_t Raw(uint32_t rgb) { return platform::RgbToRaw(Display.backBuffer->format, rgb); }
    static uint32_t Pixel(const platform::Surface& s, int x, int y) { return platform::GetRawPixel(s, x, y); }
    static platform::Surface& FontSprite() { return *ObjectSurface(kFontSprite); }

    // Pixels in the rectangle that are not the given raw value.
    static int InkCount(const platform::Surface& s, int left, int top, int right, int bottom,
                        uint32_t empty = 0) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += Pixel(s, x, y) != empty;
        return count;
    }

    // Writes the surface's rectangle as a 24-bit BMP (for looking at).
    static void SavePicture(const platform::Surface& s, const std::string& path, int left, int top, int right,
                            int bottom) {
        platform::Picture picture;
        picture.width = right - left;
        picture.height = bottom - top;
        picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                picture.pixels[static_cast<size_t>(y - top) * picture.width + (x - left)] =
                    platform::RawToRgb(s.format, Pixel(s, x, y));
        platform::SaveBmp24(path.c_str(), picture);
    }
};
