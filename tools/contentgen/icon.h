// The program's icon, made from the princess's first picture of the default content.
#pragma once
#include <string>

#include "tools/contentgen/content.h"

namespace contentgen {

// Writes <dir>/<size>x<size>/apps/milkanet.png for 48, 128 and 256 pixels: the princess's first
// cell, cut to what is not background, enlarged by nearest neighbour and centred on transparency.
void WriteIcons(const Content& content, const std::string& dir);

}  // namespace contentgen
