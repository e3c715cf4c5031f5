// State of the SDL backend shared by its parts (window, presentation, audio).
#pragma once
#include <SDL.h>

#include <cstdint>
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

// Keeps the sound library's own diagnostics off standard error (the program reports a missing
// device itself); call before anything opens SDL's audio.
void QuietSoundLibraryMessages();
// Plays the beep through the mixer when the audio device is open; false when it is not.
bool BeepThroughMixer();
// Frames per callback of the open audio device (0 when none is open).
uint32_t AudioDevicePeriod();

}  // namespace platform::sdl
