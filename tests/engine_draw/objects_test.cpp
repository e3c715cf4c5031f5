// The object table: names and slots, colour keys at both depths, resources, restore after loss,
// the pixel-format values and the effect tables.
#include <cstring>

#include "tests/engine_draw/draw_fixture.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00;

class ObjectsTest : public DrawTest {};

TEST_P(ObjectsTest, NamesUpToThirtyCharactersLoadAndLongerOnesTakeNoSlot) {
    std::string name30 = "BMP\\" + std::string(22, 'a') + ".bmp";  // 30 characters
    ASSERT_EQ(name30.size(), 30u);
    WritePicture("BMP/" + std::string(22, 'a') + ".bmp", 4, 4, [](int, int) { return kRed; });
    EXPECT_EQ(elDraw::LoadObject(name30.c_str(), 2), 4);
    std::string name31 = "BMP\\" + std::string(23, 'a') + ".bmp";
    EXPECT_EQ(elDraw::LoadObject(name31.c_str(), 2), 0);
    EXPECT_EQ(headless.messageBoxes.back().text, "elDraw::LoadObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(ObjectTable.records[5].name[0], '\0');
    EXPECT_EQ(elDraw::CreateObject(8, 8, 2), 5);
}

TEST_P(ObjectsTest, AFailedLoadKeepsItsSlotNamedAndReleasedSlotsAreReused) {
    EXPECT_EQ(elDraw::LoadObject("BMP\\missing.bmp", 2), 0);
    EXPECT_EQ(headless.messageBoxes.back().text, "elDraw::LoadObject : BMPファイルを読み込めません");
    EXPECT_STREQ(ObjectTable.records[4].name, "BMP\\missing.bmp");
    EXPECT_EQ(ObjectSurface(4), nullptr);
    EXPECT_EQ(HasError(), 1);
    EXPECT_EQ(elDraw::CreateObject(16, 16, 2), 5);  // the failed slot is not handed out again
    RestoreSurfaces();                              // and a restore skips it without trouble
    ReleaseObject(4);
    EXPECT_EQ(elDraw::CreateObject(16, 16, 2), 4);
}

TEST_P(ObjectsTest, TheTableHoldsFiveHundredAndEightObjects) {
    for (int i = 0; i < 508; ++i) ASSERT_EQ(elDraw::CreateObject(1, 1, 2), 4 + i);
    EXPECT_EQ(elDraw::CreateObject(1, 1, 2), 0);
    EXPECT_EQ(headless.messageBoxes.back().text, "elDraw::CreateObject : オブジェクト数が多過ぎます");
    ReleaseObject(200);
    EXPECT_EQ(elDraw::CreateObject(1, 1, 2), 200);
}

TEST_P(ObjectsTest, BlackIsTransparentByDefaultAndTheTopLeftPixelAfterwards) {
    WritePicture("BMP/keyed.bmp", 4, 1, [](int x, int) { return x == 0 ? 0x000000u : x == 1 ? kRed : kGreen; });
    ObjectNo blackKeyed = elDraw::LoadObject("BMP\\keyed.bmp", 2);
    SetLoadKeyTopLeft();
    WritePicture("BMP/corner.bmp", 4, 1, [](int x, int) { return x == 0 || x == 3 ? kGreen : 0x000000u; });
    ObjectNo cornerKeyed = elDraw::LoadObject("BMP\\corner.bmp", 2);
    ASSERT_NE(blackKeyed, 0);
    ASSERT_NE(cornerKeyed, 0);
    EXPECT_EQ(ObjectTable.records[cornerKeyed].colorKey, KEY_TOP_LEFT);

    FillWhiteScreen();
    BltObject(10, 10, blackKeyed, 0, 0, 4, 1);
    EXPECT_EQ(BackPixel(10, 10), Display.format.fullMask);
    EXPECT_EQ(BackPixel(11, 10), Raw(kRed));
    BltObject(10, 20, cornerKeyed, 0, 0, 4, 1);
    EXPECT_EQ(BackPixel(10, 20), Display.format.fullMask);
    EXPECT_EQ(BackPixel(11, 20), 0u);  // black is an ordinary colour here
    EXPECT_EQ(BackPixel(13, 20), Display.format.fullMask);
}

TEST_P(ObjectsTest, NearBlackFoldsIntoTheBlackKeyOnlyOnASixteenBitDisplay) {
    WritePicture("BMP/dark.bmp", 2, 1, [](int x, int) { return x == 0 ? 0x070307u : 0x080408u; });
    ObjectNo dark = elDraw::LoadObject("BMP\\dark.bmp", 2);
    FillWhiteScreen();
    BltObject(0, 0, dark, 0, 0, 2, 1);
    if (GetParam() == 16) {
        EXPECT_EQ(BackPixel(0, 0), Display.format.fullMask);  // (7, 3, 7) is raw 0: the key
        EXPECT_NE(BackPixel(1, 0), Display.format.fullMask);
    } else {
        EXPECT_EQ(BackPixel(0, 0), 0x070307u);
    }
}

TEST_P(ObjectsTest, AResourceCompiledIntoTheProgramLoadsWithoutAFile) {
    platform::Picture picture;
    picture.width = 3;
    picture.height = 2;
    picture.pixels.assign(6, kGreen);
    static std::vector<uint8_t> bytes = platform::EncodeBmp24(picture);
    static const platform::Resource table[] = {{"BMP\\res.bmp", bytes.data(), bytes.size()}};
    platform::RegisterResources(table, 1);
    ObjectNo object = elDraw::LoadObject("bmp\\RES.BMP", 2);
    platform::RegisterResources(nullptr, 0);
    ASSERT_NE(object, 0);
    EXPECT_EQ(ObjectTable.records[object].width, 3);
    EXPECT_EQ(ObjectTable.records[object].height, 2);
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(object), 2, 1), Raw(kGreen));
}

