// The entry parser, the troff and HTML escapes, the man page's sections and the completeness check.
#include "reference.h"

#include <gtest/gtest.h>

#include "header_scan.h"
#include "writers.h"

namespace {

const char* kFacility =
    "# Sprite objects\n"
    "Header: `<el/draw.h>`\n"
    "\n"
    "Pictures in sprite objects.\n"
    "\n"
    "## elDraw::LoadObject\n"
    "Loads a picture into a new object.\n"
    "\n"
    "### Returns\n"
    "The object number, 0 on failure.\n"
    "### Synopsis\n"
    "```cpp\n"
    "ObjectNo elDraw::LoadObject(const char* name, int memoryMode);\n"
    "```\n"
    "### Description\n"
    "Reads the file\n"
    "from the program folder.\n"
    "\n"
    ".A second paragraph, with a \\ backslash and `-1`.\n"
    "### Parameters\n"
    "- `name`: the file name, relative to the\n"
    "  program folder\n"
    "- plain item\n"
    "### Failures and messages\n"
    "A box \"エラー発生\" with `LoadObject : 読み込めません`.\n"
    "\n"
    "## ReleaseObject, ClearObject\n"
    "Frees or clears objects.\n"
    "### Synopsis\n"
    "```\n"
    "void ReleaseObject(ObjectNo object);\n"
    "```\n"
    "### Description\n"
    "x\n"
    "\n"
    "## Constants: elKey\n"
    "Key codes.\n"
    "### Description\n"
    "Codes.\n";

refgen::Facility Parse(const std::string& text, std::vector<std::string>& errors) {
    return refgen::ParseFacility(text, "objects", errors);
}

TEST(RefgenReference, FacilityFileIsReadIntoEntriesAndSectionsInFixedOrder) {
    std::vector<std::string> errors;
    refgen::Facility f = Parse(kFacility, errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(f.title, "Sprite objects");
    EXPECT_EQ(f.headers, std::vector<std::string>{"el/draw.h"});
    ASSERT_EQ(f.entries.size(), 3u);
    const refgen::Entry& load = f.entries[0];
    EXPECT_EQ(load.names, std::vector<std::string>{"elDraw::LoadObject"});
    EXPECT_EQ(load.summary, "Loads a picture into a new object.");
    ASSERT_EQ(load.sections.size(), 5u);
    EXPECT_EQ(load.sections[0].title, "Synopsis");
    EXPECT_EQ(load.sections[3].title, "Returns");
    const refgen::Section& description = load.sections[1];
    ASSERT_EQ(description.blocks.size(), 2u);
    EXPECT_EQ(description.blocks[0].lines.size(), 2u);
    const refgen::Section& parameters = load.sections[2];
    ASSERT_EQ(parameters.blocks.size(), 1u);
    EXPECT_EQ(parameters.blocks[0].kind, refgen::Block::List);
    EXPECT_EQ(parameters.blocks[0].lines[0], "`name`: the file name, relative to the program folder");
    EXPECT_EQ(f.entries[1].names, (std::vector<std::string>{"ReleaseObject", "ClearObject"}));
    EXPECT_EQ(f.entries[2].kind, refgen::Entry::Constants);
    EXPECT_EQ(f.entries[2].names, std::vector<std::string>{"elKey"});
}

TEST(RefgenReference, MalformedFilesAreReportedWithTheirLines) {
    std::vector<std::string> errors;
    Parse(
        "# T\nHeader: <el/a.h>\n## Foo(int)\nx\n### Synopsis\n```\nvoid Foo();\n```\n"
        "### Description\nx\n### Notes\ny\n## Bar\n### Description\nz\n",
        errors);
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], "objects.md:3: not a name as written in code: 'Foo(int)'");
    EXPECT_EQ(errors[1], "objects.md:11: unknown section 'Notes'");
    EXPECT_EQ(errors[2], "objects.md:13: entry needs a one-paragraph summary under its heading");
    EXPECT_EQ(errors[3], "objects.md:13: entry has no Synopsis section");
    errors.clear();
    Parse("## Foo\nx\n### Description\n```\nopen\n", errors);
    EXPECT_EQ(errors.size(), 4u);  // the code block, the synopsis, the title and the header line
}

