// The display set up on the headless backend at a chosen depth, with a program folder of its own
// where tests write their pictures.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/refresh.h"
#include "engine/system/error_report.h"
#include "engine/text/text_output.h"
#include "platform/blit.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "engine/text/font_record.h"
#include "platform/headless/headless.h"
#include "platform/present.h"
#include "engine/system/input.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"

class DrawTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        setenv("ELDRAW_DEPTH", std::to_string(GetParam()).c_str(), 1);
        platform::headless::Reset();
        EngineInit();
        Engine.FullScreen = 0;
        Transition = TransitionState{};
        Viewer = ViewerState{};
        Wipe = ClipWipeState{};
        ObjectTable.loadKeyColor = 0;
        ObjectTable.loadKeyTopLeft = false;
        folder = std::filesystem::temp_directory_path() / ("el_draw_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "BMP");
        std::string program = (folder / "program").string();
        for (char& c : program)
            if (c == '/') c = '\\';
        platform::SetModuleFileNameForTesting(program.c_str());
        ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
    }
    void TearDown() override {
        ReleaseDisplay();
        platform::SetModuleFileNameForTesting("");
        std::filesystem::remove_all(folder);
        unsetenv("ELDRAW_DEPTH");
    }

    // Writes a picture of the given size whose pixel (x, y) is colour(x, y) (0x00RRGGBB).
    template <typename Colour>
    void WritePicture(const std::string& name, int width, int height, Colour colour) {
        platform::Picture picture;
        picture.width = width;
        picture.height = height;
        picture.pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
        ASSERT_TRUE(platform::SaveBmp24((folder / name).c_str(), picture));
    }

    uint32_t Raw(uint32_t rgb) const { return platform::RgbToRaw(Display.backBuffer->format, rgb); }
    uint32_t BackPixel(int x, int y) const { return platform::GetRawPixel(*Display.backBuffer, x, y); }
    platform::headless::HeadlessState& headless = platform::headless::Headless;
    std::filesystem::path folder;
};
