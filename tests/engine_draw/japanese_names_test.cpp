// Pictures named in Japanese under a program folder whose own name is not ASCII: the capture and
// load round trip, packs built from such a folder, and operations given no pointer at all.
#include <climits>
#include <fstream>
#include <iterator>

#include "engine/draw/capture.h"
#include "engine/draw/effects.h"
#include "engine/draw/pack.h"
#include "engine/draw/pack_format.h"
#include "engine/draw/primitives.h"
#include "engine/text/text_block.h"
#include "tests/engine_draw/draw_fixture.h"
#include "tests/support/run_program.h"

namespace {

// The file system's names are UTF-8 (u8 literals); the engine's are Shift-JIS (plain literals).
std::filesystem::path Utf8(const char8_t* text) {
    return std::filesystem::path(text);
}

class JapaneseNamesTest : public DrawTest {
  protected:
    void SetUp() override {
        DrawTest::SetUp();
        // A program folder named with a letter outside ASCII and with characters whose trail byte
        // in Shift-JIS is "\" (ソ, 表) and "|" (ポ).
        program = folder / Utf8(u8"Jürgen ソ表ポ");
        std::filesystem::create_directories(program / Utf8(u8"絵ソ"));
        std::string module = (program / "milkanet").string();
        for (char& c : module)
            if (c == '/') c = '\\';
        platform::SetModuleFileNameForTesting(module.c_str());
        Pack = PackState{};
    }

    // Writes a picture whose pixel (x, y) is colour(x, y) under a name of the file system.
    template <typename Colour>
    void WriteFile(const std::filesystem::path& path, int width, int height, Colour colour) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
        const std::vector<uint8_t> bytes = platform::EncodeBmp24(pixels.data(), width, height, width, 0);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void ReopenScreen(int depth) {
        ReleaseDisplay();
        setenv("ELDRAW_DEPTH", std::to_string(depth).c_str(), 1);
        ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
    }

    uint32_t ObjectPixel(ObjectNo object, int x, int y) const {
        return platform::GetRawPixel(*ObjectSurface(object), x, y);
    }

