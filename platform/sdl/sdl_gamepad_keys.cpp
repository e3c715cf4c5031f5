// Game controllers as keys: each controller input holds a virtual key; a key goes down when its
// first holder presses and up when its last lets go, so the d-pad and the stick can share arrows.
#include "platform/sdl/sdl_gamepad_keys.h"

#include "platform/gamepad_keys.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/soft/message_queue.h"

namespace platform {
namespace {

constexpr int kMaxPads = 4;
// Stick positions beyond the first threshold press an arrow, inside the second release it.
constexpr int kPressAt = 16000;
constexpr int kReleaseAt = 12000;

struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    bool button[SDL_CONTROLLER_BUTTON_MAX] = {};
    int stickX = 0, stickY = 0;  // -1, 0 or +1
};

struct GamepadKeys {
    bool tried = false;    // the subsystem was asked for (or left alone by the setting)
    bool started = false;  // and is running
    bool on = true;
    Pad pads[kMaxPads];
    int holders[256] = {};
};

GamepadKeys keys;

int KeyOfButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return VK_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return VK_DOWN;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return VK_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return VK_RIGHT;
        case SDL_CONTROLLER_BUTTON_A:
            return 'C';  // swing
        case SDL_CONTROLLER_BUTTON_B:
            return 'V';  // call
        case SDL_CONTROLLER_BUTTON_X:
            return 'B';  // dash
        case SDL_CONTROLLER_BUTTON_START:
            return VK_ESCAPE;
        default:
            return 0;
    }
}

void Hold(int key) {
    if (keys.holders[key]++ == 0) queue::Push(Message{WM_KEYDOWN, static_cast<uintptr_t>(key), 0});
}

void Release(int key) {
    if (keys.holders[key] > 0 && --keys.holders[key] == 0)
        queue::Push(Message{WM_KEYUP, static_cast<uintptr_t>(key), 0});
}

// Moves one stick direction from -1/0/+1 to another, releasing and holding arrows.
void MoveStick(int& direction, int next, int negativeKey, int positiveKey) {
    if (direction == next) return;
    if (direction < 0) Release(negativeKey);
    if (direction > 0) Release(positiveKey);
    direction = next;
    if (direction < 0) Hold(negativeKey);
    if (direction > 0) Hold(positiveKey);
}

int StickDirection(int current, int value) {
    if (value <= -kPressAt) return -1;
    if (value >= kPressAt) return 1;
    if (current < 0 && value < -kReleaseAt) return -1;
    if (current > 0 && value > kReleaseAt) return 1;
    return 0;
}

void ReleasePad(Pad& pad) {
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        if (pad.button[button]) Release(KeyOfButton(button));
        pad.button[button] = false;
    }
    MoveStick(pad.stickX, 0, VK_LEFT, VK_RIGHT);
    MoveStick(pad.stickY, 0, VK_UP, VK_DOWN);
}

Pad* FindPad(SDL_JoystickID id) {
    for (Pad& pad : keys.pads)
        if (pad.controller != nullptr && pad.id == id) return &pad;
    return nullptr;
}

void OpenPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    if (FindPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
    for (Pad& pad : keys.pads) {
        if (pad.controller != nullptr) continue;
        pad = Pad{};
        pad.controller = SDL_GameControllerOpen(deviceIndex);
        if (pad.controller != nullptr)
            pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.controller));
        return;
    }
}

}  // namespace

void SetGamepadKeys(bool on) {
    if (!on)
        for (Pad& pad : keys.pads) ReleasePad(pad);
    keys.on = on;
}

bool GamepadKeysOn() {
    return keys.on && keys.started;
}

namespace sdl {

void StartGamepadKeys() {
    if (keys.tried) return;
    keys.tried = true;
    if (!Options.gamepadKeys) keys.on = false;
    if (!keys.on) return;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    keys.started = true;
    // Controllers attached before now announced themselves while nobody listened (the joystick set-up
    // starts the controller subsystem first); later ones come with device-added events.
    for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenPad(i);
}

void TranslateGamepadEvent(const SDL_Event& event) {
    if (!keys.started) return;
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            OpenPad(event.cdevice.which);
            return;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (Pad* pad = FindPad(event.cdevice.which)) {
                ReleasePad(*pad);
                SDL_GameControllerClose(pad->controller);
                *pad = Pad{};
            }
            return;
        default:
            break;
    }
    if (!keys.on) return;
    if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_CONTROLLERBUTTONUP) {
        Pad* pad = FindPad(event.cbutton.which);
        const int button = event.cbutton.button;
        if (pad == nullptr || button >= SDL_CONTROLLER_BUTTON_MAX || KeyOfButton(button) == 0) return;
        const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        if (pad->button[button] == down) return;
        pad->button[button] = down;
        if (down) {
            Hold(KeyOfButton(button));
        } else {
            Release(KeyOfButton(button));
        }
    } else if (event.type == SDL_CONTROLLERAXISMOTION) {
        Pad* pad = FindPad(event.caxis.which);
        if (pad == nullptr) return;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            MoveStick(pad->stickX, StickDirection(pad->stickX, event.caxis.value), VK_LEFT, VK_RIGHT);
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            MoveStick(pad->stickY, StickDirection(pad->stickY, event.caxis.value), VK_UP, VK_DOWN);
    }
}

}  // namespace sdl
}  // namespace platform
