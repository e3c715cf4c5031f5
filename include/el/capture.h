// Screen capture: the top-left part of the back buffer as a 24-bit BMP file beside the program.
#pragma once

// Writes width x height pixels from the back buffer's top-left corner (cut to the back buffer) to
// the file (relative to the program's folder). 0 when the back buffer cannot be locked, else 1,
// also when the file could not be written.
int SaveScreenBMP(const char* name, int width, int height);
