// Presentation of the back buffer in the window, the desktop's depth and resources compiled into
// the program.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/surface.h"
#include "platform/window.h"

namespace platform {

// Bits per pixel of the display: 16 (RGB565, the default) or 32 (XRGB8888), from ELDRAW_DEPTH.
int DesktopBitsPerPixel();

// Shows the source rectangle of the back buffer in the window's client area. No vertical-blank wait.
void Present(const Surface& backBuffer, const Rect& source);
// Waits for the vertical blank (the real backend presents without it; this only paces).
void WaitForVerticalBlank();

// A named resource compiled into the program.
struct Resource {
    const char* name;
    const uint8_t* data;
    size_t size;
};
// Makes a program's resource table known; names are matched without regard to case.
void RegisterResources(const Resource* table, size_t count);
const Resource* FindResource(const char* name);

}  // namespace platform
