// X11 names: SDL writes WM_NAME in the locale's encoding, which turns a Japanese caption into
// question marks under the C locale; window managers that read WM_NAME show that. Every name
// property is written here as UTF8_STRING, which they all understand, and the class is fixed.
#include "platform/sdl/sdl_x11_names.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform::sdl {

void SetX11Names(SDL_Window* window, const std::string& captionUtf8) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    Window handle = info.info.x11.window;
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom names[] = {XA_WM_NAME, XA_WM_ICON_NAME, XInternAtom(display, "_NET_WM_NAME", False),
                          XInternAtom(display, "_NET_WM_ICON_NAME", False)};
    for (Atom name : names)
        XChangeProperty(display, handle, name, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(captionUtf8.data()),
                        static_cast<int>(captionUtf8.size()));
    char className[] = "milkanet";
    XClassHint hint{className, className};
    XSetClassHint(display, handle, &hint);
    XFlush(display);
}

}  // namespace platform::sdl
