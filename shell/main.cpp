// The game's entry on the real backend: a window on the desktop, the real clock.
#include <el/entry.h>

#include "engine/system/engine_state.h"
#include "game/game_startup.h"

int main(int argc, char** argv) {
    elSystem::SceneOptions options;
    options.programName = "milkanet";
    return elSystem::RunScene(argc, argv, kWindowTitle, GameStartup, options);
}
