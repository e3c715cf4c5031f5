// Window messages in their classic numbering, and the message record the platform delivers.
#pragma once
#include <cstdint>

namespace platform {

enum : uint32_t {
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ACTIVATEAPP = 0x001C,
    WM_SETCURSOR = 0x0020,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCOMMAND = 0x0112,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_HOTKEY = 0x0312,
    MM_MCINOTIFY = 0x03B9,  // 953: the MIDI sequencer's end report
};

// WM_SYSCOMMAND codes (wParam & 0xFFF0).
enum : uint32_t {
    SC_CLOSE = 0xF060,
    SC_SCREENSAVE = 0xF140,
};

// Virtual-key codes the engine and the game use.
enum : int {
    VK_SHIFT = 16,
    VK_MENU = 18,  // Alt
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_RETURN = 13,
    VK_F4 = 115,
    VK_F10 = 121,
};

struct Message {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// Packs two 16-bit values into an lParam the way the old system did (low word, high word).
constexpr intptr_t MakeLParam(int low, int high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}
constexpr unsigned LowWord(intptr_t v) { return static_cast<uint32_t>(v) & 0xFFFFu; }
constexpr unsigned HighWord(intptr_t v) { return (static_cast<uint32_t>(v) >> 16) & 0xFFFFu; }

using WindowProcedure = intptr_t (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace platform
