// bench_compare's smooth-text rows: 200 Japanese characters in 8 lines at 16 and 24 px, our
// DrawSmoothText onto the back buffer against SDL_ttf's TTF_RenderUTF8_Blended of the same lines,
// each blitted onto an SDL surface over a copy of the same background, with the same font file
// (IPA Gothic, chosen through the build's test font configuration for ours, by path for SDL_ttf).
// The output is checked for being comparable, not equal (the two rasterise differently): white
// text on black, the ink's bounding box and the sum of its green levels on each side.
#include "bench/compare/compare_common.h"
#include "platform/surface.h"

#if EL_HAVE_SDL_TTF
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/fonts.h"
#include "engine/text/text_block.h"
#include "engine/text/text_output.h"
#include "platform/blit.h"
#include "platform/headless/headless.h"

namespace {

using compare::Timing;

constexpr const char* kFontFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr int kLines = 8, kPerLine = 25;

// Eight lines of 25 characters cut from a sentence of 39, in the system's encoding (this file is compiled
// like the engine's own texts) and in UTF-8 for SDL_ttf.
std::vector<std::string> SystemLines() {
    const std::string sentence =
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗い";
    std::vector<std::string> lines;
    const int bytesPerCharacter = static_cast<int>(sizeof "あ") - 1;  // 2 in Shift-JIS, 3 in UTF-8
    for (int i = 0; i < kLines; ++i) {
        const int start = (i * 7) % 15;
        lines.push_back(sentence.substr(static_cast<size_t>(start) * bytesPerCharacter,
                                        static_cast<size_t>(kPerLine) * bytesPerCharacter));
    }
    return lines;
}
std::vector<std::string> Utf8Lines() {
    const std::u8string sentence =
        u8"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗い";
    std::vector<std::string> lines;
    for (int i = 0; i < kLines; ++i) {
        const int start = (i * 7) % 15;
        const std::u8string part =
            sentence.substr(static_cast<size_t>(start) * 3, static_cast<size_t>(kPerLine) * 3);
        lines.emplace_back(part.begin(), part.end());
    }
    return lines;
}

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    double green = 0;  // levels summed, each 0 to 1
};

Ink Measure(const platform::Surface& s, int areaBottom) {
    Ink ink;
    const bool wide = s.format == platform::PixelFormat::XRGB8888;
    for (int y = 0; y < areaBottom && y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = platform::GetRawPixel(s, x, y);
            const double g = wide ? ((p >> 8) & 0xFF) / 255.0 : ((p >> 5) & 0x3F) / 63.0;
            if (g == 0) continue;
            ink.green += g;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
        }
    return ink;
}

}  // namespace

void TextRows(platform::PixelFormat format, int repetitions) {
    const bool wide = format == platform::PixelFormat::XRGB8888;
    // The build's font configuration: the set-up's DejaVu and IPA files only.
    if (std::getenv("FONTCONFIG_FILE") == nullptr) setenv("FONTCONFIG_FILE", EL_BENCH_FONTCONFIG_FILE, 1);
    setenv("ELDRAW_DEPTH", wide ? "32" : "16", 1);
    ReleaseAllObjects();
    platform::headless::Reset();
    EngineInit();
    Engine.WindowFlags = 3;
    Engine.FullScreen = 0;
    elDraw::Screen(800, 600, 1);
    FrameStep = 1.0f / 60.0f;
    if (TTF_WasInit() == 0 && TTF_Init() != 0) {
        std::printf("smooth text rows omitted: TTF_Init failed\n");
        return;
    }
    platform::Surface& back = *Display.backBuffer;
    std::string text;
    for (const std::string& line : SystemLines()) text += line + "\n";
    const std::vector<std::string> utf8 = Utf8Lines();
    platform::Surface anchorBack = platform::CreateSurface(back.width, back.height, back.format);
    SDL_Surface* anchorSurface = SDL_CreateRGBSurfaceWithFormatFrom(
        anchorBack.pixels.data(), anchorBack.width, anchorBack.height, wide ? 32 : 16, anchorBack.pitch,
        wide ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565);
    for (int size : {16, 24}) {
        TTF_Font* font = TTF_OpenFont(kFontFile, size);
        if (font == nullptr) {
            std::printf("smooth text %d px omitted: %s not opened\n", size, kFontFile);
            continue;
        }
        const int left = 20, top = 20, lineStep = size + 4;
        SetSmoothFontName("IPAGothic", size);
        SetTextColors(0xFFFFFF, 0x000000, 1);
        auto ours = [&] { DrawSmoothText(left, top, 780, 580, text.c_str(), 4); };
        const SDL_Color white{255, 255, 255, 255};
        auto anchor = [&] {
            for (int i = 0; i < kLines; ++i) {
                SDL_Surface* line = TTF_RenderUTF8_Blended(font, utf8[i].c_str(), white);
                if (line == nullptr) continue;
                SDL_Rect at{left, top + i * lineStep, 0, 0};
                SDL_BlitSurface(line, nullptr, anchorSurface, &at);
                SDL_FreeSurface(line);
            }
        };
        Timing o, a;
        compare::Time(repetitions, 5, ours, anchor, o, a);
        // One more of each over black, measured.
        platform::FillSurface(back, 0);
        platform::FillSurface(anchorBack, 0);
        ours();
        anchor();
        const Ink mine = Measure(back, 600), theirs = Measure(anchorBack, 600);
        if (const char* dump = std::getenv("EL_COMPARE_TEXT_DUMP")) {
            SDL_Surface* mineSurface = SDL_CreateRGBSurfaceWithFormatFrom(
                back.pixels.data(), back.width, back.height, wide ? 32 : 16, back.pitch,
                wide ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565);
            const std::string stem =
                std::string(dump) + "/text" + std::to_string(size) + (wide ? "_32" : "_16");
            SDL_SaveBMP(mineSurface, (stem + "_ours.bmp").c_str());
            SDL_SaveBMP(anchorSurface, (stem + "_sdl_ttf.bmp").c_str());
            SDL_FreeSurface(mineSurface);
        }
        char check[200];
        std::snprintf(check, sizeof check, "ink box %dx%d vs %dx%d, green sum %.0f vs %.0f (%.2f)",
                      mine.right - mine.left, mine.bottom - mine.top, theirs.right - theirs.left,
                      theirs.bottom - theirs.top, mine.green, theirs.green,
                      theirs.green > 0 ? mine.green / theirs.green : 0.0);
        const std::string name = "DrawSmoothText " + std::to_string(size) + " px, 200 chars";
        compare::Row(name.c_str(), "TTF_RenderUTF8_Blended", wide ? 32 : 16, o, a, check);
        ReleaseSmoothFont();
        TTF_CloseFont(font);
    }
    SDL_FreeSurface(anchorSurface);
    ReleaseDisplay();
    ReleaseFonts();
    unsetenv("ELDRAW_DEPTH");
}

#else

void TextRows(platform::PixelFormat, int) {
    std::printf("smooth text rows omitted: built without SDL2_ttf\n");
}

#endif
