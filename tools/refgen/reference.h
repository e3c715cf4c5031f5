// The reference's entries: facility files of docs/reference parsed into entries and their sections.
#pragma once
#include <string>
#include <vector>

namespace refgen {

// A piece of a section's text: a paragraph, a fenced code block or a bulleted list.
struct Block {
    enum Kind { Paragraph, Code, List } kind = Paragraph;
    std::vector<std::string> lines;  // paragraph text lines, code lines, or one item a line
};

struct Section {
    std::string title;  // one of kSectionTitles
    std::vector<Block> blocks;
};

struct Entry {
    enum Kind { Function, Type, Constants } kind = Function;
    std::vector<std::string> names;  // full names as written in code; a heading may name several
    std::string summary;             // the one-line paragraph under the heading
    std::vector<Section> sections;
    int line = 0;  // of the heading
};

struct Facility {
    std::string stem;                  // file name without ".md"
    std::string title;                 // the "# " heading
    std::vector<std::string> headers;  // "el/draw.h" from the "Header:" line
    std::vector<Block> intro;
    std::vector<Entry> entries;
};

// Section titles an entry may use, in the order they are written out.
extern const std::vector<std::string> kSectionTitles;

// Parses one facility file; problems ("file:line: what") are appended to `errors`.
Facility ParseFacility(const std::string& text, const std::string& stem, std::vector<std::string>& errors);

// Parses markdown body lines into blocks (paragraphs, ``` code, "- " lists).
std::vector<Block> ParseBlocks(const std::vector<std::string>& lines);

// The man page (and HTML anchor) name of an entry name: the name itself for functions and types,
// the group name for "Constants: elKey".
std::string PageName(const std::string& name);
// The facility's own page name, "el-STEM".
std::string FacilityPageName(const Facility& facility);

}  // namespace refgen
