// The SDL side of the controller keys: start-up and the events they come from.
#pragma once
#include <SDL.h>

namespace platform::sdl {

// Starts the controller subsystem when the setting allows it (once; the first presented frame
// calls it, so that looking for controllers does not hold up the first picture).
void StartGamepadKeys();
// Acts on controller events (others are left alone): pushes key messages for them.
void TranslateGamepadEvent(const SDL_Event& event);

}  // namespace platform::sdl
