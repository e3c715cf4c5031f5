// Review pictures: every picture on one contact sheet, and each room as the game first shows it.
#pragma once
#include <string>

#include "tools/contentgen/content.h"

namespace contentgen {

// All pictures on a grey ground, cells spread apart by a one-pixel grid, transparent parts grey.
void WriteContactSheet(const Content& content, const std::string& path);
// room_C_R.bmp: the 800 x 600 screen on entering room (C, R) with the characters at their start
// positions and the frame on top; room_C_R_blocking.bmp: the same with blocking cells tinted.
void WriteRoomPreviews(const Content& content, const std::string& dir);

}  // namespace contentgen
