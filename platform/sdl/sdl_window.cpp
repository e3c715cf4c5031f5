// The SDL backend's window: SDL events become window messages one at a time; cursor, boxes, beep.
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_gamepad_keys.h"
#include "platform/sdl/sdl_presenter.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/sdl/sdl_view.h"
#include "platform/sdl/sdl_x11_names.h"
#include "platform/sjis.h"
#include "platform/soft/message_queue.h"
#include "platform/soft/quit_signals.h"
#include "platform/soft/single_instance.h"
#include "platform/window.h"

namespace platform {
namespace sdl {

SdlState Sdl;

}  // namespace sdl

using sdl::Sdl;

namespace {

std::string errorText;

int VirtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_KP_0: return 96;
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL: case SDLK_RCTRL: return 17;
        case SDLK_LALT: case SDLK_RALT: return 18;
        case SDLK_PAUSE: return 19;
        case SDLK_CAPSLOCK: return 20;
        case SDLK_ESCAPE: return 27;
        case SDLK_SPACE: return 32;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        case SDLK_END: return 35;
        case SDLK_HOME: return 36;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        case SDLK_PRINTSCREEN: return 44;
        case SDLK_INSERT: return 45;
        case SDLK_DELETE: return 46;
        default: return 0;
    }
}

void TranslateKey(const SDL_KeyboardEvent& key, bool down) {
    if (sdl::TakeViewKey(key, down)) return;
    int vk = VirtualKeyOf(key.keysym.sym);
    if (vk == 0) return;
    // With Alt held (or for F10 and Alt itself) the window system reports system keys.
    bool system = (key.keysym.mod & KMOD_ALT) != 0 || vk == VK_F10 || vk == VK_MENU;
    uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    queue::Push(Message{message, static_cast<uintptr_t>(vk), 0});
}

void TranslateButton(const SDL_MouseButtonEvent& button, bool down) {
    uint32_t message = 0;
    if (button.button == SDL_BUTTON_LEFT) {
        message = down ? (button.clicks >= 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
    } else if (button.button == SDL_BUTTON_RIGHT) {
        message = down ? (button.clicks >= 2 ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
    } else {
        return;
    }
    int x = 0, y = 0;
    sdl::WindowToClient(button.x, button.y, x, y);
    queue::Push(Message{message, 0, MakeLParam(x, y)});
}

void TranslateWindowEvent(const SDL_WindowEvent& window) {
    switch (window.event) {
        case SDL_WINDOWEVENT_MOVED:
            queue::Push(Message{WM_MOVE, 0, MakeLParam(window.data1, window.data2)});
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            queue::Push(Message{WM_ACTIVATEAPP, 1, 0});
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            queue::Push(Message{WM_ACTIVATEAPP, 0, 0});
            break;
        case SDL_WINDOWEVENT_CLOSE:
            queue::Push(Message{WM_CLOSE, 0, 0});
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            sdl::RedrawWholeWindow();
            break;
        default:
            break;
    }
}

// SDL turns SIGTERM and SIGINT into a quit event; they end the program as the close box does.
// Quitting on the last window's close is switched off, so the close box itself is not seen twice.
void RouteQuitSignalsToClose() {
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
}

void TranslateQuitRequest() {
    queue::Push(Message{WM_CLOSE, 0, 0});
}

// Why no display could be opened: an unreachable one named, or none named at all.
std::string NoDisplayText() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::string named;
    if (x11 != nullptr && *x11 != '\0') named += std::string("DISPLAY '") + x11 + "'";
    if (wayland != nullptr && *wayland != '\0')
        named += (named.empty() ? "" : " and ") + std::string("WAYLAND_DISPLAY '") + wayland + "'";
    if (named.empty()) return "cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY names one)";
    return "cannot open a display (" + named + " cannot be reached)";
}

// The player's scale factor, or the largest whole number at which the client area fits the desktop.
int WindowScale(int clientWidth, int clientHeight) {
    if (sdl::Options.scale != 0) return sdl::Options.scale;
    SDL_Rect usable{0, 0, clientWidth, clientHeight};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, clientWidth, clientHeight};
    return sdl::ChooseScale(clientWidth, clientHeight, usable.w, usable.h);
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: TranslateQuitRequest(); break;
        case SDL_KEYDOWN: TranslateKey(event.key, true); break;
        case SDL_KEYUP: TranslateKey(event.key, false); break;
        case SDL_MOUSEMOTION: {
            int x = 0, y = 0;
            sdl::WindowToClient(event.motion.x, event.motion.y, x, y);
            queue::Push(Message{WM_SETCURSOR, 0, 0});
            queue::Push(Message{WM_MOUSEMOVE, 0, MakeLParam(x, y)});
            break;
        }
        case SDL_MOUSEBUTTONDOWN: TranslateButton(event.button, true); break;
        case SDL_MOUSEBUTTONUP: TranslateButton(event.button, false); break;
        case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
        default:
            sdl::TranslateGamepadEvent(event);
            break;
    }
}

void PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) Translate(event);
    if (instance::TakeRaiseRequest()) RaiseMainWindow();
}

}  // namespace

bool Initialise() {
    if (Sdl.initialised) return true;
    sdl::LoadSettings();
    RouteQuitSignalsToClose();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        errorText = std::string("cannot open a display (") + SDL_GetError() + ")";
        SDL_Quit();  // releases what the failed start left behind (its message bus connection)
        return false;
    }
    // Without a display SDL falls back to drawing nowhere; only an explicit request may do that.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool nowhere = driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
    if (nowhere && std::getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_Quit();
        errorText = NoDisplayText();
        return false;
    }
    SDL_DisableScreenSaver();
    CatchQuitSignals();  // behind SDL's own handlers, which SDL_Init has put in place
    Sdl.initialised = true;
    return true;
}

const char* ErrorText() { return errorText.c_str(); }

void Shutdown() {
    if (Sdl.beepDevice != 0) SDL_CloseAudioDevice(Sdl.beepDevice);
    Sdl.beepDevice = 0;
    if (Sdl.initialised) SDL_Quit();
    Sdl.initialised = false;
}

ScreenMetrics GetScreenMetrics() {
    ScreenMetrics metrics;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        metrics.screenWidth = mode.w;
        metrics.screenHeight = mode.h;
    }
    return metrics;
}

bool CreateMainWindow(const char* captionSjis, int x, int y, int clientWidth, int clientHeight,
                      WindowProcedure procedure) {
    std::string caption = SjisToUtf8(captionSjis);
    // The game sees a client area of the size it asked for; the window shows it scaled.
    sdl::View = sdl::ViewState{};
    sdl::View.clientWidth = clientWidth;
    sdl::View.clientHeight = clientHeight;
    sdl::View.scale = WindowScale(clientWidth, clientHeight);
    const int width = clientWidth * sdl::View.scale, height = clientHeight * sdl::View.scale;
    // Keep the window's middle where the game centred its client area.
    x -= (width - clientWidth) / 2;
    y -= (height - clientHeight) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    Sdl.window = SDL_CreateWindow(caption.c_str(), x, y, width, height, SDL_WINDOW_HIDDEN);
    if (Sdl.window == nullptr) {
        errorText = std::string("cannot create the window (") + SDL_GetError() + ")";
        return false;
    }
    sdl::SetX11Names(Sdl.window, caption);
    sdl::CreatePresenter();
    if (sdl::Options.fullScreen) sdl::SetFullScreen(true);
    queue::Queue.procedure = procedure;
    int clientX = 0, clientY = 0;
    SDL_GetWindowPosition(Sdl.window, &clientX, &clientY);
    queue::Push(Message{WM_MOVE, 0, MakeLParam(clientX, clientY)});
    return true;
}

bool SetMainWindowClientSize(int clientWidth, int clientHeight) {
    if (Sdl.window == nullptr || clientWidth < 1 || clientHeight < 1) return false;
    if (sdl::View.clientWidth == clientWidth && sdl::View.clientHeight == clientHeight) return true;
    // The windowed size before and after: the middle stays where it was, the window on the screen.
    const int oldWidth = sdl::View.clientWidth * sdl::View.scale;
    const int oldHeight = sdl::View.clientHeight * sdl::View.scale;
    sdl::View.clientWidth = clientWidth;
    sdl::View.clientHeight = clientHeight;
    sdl::View.scale = WindowScale(clientWidth, clientHeight);
    const int width = clientWidth * sdl::View.scale, height = clientHeight * sdl::View.scale;
    if (!sdl::View.fullScreen) {
        int x = 0, y = 0;
        SDL_GetWindowPosition(Sdl.window, &x, &y);
        x += (oldWidth - width) / 2;
        y += (oldHeight - height) / 2;
        SDL_Rect usable{0, 0, width, height};
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, width, height};
        if (x < usable.x) x = usable.x;
        if (y < usable.y) y = usable.y;
        SDL_SetWindowSize(Sdl.window, width, height);
        SDL_SetWindowPosition(Sdl.window, x, y);
    }
    int clientX = 0, clientY = 0;
    SDL_GetWindowPosition(Sdl.window, &clientX, &clientY);
    queue::Push(Message{WM_MOVE, 0, MakeLParam(clientX, clientY)});
    sdl::ApplyConfinement();
    return true;
}

bool MainWindowExists() { return Sdl.window != nullptr; }

void ShowMainWindow(bool visible) {
    if (Sdl.window == nullptr) return;
    if (visible) {
        SDL_ShowWindow(Sdl.window);
        sdl::SetX11Names(Sdl.window, SDL_GetWindowTitle(Sdl.window));
    } else {
        SDL_HideWindow(Sdl.window);
    }
}

void SetMainWindowTopmost(bool topmost) {
    if (Sdl.window != nullptr) SDL_SetWindowAlwaysOnTop(Sdl.window, topmost ? SDL_TRUE : SDL_FALSE);
}

