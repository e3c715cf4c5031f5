// How the game's fixed client area sits in the real window: the scale factor, full screen with
// black bars, and the mapping of window and screen positions to client positions and back.
#pragma once
#include <SDL.h>

#include "platform/sdl/sdl_convert.h"
#include "platform/window.h"

namespace platform::sdl {

struct ViewState {
    int clientWidth = 800, clientHeight = 600;  // the client area the game asked for and sees
    int scale = 1;                              // the windowed factor
    bool fullScreen = false;
    bool confined = false;
    Rect confinedClient{};         // the confinement the game asked for, in client coordinates
    bool returnSwallowed = false;  // Alt+Enter was taken: its Enter release goes too
    bool screenshotRequested = false;
};

extern ViewState View;

// The largest whole-number factor (at least 1, at most 16) at which the client area fits in nine
// tenths of the usable desktop.
int ChooseScale(int clientWidth, int clientHeight, int usableWidth, int usableHeight);
// Where the picture goes in an output of the given size: centred, scaled by the largest whole
// number that fits, or when wholeNumber is false or not even factor 1 fits, as large as the aspect
// allows; always inside the output.
Box PictureBox(int clientWidth, int clientHeight, int outputWidth, int outputHeight, bool wholeNumber);
// A window position (pixels from the output's top-left) as a client position and back; positions
// outside the picture map outside the client area, as they would beside an unscaled window.
void OutputToClient(const Box& picture, int clientWidth, int clientHeight, int x, int y, int& clientX,
                    int& clientY);
void ClientToOutput(const Box& picture, int clientWidth, int clientHeight, int x, int y, int& outputX,
                    int& outputY);

// The picture's place in the main window now.
Box CurrentPicture();
// Window pixels (from SDL events) to the game's client coordinates.
void WindowToClient(int x, int y, int& clientX, int& clientY);

// Keys of the backend itself: F11 and Alt+Enter switch full screen, F12 asks for a screenshot,
// Print Screen arrives as the hot key message.
// True when the key was one of them; it is then kept from the window procedure.
bool TakeViewKey(const SDL_KeyboardEvent& key, bool down);
void SetFullScreen(bool on);
// Applies the game's confinement to the picture as it now lies in the window.
void ApplyConfinement();

}  // namespace platform::sdl