    std::filesystem::path program;
};

TEST_P(JapaneseNamesTest, ACapturedScreenLoadsBackByItsJapaneseName) {
    DrawRectangle(0, 0, 800, 600, 0x204080, 0x204080, 1);
    PutPixel(3, 1, 0xF0F0F0);
    // ソ, 表 and ー end in "\" and "[", ポ in "|", ヂ in "a"; Ａ is a full-width letter.
    const char* const names[] = {"画面.bmp", "絵ソ\\ソード表ポヂＡ.bmp"};
    const char8_t* const files[] = {u8"画面.bmp", u8"絵ソ/ソード表ポヂＡ.bmp"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(SaveScreenBMP(names[i], 6, 4), 1);
        EXPECT_TRUE(std::filesystem::is_regular_file(program / Utf8(files[i])));
        const ObjectNo object = elDraw::LoadObject(names[i], 2);
        ASSERT_NE(object, 0);
        EXPECT_EQ(ObjectTable.records[object].width, 6);
        EXPECT_EQ(ObjectTable.records[object].height, 4);
        EXPECT_EQ(ObjectPixel(object, 3, 1), BackPixel(3, 1));
        EXPECT_EQ(ObjectPixel(object, 0, 0), BackPixel(0, 0));
        // Upper-casing touches single-byte letters only: the "a" inside ヂ stays, the file is found.
        const ObjectNo upper = elDraw::LoadObject(pack::UpperCased(names[i]).c_str(), 2);
        EXPECT_NE(upper, 0);
    }
    EXPECT_TRUE(headless.messageBoxes.empty());
}

TEST_P(JapaneseNamesTest, AFolderOfJapaneseNamedPicturesConvertsAndEveryEntryLoads) {
    const char8_t* const files[] = {u8"ソード.bmp", u8"表.bmp", u8"ソ.bmp", u8"ポヂａ.bmp"};
    const char* const entries[] = {"ソード.BMP", "表.BMP", "ソ.BMP", "ポヂａ.BMP"};
    const uint32_t colours[] = {0xF80000, 0x00F800, 0x0000F8, 0x808080};
    for (int i = 0; i < 4; ++i)
        WriteFile(program / Utf8(u8"絵ソ") / Utf8(files[i]), 2 + i, 3, [&](int, int) { return colours[i]; });
    // A name with no Shift-JIS form cannot be an entry: it is left out, with a message.
    WriteFile(program / Utf8(u8"絵ソ") / Utf8(u8"Jürgen.bmp"), 1, 1, [](int, int) { return 0xFFFFFFu; });

    // Packs are built on a full-colour display; they load at either depth.
    if (GetParam() == 16) ReopenScreen(32);
    ASSERT_EQ(elDraw::Convert("絵.pak", "絵ソ", 1), 1);
    if (GetParam() == 16) ReopenScreen(16);
    ASSERT_EQ(headless.messageBoxes.size(), 1u);
    EXPECT_EQ(headless.messageBoxes[0].text.rfind("elDraw::Convert : シフトJISで表せないファイル名です", 0),
              0u)
        << headless.messageBoxes[0].text;

    // The entries carry the Shift-JIS names without their folder.
    const std::vector<uint8_t> bytes = ReadFile(program / Utf8(u8"絵.pak"));
    std::vector<std::string> stored;
    for (size_t at = 0; at + 4 <= bytes.size();) {
        const int w = bytes[at] | bytes[at + 1] << 8, h = bytes[at + 2] | bytes[at + 3] << 8;
        at += 4;
        std::string name;
        while (at < bytes.size() && bytes[at] != 0) name += static_cast<char>(bytes[at++]);
        at += 1 + 2u * w * h;
        stored.push_back(name);
    }
    EXPECT_EQ(stored.size(), 4u);
    for (const char* entry : entries)
        EXPECT_NE(std::find(stored.begin(), stored.end(), entry), stored.end()) << entry;

    SetPackFile("絵.pak");
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const ObjectNo object = elDraw::LoadPack(entries[i], 2);
        ASSERT_NE(object, 0);
        EXPECT_EQ(ObjectTable.records[object].width, 2 + i);
        EXPECT_STREQ(ObjectTable.records[object].name, entries[i]);
        const uint16_t stored = pack::EncodePixel(colours[i]);
        EXPECT_EQ(ObjectPixel(object, 1, 1), Raw(pack::DecodePixel(stored)));
    }
    // The lower-case request finds the entry whose trail byte is a letter.
    EXPECT_NE(elDraw::LoadPack("ポヂａ.bmp", 2), 0);
    EXPECT_EQ(headless.messageBoxes.size(), 1u);
}

#if defined(EL_ELTOOL_PATH)
TEST_P(JapaneseNamesTest, EltoolPacksJapaneseNamedPicturesTheWayTheEngineDoes) {
    const char8_t* const files[] = {u8"ソード.bmp", u8"表.bmp", u8"ポヂａ.bmp"};
    const char* const entries[] = {"ソード.BMP", "表.BMP", "ポヂａ.BMP"};
    for (int i = 0; i < 3; ++i)
        WriteFile(program / Utf8(u8"絵ソ") / Utf8(files[i]), 1 + i, 2,
                  [&](int, int) { return 0x400000u * (i + 1); });
    const std::string pack = (program / Utf8(u8"道具.pak")).string();
    ASSERT_EQ(testsupport::RunProgram(EL_ELTOOL_PATH,
                                      {"pack-pictures", pack, (program / Utf8(u8"絵ソ")).string(), "--fresh"})
                  .status,
              0);
    if (GetParam() == 32) {
        ASSERT_EQ(elDraw::Convert("絵.pak", "絵ソ", 1), 1);
        EXPECT_TRUE(ReadFile(program / Utf8(u8"絵.pak")) == ReadFile(pack));
    }
    // The listing shows the entries' names as this system writes them.
    const testsupport::ProgramRun listing =
        testsupport::RunProgram(EL_ELTOOL_PATH, {"list-picture-pack", pack});
    EXPECT_EQ(listing.status, 0);
    const std::string& listed = listing.out;
    const std::u8string expected = u8"ソード.BMP 1 2\nポヂａ.BMP 3 2\n表.BMP 2 2\n";
    EXPECT_EQ(listed, std::string(expected.begin(), expected.end()));

    SetPackFile("道具.pak");
    for (int i = 0; i < 3; ++i) EXPECT_NE(elDraw::LoadPack(entries[i], 2), 0) << i;
    EXPECT_TRUE(headless.messageBoxes.empty());
}
#endif

