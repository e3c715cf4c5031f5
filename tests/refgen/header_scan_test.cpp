// The header reader: which declarations of a header count as public operations, types and constants.
#include "header_scan.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<std::string> Operations(const std::string& text) {
    refgen::Declarations d;
    EXPECT_EQ(refgen::ScanHeader(text, "el/t.h", d), "");
    std::set<std::string> names;
    for (const auto& [name, where] : d.operations) names.insert(name);
    return names;
}

using Names = std::set<std::string>;

TEST(RefgenHeaderScan, NamespacesQualifyDeclarationsOverSeveralLines) {
    EXPECT_EQ(
        Operations("namespace elDraw {\n"
                   "// Loads a picture.\n"
                   "ObjectNo LoadObject(const char* name,\n"
                   "                    int memoryMode);\n"
                   "}  // namespace elDraw\n"
                   "int BltObject(int x, int y, ObjectNo object, int left, int top, int right, int bottom);\n"
                   "namespace a::b { void F(); }\n"
                   "namespace el { inline namespace v1 { void G(); } }\n"),
        (Names{"elDraw::LoadObject", "BltObject", "a::b::F", "el::G"}));
}

TEST(RefgenHeaderScan, CommentsStringsAndPreprocessorLinesHideNothingAndAddNothing) {
    EXPECT_EQ(Operations("#pragma once\n"
                         "#define EL_CALL(x) Hidden(x);\\\n  More(x);\n"
                         "/* void Commented(); { */\n"
                         "// void Line(); }\n"
                         "void Kept(const char* s = \"Fake(); {\", char c = '}');\n"
                         "void Raw(const char* s = R\"x(not(); })x\");\n"),
              (Names{"Kept", "Raw"}));
}

TEST(RefgenHeaderScan, VariablesConstantsAliasesAndForwardDeclarationsAreNoOperations) {
    refgen::Declarations d;
    EXPECT_EQ(refgen::ScanHeader("using ObjectNo = int;\n"
                                 "typedef void (*Frame)();\n"
                                 "void (*hook)(int);\n"
                                 "Handler (*table)(int);\n"
                                 "struct Program { int64_t (*framesDone)() = nullptr; void (*startup)(); };\n"
                                 "extern int counter;\n"
                                 "int table[4] = {1, 2, 3, 4};\n"
                                 "inline float& Step = other.step;\n"
                                 "struct Forward;\n"
                                 "namespace elKey { constexpr int Left = 0x25; constexpr int A{0x41}; }\n"
                                 "enum : unsigned { TEXT_SHADOW = 0x100, TEXT_BOLD_X = 0x200 };\n"
                                 "enum class Mode { Off, On };\n",
                                 "el/t.h", d),
              "");
    EXPECT_TRUE(d.operations.empty());
    EXPECT_TRUE(d.types.count("ObjectNo"));
    EXPECT_TRUE(d.types.count("Frame"));
    EXPECT_TRUE(d.types.count("Mode"));
    EXPECT_TRUE(d.constants.count("elKey::Left"));
    EXPECT_TRUE(d.constants.count("elKey::A"));
    EXPECT_TRUE(d.constants.count("TEXT_SHADOW"));
    EXPECT_TRUE(d.constants.count("Mode::On"));
    EXPECT_TRUE(d.constantGroups.count("elKey"));
    EXPECT_TRUE(d.constantGroups.count("Mode"));
}

TEST(RefgenHeaderScan, InlineDefinitionsAndTemplatesCountAndTheirBodiesAreSkipped) {
    EXPECT_EQ(Operations("int WaitForRelease(const int* codes);\n"
                         "template <typename... Codes>\n"
                         "int WaitForRelease(Codes... codes) {\n"
                         "    const int list[] = {static_cast<int>(codes)..., 0};\n"
                         "    return WaitForRelease(list);\n"
                         "}\n"
                         "inline int Twice(int v) { if (v) { return v * 2; } return 0; }\n"
                         "[[nodiscard]] int Checked();\n"
                         "void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));\n"
                         "int RunScene(int argc, char** argv, void (*startup)(), const Options& o = {});\n"
                         "extern \"C\" { void CName(); }\n"),
              (Names{"WaitForRelease", "Twice", "Checked", "Log", "RunScene", "CName"}));
}

TEST(RefgenHeaderScan, ClassesGivePublicMembersAndTheClassForConstructorsAndOperators) {
    EXPECT_EQ(Operations("namespace el {\n"
                         "class Sjis {\n"
                         "  public:\n"
                         "    explicit Sjis(const char8_t* text);\n"
                         "    static Sjis FromUtf8(const std::string& text);\n"
                         "    operator const char*() const { return data_.c_str(); }\n"
                         "    const char* c_str() const { return data_.c_str(); }\n"
                         "    Sjis(const Sjis&) = delete;\n"
                         "  private:\n"
                         "    void Hidden();\n"
                         "    std::string data_;\n"
                         "};\n"
                         "struct Options { bool escapeEnds = true; const char* name = nullptr; };\n"
                         "struct Plain { void Run(); private: void Secret(); };\n"
                         "class Closed { void Secret(); };\n"
                         "}  // namespace el\n"
                         "void After();\n"),
              (Names{"el::Sjis", "el::Sjis::FromUtf8", "el::Sjis::c_str", "el::Plain::Run", "After"}));
}

TEST(RefgenHeaderScan, DetailNamespacesArePrivate) {
    EXPECT_EQ(Operations("namespace pack { namespace detail { long FileSize(); } void Open(); }\n"
                         "namespace text_block_detail { int CharLength(const char* p); }\n"),
              (Names{"pack::Open"}));
}

TEST(RefgenHeaderScan, UnbalancedBracesAreReported) {
    refgen::Declarations d;
    EXPECT_NE(refgen::ScanHeader("namespace a {\nvoid F();\n", "el/t.h", d), "");
    EXPECT_NE(refgen::ScanHeader("void F();\n}\n", "el/t.h", d), "");
}

TEST(RefgenHeaderScan, LocationsNameTheHeaderAndLineOfTheName) {
    refgen::Declarations d;
    refgen::ScanHeader("// one\n\nint\nF(int a,\n  int b);\n", "el/x.h", d);
    EXPECT_EQ(d.operations["F"], "el/x.h:4");
}

}  // namespace
