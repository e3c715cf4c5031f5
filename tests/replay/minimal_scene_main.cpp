// A scene program with neither a frame counter nor a state writer of its own, on the replay runner:
// a 320 x 240 display, one scene that fills a rectangle and on its third frame loads a picture that
// is not there. MINIMAL_SCENE_ESCAPE=keep runs it with Esc as a key like any other.
#include <el/replay.h>

#include <cstdlib>
#include <cstring>

#include "engine/draw/eldraw.h"
#include "engine/draw/primitives.h"
#include "engine/system/engine_state.h"
#include "engine/system/scenes.h"

namespace {

int frames = 0;

void Frame() {
    ++frames;
    ClearScreen();
    DrawRectangle(10, 10, 110, 60, 0x0000FF, 0x0000FF, 1);
    if (frames == 3) elDraw::LoadObject("BMP\\absent.bmp", 1);
    Refresh();
}

void Startup() {
    elDraw::Screen(320, 240, 1);
    RegisterScene(1, Frame);
    Engine.Scene = 1;
}

}  // namespace

int main(int argc, char** argv) {
    replay::Program program{"minimal-replay", "minimal", Startup};
    const char* escape = std::getenv("MINIMAL_SCENE_ESCAPE");
    program.escapeEnds = escape == nullptr || std::strcmp(escape, "keep") != 0;
    return replay::RunReplay(program, argc, argv);
}
