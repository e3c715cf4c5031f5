// The program's entry and its message and frame loop.
#pragma once

#include "engine/system/engine_state.h"

using StartupProcedure = void (*)();

// Runs the program: start values, single instance, window, start-up, loop until the quit message.
// The caption names the window and the single-instance lock, so that two programs on the engine
// run beside each other while a second copy of either does not start. Returns 0 like the
// program's entry always did.
int WinMain(const char* commandLine, int showCommand, StartupProcedure startup,
            const char* caption = kWindowTitle);

// Fixes the seed WinMain gives the random generator, in place of the calendar time, so that a
// replay of the same input gives the same game. Without a call the calendar time is used.
void SetRandomSeedForReplay(unsigned seed);

// One turn of the loop: one message, or one frame when the queue is empty. False at the quit message.
bool RunLoopTurn();
