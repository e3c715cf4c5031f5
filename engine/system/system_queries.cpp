// What a scene reads and sets of elSystem's module state through the public interface: the scene
// numbers, the frame count and step, the vertical-blank wait, the mouse and the viewer's key; files
// of the program folder; joysticks that answer and the controllers' keys.
#include <string>

#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "engine/system/joystick.h"
#include "engine/system/paths.h"
#include "engine/system/scenes.h"
#include "platform/files.h"
#include "platform/gamepad_keys.h"
#include "platform/joystick.h"

int GetScene() {
    return Engine.Scene;
}

void SetScene(int scene) {
    Engine.Scene = scene;
}

void SetNextScene(int scene) {
    Engine.NextScene = scene;
}

uint32_t GetFrameCount() {
    return Pacing.FrameCount;
}

float GetFrameStep() {
    return Pacing.FrameStep;
}

void SetWaitForVBlank(int on) {
    Pacing.WaitForVBlank = on != 0 ? 1 : 0;
}

void GetMousePosition(int* x, int* y) {
    if (x != nullptr) *x = Input.MouseX;
    if (y != nullptr) *y = Input.MouseY;
}

int IsMouseButtonDown(int button) {
    if (button == 1) return Input.LeftDown != 0 ? 1 : 0;
    if (button == 2) return Input.RightDown != 0 ? 1 : 0;
    return 0;
}

int GetViewerKey() {
    return Input.ViewerKey;
}

std::FILE* OpenProgramFile(const char* name, const char* mode) {
    return platform::OpenFile((std::string(ModulePath(0)) + (name != nullptr ? name : "")).c_str(),
                              mode != nullptr ? mode : "rb");
}

int JoyPresent(int joystick) {
    platform::JoystickReading reading;
    return platform::ReadJoystick(joystick, reading) ? 1 : 0;
}

int GetGamepadKeys() {
    return platform::GamepadKeysOn() ? 1 : 0;
}

void SetGamepadKeys(int on) {
    platform::SetGamepadKeys(on != 0);
}
