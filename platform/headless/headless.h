// Controls of the headless backend: the virtual clock, scripted messages and what the program showed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace platform::headless {

struct RecordedMessageBox {
    std::string text;     // Shift-JIS bytes as the program passed them
    std::string caption;  // Shift-JIS
    uint32_t style = 0;
};

struct HeadlessState {
    // Clock: every read of Ticks returns the time and then moves it on by tickStep; sleeps move it on.
    uint32_t clock = 0;
    uint32_t tickStep = 0;
    // The latest sleeps, oldest first: at most kSleepRecordLimit are kept, so that a run of any
    // length stays in bounded memory; sleepCount counts every sleep.
    static constexpr size_t kSleepRecordLimit = 256;
    std::vector<uint32_t> sleeps;
    uint64_t sleepCount = 0;
    // Called whenever PeekMessage finds the queue empty, so a script can post the next messages.
    std::function<void()> idleHook;
    // Window.
    bool windowExists = false;
    bool windowVisible = false;
    bool windowTopmost = false;
    int raiseCount = 0;
    std::string caption;  // Shift-JIS
    int windowX = 0, windowY = 0, clientWidth = 0, clientHeight = 0;
    ScreenMetrics metrics{1920, 1080};
    // Cursor.
    int cursorCounter = 0;  // shown while >= 0
    int cursorX = 0, cursorY = 0;
    bool cursorConfined = false;
    int confineCalls = 0;
    Rect confineRect{};
    int hideNowCount = 0;
    // Boxes and beeps.
    std::vector<RecordedMessageBox> messageBoxes;
    int messageBoxAnswer = IDNO;  // answer of yes/no boxes
    std::function<void()> whileBoxOpen;  // called while each box is shown
    int beeps = 0;
    bool imeEnabled = true;
    int waitMessageCalls = 0;
    int joystickRefreshes = 0;
};

extern HeadlessState Headless;

// A fresh backend: empty queue, no window, clock at 0, nothing recorded.
void Reset();

}  // namespace platform::headless

#include "platform/joystick.h"
#include "platform/surface.h"

namespace platform::headless {

// A joystick as a test sets it: plugged in or not, and what it reads while plugged in.
struct ScriptedJoystick {
    bool present = false;
    JoystickReading reading{32767, 32767, 0};
    int reads = 0;  // readings asked for, answered or not
};
extern ScriptedJoystick Joysticks[kJoysticks];

// The last frame the program presented (the source rectangle of its back buffer), and how many.
struct PresentedFrames {
    Surface last;
    int count = 0;
    bool verticalBlankWaited = false;
};
extern PresentedFrames Presented;

}  // namespace platform::headless

namespace platform::headless {

// The pulled audio device. OpenAudioDevice fails while `deviceAvailable` is false ("no device").
struct HeadlessAudio {
    bool deviceAvailable = true;
    // Every file PlayWaveFileSync played, and what it rendered of the last one (48000 Hz, 16-bit
    // stereo, from its start to its end).
    std::vector<std::string> syncPlays;
    std::vector<int16_t> lastSyncRender;
};
extern HeadlessAudio Audio;

// Renders `frames` frames of the mix now, moving every playing buffer on by as much: 16-bit samples
// at the output format's rate and channel count (an 8-bit mix is widened, keeping its steps).
// Without an open device it writes silence and returns false.
bool RenderAudio(int16_t* out, uint32_t frames);
// The same in the output format's own samples (8-bit unsigned or 16-bit signed): frames × block bytes.
bool RenderAudioBytes(void* out, uint32_t frames);

}  // namespace platform::headless
