// The scaled window and full screen: layout, position mapping, the backend's own keys.
#include "platform/sdl/sdl_view.h"

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/soft/message_queue.h"

namespace platform::sdl {

ViewState View;

namespace {

// Division rounding towards minus infinity, for positions left of or above the picture.
int FloorDivide(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --quotient;
    return static_cast<int>(quotient);
}

}  // namespace

int ChooseScale(int clientWidth, int clientHeight, int usableWidth, int usableHeight) {
    int factor = 1;
    while (factor < 16 &&
           static_cast<int64_t>(clientWidth) * (factor + 1) * 10 <= static_cast<int64_t>(usableWidth) * 9 &&
           static_cast<int64_t>(clientHeight) * (factor + 1) * 10 <= static_cast<int64_t>(usableHeight) * 9)
        ++factor;
    return factor;
}

Box PictureBox(int clientWidth, int clientHeight, int outputWidth, int outputHeight, bool wholeNumber) {
    Box box;
    if (clientWidth <= 0 || clientHeight <= 0) return box;
    const int factor = outputWidth / clientWidth < outputHeight / clientHeight ? outputWidth / clientWidth
                                                                               : outputHeight / clientHeight;
    // An output smaller than the picture (a small screen, a window the desktop made smaller, a
    // back buffer larger than the window) shows it shrunk to fit: the picture is never drawn past
    // the output's edges.
    if (wholeNumber && factor >= 1) {
        box.width = clientWidth * factor;
        box.height = clientHeight * factor;
    } else if (static_cast<int64_t>(outputWidth) * clientHeight <=
               static_cast<int64_t>(outputHeight) * clientWidth) {
        box.width = outputWidth;
        box.height = static_cast<int>(static_cast<int64_t>(outputWidth) * clientHeight / clientWidth);
    } else {
        box.height = outputHeight;
        box.width = static_cast<int>(static_cast<int64_t>(outputHeight) * clientWidth / clientHeight);
    }
    box.x = (outputWidth - box.width) / 2;
    box.y = (outputHeight - box.height) / 2;
    return box;
}

void OutputToClient(const Box& picture, int clientWidth, int clientHeight, int x, int y, int& clientX,
                    int& clientY) {
    clientX = FloorDivide(static_cast<int64_t>(x - picture.x) * clientWidth, picture.width);
    clientY = FloorDivide(static_cast<int64_t>(y - picture.y) * clientHeight, picture.height);
}

void ClientToOutput(const Box& picture, int clientWidth, int clientHeight, int x, int y, int& outputX,
                    int& outputY) {
    // The middle of the block of output pixels that shows client pixel (x, y).
    outputX = picture.x + FloorDivide((2 * static_cast<int64_t>(x) + 1) * picture.width, 2 * clientWidth);
    outputY = picture.y + FloorDivide((2 * static_cast<int64_t>(y) + 1) * picture.height, 2 * clientHeight);
}

Box CurrentPicture() {
    int width = View.clientWidth, height = View.clientHeight;
    if (Sdl.window != nullptr) SDL_GetWindowSize(Sdl.window, &width, &height);
    return PictureBox(View.clientWidth, View.clientHeight, width, height,
                      !View.fullScreen || Options.wholeNumberFullScreen);
}

void WindowToClient(int x, int y, int& clientX, int& clientY) {
    OutputToClient(CurrentPicture(), View.clientWidth, View.clientHeight, x, y, clientX, clientY);
}

void SetFullScreen(bool on) {
    if (Sdl.window == nullptr) return;
    if (SDL_SetWindowFullscreen(Sdl.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
    View.fullScreen = on;
    if (!on) SDL_SetWindowSize(Sdl.window, View.clientWidth * View.scale, View.clientHeight * View.scale);
    // The client area now starts elsewhere on the screen; tell the game as a move would.
    int x = 0, y = 0;
    SDL_GetWindowPosition(Sdl.window, &x, &y);
    queue::Push(Message{WM_MOVE, 0, MakeLParam(x, y)});
    ApplyConfinement();
}

bool TakeViewKey(const SDL_KeyboardEvent& key, bool down) {
    const SDL_Keycode code = key.keysym.sym;
    if (code == SDLK_F11) {
        if (down && !key.repeat) SetFullScreen(!View.fullScreen);
        return true;
    }
    if (code == SDLK_PRINTSCREEN) {
        // Print Screen is the program's hot key (with Alt its second one), not a key message.
        const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
        if (down) queue::Push(Message{WM_HOTKEY, alt ? 0xBF02u : 0xBF01u, MakeLParam(alt ? 1 : 0, 44)});
        return true;
    }
    if (code == SDLK_F12) {
        if (down && !key.repeat) View.screenshotRequested = true;
        return true;
    }
    if (code == SDLK_RETURN || code == SDLK_KP_ENTER) {
        if (down && (key.keysym.mod & KMOD_ALT) != 0) {
            if (!key.repeat) SetFullScreen(!View.fullScreen);
            View.returnSwallowed = true;
            return true;
        }
        if (!down && View.returnSwallowed) {
            View.returnSwallowed = false;
            return true;
        }
    }
    return false;
}

void ApplyConfinement() {
    if (Sdl.window == nullptr) return;
    if (!View.confined) {
        SDL_SetWindowMouseRect(Sdl.window, nullptr);
        return;
    }
    const Box picture = CurrentPicture();
    const Rect& client = View.confinedClient;
    // Whole output pixels of the client rectangle [left, right) x [top, bottom).
    auto edge = [](int offset, int size, int clientSize, int value) {
        return offset + FloorDivide(static_cast<int64_t>(value) * size, clientSize);
    };
    int left = edge(picture.x, picture.width, View.clientWidth, client.left);
    int right = edge(picture.x, picture.width, View.clientWidth, client.right);
    int top = edge(picture.y, picture.height, View.clientHeight, client.top);
    int bottom = edge(picture.y, picture.height, View.clientHeight, client.bottom);
    SDL_Rect area{left, top, right - left, bottom - top};
    SDL_SetWindowMouseRect(Sdl.window, &area);
}

}  // namespace platform::sdl
