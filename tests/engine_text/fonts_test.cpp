// The installed-font list and the character set that a face name selects.
#include "engine/text/fonts.h"

#include <cstring>
#include <string>
#include <vector>

#include "engine/text/text_block.h"
#include "platform/soft/text_encoding.h"
#include "text_block_fixture.h"

namespace {

using TextFonts = TextBlockTest;

TEST_P(TextFonts, TheListHoldsTheInstalledFamiliesOnceWithTheirKinds) {
    ASSERT_NE(FontRecord, nullptr) << "display set-up allocates the font record";
    ASSERT_GT(FontList.count, 2);
    ASSERT_LE(FontList.count, kFontListSize);
    int gothic = -1, mincho = -1;
    for (int i = 0; i < FontList.count; ++i) {
        const FontListEntry& entry = FontList.entries[i];
        ASSERT_NE(std::memchr(entry.faceName, 0, sizeof entry.faceName), nullptr);
        EXPECT_GT(std::strlen(entry.faceName), 0u);
        for (int j = 0; j < i; ++j)
            EXPECT_STRNE(FontList.entries[j].faceName, entry.faceName) << "listed twice";
        const int expectedKind = entry.charset == 128 ? 1 : entry.charset == 2 ? 3 : 2;
        EXPECT_EQ(entry.kind, expectedKind) << entry.faceName;
        if (std::strcmp(entry.faceName, "IPAゴシック") == 0) gothic = i;
        if (std::strcmp(entry.faceName, "IPA明朝") == 0) mincho = i;
        EXPECT_NE(std::strcmp(entry.faceName, "IPAGothic"), 0) << "a family is listed by its Japanese name";
    }
    ASSERT_GE(gothic, 0);
    ASSERT_GE(mincho, 0);
    EXPECT_EQ(FontList.entries[gothic].kind, 1);
    EXPECT_EQ(FontList.entries[gothic].charset, 128);
    EXPECT_EQ(FontList.entries[mincho].kind, 1);
    for (int i = FontList.count; i < kFontListSize; ++i) {
        EXPECT_EQ(FontList.entries[i].kind, -1);
        EXPECT_EQ(FontList.entries[i].faceName[0], '\0');
    }
    int latin = -1;
    for (int i = 0; i < FontList.count; ++i)
        if (std::strcmp(FontList.entries[i].faceName, "DejaVu Sans") == 0) latin = i;
    ASSERT_GE(latin, 0);
    EXPECT_EQ(FontList.entries[latin].kind, 2);
    EXPECT_EQ(FontList.entries[latin].charset, 0);
}

TEST_P(TextFonts, TheTestFontsGiveTheSameRowsInByteOrderOnEveryMachine) {
    // The two standard faces first, then the tests' font configuration in byte order: the set-up's
    // DejaVu and IPA families and twelve named copies.
    std::vector<std::string> expected = {"標準ゴシック", "標準明朝", "DejaVu Sans", "DejaVu Sans Mono",
                                         "DejaVu Serif"};
    for (int i = 1; i <= 12; ++i)
        expected.push_back((i < 10 ? "Extra Face 0" : "Extra Face ") + std::to_string(i));
    // Japanese names compared as Shift-JIS bytes: the space of "IPA P" sorts before them.
    for (const char* name : {"IPA Pゴシック", "IPA P明朝", "IPAゴシック", "IPA明朝"})
        expected.push_back(name);
    std::vector<std::string> listed;
    for (int i = 0; i < FontList.count; ++i) listed.push_back(FontList.entries[i].faceName);
    EXPECT_EQ(listed, expected);
}

TEST_P(TextFonts, SetFontNameTakesTheListedCharacterSetAndKeeps128ForOtherNames) {
    SetFontName("DejaVu Sans", 16, 0, 0, 0, 0);
    EXPECT_EQ(FontRecord->lfCharSet, 0);
    ReleaseFont();
    // A listed name with a made-up character set shows that the first match is what counts.
    std::strcpy(FontList.entries[FontList.count].faceName, "Made Up Face");
    FontList.entries[FontList.count].charset = 2;
    FontList.entries[FontList.count].kind = 3;
    ++FontList.count;
    SetFontName("Made Up Face", 16, 0, 0, 0, 0);
    EXPECT_EQ(FontRecord->lfCharSet, 2);
    ReleaseFont();
    SetFontName("No Such Face Anywhere", 16, 0, 0, 0, 0);
    EXPECT_EQ(FontRecord->lfCharSet, 128);
    EXPECT_STREQ(FontRecord->lfFaceName, "No Such Face Anywhere");
    ASSERT_NE(Text.font, nullptr) << "a font is still made";
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(10, 10, "字");
    ReleaseFont();
    EXPECT_GT(InkCount(*Display.backBuffer, 0, 0, 40, 40), 20);
}

TEST_P(TextFonts, EveryListedJapaneseFaceDrawsWithItsOwnShapes) {
    // Each listed name must reach its own family: the Gothic and the Mincho differ.
    auto draw = [](const char* face) {
        ClearScreen();
        SetFontName(face, 24, 0, 0, 0, 0);
        SetTextColors(0xFFFFFF, 0, 1);
        PutText(0, 0, "永");
        ReleaseFont();
        return Display.backBuffer->pixels;
    };
    EXPECT_NE(draw("IPAゴシック"), draw("IPA明朝"));
    EXPECT_EQ(draw("IPAゴシック"), draw("IPAGothic")) << "the family's other name reaches the same face";
}

TEST_P(TextFonts, ExitReleasesTheFontRecord) {
    ReleaseFonts();
    EXPECT_EQ(FontRecord, nullptr);
    EnumerateFonts();
    EXPECT_NE(FontRecord, nullptr);
    EXPECT_EQ(TextBlock.blitFlag, 1);
}

TEST(FontNames, ALongFamilyNameIsCutOnAWholeCharacter) {
    // Fifteen "あ" and "A" make 31 Shift-JIS bytes; one more double-byte character would split.
    // (Where the system's texts stay UTF-8, "あ" takes three bytes and ten of them fit.)
    const size_t width = std::strlen("あ");
    std::string utf8;
    for (int i = 0; i < 15; ++i) utf8 += "\xE3\x81\x82";  // "あ" in fontconfig's UTF-8
    char name[kFontNameSize];
    ASSERT_TRUE(platform::text::Utf8ToCutFaceName(utf8 + "A", name, sizeof name));
    EXPECT_EQ(std::strlen(name), width == 2 ? 31u : 30u);
    ASSERT_TRUE(platform::text::Utf8ToCutFaceName(utf8 + "\xE3\x81\x84", name, sizeof name));
    std::string expected;
    for (size_t i = 0; i < 31 / width; ++i) expected += "あ";
    EXPECT_STREQ(name, expected.c_str()) << "the character that does not fit is left out whole";
}

INSTANTIATE_TEST_SUITE_P(Depths, TextFonts, ::testing::Values(16, 32));

}  // namespace
