// Screen capture: the top-left part of the back buffer as a 24-bit BMP file beside the program.
#pragma once

#include <el/capture.h>
