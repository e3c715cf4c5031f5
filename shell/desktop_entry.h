// The entry of a program on the real backend: the platform started, the command line joined, the
// program run through WinMain, the platform shut down.
#pragma once
#include "shell/program.h"

// Returns the program's exit status; `name` prefixes the one line printed when no display opens
// and the one printed when the start-up set up no display (status 1: the program ends at once
// instead of showing an empty window).
int RunOnDesktop(int argc, char** argv, const char* name, StartupProcedure startup, const char* caption);