TEST_P(ObjectsTest, ALostSurfaceBringsPicturesBackAndKeepsBlankObjectsWithTheirSize) {
    WritePicture("BMP/pic.bmp", 8, 8, [](int x, int y) { return (x + y) % 2 ? kRed : kGreen; });
    ObjectNo picture = elDraw::LoadObject("BMP\\pic.bmp", 2);
    ObjectNo blank = elDraw::CreateObject(40, 30, 2);
    platform::Surface* pictureSurface = ObjectSurface(picture);
    platform::FillSurface(*pictureSurface, 0x1234);  // what a lost surface may hold
    pictureSurface->lost = true;
    ObjectSurface(blank)->lost = true;

    EXPECT_EQ(BltObject(0, 0, picture, 0, 0, 8, 8), platform::SURFACE_LOST);
    EXPECT_FALSE(ObjectSurface(picture)->lost);
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(picture), 1, 0), Raw(kRed));
    EXPECT_EQ(platform::GetRawPixel(*ObjectSurface(picture), 0, 0), Raw(kGreen));
    EXPECT_STREQ(ObjectTable.records[blank].name, "*");
    EXPECT_FALSE(ObjectSurface(blank)->lost);
    EXPECT_EQ(ObjectSurface(blank)->width, 40);
    EXPECT_EQ(ObjectSurface(blank)->height, 30);
    // The next frame draws again.
    EXPECT_EQ(BltObject(0, 0, picture, 0, 0, 8, 8), platform::BLIT_OK);
}

TEST_P(ObjectsTest, ScreenSetsTheInternalSpritesAndTheWaitTable) {
    EXPECT_STREQ(ObjectTable.records[0].name, "内部用１");
    EXPECT_STREQ(ObjectTable.records[3].name, "内部用４");
    EXPECT_EQ(ObjectSurface(2)->width, 800);
    EXPECT_EQ(Pacing.WaitTable[11], kWaitNever);
    EXPECT_NE(FontRecord, nullptr);
    EXPECT_EQ(Display.backBuffer->format,
              GetParam() == 32 ? platform::PixelFormat::XRGB8888 : platform::PixelFormat::RGB565);
    EXPECT_EQ(HasError(), 0);
}

