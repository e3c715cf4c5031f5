// Renders text blocks for looking at: a laid-out and a smoothed block of several Japanese lines
// with shadow and emboldening over a patterned background, and a block revealed half-way.
// Arguments: the output folder (default "."); ELDRAW_DEPTH chooses 16 or 32 bits. Writes
// text_blocks_<depth>.bmp and text_reveal_<depth>.bmp.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/fonts.h"
#include "engine/text/text_block.h"
#include "engine/text/text_output.h"
#include "platform/blit.h"
#include "platform/bmp.h"
#include "platform/headless/headless.h"

namespace {

constexpr const char* kSample =
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"
    "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。\n"
    "「ミルカネット！」、それが始まりだった。";

bool Save(const std::string& path) {
    const platform::Surface& back = *Display.backBuffer;
    platform::Picture picture;
    picture.width = back.width;
    picture.height = back.height;
    picture.pixels.resize(static_cast<size_t>(back.width) * back.height);
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x)
            picture.pixels[static_cast<size_t>(y) * back.width + x] =
                platform::RawToRgb(back.format, platform::GetRawPixel(back, x, y));
    return platform::SaveBmp24(path.c_str(), picture);
}

// Diagonal bands, so that transparency and blended edges show.
void Background() {
    platform::Surface& back = *Display.backBuffer;
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x) {
            const uint32_t rgb = ((x + y) / 24) % 2 ? 0x3050A0 : 0x70A040;
            platform::SetRawPixel(back, x, y, platform::RgbToRaw(back.format, rgb));
        }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    platform::headless::Reset();
    EngineInit();
    Engine.FullScreen = 0;  // windowed: the depth is the desktop's (ELDRAW_DEPTH)
    if (elDraw::Screen(800, 600, 1) != 1) return 1;
    const std::string depth = Display.backBuffer->format == platform::PixelFormat::RGB565 ? "16" : "32";
    const uint16_t effects = TEXT_SHADOW | TEXT_BOLD_X | 4;

    Background();
    SetFont(1, 20, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x000000, 1);
    DrawTextBlock(20, 20, 380, 290, kSample, effects);
    ReleaseFont();
    SetFont(0, 20, 0, 0, 0, 0);
    SetTextColors(0x40E0FF, 0x400000, 1);
    DrawTextBlock(420, 20, 780, 290, kSample, TEXT_SHADOW | TEXT_BOLD_X | TEXT_BOLD_Y | 2);
    ReleaseFont();

    SetSmoothFont(1, 20);
    SetTextColors(0xFFFFFF, 0x000000, 1);
    DrawSmoothText(20, 310, 380, 580, kSample, effects);
    ReleaseSmoothFont();
    SetSmoothFont(0, 20);
    SetTextColors(0x40E0FF, 0x400000, 1);
    DrawSmoothText(420, 310, 780, 580, kSample, TEXT_SHADOW | TEXT_BOLD_X | TEXT_BOLD_Y | 2);
    ReleaseSmoothFont();
    if (!Save(folder + "/text_blocks_" + depth + ".bmp")) return 1;

    // Half of the characters revealed, one every frame.
    Background();
    SetFont(1, 24, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x202020, 1);
    LayoutTextBlock(40, 40, 760, 560, kSample, effects);
    ReleaseFont();
    FrameStep = 1.0f / 60.0f;
    const int half = TextBlock.charCount / 2;
    while (TextBlock.shown <= half) RevealText(1.0f / 60.0f);
    if (!Save(folder + "/text_reveal_" + depth + ".bmp")) return 1;
    std::printf("%d characters, %d shown\n", TextBlock.charCount - 1, TextBlock.shown - 1);
    ReleaseDisplay();
    ReleaseFonts();
    return 0;
}
