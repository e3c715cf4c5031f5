// milkanet-replay: the game itself (start-up, loop, window procedure, game frame) on the headless
// backend with a virtual clock and a fixed seed, fed keys from a script, writing the game state,
// a per-frame trace and the last picture. The same inputs always give the same outputs.
//
//   milkanet-replay [--data DIR] [--frames N] [--seed S] [--input FILE] [--state FILE]
//                   [--trace FILE] [--shot FILE] [--depth 16|32]
//
// Exit status: 0 done, 1 the run or an output failed, 2 bad command line or unreadable input.
#include "engine/system/engine_state.h"
#include "game/game_startup.h"
#include "game/world/game_frame.h"
#include "game/world/state_dump.h"
#include "runner.h"

int main(int argc, char** argv) {
    const replay::Program game{"milkanet-replay", kWindowTitle, GameStartup,
                               [] { return GameFrames.frameCount; }, WriteGameState};
    return replay::RunReplay(game, argc, argv);
}