TEST_P(ObjectsTest, SixteenBitTablesExistOnlyOnSixteenBitDisplays) {
    EXPECT_EQ(Tables.SineTable[0], 0);
    EXPECT_EQ(Tables.SineTable[90], 360);
    EXPECT_EQ(Tables.SineTable[270], -360);
    EXPECT_EQ(Tables.SineTable[180 + 90], -360);
    if (GetParam() == 16) {
        ASSERT_EQ(Tables.AverageTable.size(), 94u);
        EXPECT_EQ(Tables.AverageTable[93], 31);
        // White splits into 31, 31, 31 (green halved from 63).
        EXPECT_EQ(Tables.SplitTable[0xFFFF * 3 + 1], 31);
        // Cross fade at t = 0 keeps a, at t = 31 keeps b; entries sit at the channel's 5-bit position.
        EXPECT_EQ(Tables.CrossFadeTable[((0 * 32 + 0) * 32 + 20) * 32 + 5], 20 << 11);
        EXPECT_EQ(Tables.CrossFadeTable[((1 * 32 + 31) * 32 + 20) * 32 + 5], 5 << 6);
        EXPECT_EQ(Tables.FadeAddTable[((2 * 32 + 3) * 32 + 30) * 32 + 10], 31);
        EXPECT_EQ(Tables.SubtractTable[(0 * 32 + 4) * 32 + 9], 0);
        EXPECT_EQ(Tables.SubtractTable[(2 * 32 + 9) * 32 + 4], 5);
        ASSERT_EQ(Tables.NoiseTable.size(), 10000u);
        for (uint8_t noise : Tables.NoiseTable) ASSERT_LE(noise, 2);
    } else {
        EXPECT_TRUE(Tables.SplitTable.empty());
        EXPECT_TRUE(Tables.CrossFadeTable.empty());
    }
}

TEST_P(ObjectsTest, TheTablesFollowTheDepthFullScreenChoseNotTheDesktop) {
    // Full screen takes the first preferred depth it can show, whatever the desktop has.
    ReleaseDisplay();
    Engine.FullScreen = 1;
    SetScreenDepths(GetParam() == 32 ? 16 : 32, 0, 0);
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
    SetScreenDepths(16, 0, 0);
    Engine.FullScreen = 0;
    if (GetParam() == 32) {
        ASSERT_EQ(Display.backBuffer->format, platform::PixelFormat::RGB565);
        ASSERT_EQ(Tables.SplitTable.size(), 65536u * 3);
        EXPECT_EQ(Tables.SplitTable[0xF800 * 3], 31);  // pure red at 5-6-5
        EXPECT_EQ(Tables.AverageTable.size(), 94u);
        EXPECT_EQ(Tables.NoiseTable.size(), 10000u);
    } else {
        ASSERT_EQ(Display.backBuffer->format, platform::PixelFormat::XRGB8888);
        EXPECT_TRUE(Tables.SplitTable.empty());
        EXPECT_TRUE(Tables.FadeAddTable.empty());
    }
}

TEST_P(ObjectsTest, AnObjectKeyIsRecordedAlsoForASlotWithoutASurface) {
    EXPECT_EQ(elDraw::LoadObject("BMP\\missing.bmp", 2), 0);  // slot 4 stays named, no surface
    ASSERT_EQ(ObjectSurface(4), nullptr);
    SetObjectKeyColor(4, 0x0000FF);
    EXPECT_EQ(ObjectTable.records[4].colorKey, 0x0000FF);
    SetObjectKeyTopLeft(300);  // a free slot
    EXPECT_EQ(ObjectTable.records[300].colorKey, KEY_TOP_LEFT);
    SetObjectKeyColor(-1, 0x00FF00);  // outside the table: nothing happens
    SetObjectKeyColor(kObjectCount, 0x00FF00);
}

TEST(PixelFormat, DerivedValuesForFiveSixFiveAndFiveFiveFive) {
    PixelFormatInfo wide = DerivePixelFormat(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(wide.redPosition5, 11);
    EXPECT_EQ(wide.greenPosition5, 6);
    EXPECT_EQ(wide.bluePosition5, 0);
    EXPECT_EQ(wide.halfMask, 0x7BEFu);
    EXPECT_EQ(wide.greenSizeMask, 63u);
    EXPECT_EQ(wide.fullMask, 0xFFFFu);
    PixelFormatInfo narrow = DerivePixelFormat(0x7C00, 0x03E0, 0x001F);
    EXPECT_EQ(narrow.redPosition5, 10);
    EXPECT_EQ(narrow.greenPosition5, 5);
    EXPECT_EQ(narrow.bluePosition5, 0);
    EXPECT_EQ(narrow.halfMask, 0x3DEFu);
}

INSTANTIATE_TEST_SUITE_P(Depths, ObjectsTest, ::testing::Values(16, 32));

}  // namespace
