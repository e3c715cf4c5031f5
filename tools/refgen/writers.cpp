// troff -man pages, the HTML page and the completeness check.
#include "writers.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace refgen {

namespace {

const char* kSource = "El engine";
const char* kManual = "El engine reference";

// The next code point of a UTF-8 text (advancing i), or 0xFFFD for a bad sequence.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    uint32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
    ++i;
    if (extra == 0) return 0xFFFD;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    }
    return cp;
}

std::string ManSectionTitle(const std::string& title) {
    if (title == "Returns") return "RETURN VALUE";
    if (title == "Example") return "EXAMPLE";
    std::string upper;
    for (char c : title) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

void BlocksTroff(std::ostringstream& out, const std::vector<Block>& blocks) {
    bool first = true;
    for (const Block& b : blocks) {
        if (b.kind == Block::Code) {
            out << (first ? "" : ".PP\n") << ".RS 4\n.nf\n";
            for (const std::string& l : b.lines) out << TroffLine(EscapeTroff(l, true)) << "\n";
            out << ".fi\n.RE\n";
        } else if (b.kind == Block::List) {
            for (const std::string& item : b.lines) {
                // "`name`: text" becomes a tagged paragraph, anything else a bullet.
                size_t close = item.size() > 1 && item[0] == '`' ? item.find('`', 1) : std::string::npos;
                if (close != std::string::npos && close + 1 < item.size() && item[close + 1] == ':') {
                    out << ".TP\n" << TroffLine(InlineTroff(item.substr(0, close + 1))) << "\n";
                    std::string rest = item.substr(close + 2);
                    size_t start = rest.find_first_not_of(' ');
                    out << TroffLine(InlineTroff(start == std::string::npos ? "" : rest.substr(start)))
                        << "\n";
                } else {
                    out << ".IP \\(bu 2\n" << TroffLine(InlineTroff(item)) << "\n";
                }
            }
        } else {
            if (!first) out << ".PP\n";
            std::string text;
            for (const std::string& l : b.lines) text += (text.empty() ? "" : " ") + l;
            out << TroffLine(InlineTroff(text)) << "\n";
        }
        first = false;
    }
}

void BlocksHtml(std::ostringstream& out, const std::vector<Block>& blocks) {
    for (const Block& b : blocks) {
        if (b.kind == Block::Code) {
            out << "<pre><code>";
            for (const std::string& l : b.lines) out << EscapeHtml(l) << "\n";
            out << "</code></pre>\n";
        } else if (b.kind == Block::List) {
            out << "<ul>\n";
            for (const std::string& item : b.lines) out << "<li>" << InlineHtml(item) << "</li>\n";
            out << "</ul>\n";
        } else {
            std::string text;
            for (const std::string& l : b.lines) text += (text.empty() ? "" : " ") + l;
            out << "<p>" << InlineHtml(text) << "</p>\n";
        }
    }
}

std::string Quoted(const std::string& s) {
    return "\"" + EscapeTroff(s, false) + "\"";
}

std::string JoinNames(const Entry& entry) {
    std::string names;
    for (const std::string& n : entry.names) names += (names.empty() ? "" : ", ") + n;
    return names;
}

}  // namespace

std::string EscapeTroff(const std::string& text, bool code) {
    std::string out;
    char hex[16];
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const uint32_t cp = NextCodePoint(text, i);
            std::snprintf(hex, sizeof hex, "\\[u%04X]", cp);
            out += hex;
            // Japanese text has no spaces: let a line break after any of its characters.
            const bool wide = (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                              (cp >= 0xFF00 && cp <= 0xFFEF);
            if (wide && !code) out += "\\:";
            continue;
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-' && code) {
            out += "\\-";
        } else if (c == '\t') {
            out += "    ";
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

std::string TroffLine(const std::string& escaped) {
    if (!escaped.empty() && (escaped[0] == '.' || escaped[0] == '\'')) return "\\&" + escaped;
    return escaped;
}

std::string InlineTroff(const std::string& text) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('`', at);
        size_t close = open == std::string::npos ? std::string::npos : text.find('`', open + 1);
        if (close == std::string::npos) {
            out += EscapeTroff(text.substr(at), false);
            break;
        }
        out += EscapeTroff(text.substr(at, open - at), false);
        out += "\\fB" + EscapeTroff(text.substr(open + 1, close - open - 1), true) + "\\fR";
        at = close + 1;
    }
    return out;
}

std::string EscapeHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string InlineHtml(const std::string& text) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('`', at);
        size_t close = open == std::string::npos ? std::string::npos : text.find('`', open + 1);
        if (close == std::string::npos) {
            out += EscapeHtml(text.substr(at));
            break;
        }
        out += EscapeHtml(text.substr(at, open - at));
        out += "<code>" + EscapeHtml(text.substr(open + 1, close - open - 1)) + "</code>";
        at = close + 1;
    }
    return out;
}

