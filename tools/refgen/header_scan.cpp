// Reading declarations out of a header: tokens without comments, strings or preprocessor lines,
// then statements at namespace and class scope.
#include "header_scan.h"

#include <cctype>
#include <set>
#include <vector>

namespace refgen {

namespace {

struct Token {
    std::string text;
    int line = 0;
    bool literal = false;  // a string or character literal (its text is not kept)
};

bool IdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdent(const std::string& s) {
    return !s.empty() && IdentStart(s[0]);
}

std::vector<Token> Tokenize(const std::string& text) {
    std::vector<Token> tokens;
    int line = 1;
    bool lineStart = true;  // only blanks since the last newline
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        if (c == '#' && lineStart) {  // a preprocessor line, with its continuations
            while (i < n && text[i] != '\n') {
                if (text[i] == '\\' && i + 1 < n && text[i + 1] == '\n') {
                    ++line;
                    ++i;
                } else if (text[i] == '/' && i + 1 < n && text[i + 1] == '*') {
                    size_t end = text.find("*/", i + 2);
                    for (size_t k = i; k < std::min(end, n); ++k) line += text[k] == '\n';
                    i = end == std::string::npos ? n : end + 1;
                } else if (text[i] == '/' && i + 1 < n && text[i + 1] == '/') {
                    while (i < n && text[i] != '\n') ++i;
                    break;
                }
                ++i;
            }
            continue;
        }
        lineStart = false;
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            size_t end = text.find("*/", i + 2);
            end = end == std::string::npos ? n : end + 2;
            for (size_t k = i; k < end; ++k) line += text[k] == '\n';
            i = end;
            continue;
        }
        if (IdentStart(c)) {
            size_t start = i;
            while (i < n && IdentChar(text[i])) ++i;
            std::string word = text.substr(start, i - start);
            // Literal prefixes: u8"..", L'..', R"(..)" and the like.
            if (i < n && (text[i] == '"' || text[i] == '\'') &&
                (word == "u8" || word == "u" || word == "U" || word == "L" || word == "R" || word == "u8R" ||
                 word == "uR" || word == "UR" || word == "LR")) {
                if (word.back() == 'R' && text[i] == '"') {
                    size_t open = text.find('(', i);
                    std::string delimiter = text.substr(i + 1, open - i - 1);
                    size_t end = text.find(")" + delimiter + "\"", open);
                    end = end == std::string::npos ? n : end + delimiter.size() + 2;
                    for (size_t k = i; k < end; ++k) line += text[k] == '\n';
                    tokens.push_back({"\"\"", line, true});
                    i = end;
                    continue;
                }
                c = text[i];  // fall through to the literal below
            } else {
                tokens.push_back({word, line});
                continue;
            }
        }
        if (c == '"' || c == '\'') {
            char quote = c;
            ++i;
            while (i < n && text[i] != quote && text[i] != '\n') i += text[i] == '\\' ? 2 : 1;
            ++i;
            tokens.push_back({std::string(2, quote), line, true});
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t start = i;
            while (i < n && (IdentChar(text[i]) || text[i] == '.' || text[i] == '\'')) ++i;
            tokens.push_back({text.substr(start, i - start), line});
            continue;
        }
        if (c == ':' && i + 1 < n && text[i + 1] == ':') {
            tokens.push_back({"::", line});
            i += 2;
            continue;
        }
        if (c == '.' && text.compare(i, 3, "...") == 0) {
            tokens.push_back({"...", line});
            i += 3;
            continue;
        }
        if (c == '-' && i + 1 < n && text[i + 1] == '>') {
            tokens.push_back({"->", line});
            i += 2;
            continue;
        }
        tokens.push_back({std::string(1, c), line});
        ++i;
    }
    return tokens;
}

const std::set<std::string> kNotNames = {
    "alignas",       "alignof",  "decltype", "noexcept", "sizeof", "static_assert", "typeid",
    "void",          "int",      "char",     "bool",     "float",  "double",        "long",
    "short",         "unsigned", "signed",   "auto",     "const",  "volatile",      "return",
    "__attribute__", "requires", "explicit", "operator"};

enum class ScopeKind { Namespace, Class, Enum, Skip };

