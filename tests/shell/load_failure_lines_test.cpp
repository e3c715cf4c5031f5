// Failed picture loads say on standard error, and the same in the debug log, what failed, the
// name as given, why and where it was looked for, in one line beside the box that keeps its text.
#include <cstdio>
#include <string>

#include "engine/draw/pack.h"
#include "engine/draw/pack_format.h"
#include "tests/shell/load_lines_fixture.h"

namespace {

class PictureLoadLinesTest : public LoadFailureLinesTest {
  protected:
    void TearDown() override {
        Pack = PackState{};
        LoadFailureLinesTest::TearDown();
    }
};

TEST_F(PictureLoadLinesTest, APictureSaysWhetherItIsMissingOrNotABmpAndTheBoxKeepsItsText) {
    const std::string box = "elDraw::LoadObject : BMPファイルを読み込めません";
    EXPECT_EQ(
        LineOf([] { EXPECT_EQ(elDraw::LoadObject("BMP\\absent.bmp", 1), 0); }, box),
        "elDraw::LoadObject: BMP\\absent.bmp: cannot be read: not found (" + Path("BMP/absent.bmp") + ")\n");
    Write("BMP/notes.bmp", "plain text, not a picture");
    EXPECT_EQ(LineOf([] { EXPECT_EQ(elDraw::LoadObject("BMP\\notes.bmp", 1), 0); }, box),
              "elDraw::LoadObject: BMP\\notes.bmp: not a BMP file: it does not start with \"BM\" (" +
                  Path("BMP/notes.bmp") + ")\n");
    Write("BMP/cut.bmp", "BM\x10\x00");
    EXPECT_EQ(LineOf([] { EXPECT_EQ(elDraw::LoadObject("BMP\\cut.bmp", 1), 0); }, box),
              "elDraw::LoadObject: BMP\\cut.bmp: not a BMP file it can read: truncated file (" +
                  Path("BMP/cut.bmp") + ")\n");
    EXPECT_EQ(LineOf([] { EXPECT_EQ(elDraw::LoadObject("BMP", 1), 0); }, box),
              "elDraw::LoadObject: BMP: cannot be read: a folder, not a file (" + Path("BMP") + ")\n");
    const ObjectNo object = elDraw::CreateObject(8, 8, 1);
    ASSERT_NE(object, 0);
    EXPECT_EQ(
        LineOf([&] { EXPECT_EQ(elDraw::SwapObject("BMP\\absent.bmp", object, 1), 0); },
               "elDraw::SwapObject : BMPファイルを読み込めません"),
        "elDraw::SwapObject: BMP\\absent.bmp: cannot be read: not found (" + Path("BMP/absent.bmp") + ")\n");
}

TEST_F(PictureLoadLinesTest, APackEntrySaysWhetherThePackOrTheEntryIsMissing) {
    FILE* file = std::fopen(Path("pics.pak").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    pack::WriteEntryHeader(file, 1, 1, "HERO.BMP");
    pack::WritePixel(file, pack::EncodePixel(0xFFFFFF));
    std::fclose(file);

    const std::string noEntry = "elDraw::LoadPack : BMPファイルを読み込めません";
    const std::string noPack = "elDraw::LoadPack : パックファイル名が指定されていません";
    EXPECT_EQ(LineOf([] { EXPECT_EQ(elDraw::LoadPack("hero.bmp", 1), 0); }, noPack),
              "elDraw::LoadPack: hero.bmp: no pack file chosen with SetPackFile\n");
    SetPackFile("absent.pak");
    EXPECT_EQ(
        LineOf([] { EXPECT_EQ(elDraw::LoadPack("hero.bmp", 1), 0); }, noPack),
        "elDraw::LoadPack: hero.bmp: pack file cannot be read: not found (" + Path("absent.pak") + ")\n");
    SetPackFile("pics.pak");
    EXPECT_NE(elDraw::LoadPack("hero.bmp", 1), 0);
    EXPECT_EQ(
        LineOf([] { EXPECT_EQ(elDraw::LoadPack("villain.bmp", 1), 0); }, noEntry),
        "elDraw::LoadPack: villain.bmp: no entry of that name in the pack (" + Path("pics.pak") + ")\n");
    EXPECT_EQ(
        LineOf([] { EXPECT_EQ(elDraw::SwapPack("villain.bmp", 5, 1), 0); },
               "elDraw::SwapPack : BMPファイルを読み込めません"),
        "elDraw::SwapPack: villain.bmp: no entry of that name in the pack (" + Path("pics.pak") + ")\n");
}

}  // namespace
