// The program's entry and its message and frame loop.
#pragma once

using StartupProcedure = void (*)();

// Runs the program: start values, single instance, window, start-up, loop until the quit message.
// Returns 0 like the program's entry always did.
int WinMain(const char* commandLine, int showCommand, StartupProcedure startup);

// One turn of the loop: one message, or one frame when the queue is empty. False at the quit message.
bool RunLoopTurn();
