// The window's names as the X window system shows them.
#pragma once
#include <SDL.h>

#include <string>

namespace platform::sdl {

// Sets the caption (UTF-8) in every name property of an X11 window and its class to "milkanet";
// does nothing on other window systems. SDL writes the names again when it maps the window, so
// this follows showing it too.
void SetX11Names(SDL_Window* window, const std::string& captionUtf8);

}  // namespace platform::sdl
