// What a scene reads of elDraw through the public interface: object and screen sizes, the clip
// rectangle, fades, clip wipes and the viewer; polygons and curves from public points.
#include <el/blits.h>
#include <el/display.h>
#include <el/objects.h>
#include <el/primitives.h>
#include <el/refresh.h>

#include <utility>
#include <vector>

#include "engine/draw/primitives.h"
#include "tests/engine_draw/draw_fixture.h"

namespace {

class DrawQueriesTest : public DrawTest {
  protected:
    std::vector<uint32_t> BackBufferPixels() const {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) pixels.push_back(BackPixel(x, y));
        return pixels;
    }
};

TEST_P(DrawQueriesTest, ObjectSizesAndLoadedSlots) {
    const ObjectNo object = elDraw::CreateObject(37, 21, elMemory::Video);
    ASSERT_NE(object, 0);
    int width = -1, height = -1;
    EXPECT_EQ(elDraw::GetObjectSize(object, &width, &height), 1);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 21);
    EXPECT_EQ(elDraw::IsObjectLoaded(object), 1);
    EXPECT_EQ(elDraw::GetObjectSize(kScreenSprite, &width, &height), 1);  // the engine's own sprites
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(elDraw::GetObjectSize(object, nullptr, nullptr), 1);  // outputs may be left out

    ReleaseObject(object);
    width = height = -1;
    EXPECT_EQ(elDraw::GetObjectSize(object, &width, &height), 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(elDraw::IsObjectLoaded(object), 0);
    for (ObjectNo outside : {-1, kObjectCount, 100000}) {
        EXPECT_EQ(elDraw::GetObjectSize(outside, &width, &height), 0) << outside;
        EXPECT_EQ(elDraw::IsObjectLoaded(outside), 0) << outside;
    }
    // A picture that could not be loaded keeps its slot named but has no size.
    EXPECT_EQ(elDraw::LoadObject("BMP\\missing.bmp", elMemory::Video), 0);
    EXPECT_EQ(elDraw::IsObjectLoaded(kFirstFreeObject), 0);
}

TEST_P(DrawQueriesTest, RawPixelsOfAnObjectInTheDisplaysFormat) {
    WritePicture("BMP/two.bmp", 2, 1, [](int x, int) { return x == 0 ? 0xFF0000u : 0x00FF00u; });
    const ObjectNo object = elDraw::LoadObject("BMP\\two.bmp", elMemory::Video);
    ASSERT_NE(object, 0);
    uint32_t raw = 1;
    EXPECT_EQ(elDraw::GetObjectRawPixel(object, 0, 0, &raw), 1);
    EXPECT_EQ(raw, Raw(0xFF0000));
    EXPECT_EQ(elDraw::GetObjectRawPixel(object, 1, 0, &raw), 1);
    EXPECT_EQ(raw, Raw(0x00FF00));
    for (const auto& [x, y] : {std::pair{2, 0}, std::pair{0, 1}, std::pair{-1, 0}}) {
        raw = 1;
        EXPECT_EQ(elDraw::GetObjectRawPixel(object, x, y, &raw), 0);
        EXPECT_EQ(raw, 0u);
    }
    EXPECT_EQ(elDraw::GetObjectRawPixel(kObjectCount - 1, 0, 0, &raw), 0);  // a free slot
    EXPECT_EQ(elDraw::GetObjectRawPixel(object, 0, 0, nullptr), 1);
}