struct Scope {
    ScopeKind kind;
    std::string name;           // the full name of a namespace, class or enum
    bool isPublic = true;       // the access of a class scope's current part
    bool hasOperation = false;  // a class with a public constructor or operator
    int line = 0;
};

class Scanner {
  public:
    Scanner(std::vector<Token> tokens, const std::string& file, Declarations& out)
        : tokens_(std::move(tokens)), file_(file), out_(out) {}

    std::string Run() {
        scopes_.push_back({ScopeKind::Namespace, "", true, false, 0});
        std::vector<Token> statement;
        size_t i = 0;
        while (i < tokens_.size()) {
            const Token& t = tokens_[i];
            Scope& scope = scopes_.back();
            if (scope.kind == ScopeKind::Enum) {
                // Enumerators: a name at the start of the list or after a comma.
                if (t.text == "}") {
                    scopes_.pop_back();
                    i = SkipToSemicolon(i + 1);
                    continue;
                }
                if (IsIdent(t.text) && (i == 0 || tokens_[i - 1].text == "{" || tokens_[i - 1].text == ",")) {
                    std::string group = scope.name;
                    AddConstant(group, t);
                }
                ++i;
                continue;
            }
            if (t.text == "}") {
                if (!statement.empty()) {
                    // An unfinished statement before a closing brace: nothing to read in it.
                    statement.clear();
                }
                if (scopes_.size() == 1) return Where(t.line) + ": '}' without its '{'";
                Scope closed = scopes_.back();
                scopes_.pop_back();
                if (closed.kind == ScopeKind::Class) {
                    if (closed.hasOperation) Add(out_.operations, closed.name, closed.line);
                    i = SkipToSemicolon(i + 1);
                } else {
                    ++i;
                }
                continue;
            }
            if (t.text == ";") {
                Statement(statement, false);
                statement.clear();
                ++i;
                continue;
            }
            if (t.text == "{") {
                i = OpenBrace(statement, i);
                continue;
            }
            if (t.text == ":" && scope.kind == ScopeKind::Class && statement.size() == 1 &&
                (statement[0].text == "public" || statement[0].text == "private" ||
                 statement[0].text == "protected")) {
                scope.isPublic = statement[0].text == "public";
                statement.clear();
                ++i;
                continue;
            }
            statement.push_back(t);
            ++i;
        }
        if (scopes_.size() != 1)
            return file_ + ": '{' at line " + std::to_string(scopes_.back().line) + " not closed";
        return "";
    }

  private:
    std::string Where(int line) const { return file_ + ":" + std::to_string(line); }

    // Names inside a "detail" namespace (or one ending in "_detail") are not public.
    void Add(std::map<std::string, std::string>& into, const std::string& name, int line) {
        if (("::" + name + "::").find("::detail::") != std::string::npos) return;
        if (name.find("_detail::") != std::string::npos) return;
        into.emplace(name, Where(line));
    }

    std::string Qualify(const std::string& name) const {
        const std::string& outer = scopes_.back().name;
        return outer.empty() ? name : outer + "::" + name;
    }

    void AddConstant(const std::string& group, const Token& t) {
        Add(out_.constants, group.empty() ? t.text : group + "::" + t.text, t.line);
        if (!group.empty()) Add(out_.constantGroups, group, t.line);
    }

    // Steps over a balanced { ... } starting at tokens_[i] == "{"; returns the index after it.
    size_t SkipBraces(size_t i) {
        int depth = 0;
        for (; i < tokens_.size(); ++i) {
            if (tokens_[i].text == "{") ++depth;
            if (tokens_[i].text == "}" && --depth == 0) return i + 1;
        }
        return i;
    }

    // After a class or enum body: the declarators up to the ';' (none read).
    size_t SkipToSemicolon(size_t i) {
        while (i < tokens_.size() && tokens_[i].text != ";" && tokens_[i].text != "}" &&
               tokens_[i].text != "{")
            ++i;
        return i < tokens_.size() && tokens_[i].text == ";" ? i + 1 : i;
    }