TEST(RefgenReference, TroffEscapesBackslashesLeadingDotsMinusesAndNonAscii) {
    EXPECT_EQ(refgen::EscapeTroff("a\\b", false), "a\\eb");
    EXPECT_EQ(refgen::EscapeTroff("-x", false), "-x");
    EXPECT_EQ(refgen::EscapeTroff("-x", true), "\\-x");
    EXPECT_EQ(refgen::EscapeTroff("\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\xC3\x97", false),
              "\\[u30A8]\\:\\[u30E9]\\:\\[u30FC]\\:\\[u00D7]");
    EXPECT_EQ(refgen::EscapeTroff("\xE3\x82\xA8", true), "\\[u30A8]");  // no break points in code
    EXPECT_EQ(refgen::TroffLine(".TH"), "\\&.TH");
    EXPECT_EQ(refgen::TroffLine("'x"), "\\&'x");
    EXPECT_EQ(refgen::TroffLine("a.b"), "a.b");
    EXPECT_EQ(refgen::InlineTroff("use `-1` here"), "use \\fB\\-1\\fR here");
    EXPECT_EQ(refgen::EscapeHtml("<a & \"b\">"), "&lt;a &amp; &quot;b&quot;&gt;");
    EXPECT_EQ(refgen::InlineHtml("`x<y` & z"), "<code>x&lt;y</code> &amp; z");
}

TEST(RefgenReference, ManPageHasItsSectionsEscapedTextAndSeeAlso) {
    std::vector<std::string> errors;
    refgen::Facility f = Parse(kFacility, errors);
    const std::string page = refgen::ManPage(f, f.entries[0], "elDraw::LoadObject");
    EXPECT_EQ(page.rfind(".TH \"elDraw::LoadObject\" 3 ", 0), 0u);
    EXPECT_NE(page.find(".SH NAME\nelDraw::LoadObject \\- Loads a picture into a new object.\n"),
              std::string::npos);
    EXPECT_NE(page.find(".B #include <el/draw.h>\n"), std::string::npos);
    EXPECT_NE(page.find("ObjectNo elDraw::LoadObject(const char* name, int memoryMode);\n"),
              std::string::npos);
    EXPECT_NE(page.find("\n\\&.A second paragraph, with a \\e backslash and \\fB\\-1\\fR.\n"),
              std::string::npos);
    EXPECT_NE(page.find(".TP\n\\fBname\\fR\nthe file name"), std::string::npos);
    EXPECT_NE(page.find(".SH RETURN VALUE\n"), std::string::npos);
    EXPECT_NE(page.find(".SH FAILURES AND MESSAGES\n"), std::string::npos);
    EXPECT_LT(page.find(".SH SYNOPSIS"), page.find(".SH DESCRIPTION"));
    EXPECT_LT(page.find(".SH DESCRIPTION"), page.find(".SH RETURN VALUE"));
    EXPECT_NE(
        page.find(".SH SEE ALSO\n.BR \"ReleaseObject\" (3),\n.BR \"ClearObject\" (3),\n.BR \"elKey\" (3),\n"
                  ".BR \"el-objects\" (3)\n"),
        std::string::npos);
    // No line of the page starts with a dot that is not a request.
    size_t at = 0;
    while ((at = page.find("\n.", at)) != std::string::npos) {
        ++at;
        const std::string request = page.substr(at + 1, 2);
        EXPECT_TRUE(request == "TH" || request == "SH" || request == "PP" || request == "nf" ||
                    request == "fi" || request == "RS" || request == "RE" || request == "TP" ||
                    request == "IP" || request == "B " || request == "BR" || request == "nh")
            << page.substr(at, 20);
    }
}

