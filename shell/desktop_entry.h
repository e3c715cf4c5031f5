// The entry of a program on the real backend: the platform started, the command line joined, the
// program run through WinMain, the platform shut down.
#pragma once
#include "shell/program.h"

// Returns the program's exit status; `name` prefixes the one line printed when no display opens.
int RunOnDesktop(int argc, char** argv, const char* name, StartupProcedure startup, const char* caption);