void RaiseMainWindow() {
    if (Sdl.window == nullptr) return;
    SDL_RestoreWindow(Sdl.window);
    SDL_RaiseWindow(Sdl.window);
}

void DestroyMainWindow() {
    if (Sdl.window == nullptr) return;
    DispatchMessage(Message{WM_DESTROY, 0, 0});
    if (Sdl.onDestroy) Sdl.onDestroy();
    SDL_DestroyWindow(Sdl.window);
    Sdl.window = nullptr;
}

bool PeekMessage(Message& out) {
    PumpEvents();
    return queue::Take(out);
}

void WaitMessage() {
    if (!queue::Queue.messages.empty()) return;
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 100)) Translate(event);
}

void ShowCursor(bool show) {
    Sdl.cursorCounter += show ? 1 : -1;
    SDL_ShowCursor(Sdl.cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void HideCursorNow() { SDL_ShowCursor(SDL_DISABLE); }

// Screen positions the game sees: the client area's origin plus client coordinates, whatever
// the scale the window shows it at.
void GetCursorScreenPos(int& x, int& y) {
    SDL_GetGlobalMouseState(&x, &y);
    if (Sdl.window == nullptr) return;
    int windowX = 0, windowY = 0, clientX = 0, clientY = 0;
    SDL_GetWindowPosition(Sdl.window, &windowX, &windowY);
    sdl::WindowToClient(x - windowX, y - windowY, clientX, clientY);
    x = windowX + clientX;
    y = windowY + clientY;
}

bool SetCursorScreenPos(int x, int y) {
    if (Sdl.window != nullptr) {
        int windowX = 0, windowY = 0;
        SDL_GetWindowPosition(Sdl.window, &windowX, &windowY);
        sdl::ClientToOutput(sdl::CurrentPicture(), sdl::View.clientWidth, sdl::View.clientHeight, x - windowX,
                            y - windowY, x, y);
        x += windowX;
        y += windowY;
    }
    return SDL_WarpMouseGlobal(x, y) == 0;
}

void ConfineCursor(const Rect* screenRect) {
    if (Sdl.window == nullptr) return;
    sdl::View.confined = screenRect != nullptr;
    if (screenRect != nullptr) {
        int windowX = 0, windowY = 0;
        SDL_GetWindowPosition(Sdl.window, &windowX, &windowY);
        sdl::View.confinedClient = Rect{screenRect->left - windowX, screenRect->top - windowY,
                                        screenRect->right - windowX, screenRect->bottom - windowY};
    }
    sdl::ApplyConfinement();
}

int MessageBox(const char* textSjis, const char* captionSjis, uint32_t style) {
    std::string text = SjisToUtf8(textSjis);
    std::string caption = SjisToUtf8(captionSjis);
    const bool yesNo = (style & MB_YESNO) != 0;
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    if (!Sdl.initialised) return yesNo ? IDNO : IDOK;
    // After SIGTERM or SIGINT the program is on its way out: no box holds it up, and one that is
    // open when the signal comes is closed (its process ended) and answered as by Esc.
    if (QuitSignalled()) return yesNo ? IDNO : IDOK;
    BoxGuard guard;

    SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"}};
    SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "いいえ"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "はい"}};
    SDL_MessageBoxData data{};
    data.flags = (style & 0xF0) == MB_ICONQUESTION ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_WARNING;
    data.window = Sdl.window;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = yesNo ? 2 : 1;
    data.buttons = yesNo ? yesNoButtons : okButton;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed < 0) return yesNo ? IDNO : IDOK;
    return pressed;
}

void Beep() {
    // A short soft tone: the standard beep of a window system that has none of its own. With the
    // sound device open it is one more buffer of the mixer.
    if (sdl::BeepThroughMixer()) return;
    if (Sdl.beepUnavailable) return;
    if (Sdl.beepDevice == 0) {
        // Without a sound device the beep stays silent; it is not asked for again.
        Sdl.beepUnavailable = true;
        sdl::QuietSoundLibraryMessages();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        SDL_AudioSpec want{};
        want.freq = 22050;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 512;
        Sdl.beepDevice = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (Sdl.beepDevice == 0) return;
        Sdl.beepUnavailable = false;
        SDL_PauseAudioDevice(Sdl.beepDevice, 0);
    }
    std::vector<int16_t> tone(22050 / 8);
    for (size_t i = 0; i < tone.size(); ++i) {
        double fade = 1.0 - static_cast<double>(i) / static_cast<double>(tone.size());
        tone[i] = static_cast<int16_t>(4000.0 * fade * std::sin(2.0 * M_PI * 880.0 * static_cast<double>(i) / 22050.0));
    }
    SDL_QueueAudio(Sdl.beepDevice, tone.data(), static_cast<Uint32>(tone.size() * sizeof(int16_t)));
}

void SetImeEnabled(bool enabled) {
    if (enabled) {
        SDL_StartTextInput();
    } else {
        SDL_StopTextInput();
    }
}

}  // namespace platform
