// Clipped copies, stretched copies, fills, fades, the viewer, clip wipes, presentation and text.
#include <vector>

#include "tests/engine_draw/draw_fixture.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

class BlitTest : public DrawTest {
protected:
    // A 10 x 10 picture whose column x has the colour x + 1 in red, so columns can be told apart.
    ObjectNo LoadColumns() {
        WritePicture("BMP/columns.bmp", 10, 10, [](int x, int) { return static_cast<uint32_t>((x + 1) * 16) << 16; });
        return elDraw::LoadObject("BMP\\columns.bmp", 2);
    }
    uint32_t Column(int x) const { return Raw(static_cast<uint32_t>((x + 1) * 16) << 16); }
};

TEST_P(BlitTest, ASpriteHalfOffTheLeftIsDrawnFromItsVisibleColumn) {
    ObjectNo sprite = LoadColumns();
    ClearScreen();
    SetClipRect(100, 0, 800, 600);
    BltObject(95, 50, sprite, 0, 0, 10, 10);
    EXPECT_EQ(BackPixel(99, 50), 0u);
    EXPECT_EQ(BackPixel(100, 50), Column(5));
    EXPECT_EQ(BackPixel(104, 59), Column(9));
    EXPECT_EQ(BackPixel(105, 50), 0u);
}

TEST_P(BlitTest, RightAndBottomEdgesAndSpritesBeyondThemDrawNothingOutside) {
    ObjectNo sprite = LoadColumns();
    ClearScreen();
    SetClipRect(0, 0, 300, 200);
    BltObject(296, 196, sprite, 0, 0, 10, 10);
    EXPECT_EQ(BackPixel(299, 199), Column(3));
    EXPECT_EQ(BackPixel(300, 199), 0u);
    EXPECT_EQ(BackPixel(299, 200), 0u);
    BltObject(400, 50, sprite, 0, 0, 10, 10);  // entirely right of the clip
    for (int x = 300; x < 420; ++x) ASSERT_EQ(BackPixel(x, 50), 0u);
    // A clipped width of exactly zero still reaches the copy and draws nothing.
    EXPECT_EQ(BltObject(300, 10, sprite, 0, 0, 10, 10), platform::BLIT_OK);
}

TEST_P(BlitTest, SourceRectanglesBeyondThePictureNeverReadOutsideIt) {
    ObjectNo sprite = LoadColumns();
    ClearScreen();
    // A chip number past the sheet: the rectangle lies far outside the 10 x 10 picture.
    EXPECT_EQ(BltObject(0, 0, sprite, 8 * 200, 8 * 40, 8 * 201, 8 * 41), platform::BLIT_OK);
    BltObject(20, 20, sprite, 5, 5, 40, 40);  // only the part inside the picture is copied
    EXPECT_EQ(BackPixel(20, 20), Column(5));
    EXPECT_EQ(BackPixel(24, 24), Column(9));
    EXPECT_EQ(BackPixel(25, 20), 0u);
    BltObject(50, 50, sprite, -5, -5, 3, 3);
    EXPECT_EQ(BackPixel(55, 55), Column(0));
    EXPECT_EQ(BltObject(0, 0, 511, 0, 0, 8, 8), platform::BLIT_INVALID);  // a free slot draws nothing
    EXPECT_EQ(BltObject(0, 0, 9999, 0, 0, 8, 8), platform::BLIT_INVALID);
}

TEST_P(BlitTest, CopiesIntoAnObjectClipAgainstTheClipRectangleNotTheObject) {
    ObjectNo sprite = LoadColumns();
    ObjectNo small = elDraw::CreateObject(20, 20, 2);
    SetClipRect(0, 0, 12, 600);
    BltObjectToOpaque(small, 8, 0, sprite, 0, 0, 10, 10);
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(small), 11, 0), Column(3));
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(small), 12, 0), 0u);
}

TEST_P(BlitTest, CaptureCopiesTheBackBufferWithoutClipping) {
    ObjectNo target = elDraw::CreateObject(16, 16, 2);
    platform::FillSurface(*Display.backBuffer, Raw(kBlue));
    SetClipRect(0, 0, 0, 0);
    CaptureToObject(target, 100, 100, 116, 116);
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(target), 15, 15), Raw(kBlue));
}