    // Removes attributes ([[...]], __attribute__((...)), alignas(...)) and a template header.
    static std::vector<Token> Clean(const std::vector<Token>& in) {
        std::vector<Token> out;
        for (size_t i = 0; i < in.size(); ++i) {
            const std::string& s = in[i].text;
            if (s == "[" && i + 1 < in.size() && in[i + 1].text == "[") {
                int depth = 0;
                for (; i < in.size(); ++i) {
                    if (in[i].text == "[") ++depth;
                    if (in[i].text == "]" && --depth == 0) break;
                }
                continue;
            }
            if ((s == "__attribute__" || s == "alignas" || s == "__declspec") && i + 1 < in.size() &&
                in[i + 1].text == "(") {
                int depth = 0;
                for (++i; i < in.size(); ++i) {
                    if (in[i].text == "(") ++depth;
                    if (in[i].text == ")" && --depth == 0) break;
                }
                continue;
            }
            if (s == "template" && i + 1 < in.size() && in[i + 1].text == "<") {
                int depth = 0;
                for (++i; i < in.size(); ++i) {
                    if (in[i].text == "<") ++depth;
                    if (in[i].text == ">" && --depth == 0) break;
                }
                continue;
            }
            out.push_back(in[i]);
        }
        return out;
    }

    static bool Has(const std::vector<Token>& s, const char* word) {
        for (const Token& t : s)
            if (t.text == word) return true;
        return false;
    }