TEST_P(DrawQueriesTest, TheScreenSizeAndDepthUntilTheDisplayIsReleased) {
    int width = 0, height = 0;
    EXPECT_EQ(elDraw::GetScreenSize(&width, &height), 1);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(elDraw::GetScreenDepth(), GetParam());
    ReleaseDisplay();
    EXPECT_EQ(elDraw::GetScreenSize(&width, &height), 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(elDraw::GetScreenDepth(), 0);
}

TEST_P(DrawQueriesTest, TheClipRectangleReadsBackAsSet) {
    SetClipRect(10, -20, 300, 700);
    int left = 0, top = 0, right = 0, bottom = 0;
    GetClipRect(&left, &top, &right, &bottom);
    EXPECT_EQ((std::vector<int>{left, top, right, bottom}), (std::vector<int>{10, -20, 300, 700}));
    HideAll();
    GetClipRect(&left, &top, &right, &bottom);
    EXPECT_EQ(right, left);
    EXPECT_EQ(bottom, top);
}

TEST_P(DrawQueriesTest, AFadeRunsItsTenStepsOfTheKindSet) {
    SetFadeType(elFade::FromTop, 4);
    EXPECT_EQ(Transition.fadeType, 5);
    EXPECT_EQ(Transition.fadeStrips, 4);
    EXPECT_EQ(IsFading(), 0);
    StartFadeIn();
    int frames = 0;
    while (IsFading() && frames < 100) {
        Refresh();
        ++frames;
    }
    EXPECT_EQ(frames, 10);
    StartFadeOut();
    EXPECT_EQ(IsFading(), 1);
}

TEST_P(DrawQueriesTest, AClipWipeReportsItsStateAndItsEndOnce) {
    Pacing.FrameStep = 0.5f;
    SetClipRect(100, 100, 500, 400);
    ASSERT_EQ(StartClipWipe(1, elWipe::Random, 20.0f, 40), 1);
    EXPECT_EQ(GetClipWipeState(), elWipe::Closing);
    EXPECT_GE(GetClipWipeType(), 1);
    EXPECT_LE(GetClipWipeType(), 9);
    EXPECT_EQ(TakeClipWipeClosed(), 0);
    int steps = 0;
    while (GetClipWipeState() == elWipe::Closing && steps < 1000) {
        StepClipWipe();
        ++steps;
    }
    EXPECT_EQ(GetClipWipeState(), elWipe::Hidden);
    EXPECT_EQ(TakeClipWipeClosed(), 1);
    EXPECT_EQ(TakeClipWipeClosed(), 0);  // taken
    EXPECT_EQ(TakeClipWipeOpened(), 0);

    ASSERT_EQ(StartClipWipe(0, 3, 20.0f, 40), 1);
    EXPECT_EQ(GetClipWipeState(), elWipe::Opening);
    EXPECT_EQ(GetClipWipeType(), 3);
    while (GetClipWipeState() == elWipe::Opening && steps < 2000) {
        StepClipWipe();
        ++steps;
    }
    EXPECT_EQ(GetClipWipeState(), elWipe::Idle);
    EXPECT_EQ(TakeClipWipeOpened(), 1);
    EXPECT_EQ(TakeClipWipeOpened(), 0);

    HideAll();
    EXPECT_EQ(GetClipWipeState(), elWipe::Hidden);
    CancelClipWipe();
    EXPECT_EQ(GetClipWipeState(), elWipe::Idle);
    // A cancelled wipe leaves the clip rectangle as it stood.
    int left = 0, top = 0, right = 0, bottom = 0;
    GetClipRect(&left, &top, &right, &bottom);
    EXPECT_EQ(right, left);
}

TEST_P(DrawQueriesTest, TheViewerShowsItsPicture) {
    WritePicture("BMP/picture.bmp", 64, 128, [](int, int) { return 0x204080u; });
    WritePicture("BMP/back.bmp", 32, 32, [](int, int) { return 0x102030u; });
    EXPECT_EQ(IsViewerOn(), 0);
    EXPECT_EQ(GetViewerPicture(), 0);
    ToggleViewer();  // nothing loaded: stays off
    EXPECT_EQ(IsViewerOn(), 0);
    LoadViewer("BMP\\picture.bmp", "BMP\\back.bmp", 128);
    EXPECT_EQ(GetViewerPicture(), Viewer.viewerPicture);
    int width = 0, height = 0;
    EXPECT_EQ(elDraw::GetObjectSize(GetViewerPicture(), &width, &height), 1);
    EXPECT_EQ(height, 128);
    ToggleViewer();
    EXPECT_EQ(IsViewerOn(), 1);
    ToggleViewer();
    EXPECT_EQ(IsViewerOn(), 0);
}

TEST_P(DrawQueriesTest, PublicPointsDrawWhatPlatformPointsDraw) {
    // A star of five points (on the stack) and a wave of 150 (beyond it), each way.
    std::vector<elDraw::Point> star = {{400, 100}, {460, 280}, {300, 170}, {500, 170}, {340, 280}};
    std::vector<elDraw::Point> wave;
    for (int i = 0; i < 150; ++i) wave.push_back({5 * i + 10, 400 + (i % 7) * 9 - (i % 3) * 11});
    auto draw = [&](auto convert) {
        ClearScreen();
        const auto starPoints = convert(star);
        const auto wavePoints = convert(wave);
        DrawPolygon(starPoints.data(), static_cast<int>(starPoints.size()), 0x00FFFF, 0x400000, 1,
                    elFill::Hatched);
        DrawPolygon(wavePoints.data(), static_cast<int>(wavePoints.size()), 0xFF00FF, 0, 3, elFill::Outline);
        DrawBezier(wavePoints.data(), 148, 0x00FF00, 2);
        return BackBufferPixels();
    };
    const std::vector<uint32_t> viaPublic = draw([](const std::vector<elDraw::Point>& p) { return p; });
    const std::vector<uint32_t> viaPlatform = draw([](const std::vector<elDraw::Point>& p) {
        std::vector<platform::Point> out;
        for (const elDraw::Point& q : p) out.push_back(platform::Point{q.x, q.y});
        return out;
    });
    size_t lit = 0;
    for (uint32_t pixel : viaPublic) lit += pixel != 0;
    EXPECT_GT(lit, 1000u);
    EXPECT_TRUE(viaPublic == viaPlatform);
    // No points draw nothing, as with the platform's points.
    ClearScreen();
    DrawPolygon(static_cast<const elDraw::Point*>(nullptr), 0, 0xFFFFFF, 0, 1, elFill::Outline);
    DrawBezier(static_cast<const elDraw::Point*>(nullptr), 4, 0xFFFFFF, 1);
    for (uint32_t pixel : BackBufferPixels()) ASSERT_EQ(pixel, 0u);
}

INSTANTIATE_TEST_SUITE_P(Depths, DrawQueriesTest, ::testing::Values(16, 32));

}  // namespace
