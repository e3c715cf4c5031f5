// Picture packs: the entry search in any case, pixels at both depths, malformed packs, the
// conversion of a folder, lost pack objects, and the round trip of the default pictures.
#include "engine/draw/pack.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/engine_draw/draw_fixture.h"
#include "tests/support/run_program.h"
#include "tests/support/write_failures.h"

namespace {

// A pack built byte by byte.
struct PackBytes {
    std::vector<uint8_t> bytes;
    PackBytes& Entry(int width, int height, const std::string& name, const std::vector<uint16_t>& pixels) {
        for (int v : {width & 0xFF, width >> 8, height & 0xFF, height >> 8})
            bytes.push_back(static_cast<uint8_t>(v));
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.push_back(0);
        for (uint16_t p : pixels) {
            bytes.push_back(static_cast<uint8_t>(p));
            bytes.push_back(static_cast<uint8_t>(p >> 8));
        }
        return *this;
    }
    PackBytes& Raw(const std::vector<uint8_t>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
};

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The entries of a pack file as (name, width, height), read here without the engine's scanner.
std::vector<std::tuple<std::string, int, int>> Entries(const std::vector<uint8_t>& b) {
    std::vector<std::tuple<std::string, int, int>> out;
    size_t at = 0;
    while (at + 4 <= b.size()) {
        const int w = b[at] | b[at + 1] << 8, h = b[at + 2] | b[at + 3] << 8;
        at += 4;
        std::string name;
        while (at < b.size() && b[at] != 0) name += static_cast<char>(b[at++]);
        at += 1 + 2u * w * h;
        out.emplace_back(name, w, h);
    }
    return out;
}

class PackTest : public DrawTest {
  protected:
    void SetUp() override {
        DrawTest::SetUp();
        Pack = PackState{};
    }
    void WritePack(const PackBytes& pack, const std::string& name = "test.pak") {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(pack.bytes.data()),
                  static_cast<std::streamsize>(pack.bytes.size()));
    }
    // The raw pixel a stored 15-bit value must give on this display.
    uint32_t FromStored(uint16_t d) const {
        const uint32_t r = d >> 10 & 31, g = d >> 5 & 31, b = d & 31;
        return GetParam() == 16 ? (r << 11 | g << 6 | b) : (r << 19 | g << 11 | b << 3);
    }
    uint32_t ObjectPixel(ObjectNo object, int x, int y) const {
        return platform::GetRawPixel(*ObjectSurface(object), x, y);
    }
    std::string LastMessage() const {
        return headless.messageBoxes.empty() ? "" : headless.messageBoxes.back().text;
    }
};

TEST_P(PackTest, EntriesAreFoundInAnyCaseAndTheirPixelsTakeTheDisplaysFormat) {
    // Green 31 alone, and one pixel with every channel distinct.
    const std::vector<uint16_t> pixels = {0x03E0, 0x7C00, 0x001F, 0x0000, 0x4D2A, 0x0001};
    WritePack(PackBytes().Entry(1, 1, "A.BMP", {0x7FFF}).Entry(3, 2, "M_CP.BMP", pixels));
    SetPackFile("test.pak");
    const ObjectNo object = elDraw::LoadPack("bmp_dummy", 2);
    EXPECT_EQ(object, 0);
    EXPECT_EQ(LastMessage(), "elDraw::LoadPack : BMPファイルを読み込めません");

    const ObjectNo picture = elDraw::LoadPack("m_cp.bmp", 2);
    ASSERT_EQ(picture, 4);
    const ObjectRecord& record = ObjectTable.records[picture];
    EXPECT_STREQ(record.name, "M_CP.BMP");
    EXPECT_EQ(record.fromPack, 1);
    EXPECT_EQ(record.memoryMode, 2);
    EXPECT_EQ(record.width, 3);
    EXPECT_EQ(record.height, 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ObjectPixel(picture, i % 3, i / 3), FromStored(pixels[i])) << i;
    // On a 5-6-5 display a stored green fills the top five bits of the six-bit channel.
    if (GetParam() == 16) {
        EXPECT_EQ(ObjectPixel(picture, 0, 0), 0x07C0u);
    }
    // On a 32-bit display each channel is widened, never a 16-bit value in a 32-bit pixel.
    if (GetParam() == 32) {
        EXPECT_EQ(ObjectPixel(picture, 2, 1), 0x000008u);
    }
    // Black is the key: the stored 0 is left out by keyed copies, the dark 0x0001 is not.
    EXPECT_EQ(ObjectSurface(picture)->colorKey, 0u);
    EXPECT_EQ(elDraw::LoadPack("A.bmp", 2), 5);
}

TEST_P(PackTest, EachFailureReportsUnderItsOperationAndTakesNoSlot) {
    EXPECT_EQ(elDraw::LoadPack("A.BMP", 2), 0);
    EXPECT_EQ(LastMessage(), "elDraw::LoadPack : パックファイル名が指定されていません");
    EXPECT_EQ(elDraw::SwapPack("A.BMP", 4, 2), 0);
    EXPECT_EQ(LastMessage(), "elDraw::SwapPack : パックファイル名が指定されていません");
    SetPackFile("absent.pak");
    EXPECT_EQ(elDraw::LoadPack("A.BMP", 2), 0);
    EXPECT_EQ(LastMessage(), "elDraw::LoadPack : パックファイル名が指定されていません");
    WritePack(PackBytes().Entry(1, 1, "A.BMP", {1}));
    SetPackFile("test.pak");
    EXPECT_EQ(elDraw::SwapPack("B.BMP", 4, 2), 0);
    EXPECT_EQ(LastMessage(), "elDraw::SwapPack : BMPファイルを読み込めません");
    EXPECT_EQ(elDraw::CreateObject(1, 1, 2), 4);  // nothing was taken by the failures
}

TEST_P(PackTest, AMalformedEntryEndsTheScanAnEntryWithoutPixelsDoesNot) {
    const std::string longest(30, 'N');  // 30 characters and the 0: the longest name stored
    const PackBytes good = PackBytes().Entry(1, 1, "A.BMP", {0x1234}).Entry(1, 1, longest, {0x0421});
    WritePack(PackBytes(good)
                  .Raw({1, 0, 1, 0})
                  .Raw(std::vector<uint8_t>(40, 'X'))
                  .Raw({0, 0})
                  .Entry(1, 1, "B.BMP", {1}),
              "long.pak");
    // Entries of width or height 0 hold no pixels and are stepped over, even one of the name asked for.
    WritePack(PackBytes(good)
                  .Entry(0, 5, "Z.BMP", {})
                  .Entry(3, 0, "B.BMP", {})
                  .Entry(0, 0, "", {})
                  .Entry(1, 1, "B.BMP", {0x2345})
                  .Entry(1, 1, "Z.BMP", {0x0777}),
              "zero.pak");
    WritePack(PackBytes(good).Entry(1, 1, "B.BMP", {1}).Entry(200, 200, "C.BMP", {1, 2, 3}), "short.pak");
    WritePack(PackBytes(good).Raw({1, 0, 1, 0, 'D', '.'}), "cut.pak");
    for (const char* name : {"long.pak", "zero.pak", "short.pak", "cut.pak"}) {
        SCOPED_TRACE(name);
        SetPackFile(name);
        const ObjectNo a = elDraw::LoadPack("a.bmp", 2);
        ASSERT_NE(a, 0);
        EXPECT_EQ(ObjectPixel(a, 0, 0), FromStored(0x1234));
        const ObjectNo n = elDraw::LoadPack(longest.c_str(), 2);
        ASSERT_NE(n, 0);
        EXPECT_EQ(ObjectPixel(n, 0, 0), FromStored(0x0421));
        ReleaseObject(a);
        ReleaseObject(n);
    }
    // Past a malformed entry nothing is found, also an entry that is whole.
    SetPackFile("long.pak");
    EXPECT_EQ(elDraw::LoadPack("B.BMP", 2), 0);
    SetPackFile("zero.pak");
    for (const auto& [name, stored] :
         {std::pair<const char*, uint16_t>{"b.bmp", 0x2345}, {"Z.BMP", 0x0777}}) {
        const ObjectNo found = elDraw::LoadPack(name, 2);
        ASSERT_NE(found, 0) << name;
        EXPECT_EQ(ObjectTable.records[found].width, 1);
        EXPECT_EQ(ObjectPixel(found, 0, 0), FromStored(stored));
        ReleaseObject(found);
    }
    SetPackFile("short.pak");
    EXPECT_NE(elDraw::LoadPack("B.BMP", 2), 0);
    EXPECT_EQ(elDraw::LoadPack("C.BMP", 2), 0);  // its pixels run past the end of the file
    EXPECT_EQ(LastMessage(), "elDraw::LoadPack : BMPファイルを読み込めません");
}

TEST_P(PackTest, ConvertAppendsEveryPictureOfTheFolderOnAFullColourDisplayOnly) {
    std::filesystem::create_directories(folder / "PICS");
    // All black but one dark pixel; (7, 7, 7) is darker than a step, (8, 8, 8) is one step.
    WritePicture("PICS/dark.bmp", 3, 1, [](int x, int) {
        return x == 1 ? 0x070707u : x == 2 ? 0x080808u : 0u;
    });
    WritePicture("PICS/Colour.BMP", 2, 2,
                 [](int x, int y) { return x == 0 && y == 0 ? 0xFF8040u : 0x0F0F0Fu; });
    {
        std::ofstream broken(folder / "PICS" / "broken.bmp");
        broken << "not a picture";
    }
    {
        std::ofstream other(folder / "PICS" / "notes.txt");
        other << "skipped";
    }
    if (GetParam() == 16) {
        EXPECT_EQ(elDraw::Convert("conv.pak", "PICS", 1), 0);
        EXPECT_EQ(LastMessage(), "elDraw::Convert : 画面をフルカラーにして下さい");
        EXPECT_FALSE(std::filesystem::exists(folder / "conv.pak"));
        return;
    }
    EXPECT_EQ(elDraw::Convert("conv.pak", "PICS", 1), 1);
    // The broken picture was reported by the loader and left out; the sprites were left alone.
    EXPECT_EQ(LastMessage(), "elDraw::LoadObject : BMPファイルを読み込めません");
    ASSERT_NE(ObjectSurface(kBufferSprite), nullptr);
    const std::vector<uint8_t> once = ReadFile(folder / "conv.pak");
    using E = std::tuple<std::string, int, int>;
    EXPECT_EQ(Entries(once), (std::vector<E>{{"COLOUR.BMP", 2, 2}, {"DARK.BMP", 3, 1}}));
    const std::vector<uint8_t> darkPixels(once.end() - 6, once.end());
    EXPECT_EQ(darkPixels, (std::vector<uint8_t>{0x00, 0x00, 0x01, 0x00, 0x21, 0x04}));
    const size_t colour = 4 + std::strlen("COLOUR.BMP") + 1;
    EXPECT_EQ(once[colour] | once[colour + 1] << 8, (0xFF >> 3) << 10 | (0x80 >> 3) << 5 | (0x40 >> 3));

    // Converting again without starting afresh leaves both copies; loads find the first.
    WritePicture("PICS/dark.bmp", 3, 1, [](int, int) { return 0xFFFFFFu; });
    EXPECT_EQ(elDraw::Convert("conv.pak", "PICS", 0), 1);
    EXPECT_EQ(Entries(ReadFile(folder / "conv.pak")).size(), 4u);
    SetPackFile("conv.pak");
    const ObjectNo first = elDraw::LoadPack("dark.bmp", 2);
    ASSERT_NE(first, 0);
    EXPECT_EQ(ObjectPixel(first, 1, 0), FromStored(0x0001));
    EXPECT_EQ(elDraw::Convert("conv.pak", "PICS", 1), 1);
    EXPECT_EQ(Entries(ReadFile(folder / "conv.pak")).size(), 2u);
    const ObjectNo fresh = elDraw::LoadPack("DARK.BMP", 2);
    EXPECT_EQ(ObjectPixel(fresh, 1, 0), FromStored(0x7FFF));
}

TEST_P(PackTest, ALostPackObjectComesBackUnderItsOwnNumber) {
    const std::vector<uint16_t> pixels = {0x7C00, 0x03E0, 0x001F, 0x4210};
    WritePack(PackBytes().Entry(2, 2, "P.BMP", pixels).Entry(1, 1, "Q.BMP", {0x7FFF}));
    SetPackFile("test.pak");
    ASSERT_EQ(elDraw::CreateObject(4, 4, 2), 4);
    ASSERT_EQ(elDraw::LoadPack("p.bmp", 2), 5);
    ReleaseObject(4);  // a lower slot is free when the surface is lost
    SetObjectKeyColor(5, 0x0000FF);
    ObjectSurface(5)->lost = true;
    platform::FillSurface(*ObjectSurface(5), 0);
    RestoreSurfaces();
    ASSERT_NE(ObjectSurface(5), nullptr);
    EXPECT_FALSE(ObjectSurface(5)->lost);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ObjectPixel(5, i % 2, i / 2), FromStored(pixels[i])) << i;
    EXPECT_STREQ(ObjectTable.records[5].name, "P.BMP");
    EXPECT_EQ(ObjectTable.records[5].fromPack, 1);
    EXPECT_EQ(ObjectTable.records[5].colorKey, 0x0000FF);  // reloaded with its own key
    EXPECT_EQ(ObjectSurface(5)->colorKey, platform::ColorToRaw(ObjectSurface(5)->format, 0x0000FF));
    EXPECT_EQ(ObjectTable.records[4].name[0], '\0');
    // SwapPack itself hands out the lowest free slot and empties the given one.
    EXPECT_EQ(elDraw::SwapPack("q.bmp", 5, 2), 4);
    EXPECT_EQ(ObjectTable.records[5].name[0], '\0');
    EXPECT_EQ(ObjectPixel(4, 0, 0), FromStored(0x7FFF));
}

