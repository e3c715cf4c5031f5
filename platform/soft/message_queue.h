// The message queue and key state shared by both backends: backends push translated events,
// the common code hands them out one at a time and keeps the key state the way messages left it.
#pragma once
#include <deque>

#include "platform/messages.h"

namespace platform::queue {

struct QueueState {
    std::deque<Message> messages;
    WindowProcedure procedure = nullptr;
    bool keyDown[256] = {};
    bool quitPosted = false;
    int quitCode = 0;
};

extern QueueState Queue;

void Reset();
void Push(const Message& message);
// A function run before each take, on the window's thread (the sequencer posts its end reports
// from it); it survives Reset.
void SetPollHook(void (*hook)());
// Takes the next message (a posted quit comes after every other message), updating the key state.
bool Take(Message& out);

}  // namespace platform::queue
