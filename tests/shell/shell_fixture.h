// A fresh engine on the headless backend with the main window open, and helpers to feed it messages.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/draw/display.h"
#include "engine/draw/refresh.h"
#include "engine/system/engine_state.h"
#include "engine/system/error_report.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "engine/system/paths.h"
#include "engine/system/scenes.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "shell/program.h"
#include "shell/window_procedure.h"

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The single-instance lock of these runs lives apart from a game that may be running.
        runtime = std::filesystem::temp_directory_path() / ("el_shell_runtime_" + std::to_string(::getpid()));
        std::filesystem::create_directories(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        platform::headless::Reset();
        EngineInit();
        Pacing = FramePacingState{};
        Transition = TransitionState{};
        Viewer = ViewerState{};
        Scenes = SceneTable{};
        Engine.WindowFlags = 3;
        Engine.FullScreen = 0;
        platform::CreateMainWindow("test", 0, 0, 800, 600, MainWindowProcedure);
        Drain();
    }

    // Handles every queued message, as the loop does before it runs a frame.
    void Drain() {
        platform::Message message;
        while (platform::PeekMessage(message)) {
            if (message.message == platform::WM_QUIT) {
                quitSeen = true;
                continue;
            }
            platform::DispatchMessage(message);
        }
    }

    void Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        platform::PostMessage(message, wParam, lParam);
        Drain();
    }
    void KeyDown(int key) { Send(platform::WM_KEYDOWN, static_cast<uintptr_t>(key)); }
    void KeyUp(int key) { Send(platform::WM_KEYUP, static_cast<uintptr_t>(key)); }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }

    platform::headless::HeadlessState& headless = platform::headless::Headless;
    bool quitSeen = false;
    std::filesystem::path runtime;
};