#if defined(EL_PROGRAM_DIR) && defined(EL_ELTOOL_PATH)
// The pictures of the default content, by file name.
std::vector<std::string> DefaultPictures() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(EL_PROGRAM_DIR) + "/BMP"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_P(PackTest, TheDefaultPicturesComeBackFromAPackWithinTheFifteenBitRounding) {
    const std::vector<std::string> names = DefaultPictures();
    ASSERT_EQ(names.size(), 18u);
    for (const std::string& name : names)
        std::filesystem::copy_file(std::string(EL_PROGRAM_DIR) + "/BMP/" + name, folder / "BMP" / name);
    const testsupport::ProgramRun tool = testsupport::RunProgram(
        EL_ELTOOL_PATH, {"pack-pictures", folder / "default.pak", folder / "BMP", "--fresh"});
    ASSERT_EQ(tool.status, 0) << tool.err;
    if (GetParam() == 32) {
        // The tool writes what the engine's own conversion writes from the same folder.
        ASSERT_EQ(elDraw::Convert("conv.pak", "BMP", 1), 1);
        EXPECT_TRUE(ReadFile(folder / "conv.pak") == ReadFile(folder / "default.pak"));
    }
    SetPackFile("default.pak");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const ObjectNo packed = elDraw::LoadPack(name.c_str(), 2);
        const ObjectNo direct = elDraw::LoadObject(("BMP\\" + name).c_str(), 2);
        ASSERT_NE(packed, 0);
        ASSERT_NE(direct, 0);
        const platform::Surface& p = *ObjectSurface(packed);
        const platform::Surface& d = *ObjectSurface(direct);
        ASSERT_EQ(p.width, d.width);
        ASSERT_EQ(p.height, d.height);
        platform::Picture original;
        ASSERT_TRUE(platform::LoadBmpFile((folder / "BMP" / name).c_str(), original));
        // Fifteen bits keep the top five bits of each channel; a non-black colour darker than one
        // step keeps blue 1.
        const uint32_t kept = GetParam() == 16 ? 0xFFDFu : 0xF8F8F8u;
        int mismatches = 0;
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x) {
                const uint32_t rgb = original.At(x, y);
                const bool dark = rgb != 0 && (rgb & 0xF8F8F8) == 0;
                const uint32_t expected = dark ? FromStored(0x0001) : (platform::GetRawPixel(d, x, y) & kept);
                const uint32_t packed = platform::GetRawPixel(p, x, y);
                if (packed != expected && ++mismatches < 5)
                    ADD_FAILURE() << x << "," << y << ": " << std::hex << packed << " != " << expected;
            }
        EXPECT_EQ(mismatches, 0);
        ReleaseObject(packed);
        ReleaseObject(direct);
    }
}
#endif

