// el::Sjis: UTF-8 texts turned into the Shift-JIS the engine takes, the same from every overload,
// from GCC's plain literals and from a unit compiled by clang.
#include <el/text.h>
#include <el/utf8.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#ifdef EL_SJIS_CLANG_UNIT
std::string SjisOfNameFromClang();
std::string SjisFromUtf8FromClang(const std::string& utf8);
#endif

namespace {

// "ミルカネット！" in Shift-JIS.
const std::string kNameSjis = "\x83\x7E\x83\x8B\x83\x4A\x83\x6C\x83\x62\x83\x67\x81\x49";

TEST(Sjis, EveryFormGivesTheShiftJisBytes) {
    EXPECT_EQ(el::Sjis(u8"ミルカネット！").str(), kNameSjis);
    EXPECT_EQ(el::Sjis(std::u8string_view(u8"ミルカネット！")).str(), kNameSjis);
    EXPECT_EQ(el::Sjis::FromUtf8(std::string(reinterpret_cast<const char*>(u8"ミルカネット！"))).str(),
              kNameSjis);
    const el::Sjis text(u8"ミルカネット！");
    EXPECT_STREQ(text.c_str(), kNameSjis.c_str());
    EXPECT_STREQ(static_cast<const char*>(text), kNameSjis.c_str());
    EXPECT_EQ(text.size(), kNameSjis.size());
    // A view stops where it is told, not at a terminator.
    EXPECT_EQ(el::Sjis(std::u8string_view(u8"ミルカ", 6)).str(), "\x83\x7E\x83\x8B");
}

#ifndef EL_TEXT_UTF8
TEST(Sjis, EqualsThePlainLiteralOfTheTreesShiftJisBuild) {
    // The tree compiles plain literals as Shift-JIS (GCC, -fexec-charset=CP932).
    EXPECT_EQ(el::Sjis(u8"ミルカ").str(), std::string("ミルカ"));
    EXPECT_EQ(el::Sjis(u8"こんにちは、世界").str(), std::string("こんにちは、世界"));
    EXPECT_EQ(std::string("ミルカネット！"), kNameSjis);
}
#endif

TEST(Sjis, AsciiStaysEmptyAndNullGiveNothingAndUnmappedCharactersKeepTheirBytes) {
    EXPECT_EQ(el::Sjis(u8"Score 120").str(), "Score 120");
    EXPECT_EQ(el::Sjis(u8"").str(), "");
    EXPECT_EQ(el::Sjis(static_cast<const char8_t*>(nullptr)).str(), "");
    EXPECT_EQ(el::Sjis::FromUtf8(std::string_view()).str(), "");
    // U+1F600 has no Shift-JIS form: its UTF-8 bytes stay, between converted characters.
    EXPECT_EQ(el::Sjis(u8"ミ\U0001F600ル").str(), "\x83\x7E\xF0\x9F\x98\x80\x83\x8B");
    // Half-width katakana become single bytes.
    EXPECT_EQ(el::Sjis(u8"ｱ").str(), "\xB1");
}

TEST(Sjis, PassesWhereTheEngineTakesAText) {
    // The conversion object stands where a const char* is taken, for the length of the call.
    auto length = [](const char* text) { return std::string_view(text).size(); };
    EXPECT_EQ(length(el::Sjis(u8"ミルカ")), 6u);
    EXPECT_EQ(MeasureTextBox(0, 0, 100, 100, el::Sjis(u8"ミルカ")), 0);  // no font bracket is open
}

#ifdef EL_SJIS_CLANG_UNIT
TEST(Sjis, AUnitCompiledByClangGetsTheSameBytes) {
    EXPECT_EQ(SjisOfNameFromClang(), kNameSjis);
    EXPECT_EQ(SjisOfNameFromClang(), el::Sjis(u8"ミルカネット！").str());
    EXPECT_EQ(SjisFromUtf8FromClang(reinterpret_cast<const char*>(u8"こんにちは")),
              el::Sjis(u8"こんにちは").str());
}
#endif

}  // namespace
