// Screenshots of the presented frame as PNG files in the player's pictures folder.
#pragma once
#include <cstdint>
#include <string>

#include "platform/surface.h"

namespace platform::sdl {

// The pictures folder: $XDG_PICTURES_DIR, else the one named in user-dirs.dirs, else ~/Pictures.
std::string PicturesFolder();
// Writes width x height pixels as an 8-bit RGB PNG file, whole or not at all, never over an existing
// file. False when it could not be written (errno EEXIST when the name was taken), `reason` saying why.
bool WritePng(const std::string& path, const uint8_t* first, int pitch, PixelFormat format, int width,
              int height, std::string* reason = nullptr);
// Saves the frame as milkanet-YYYYMMDD-HHMMSS.png in the pictures folder and says where on
// standard error (or why not).
void SaveScreenshot(const uint8_t* first, int pitch, PixelFormat format, int width, int height);

}  // namespace platform::sdl