// A pack is replaced only by a whole new one: entries that do not fit on the disk (a file-size
// limit stands in for a full one) or a folder that takes no file leave the old pack byte for byte
// and nothing beside it, appending or starting afresh; standard error and the debug log say what
// failed and Convert returns 1 as always.
TEST_P(PackTest, APackThatCannotBeWrittenStaysAsItWas) {
    if (GetParam() == 16) GTEST_SKIP() << "packs are made on a full-colour screen only";
    std::filesystem::create_directories(folder / "SMALL");
    std::filesystem::create_directories(folder / "BIG");
    WritePicture("SMALL/a.bmp", 2, 2, [](int x, int y) { return 0x102030u * (x + y); });
    WritePicture("BIG/b.bmp", 200, 200, [](int x, int y) { return static_cast<uint32_t>(x * 997 + y); });
    WritePicture("BIG/c.bmp", 1, 1, [](int, int) { return 0xFFFFFFu; });
    ASSERT_EQ(elDraw::Convert("conv.pak", "SMALL", 1), 1);
    const std::vector<uint8_t> old = ReadFile(folder / "conv.pak");
    ASSERT_EQ(Entries(old).size(), 1u);
    const std::set<std::string> names = testsupport::FolderNames(folder);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder);  // where the debug log goes
    for (int fresh : {0, 1}) {
        testing::internal::CaptureStderr();
        const int converted = testsupport::WithFileSizeLimit(
            64 * 1024, [&] { return elDraw::Convert("conv.pak", "BIG", fresh); });
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(converted, 1);
        EXPECT_NE(said.find("elDraw::Convert: conv.pak: cannot write it whole ("), std::string::npos) << said;
        EXPECT_TRUE(ReadFile(folder / "conv.pak") == old) << fresh;
    }
    std::filesystem::current_path(here);
    std::ifstream log(folder / "DEBUG.TXT");
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_EQ(line.rfind("elDraw::Convert: conv.pak: cannot write it whole (", 0), 0u) << line;
    std::filesystem::remove(folder / "DEBUG.TXT");
    EXPECT_EQ(testsupport::FolderNames(folder), names);

    const int refused = testsupport::InReadOnlyFolder(folder, [&] {
        testing::internal::CaptureStderr();
        elDraw::Convert("conv.pak", "BIG", 0);
        const std::string said = testing::internal::GetCapturedStderr();
        const bool told = said.find("conv.pak: cannot create a file in its folder") != std::string::npos;
        return told && ReadFile(folder / "conv.pak") == old ? 0 : 1;
    });
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(testsupport::FolderNames(folder), names);

    ASSERT_EQ(elDraw::Convert("conv.pak", "BIG", 0), 1);  // with room, behind the old entry
    using E = std::tuple<std::string, int, int>;
    EXPECT_EQ(Entries(ReadFile(folder / "conv.pak")),
              (std::vector<E>{{"A.BMP", 2, 2}, {"B.BMP", 200, 200}, {"C.BMP", 1, 1}}));
}

INSTANTIATE_TEST_SUITE_P(Depths, PackTest, ::testing::Values(16, 32));

}  // namespace
