// Message queue, dispatch to the window procedure, default message handling and key state.
#include "platform/soft/message_queue.h"

#include "platform/window.h"

namespace platform::queue {

QueueState Queue;
static void (*pollHook)() = nullptr;

void SetPollHook(void (*hook)()) {
    pollHook = hook;
}

void Reset() {
    Queue = QueueState{};
}

void Push(const Message& message) {
    Queue.messages.push_back(message);
}

static void TrackKey(const Message& message) {
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if ((down || up) && message.wParam < 256) Queue.keyDown[message.wParam] = down;
}

bool Take(Message& out) {
    if (pollHook != nullptr) pollHook();
    if (!Queue.messages.empty()) {
        out = Queue.messages.front();
        Queue.messages.pop_front();
        TrackKey(out);
        return true;
    }
    if (Queue.quitPosted) {
        Queue.quitPosted = false;
        out = Message{WM_QUIT, static_cast<uintptr_t>(Queue.quitCode), 0};
        return true;
    }
    return false;
}

}  // namespace platform::queue

namespace platform {

using queue::Queue;

intptr_t DispatchMessage(const Message& message) {
    if (Queue.procedure == nullptr) return DefWindowProc(message.message, message.wParam, message.lParam);
    return Queue.procedure(message.message, message.wParam, message.lParam);
}

void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue::Push(Message{message, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    Queue.quitPosted = true;
    Queue.quitCode = exitCode;
}

static intptr_t SendToWindow(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return DispatchMessage(Message{message, wParam, lParam});
}

intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_SYSKEYDOWN:
            // Alt+F4 asks the window to close, as the window system always did.
            if (wParam == VK_F4) SendToWindow(WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendToWindow(WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE:
            DestroyMainWindow();
            return 0;
        default:
            return 0;
    }
}

bool IsKeyDown(int virtualKey) {
    return virtualKey >= 0 && virtualKey < 256 && Queue.keyDown[virtualKey];
}

}  // namespace platform