HeaderMap HeadersOf(const Declarations& declared) {
    HeaderMap headers;
    for (const auto* map :
         {&declared.operations, &declared.types, &declared.constants, &declared.constantGroups})
        for (const auto& [name, where] : *map) headers.emplace(name, where.substr(0, where.rfind(':')));
    return headers;
}

std::vector<std::string> EntryHeaders(const Facility& facility, const Entry& entry,
                                      const HeaderMap& headers) {
    std::vector<std::string> out;
    for (const std::string& name : entry.names) {
        auto it = headers.find(name);
        if (it == headers.end()) return facility.headers;
        if (std::find(out.begin(), out.end(), it->second) == out.end()) out.push_back(it->second);
    }
    return out;
}

std::string ManPage(const Facility& facility, const Entry& entry, const std::string& name,
                    const HeaderMap& headers) {
    const std::vector<std::string> includes = EntryHeaders(facility, entry, headers);
    std::ostringstream out;
    out << ".TH " << Quoted(name) << " 3 \"\" " << Quoted(kSource) << " " << Quoted(kManual) << "\n.nh\n";
    out << ".SH NAME\n"
        << TroffLine(EscapeTroff(JoinNames(entry), false)) << " \\- " << InlineTroff(entry.summary) << "\n";
    bool synopsis = false, description = false;
    for (const Section& s : entry.sections) description = description || s.title == "Description";
    for (const Section& s : entry.sections) {
        out << ".SH " << ManSectionTitle(s.title) << "\n";
        if (s.title == "Synopsis") {
            synopsis = true;
            out << ".nf\n";
            for (const std::string& h : includes) out << ".B #include <" << EscapeTroff(h, true) << ">\n";
            out << ".fi\n.PP\n";
        }
        BlocksTroff(out, s.blocks);
        // Without a Description section the summary says it all.
        if (s.title == "Synopsis" && !description)
            out << ".SH DESCRIPTION\n" << TroffLine(InlineTroff(entry.summary)) << "\n";
    }
    if (!synopsis) {
        // Types and constants: at least the header they come from.
        out << ".SH HEADER\n.nf\n";
        for (const std::string& h : includes) out << ".B #include <" << EscapeTroff(h, true) << ">\n";
        out << ".fi\n";
    }
    out << ".SH SEE ALSO\n";
    std::vector<std::string> refs;
    for (const Entry& other : facility.entries)
        for (const std::string& n : other.names)
            if (&other != &entry || n != name) refs.push_back(n);
    refs.push_back(FacilityPageName(facility));
    for (size_t i = 0; i < refs.size(); ++i)
        out << ".BR " << Quoted(refs[i]) << " (3)" << (i + 1 < refs.size() ? "," : "") << "\n";
    return out.str();
}

std::string FacilityManPage(const Facility& facility, const std::vector<Facility>& all) {
    std::ostringstream out;
    const std::string page = FacilityPageName(facility);
    out << ".TH " << Quoted(page) << " 3 \"\" " << Quoted(kSource) << " " << Quoted(kManual) << "\n.nh\n";
    out << ".SH NAME\n"
        << TroffLine(EscapeTroff(page, false)) << " \\- " << InlineTroff(facility.title) << "\n";
    out << ".SH SYNOPSIS\n.nf\n";
    for (const std::string& h : facility.headers) out << ".B #include <" << EscapeTroff(h, true) << ">\n";
    out << ".fi\n.SH DESCRIPTION\n";
    BlocksTroff(out, facility.intro);
    out << ".SH ENTRIES\n";
    for (const Entry& e : facility.entries) {
        const char* kind = e.kind == Entry::Constants ? " (constants)"
                           : e.kind == Entry::Type    ? " (type)"
                                                      : "";
        out << ".TP\n.B " << Quoted(JoinNames(e) + kind) << "\n" << TroffLine(InlineTroff(e.summary)) << "\n";
    }
    out << ".SH SEE ALSO\n";
    std::vector<std::string> refs;
    for (const Facility& f : all)
        if (&f != &facility) refs.push_back(FacilityPageName(f));
    for (size_t i = 0; i < refs.size(); ++i)
        out << ".BR " << Quoted(refs[i]) << " (3)" << (i + 1 < refs.size() ? "," : "") << "\n";
    return out.str();
}