TEST_P(BlitTest, WithoutDeviceStretchingTheBufferSpriteCarriesTheStretch) {
    ObjectNo sprite = LoadColumns();
    ClearScreen();
    Display.stretchSupported = 0;
    StretchObjectOpaque(200, 100, sprite, 0, 0, 10, 10, 20, 30);
    Display.stretchSupported = 1;
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(kBufferSprite), 19, 29), Column(9));
    EXPECT_EQ(BackPixel(200, 100), Column(0));
    EXPECT_EQ(BackPixel(219, 129), Column(9));
    EXPECT_EQ(BackPixel(220, 100), 0u);
}

TEST_P(BlitTest, FramesAndHalfBlendsStayInsideTheBackBuffer) {
    FillWhiteScreen();
    FrameRect(10, 10, 20, 20);
    EXPECT_EQ(BackPixel(10, 15), 0u);
    EXPECT_EQ(BackPixel(19, 15), 0u);
    EXPECT_EQ(BackPixel(15, 15), Display.format.fullMask);
    SetClipRect(-100, -100, 2000, 2000);  // reaches past the back buffer
    EXPECT_EQ(HalfBlendRect(-50, -50, 5000, 5000, 0), 1);
    EXPECT_EQ(BackPixel(799, 599), Display.format.halfMask);
}

TEST_P(BlitTest, FadesRunTheirTenPatternFramesAndStop) {
    WritePicture("BMP/wipe.bmp", 640, 48, [](int x, int) { return static_cast<uint32_t>(x / 64 + 1) << 19; });
    ASSERT_NE(LoadWipePattern("BMP\\wipe.bmp"), 0);
    std::vector<uint32_t> shown;
    StartFadeOut();
    while (Transition.fadeDirection != 0) {
        ClearScreen();
        Refresh();
        shown.push_back(platform::GetRawPixel(platform::headless::Presented.last, 5, 5));
    }
    std::vector<uint32_t> expected;
    for (int k = 10; k >= 1; --k) expected.push_back(Raw(static_cast<uint32_t>(k) << 19));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(Transition.fadeStep, 0);
    StartFadeIn();
    int refreshes = 0;
    while (Transition.fadeDirection != 0) {
        Refresh();
        ++refreshes;
    }
    EXPECT_EQ(refreshes, 10);
}

TEST_P(BlitTest, TheViewerScrollStaysBetweenZeroAndItsPictureHeight) {
    WritePicture("BMP/long.bmp", 64, 900, [](int, int y) { return static_cast<uint32_t>(y % 200 + 10); });
    WritePicture("BMP/back.bmp", 64, 48, [](int, int) { return kRed; });
    LoadViewer("BMP\\long.bmp", "BMP\\back.bmp", 900);
    ToggleViewer();
    ASSERT_TRUE(Viewer.viewerOn);
    Pacing.FrameStep = 1.0f;
    Input.ViewerKey = 40;  // down
    for (int i = 0; i < 10; ++i) Refresh();
    EXPECT_EQ(Viewer.viewerScroll, 300.0f);  // 900 - 600
    Input.ViewerKey = 37;  // left scrolls up fast
    Refresh();
    Refresh();
    EXPECT_EQ(Viewer.viewerScroll, 0.0f);
    ToggleViewer();
    EXPECT_FALSE(Viewer.viewerOn);
}

TEST_P(BlitTest, EveryClipWipeOpensToTheSavedRectangleAndClosesToNothing) {
    Pacing.FrameStep = 1.0f / 60.0f;
    for (int type = 1; type <= 9; ++type) {
        SetClipRect(0, 0, 800, 600);
        Wipe = ClipWipeState{};
        ASSERT_EQ(StartClipWipe(1, type, 600.0f, 40), 1);
        EXPECT_EQ(StartClipWipe(0, type, 600.0f, 40), 0);  // a running wipe is left alone
        int steps = 0;
        while (Wipe.wipeState == 2 && steps < 1000) {
            StepClipWipe();
            ++steps;
        }
        EXPECT_EQ(Wipe.wipeState, -1) << "type " << type;
        EXPECT_EQ(Wipe.wipeClosed, 1);
        EXPECT_TRUE(ClipRect.left >= ClipRect.right || ClipRect.top >= ClipRect.bottom) << "type " << type;

        ASSERT_EQ(StartClipWipe(0, type, 600.0f, 40), 1);
        steps = 0;
        while (Wipe.wipeState == 1 && steps < 1000) {
            StepClipWipe();
            ++steps;
        }
        EXPECT_EQ(Wipe.wipeState, 0) << "type " << type;
        EXPECT_EQ(Wipe.wipeOpened, 1);
        EXPECT_EQ(ClipRect.left, 0);
        EXPECT_EQ(ClipRect.top, 0);
        EXPECT_EQ(ClipRect.right, 800);
        EXPECT_EQ(ClipRect.bottom, 600) << "type " << type;
        EXPECT_EQ(StepClipWipe(), 0);
    }
}

