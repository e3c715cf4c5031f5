// Scenes and their frames, frame pacing and the frame step, wait timers and a busy delay.
#pragma once
#include <cstdint>

constexpr int kSceneCount = 64;
constexpr int kWaitTimerCount = 10;
constexpr uint32_t kWaitNever = 999999999u;

// The function that runs one frame of a scene.
using SceneFrame = void (*)();

// Registers the frame of a scene number (1 to 63); a null frame removes it.
void RegisterScene(int scene, SceneFrame frame);
// The scene whose frames run (0 before the first one).
int GetScene();
// Switches to a scene from the next frame on.
void SetScene(int scene);
// The scene a running fade switches to when it ends.
void SetNextScene(int scene);
// Frames the loop has run since the program started.
uint32_t GetFrameCount();

// Frames per second the loop paces to; returns true, or false for 0, which changes nothing.
bool SetFrameRate(uint32_t rate);
// Whether the loop waits out each frame's period (on by default); off waits for the vertical blank instead.
void SetFramePacing(bool on);
// Restarts the frame clock, so that a long pause does not count as one frame step.
void ResetFrameTimer();
// The seconds the current frame covers: multiply speeds by it.
float GetFrameStep();
// 1: presenting waits for the display's vertical blank (pacing smooth transitions); 0 does not.
void SetWaitForVBlank(int on);
// 1 when the wait timer (1 to 10) has run out (a cleared one practically never does); 1 for other numbers.
int IsWaitOver(int timer);
// Waits milliseconds, handling no messages.
void Delay(uint32_t milliseconds);

namespace elSystem {

// Sets a wait timer (1 to 10) to run out after milliseconds; 0 (reported) for another timer number.
int SetWait(int timer, uint32_t milliseconds);
// Clears a wait timer; 0 (reported) for another timer number.
int InitWait(int timer);

}  // namespace elSystem