TEST(RefgenReference, SynopsisIncludesTheHeaderDeclaringTheNameWhenTheHeadersAreKnown) {
    std::vector<std::string> errors;
    refgen::Facility f = Parse(kFacility, errors);
    f.headers = {"el/draw.h", "el/blits.h"};
    refgen::Declarations d;
    refgen::ScanHeader("void ReleaseObject(int);\nvoid ClearObject(int);\n", "el/blits.h", d);
    const refgen::HeaderMap headers = refgen::HeadersOf(d);
    EXPECT_EQ(refgen::EntryHeaders(f, f.entries[1], headers), std::vector<std::string>{"el/blits.h"});
    // A name the headers do not know: the facility's line.
    EXPECT_EQ(refgen::EntryHeaders(f, f.entries[0], headers), f.headers);
    const std::string page = refgen::ManPage(f, f.entries[1], "ClearObject", headers);
    EXPECT_NE(page.find(".B #include <el/blits.h>\n"), std::string::npos);
    EXPECT_EQ(page.find("el/draw.h"), std::string::npos);
}

TEST(RefgenReference, ConstantsWithoutAnEntryAreFoundByGroup) {
    std::vector<std::string> errors;
    std::vector<refgen::Facility> all{Parse(kFacility, errors)};
    refgen::Declarations d;
    refgen::ScanHeader(
        "namespace elKey { constexpr int Left = 1; }\n"
        "namespace elFill { constexpr int Outline = 0; }\n"
        "constexpr int kObjectCount = 512;\n"
        "enum : int { TEXT_SHADOW = 0x100 };\n",
        "el/t.h", d);
    EXPECT_EQ(refgen::UndocumentedConstants(all, d),
              (std::vector<std::string>{"elFill", "TEXT_SHADOW", "kObjectCount"}));
}

TEST(RefgenReference, HtmlHasContentsAnchorsAndEscapedText) {
    std::vector<std::string> errors;
    std::vector<refgen::Facility> all{Parse(kFacility, errors)};
    const std::string html = refgen::HtmlReference(all);
    EXPECT_NE(html.find("<a href=\"#elDraw::LoadObject\"><code>elDraw::LoadObject</code></a>"),
              std::string::npos);
    EXPECT_NE(html.find("<article id=\"elDraw::LoadObject\">"), std::string::npos);
    EXPECT_NE(html.find("<span id=\"ClearObject\"></span>"), std::string::npos);
    EXPECT_NE(html.find("<code>#include &lt;el/draw.h&gt;</code>"), std::string::npos);
    EXPECT_NE(html.find("ObjectNo elDraw::LoadObject(const char* name, int memoryMode);"), std::string::npos);
    EXPECT_EQ(html.find("<el/"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
}

TEST(RefgenReference, CheckNamesMissingEntriesUnknownNamesWrongHeadersAndTwins) {
    std::vector<std::string> errors;
    std::vector<refgen::Facility> all{Parse(kFacility, errors)};
    refgen::Declarations d;
    refgen::ScanHeader(
        "namespace elDraw { int LoadObject(const char*, int); }\n"
        "void ClearObject(int);\n"
        "void Undocumented();\n"
        "namespace elKey { constexpr int Left = 1; }\n",
        "el/draw.h", d);
    refgen::ScanHeader("void ReleaseObject(int);\n", "el/other.h", d);
    std::vector<std::string> problems = refgen::Check(all, d);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0],
              "objects.md:27: ReleaseObject is declared in <el/other.h>, which objects.md's Header: "
              "line does not name");
    EXPECT_EQ(problems[1], "el/draw.h:3: public function without an entry: Undocumented");

    all.push_back(all[0]);
    all[1].stem = "twin";
    refgen::Declarations empty;
    problems = refgen::Check(all, empty);
    EXPECT_EQ(
        std::count_if(problems.begin(), problems.end(),
                      [](const std::string& p) { return p.find("documented twice") != std::string::npos; }),
        4);
    EXPECT_EQ(
        std::count_if(problems.begin(), problems.end(),
                      [](const std::string& p) { return p.find("names no public") != std::string::npos; }),
        8);
}

}  // namespace
