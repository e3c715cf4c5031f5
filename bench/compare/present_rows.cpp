// bench_compare's presentation rows: an 800 x 600 back buffer converted to the window's 32-bit
// pixels at its own size and at twice it, our ScaleInto against SDL_ConvertPixels followed by
// SDL_SoftStretch, both into window buffers turned among more than the last-level cache holds.
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "bench/compare/compare_common.h"
#include "platform/sdl/sdl_convert.h"

using compare::Timing;

void PresentRows(platform::PixelFormat format, int repetitions) {
    constexpr int kWidth = 800, kHeight = 600;
    const bool wide = format == platform::PixelFormat::XRGB8888;
    const int bytes = wide ? 4 : 2;
    std::vector<uint8_t> back(static_cast<size_t>(kWidth) * kHeight * bytes);
    std::mt19937 rng(42);
    for (uint8_t& b : back) b = static_cast<uint8_t>(rng());
    const Uint32 sdlFormat = wide ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
    for (int factor : {1, 2}) {
        const int w = kWidth * factor, h = kHeight * factor;
        const size_t targetBytes = static_cast<size_t>(w) * h * 4;
        const int count = static_cast<int>((size_t{64} << 20) / targetBytes + 1);
        std::vector<std::vector<uint32_t>> targets(count, std::vector<uint32_t>(targetBytes / 4, 1));
        std::vector<uint32_t> scratch(kWidth), converted(static_cast<size_t>(kWidth) * kHeight);
        SDL_Surface* convertedSurface = SDL_CreateRGBSurfaceWithFormatFrom(
            converted.data(), kWidth, kHeight, 32, kWidth * 4, SDL_PIXELFORMAT_ARGB8888);
        std::vector<SDL_Surface*> targetSurfaces;
        for (auto& t : targets)
            targetSurfaces.push_back(
                SDL_CreateRGBSurfaceWithFormatFrom(t.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888));
        int nextOurs = 0, nextAnchor = 0;
        const platform::sdl::Box where{0, 0, w, h};
        auto ours = [&] {
            platform::sdl::ScaleInto(back.data(), kWidth * bytes, format, kWidth, kHeight,
                                     reinterpret_cast<uint8_t*>(targets[nextOurs].data()), w * 4, where,
                                     scratch.data());
            nextOurs = (nextOurs + 1) % count;
        };
        auto anchor = [&] {
            if (factor == 1) {
                SDL_ConvertPixels(kWidth, kHeight, sdlFormat, back.data(), kWidth * bytes,
                                  SDL_PIXELFORMAT_ARGB8888, targets[nextAnchor].data(), w * 4);
            } else {
                SDL_ConvertPixels(kWidth, kHeight, sdlFormat, back.data(), kWidth * bytes,
                                  SDL_PIXELFORMAT_ARGB8888, converted.data(), kWidth * 4);
                SDL_SoftStretch(convertedSurface, nullptr, targetSurfaces[nextAnchor], nullptr);
            }
            nextAnchor = (nextAnchor + 1) % count;
        };
        Timing o, a;
        compare::Time(repetitions, 10, ours, anchor, o, a);
        // The same back buffer through both into two targets, every pixel compared.
        nextOurs = 0;
        nextAnchor = 1 % count;
        ours();
        anchor();
        int64_t differing = 0;
        int largest = 0;  // the largest difference of one channel
        if (count > 1)
            for (size_t i = 0; i < targets[0].size(); ++i) {
                const uint32_t p = targets[0][i], q = targets[1][i];
                if (p == q) continue;
                ++differing;
                for (int shift = 0; shift < 32; shift += 8)
                    largest = std::max(largest, std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                                         static_cast<int>((q >> shift) & 0xFF)));
            }
        // At 16 bits SDL widens 5- and 6-bit channels by its own rule; ours rounds v * 255 / 31 (or 63).
        std::string check = count < 2 ? "not compared" : "same pixels";
        if (differing > 0)
            check = (wide ? "DIFFERENT PIXELS: " : "own 565 widening: ") + std::to_string(differing) +
                    " px differ, by up to " + std::to_string(largest) + " in a channel";
        const std::string name = std::string("Present ") + (factor == 1 ? "1x" : "2x") + ", 800x600";
        compare::Row(name.c_str(), factor == 1 ? "SDL_ConvertPixels" : "SDL_ConvertPixels+SoftStretch",
                     wide ? 32 : 16, o, a, check);
        for (SDL_Surface* s : targetSurfaces) SDL_FreeSurface(s);
        SDL_FreeSurface(convertedSurface);
    }
}
