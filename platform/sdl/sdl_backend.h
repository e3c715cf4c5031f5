// State of the SDL backend shared by its parts (window, presentation, audio).
#pragma once
#include <SDL.h>

#include <functional>

namespace platform::sdl {

struct SdlState {
    bool initialised = false;
    SDL_Window* window = nullptr;
    int cursorCounter = 0;
    SDL_AudioDeviceID beepDevice = 0;
    bool beepUnavailable = false;
    std::function<void()> onDestroy;  // lets presentation free what belongs to the window
};

extern SdlState Sdl;

}  // namespace platform::sdl
