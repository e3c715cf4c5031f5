// The display depth a benchmark asks for (ELDRAW_DEPTH) against the one it really got: each
// benchmark prints the depth it ran at and refuses to run at another than the one asked. Benchmarks
// that draw into surfaces of their own at both depths name the depth in each benchmark and run only
// the one asked when ELDRAW_DEPTH is set.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/draw/display.h"
#include "engine/system/engine_state.h"
#include "platform/surface.h"

namespace bench {

// 16 or 32 from ELDRAW_DEPTH (16 when unset); 0 for any other value.
inline int AskedDepth() {
    const char* depth = std::getenv("ELDRAW_DEPTH");
    if (depth == nullptr || std::strcmp(depth, "16") == 0) return 16;
    if (std::strcmp(depth, "32") == 0) return 32;
    return 0;
}

// Windowed, as the program's start-up leaves it before the display is set up: full screen would
// choose its own depth whatever ELDRAW_DEPTH says.
inline void UseWindowedDisplay() {
    Engine.WindowFlags = 3;
    Engine.FullScreen = 0;
}

// The depth of the back buffer the display set up; 0 without one.
inline int RealDepth() {
    if (!Display.backBuffer) return 0;
    return Display.backBuffer->format == platform::PixelFormat::XRGB8888 ? 32 : 16;
}

// After the display is set up: prints the depth and answers whether it is the one asked for.
inline bool CheckDepth(const char* name) {
    const int asked = AskedDepth();
    const int real = RealDepth();
    if (asked == 0) {
        std::fprintf(stderr, "%s: ELDRAW_DEPTH must be 16 or 32\n", name);
        return false;
    }
    if (real != asked) {
        std::fprintf(stderr, "%s: asked for a %d-bit display, got %d bits: not run\n", name, asked, real);
        return false;
    }
    std::printf("%s: running at depth %d\n", name, real);
    std::fflush(stdout);
    return true;
}

// For benchmarks that draw at both depths themselves: whether `depth` is to run (both when
// ELDRAW_DEPTH is unset, else only the one it asks for).
inline bool DepthWanted(int depth) {
    return std::getenv("ELDRAW_DEPTH") == nullptr || AskedDepth() == depth;
}

// Before such benchmarks run: refuses a depth other than 16 or 32 and prints the depths that run.
inline bool CheckDepthsOfTheirOwn(const char* name) {
    if (AskedDepth() == 0) {
        std::fprintf(stderr, "%s: ELDRAW_DEPTH must be 16 or 32\n", name);
        return false;
    }
    if (std::getenv("ELDRAW_DEPTH") == nullptr)
        std::printf("%s: running at depths 16 and 32 (each benchmark's name gives its depth)\n", name);
    else
        std::printf("%s: running at depth %d only (ELDRAW_DEPTH)\n", name, AskedDepth());
    std::fflush(stdout);
    return true;
}

}  // namespace bench