TEST_P(BlitTest, RefreshPresentsTheBackBufferAtOnce) {
    platform::FillSurface(*Display.backBuffer, Raw(kRed));
    Refresh();
    const platform::Surface& shown = platform::headless::Presented.last;
    EXPECT_EQ(shown.width, 800);
    EXPECT_EQ(shown.height, 600);
    EXPECT_EQ(platform::GetRawPixel(shown, 799, 599), Raw(kRed));
    EXPECT_FALSE(platform::headless::Presented.verticalBlankWaited);
}

TEST_P(BlitTest, DebugTextIsOpaqueWhiteOnDarkBlueAndPlainTextCanBeTransparent) {
    platform::FillSurface(*Display.backBuffer, Raw(kRed));
    DebugPrint(100, 100, "%s=%d", "HP", 18);
    const uint32_t darkBlue = Raw(0x000080), white = Raw(0xFFFFFF);
    int blue = 0, whitePixels = 0;
    for (int y = 100; y < 112; ++y)
        for (int x = 100; x < 130; ++x) {
            blue += BackPixel(x, y) == darkBlue;
            whitePixels += BackPixel(x, y) == white;
        }
    EXPECT_GT(blue, 100);
    EXPECT_GT(whitePixels, 10);

    SetFont(1, 24, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x800000, 1);
    PutText(300, 300, "あ");
    ReleaseFont();
    int red = 0, drawn = 0;
    for (int y = 300; y < 324; ++y)
        for (int x = 300; x < 324; ++x) {
            red += BackPixel(x, y) == Raw(kRed);
            drawn += BackPixel(x, y) == white;
        }
    EXPECT_GT(drawn, 20);
    EXPECT_EQ(red + drawn, 24 * 24);  // nothing but glyph pixels changed
}

TEST_P(BlitTest, DebugPrintKeepsItsBoundForLongLines) {
    std::string longLine(1000, 'W');
    DebugPrint(0, 0, "%s", longLine.c_str());
    // The line runs off the right edge of the screen and is clipped there; the bracket closed.
    EXPECT_EQ(BackPixel(799, 6) == Raw(0x000080) || BackPixel(799, 6) == Raw(0xFFFFFF), true);
    EXPECT_EQ(Text.dc, nullptr);
}

TEST_P(BlitTest, DebugFpsSamplesEveryTwoSecondsAndCapsItsCount) {
    FrameRate = FrameRateState{};
    headless.clock = 10000;
    DebugFps();  // first call samples at once with a count of 0
    EXPECT_STREQ(FrameRate.line, "0.0 fps ( max 0.0 / min 999.9 )");
    for (int i = 0; i < 119; ++i) DebugFps();
    headless.clock = 12000;
    DebugFps();
    EXPECT_EQ(FrameRate.rate, 60.0f);
    for (int i = 0; i < 1500; ++i) DebugFps();
    headless.clock = 14000;
    DebugFps();
    EXPECT_EQ(FrameRate.rate, 499.5f);
    EXPECT_EQ(FrameRate.maximum, 499.5f);
    EXPECT_EQ(FrameRate.minimum, 60.0f);
    headless.clock = 20000;
    DebugFps();
    DebugFps();
    headless.clock = 30000;
    DebugFps();  // a sample of one frame: 0.5
    EXPECT_EQ(FrameRate.minimum, 0.5f);
}

INSTANTIATE_TEST_SUITE_P(Depths, BlitTest, ::testing::Values(16, 32));

}  // namespace

namespace {

class FillTest : public DrawTest {};

TEST_P(FillTest, FillColorTakesTheLowSixteenBitsOfItsRawValue) {
    FillColor(0, 0, 10, 10, 0xABCD1234u);
    EXPECT_EQ(platform::GetRawPixel(*Display.backBuffer, 5, 5), 0x1234u);
}

INSTANTIATE_TEST_SUITE_P(Depths, FillTest, ::testing::Values(16, 32));

}  // namespace