std::string HtmlReference(const std::vector<Facility>& all, const HeaderMap& headers) {
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<title>" << kManual << "</title>\n"
        << "<style>\nbody{font-family:sans-serif;max-width:60em;margin:auto;padding:1em;line-height:1.4}\n"
        << "pre{background:#f4f4f4;padding:.5em;overflow-x:auto}code{font-family:monospace}\n"
        << "article{border-top:1px solid #ccc;margin-top:1.5em}h4{margin-bottom:.2em}\n"
        << "nav ul ul{font-size:90%}\n</style>\n</head>\n<body>\n<h1>" << kManual << "</h1>\n";
    out << "<nav>\n<h2>Contents</h2>\n<ul>\n";
    for (const Facility& f : all) {
        out << "<li><a href=\"#" << EscapeHtml(FacilityPageName(f)) << "\">" << InlineHtml(f.title)
            << "</a>\n<ul>\n";
        for (const Entry& e : f.entries) {
            out << "<li>";
            for (size_t i = 0; i < e.names.size(); ++i)
                out << (i ? ", " : "") << "<a href=\"#" << EscapeHtml(e.names[i]) << "\"><code>"
                    << EscapeHtml(e.names[i]) << "</code></a>";
            out << ": " << InlineHtml(e.summary) << "</li>\n";
        }
        out << "</ul></li>\n";
    }
    out << "</ul>\n</nav>\n";
    for (const Facility& f : all) {
        out << "<section id=\"" << EscapeHtml(FacilityPageName(f)) << "\">\n<h2>" << InlineHtml(f.title)
            << "</h2>\n<p>";
        for (const std::string& h : f.headers)
            out << "<code>#include &lt;" << EscapeHtml(h) << "&gt;</code> ";
        out << "</p>\n";
        BlocksHtml(out, f.intro);
        for (const Entry& e : f.entries) {
            out << "<article id=\"" << EscapeHtml(e.names[0]) << "\">\n<h3>";
            for (size_t i = 0; i < e.names.size(); ++i) {
                out << (i ? ", " : "");
                if (i > 0) out << "<span id=\"" << EscapeHtml(e.names[i]) << "\"></span>";
                out << "<code>" << EscapeHtml(e.names[i]) << "</code>";
            }
            out << "</h3>\n<p>" << InlineHtml(e.summary) << "</p>\n";
            if (headers.count(e.names[0])) {
                out << "<p>";
                for (const std::string& h : EntryHeaders(f, e, headers))
                    out << "<code>#include &lt;" << EscapeHtml(h) << "&gt;</code> ";
                out << "</p>\n";
            }
            for (const Section& s : e.sections) {
                out << "<h4>" << EscapeHtml(s.title) << "</h4>\n";
                BlocksHtml(out, s.blocks);
            }
            out << "</article>\n";
        }
        out << "</section>\n";
    }
    out << "</body>\n</html>\n";
    return out.str();
}

std::vector<std::string> Check(const std::vector<Facility>& all, const Declarations& declared) {
    std::vector<std::string> problems;
    std::map<std::string, std::string> documented;  // function name -> facility file
    std::set<std::string> seen;
    for (const Facility& f : all) {
        for (const Entry& e : f.entries) {
            for (const std::string& name : e.names) {
                const std::string where = f.stem + ".md:" + std::to_string(e.line);
                if (!seen.insert(name).second)
                    problems.push_back(where + ": " + name + " is documented twice");
                if (e.kind == Entry::Function) {
                    documented[name] = where;
                    auto it = declared.operations.find(name);
                    if (it == declared.operations.end()) {
                        problems.push_back(where + ": entry names no public function: " + name);
                        continue;
                    }
                    const std::string header = it->second.substr(0, it->second.rfind(':'));
                    bool listed = false;
                    for (const std::string& h : f.headers) listed = listed || h == header;
                    if (!listed)
                        problems.push_back(where + ": " + name + " is declared in <" + header + ">, which " +
                                           f.stem + ".md's Header: line does not name");
                } else if (e.kind == Entry::Type) {
                    if (!declared.types.count(name))
                        problems.push_back(where + ": entry names no public type: " + name);
                } else if (!declared.constantGroups.count(name) && !declared.constants.count(name)) {
                    problems.push_back(where + ": entry names no public constants: " + name);
                }
            }
        }
    }
    for (const auto& [name, location] : declared.operations)
        if (!documented.count(name))
            problems.push_back(location + ": public function without an entry: " + name);
    return problems;
}

std::vector<std::string> UndocumentedConstants(const std::vector<Facility>& all,
                                               const Declarations& declared) {
    std::set<std::string> named;
    for (const Facility& f : all)
        for (const Entry& e : f.entries)
            if (e.kind == Entry::Constants) named.insert(e.names.begin(), e.names.end());
    std::vector<std::string> missing;
    for (const auto& [group, where] : declared.constantGroups)
        if (!named.count(group)) missing.push_back(group);
    for (const auto& [name, where] : declared.constants) {
        const size_t colon = name.rfind("::");
        const bool grouped =
            colon != std::string::npos && declared.constantGroups.count(name.substr(0, colon));
        if (!grouped && !named.count(name)) missing.push_back(name);
    }
    return missing;
}

}  // namespace refgen
