// The main window's procedure: window messages become the engine's input state.
#pragma once
#include <cstdint>

intptr_t MainWindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam);