TEST_P(JapaneseNamesTest, OperationsGivenNoPointerRefuseLikeAnEmptyName) {
    EXPECT_EQ(elDraw::LoadObject(nullptr, 2), 0);
    EXPECT_EQ(elDraw::SwapObject(nullptr, 4, 2), 0);
    SetPackFile(nullptr);
    EXPECT_EQ(elDraw::LoadPack(nullptr, 2), 0);
    EXPECT_EQ(elDraw::SwapPack(nullptr, 4, 2), 0);
    EXPECT_EQ(elDraw::Convert(nullptr, nullptr, 1), GetParam() == 32 ? 1 : 0);
    EXPECT_EQ(SaveScreenBMP(nullptr, 4, 4), SaveScreenBMP("", 4, 4));
    PutPixel(1, 1, 0x00FF00);
    GetPixelRGB(1, 1, nullptr, nullptr, nullptr);
    int green = 0;
    GetPixelRGB(1, 1, nullptr, &green, nullptr);
    EXPECT_GE(green, 0xF8);
    SetFontName(nullptr, 12, 0, 0, 0, 0);
    PutText(0, 0, nullptr);
    DrawTextBox(0, 0, 100, 100, nullptr, 0);
    ReleaseFont();
    SetSmoothFontName(nullptr, 12);
    DrawSmoothText(0, 0, 100, 100, nullptr, 0);
    ReleaseSmoothFont();
    // Nothing was handed out by the refused loads.
    EXPECT_EQ(elDraw::CreateObject(1, 1, 2), 4);
}

TEST_P(JapaneseNamesTest, CopiesClipWithoutOverflowNearTheIntLimits) {
    const ObjectNo object = elDraw::CreateObject(8, 8, 2);
    ASSERT_NE(object, 0);
    ClearObject(object);
    DrawRectangle(0, 0, 800, 600, 0xFFFFFF, 0xFFFFFF, 1);
    const uint32_t white = Raw(0xFFFFFF), black = Raw(0);
    // Far outside: nothing is drawn.
    BltObjectOpaque(INT_MIN, INT_MIN, object, 0, 0, INT_MAX, INT_MAX);
    BltObjectOpaque(INT_MAX, INT_MAX, object, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(BackPixel(0, 0), white);
    EXPECT_EQ(BackPixel(799, 599), white);
    // Source rectangles from INT_MIN: column c lands at x + c - left, as far as the picture reaches.
    BltObjectOpaque(INT_MIN + 1, 0, object, INT_MIN, 0, INT_MAX, 8);
    EXPECT_EQ(BackPixel(0, 0), white);
    EXPECT_EQ(BackPixel(1, 0), black);
    EXPECT_EQ(BackPixel(8, 7), black);
    EXPECT_EQ(BackPixel(9, 0), white);
    DrawRectangle(0, 0, 800, 600, 0xFFFFFF, 0xFFFFFF, 1);
    BltObjectOpaque(INT_MIN, 10, object, INT_MIN, 0, 4, 8);
    EXPECT_EQ(BackPixel(0, 10), black);
    EXPECT_EQ(BackPixel(3, 17), black);
    EXPECT_EQ(BackPixel(4, 10), white);
    SetFontName("", 12, 0, 0, 0, 0);
    DrawSmoothText(INT_MIN, INT_MIN, INT_MAX, INT_MAX, "あいう", 0);
    DrawTextBlock(INT_MIN, 0, 100, 100, "あいう", 0);
    ReleaseSmoothFont();
    EXPECT_EQ(Zoom2Filter(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0), Zoom2Filter(0, 0, 800, 600, 0));
}

INSTANTIATE_TEST_SUITE_P(Depths, JapaneseNamesTest, ::testing::Values(16, 32));

}  // namespace
