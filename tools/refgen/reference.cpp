// Parsing the reference's facility files: title, header line, introduction and entries.
#include "reference.h"

#include <algorithm>
#include <sstream>

namespace refgen {

const std::vector<std::string> kSectionTitles = {"Synopsis", "Description",           "Parameters",
                                                 "Returns",  "Failures and messages", "Example"};

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool ValidName(const std::string& name) {
    if (name.empty()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
                  (i > 0 && c >= '0' && c <= '9') || (c == ':' && i + 1 < name.size());
        if (!ok) return false;
    }
    return name.find(":::") == std::string::npos && name.back() != ':' && name.front() != ':';
}

}  // namespace

std::vector<Block> ParseBlocks(const std::vector<std::string>& lines) {
    std::vector<Block> blocks;
    bool inCode = false;
    Block* open = nullptr;  // the paragraph or list that the next text line continues
    for (const std::string& raw : lines) {
        if (inCode) {
            if (StartsWith(Trim(raw), "```")) {
                inCode = false;
                open = nullptr;
            } else {
                blocks.back().lines.push_back(raw);
            }
            continue;
        }
        std::string line = Trim(raw);
        if (StartsWith(line, "```")) {
            blocks.push_back({Block::Code, {}});
            inCode = true;
            open = nullptr;
            continue;
        }
        if (line.empty()) {
            open = nullptr;
            continue;
        }
        if (StartsWith(line, "- ")) {
            if (open == nullptr || open->kind != Block::List) {
                blocks.push_back({Block::List, {}});
                open = &blocks.back();
            }
            open->lines.push_back(Trim(line.substr(2)));
            continue;
        }
        if (open != nullptr && open->kind == Block::List) {
            // An indented line continues the item; an unindented one starts a paragraph.
            if (raw.size() > 0 && (raw[0] == ' ' || raw[0] == '\t')) {
                open->lines.back() += " " + line;
                continue;
            }
            open = nullptr;
        }
        if (open == nullptr) {
            blocks.push_back({Block::Paragraph, {}});
            open = &blocks.back();
        }
        open->lines.push_back(line);
    }
    return blocks;
}

std::string PageName(const std::string& name) {
    return name;
}

std::string FacilityPageName(const Facility& facility) {
    return "el-" + facility.stem;
}

Facility ParseFacility(const std::string& text, const std::string& stem, std::vector<std::string>& errors) {
    Facility facility;
    facility.stem = stem;
    const std::vector<std::string> lines = SplitLines(text);
    const std::string file = stem + ".md";
    auto fail = [&](int line, const std::string& what) {
        errors.push_back(file + ":" + std::to_string(line) + ": " + what);
    };

    std::vector<std::string> body;  // lines of the part being read
    Entry* entry = nullptr;
    Section* section = nullptr;
    bool inCode = false;
    auto flush = [&]() {
        std::vector<Block> blocks = ParseBlocks(body);
        body.clear();
        if (section != nullptr) {
            section->blocks = std::move(blocks);
        } else if (entry != nullptr) {
            // Between the heading and the first section: the summary, one paragraph.
            if (blocks.size() != 1 || blocks[0].kind != Block::Paragraph) {
                fail(entry->line, "entry needs a one-paragraph summary under its heading");
            } else {
                std::string summary;
                for (const std::string& l : blocks[0].lines) summary += (summary.empty() ? "" : " ") + l;
                entry->summary = summary;
            }
        } else {
            facility.intro = std::move(blocks);
        }
    };
    auto finishEntry = [&]() {
        if (entry == nullptr) return;
        auto has = [&](const char* title) {
            return std::any_of(entry->sections.begin(), entry->sections.end(),
                               [&](const Section& s) { return s.title == title; });
        };
        if (entry->kind == Entry::Function && !has("Synopsis"))
            fail(entry->line, "entry has no Synopsis section");
    };

    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const int number = static_cast<int>(i) + 1;
        if (StartsWith(Trim(line), "```")) inCode = !inCode;
        if (inCode || StartsWith(Trim(line), "```")) {
            body.push_back(line);
            continue;
        }
        if (StartsWith(line, "# ")) {
            if (!facility.title.empty() || entry != nullptr) fail(number, "a second '# ' title");
            facility.title = Trim(line.substr(2));
            continue;
        }
        if (entry == nullptr && StartsWith(line, "Header:")) {
            std::string rest = line.substr(7);
            size_t at = 0;
            while ((at = rest.find('<', at)) != std::string::npos) {
                size_t end = rest.find('>', at);
                if (end == std::string::npos) break;
                facility.headers.push_back(rest.substr(at + 1, end - at - 1));
                at = end;
            }
            if (facility.headers.empty()) fail(number, "Header: line names no <el/...> header");
            continue;
        }
        if (StartsWith(line, "## ")) {
            flush();
            finishEntry();
            facility.entries.push_back({});
            entry = &facility.entries.back();
            section = nullptr;
            entry->line = number;
            std::string heading = Trim(line.substr(3));
            if (StartsWith(heading, "Constants:")) {
                entry->kind = Entry::Constants;
                heading = Trim(heading.substr(10));
            } else if (StartsWith(heading, "Type:")) {
                entry->kind = Entry::Type;
                heading = Trim(heading.substr(5));
            }
            std::istringstream names(heading);
            std::string name;
            while (std::getline(names, name, ',')) {
                name = Trim(name);
                if (!ValidName(name)) fail(number, "not a name as written in code: '" + name + "'");
                entry->names.push_back(name);
            }
            if (entry->names.empty()) fail(number, "heading names nothing");
            continue;
        }
        if (StartsWith(line, "### ")) {
            if (entry == nullptr) {
                fail(number, "section outside an entry");
                continue;
            }
            flush();
            std::string title = Trim(line.substr(4));
            if (std::find(kSectionTitles.begin(), kSectionTitles.end(), title) == kSectionTitles.end())
                fail(number, "unknown section '" + title + "'");
            for (const Section& s : entry->sections)
                if (s.title == title) fail(number, "section '" + title + "' twice");
            entry->sections.push_back({title, {}});
            section = &entry->sections.back();
            continue;
        }
        body.push_back(line);
    }
    if (inCode) fail(static_cast<int>(lines.size()), "code block not closed");
    flush();
    finishEntry();
    if (facility.title.empty()) fail(1, "no '# ' title");
    if (facility.headers.empty()) fail(1, "no 'Header:' line");
    // Sections are written in one fixed order, whatever order the file uses.
    for (Entry& e : facility.entries) {
        std::stable_sort(e.sections.begin(), e.sections.end(), [](const Section& a, const Section& b) {
            auto rank = [](const std::string& t) {
                return std::find(kSectionTitles.begin(), kSectionTitles.end(), t) - kSectionTitles.begin();
            };
            return rank(a.title) < rank(b.title);
        });
    }
    return facility;
}

}  // namespace refgen
