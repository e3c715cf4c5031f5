// Pictures keyed on black: the frame, the shock and blow effects, and the small pixel-row
// pictures (arrows, items and the two unused circles).
#pragma once
#include <map>
#include <string>

#include "tools/contentgen/image.h"
#include "tools/contentgen/sources.h"

namespace contentgen {

// Reads assets/pictures.txt and returns its sheets by file name (Ya.bmp, item.bmp, ...).
std::map<std::string, Image> BuildPixelSheets(const std::string& path, const Palette& palette);

Image DrawFrame(const Palette& palette, const Params& p);  // waku.BMP
Image DrawShock(const Palette& palette, const Params& p);  // biribiri.bmp
Image DrawBlow(const Palette& palette, const Params& p);   // g_a1.bmp; g_a2.bmp is it turned

}  // namespace contentgen
