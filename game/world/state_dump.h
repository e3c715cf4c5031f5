// The game state as one JSON object, for the replay runner's --state and --trace output.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Writes {"frame", "camera", "room", "scrollState", "scrolling", "princess", "companions", "strikers",
// "chasers", "archers", "shields", "arrows", "items", "errors"} on one line, without a line break.
// Floats are written with %.9g; a value that is not finite is written as null.
void WriteGameState(FILE* out, const std::vector<std::string>& errors);
