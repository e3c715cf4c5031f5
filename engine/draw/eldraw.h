// elDraw: the display, the sprite object table and the blits that compose each frame on the back buffer.
#pragma once

#include <el/blits.h>
#include <el/display.h>
#include <el/objects.h>
#include <el/refresh.h>
