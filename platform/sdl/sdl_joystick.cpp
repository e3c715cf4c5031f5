// Joysticks 1 and 2 through SDL: the first two devices in the order they were attached, game
// controllers by their standard layout, other devices by their first two axes and their buttons.
#include <SDL.h>

#include <algorithm>
#include <iterator>

#include "platform/joystick.h"
#include "platform/sdl/sdl_virtual_joystick.h"

namespace platform {
namespace {

struct Slot {
    SDL_Joystick* joystick = nullptr;
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
};

struct SdlJoystickState {
    bool initialised = false;
    bool unavailable = false;
    Slot slots[kJoysticks];
};
SdlJoystickState g_joy;

bool Initialise() {
    if (g_joy.initialised) return true;
    if (g_joy.unavailable) return false;
    // Sticks answer while the window is in the background too; devices come and go as they are
    // updated at each reading, with or without a window.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
        g_joy.unavailable = true;
        return false;
    }
    g_joy.initialised = true;
    // A scripted stick for test sessions joins the devices as the subsystem starts.
    sdl::StartVirtualJoystick();
    return true;
}

void Close(Slot& slot) {
    if (slot.controller != nullptr)
        SDL_GameControllerClose(slot.controller);
    else if (slot.joystick != nullptr)
        SDL_JoystickClose(slot.joystick);
    slot = Slot{};
}

bool Held(SDL_JoystickID id) {
    return std::any_of(std::begin(g_joy.slots), std::end(g_joy.slots),
                       [id](const Slot& s) { return s.id == id; });
}

// Drops removed devices and fills free slots with the earliest attached devices not yet held
// (instance ids grow with every attachment).
void UpdateSlots() {
    SDL_JoystickUpdate();
    for (Slot& slot : g_joy.slots) {
        if (slot.joystick != nullptr && !SDL_JoystickGetAttached(slot.joystick)) Close(slot);
    }
    for (Slot& slot : g_joy.slots) {
        if (slot.joystick != nullptr) continue;
        int best = -1;
        SDL_JoystickID bestId = 0;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
            if (id < 0 || Held(id)) continue;
            if (best < 0 || id < bestId) best = i, bestId = id;
        }
        if (best < 0) break;
        if (SDL_IsGameController(best)) {
            slot.controller = SDL_GameControllerOpen(best);
            if (slot.controller != nullptr) slot.joystick = SDL_GameControllerGetJoystick(slot.controller);
        }
        if (slot.joystick == nullptr) slot.joystick = SDL_JoystickOpen(best);
        if (slot.joystick == nullptr) {
            slot = Slot{};
            break;
        }
        slot.id = SDL_JoystickInstanceID(slot.joystick);
    }
}

// An SDL axis value (-32768..32767) on the 0..65535 scale.
uint32_t Scale(Sint16 value) {
    return static_cast<uint32_t>(value + 32768);
}

void ReadController(SDL_GameController* controller, JoystickReading& out) {
    out.x = Scale(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
    out.y = Scale(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
    // The pad's directions stand for a stick pushed to its end.
    if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) out.x = 0;
    if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) out.x = 65535;
    if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_UP)) out.y = 0;
    if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) out.y = 65535;
    // Buttons 1 to 4 are the four face buttons, then the shoulders, back, start and the sticks.
    static const SDL_GameControllerButton kOrder[] = {SDL_CONTROLLER_BUTTON_A,
                                                      SDL_CONTROLLER_BUTTON_B,
                                                      SDL_CONTROLLER_BUTTON_X,
                                                      SDL_CONTROLLER_BUTTON_Y,
                                                      SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                                      SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                                      SDL_CONTROLLER_BUTTON_BACK,
                                                      SDL_CONTROLLER_BUTTON_START,
                                                      SDL_CONTROLLER_BUTTON_LEFTSTICK,
                                                      SDL_CONTROLLER_BUTTON_RIGHTSTICK,
                                                      SDL_CONTROLLER_BUTTON_GUIDE};
    out.buttons = 0;
    for (size_t i = 0; i < std::size(kOrder); ++i) {
        if (SDL_GameControllerGetButton(controller, kOrder[i])) out.buttons |= 1u << i;
    }
}

void ReadPlainJoystick(SDL_Joystick* joystick, JoystickReading& out) {
    out.x = out.y = 32768;
    int axes = SDL_JoystickNumAxes(joystick);
    if (axes > 0) out.x = Scale(SDL_JoystickGetAxis(joystick, 0));
    if (axes > 1) out.y = Scale(SDL_JoystickGetAxis(joystick, 1));
    // A device without a stick steers with its first hat.
    if (axes < 2 && SDL_JoystickNumHats(joystick) > 0) {
        Uint8 hat = SDL_JoystickGetHat(joystick, 0);
        if (hat & SDL_HAT_LEFT) out.x = 0;
        if (hat & SDL_HAT_RIGHT) out.x = 65535;
        if (hat & SDL_HAT_UP) out.y = 0;
        if (hat & SDL_HAT_DOWN) out.y = 65535;
    }
    out.buttons = 0;
    int buttons = std::min(SDL_JoystickNumButtons(joystick), 32);
    for (int i = 0; i < buttons; ++i) {
        if (SDL_JoystickGetButton(joystick, i)) out.buttons |= 1u << i;
    }
}

}  // namespace

bool ReadJoystick(int joystick, JoystickReading& out) {
    if (joystick < 0 || joystick >= kJoysticks || !Initialise()) return false;
    sdl::PlayVirtualJoystick();
    UpdateSlots();
    Slot& slot = g_joy.slots[joystick];
    if (slot.joystick == nullptr) return false;
    if (slot.controller != nullptr)
        ReadController(slot.controller, out);
    else
        ReadPlainJoystick(slot.joystick, out);
    return true;
}

void RefreshJoysticks() {
    if (!Initialise()) return;
    sdl::PlayVirtualJoystick();
    UpdateSlots();
}

}  // namespace platform