    // The index of the parameter list's '(' of a function declaration, or -1: the first '(' at
    // template depth 0, with no '=' before it, preceded by a name.
    static int ParameterList(const std::vector<Token>& s) {
        int angle = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            const std::string& t = s[i].text;
            if (t == "<") ++angle;
            if (t == ">" && angle > 0) --angle;
            if (angle > 0) continue;
            if (t == "=") return -1;
            if (t == "(") {
                if (i == 0) return -1;
                // "T (*name)(...)": a pointer to a function is a variable, not a declaration of one.
                if (i + 1 < s.size() && (s[i + 1].text == "*" || s[i + 1].text == "&")) return -1;
                const std::string& before = s[i - 1].text;
                if (IsIdent(before) && kNotNames.count(before) == 0) return static_cast<int>(i);
                // operator(), operator==, operator const char*
                for (size_t k = 0; k < i; ++k)
                    if (s[k].text == "operator") return static_cast<int>(i);
                return -1;
            }
        }
        return -1;
    }

    // The declared name before the parameter list: "Name", "A::Name", "~Name" or "operator".
    static std::string DeclaredName(const std::vector<Token>& s, int paren) {
        for (int k = 0; k < paren; ++k)
            if (s[k].text == "operator") return "operator";
        int k = paren - 1;
        std::string name = s[k].text;
        while (k >= 2 && s[k - 1].text == "::" && IsIdent(s[k - 2].text)) {
            name = s[k - 2].text + "::" + name;
            k -= 2;
        }
        if (k >= 1 && s[k - 1].text == "~") name = "~" + name;
        return name;
    }

    // A finished statement (ended by ';', or by '{' when `body` is set). Returns true when it
    // declared a function (so that a following body is skipped).
    bool Statement(const std::vector<Token>& raw, bool body) {
        std::vector<Token> s = Clean(raw);
        if (s.empty()) return false;
        Scope& scope = scopes_.back();
        const std::string& first = s[0].text;
        if (first == "using" || first == "typedef") {
            // An alias names a type: "using X = ...", "typedef ... X".
            if (first == "using" && s.size() >= 3 && s[2].text == "=")
                Add(out_.types, Qualify(s[1].text), s[1].line);
            if (first == "typedef") {
                // "typedef T Name;" or "typedef R (*Name)(...);"
                size_t k = s.size() - 1;
                for (size_t j = 1; j + 2 < s.size(); ++j)
                    if (s[j].text == "(" && s[j + 1].text == "*" && IsIdent(s[j + 2].text)) k = j + 2;
                if (IsIdent(s[k].text)) Add(out_.types, Qualify(s[k].text), s[k].line);
            }
            return false;
        }
        if (first == "static_assert" || first == "friend" || first == "namespace") return false;
        if (!body && (first == "struct" || first == "class" || first == "union" || first == "enum")) {
            return false;  // a forward declaration
        }
        int paren = ParameterList(s);
        if (paren < 0) {
            if (Has(s, "constexpr") || (Has(s, "const") && scope.kind == ScopeKind::Namespace)) {
                // A named constant: the name before '=', '{' or the end.
                for (size_t k = 1; k < s.size(); ++k) {
                    if (s[k].text == "=" || s[k].text == "[") {
                        if (IsIdent(s[k - 1].text)) AddConstant(scope.name, s[k - 1]);
                        break;
                    }
                }
                if (body && IsIdent(s.back().text)) AddConstant(scope.name, s.back());
            }
            return false;
        }
        std::string name = DeclaredName(s, paren);
        // "= delete" and "= default" declare nothing a caller can use.
        for (size_t k = paren; k + 1 < s.size(); ++k)
            if (s[k].text == "=" && (s[k + 1].text == "delete" || s[k + 1].text == "default")) return true;
        if (scope.kind == ScopeKind::Class) {
            if (!scope.isPublic) return true;
            std::string last =
                scope.name.substr(scope.name.rfind(':') == std::string::npos ? 0 : scope.name.rfind(':') + 1);
            if (name == "operator" || name == last) {
                scope.hasOperation = true;
                if (scope.line == 0) scope.line = s[0].line;
            } else if (name[0] != '~') {
                Add(out_.operations, Qualify(name), s[paren - 1].line);
            }
            return true;
        }
        if (name == "operator" || name[0] == '~') return true;
        Add(out_.operations, Qualify(name), s[paren - 1].line);
        return true;
    }

    // A '{' at tokens_[i] ends `statement`: opens a namespace, class or enum, or skips a function
    // body or an initializer. Returns the index to go on from.
    size_t OpenBrace(std::vector<Token>& statement, size_t i) {
        int open = 0;
        for (const Token& t : statement) open += t.text == "(" ? 1 : t.text == ")" ? -1 : 0;
        if (open > 0) {  // a braced default argument or initializer inside a parameter list
            statement.push_back({"{}", tokens_[i].line});
            return SkipBraces(i);
        }
        std::vector<Token> s = Clean(statement);
        const int line = tokens_[i].line;
        if (!s.empty() && (s[0].text == "namespace" ||
                           (s[0].text == "inline" && s.size() > 1 && s[1].text == "namespace"))) {
            std::string name;
            for (const Token& t : s)
                if (t.text != "namespace" && t.text != "inline") name += t.text;
            scopes_.push_back({ScopeKind::Namespace,
                               name.empty() || s[0].text == "inline" ? scopes_.back().name : Qualify(name),
                               true, false, line});
            statement.clear();
            return i + 1;
        }
        if (!s.empty() && s[0].text == "extern" && s.size() == 2 && s[1].literal) {
            scopes_.push_back({ScopeKind::Namespace, scopes_.back().name, true, false, line});
            statement.clear();
            return i + 1;
        }
        size_t k = 0;
        while (k < s.size() && (s[k].text == "typedef")) ++k;
        if (k < s.size() &&
            (s[k].text == "struct" || s[k].text == "class" || s[k].text == "union" || s[k].text == "enum")) {
            const bool isEnum = s[k].text == "enum";
            size_t n = k + 1;
            if (isEnum && n < s.size() && (s[n].text == "class" || s[n].text == "struct")) ++n;
            std::string name = n < s.size() && IsIdent(s[n].text) && s[n].text != "final" ? s[n].text : "";
            std::string full = name.empty() ? scopes_.back().name : Qualify(name);
            if (!name.empty()) Add(out_.types, full, s[n].line);
            if (isEnum) {
                scopes_.push_back({ScopeKind::Enum, full, true, false, line});
            } else {
                scopes_.push_back({ScopeKind::Class, full, s[k].text != "class", false, 0});
            }
            statement.clear();
            return i + 1;
        }
        if (Statement(statement, true)) {
            // A function body (inline definitions count as operations), with any constructor
            // initializers already in the statement.
            statement.clear();
            return SkipBraces(i);
        }
        // An initializer: skip it and let the statement run on to its ';'.
        size_t after = SkipBraces(i);
        statement.push_back({"{}", line});
        return after;
    }

    std::vector<Token> tokens_;
    std::string file_;
    Declarations& out_;
    std::vector<Scope> scopes_;
};

}  // namespace

std::string ScanHeader(const std::string& text, const std::string& file, Declarations& out) {
    Scanner scanner(Tokenize(text), file, out);
    return scanner.Run();
}

}  // namespace refgen
