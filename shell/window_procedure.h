// The main window's procedure: window messages become the engine's input state.
#pragma once
#include <cstdint>

intptr_t MainWindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Whether a press of Esc runs the exit procedure (it does unless a program switched it off); with
// it off Esc is a key like any other.
void SetEscapeEnds(bool ends);
bool EscapeEnds();
