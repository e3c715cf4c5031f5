// The replay runner shared by the headless programs: replay::Program and replay::RunReplay are
// declared in the public header, so that any scene program can be replayed like the game.
#pragma once
#include <el/replay.h>
