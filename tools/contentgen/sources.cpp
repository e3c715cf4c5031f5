// Line files, parameter sets and the palette of the generator's sources.
#include "tools/contentgen/sources.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace contentgen {

SourceFile::SourceFile(const std::string& path) : path_(path) {
    std::ifstream f(path);
    if (!f) throw std::runtime_error("cannot open " + path);
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(line);
    }
}

void SourceFile::Fail(size_t line, const std::string& message) const {
    throw std::runtime_error(path_ + ":" + std::to_string(line + 1) + ": " + message);
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

bool IsBlankOrComment(const std::string& line) {
    for (char c : line) {
        if (c == '#') return true;
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

int ParseInt(const std::string& word, const SourceFile& file, size_t line) {
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != 0) file.Fail(line, "not an integer: '" + word + "'");
    return static_cast<int>(v);
}

double ParseNumber(const std::string& word, const SourceFile& file, size_t line) {
    char* end = nullptr;
    double v = std::strtod(word.c_str(), &end);
    if (word.empty() || *end != 0) file.Fail(line, "not a number: '" + word + "'");
    return v;
}

Params::Params(const std::string& path) : path_(path) {
    SourceFile file(path);
    for (size_t i = 0; i < file.LineCount(); ++i) {
        if (IsBlankOrComment(file.Line(i))) continue;
        auto words = SplitWords(file.Line(i));
        // A trailing comment after the values is allowed.
        for (size_t k = 0; k < words.size(); ++k)
            if (words[k][0] == '#') {
                words.resize(k);
                break;
            }
        if (words.size() < 2) file.Fail(i, "expected a name and at least one value");
        if (values_.count(words[0])) file.Fail(i, "'" + words[0] + "' given twice");
        lineOf_[words[0]] = i;
        values_[words[0]] = std::vector<std::string>(words.begin() + 1, words.end());
    }
}

const std::vector<std::string>& Params::Get(const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) throw std::runtime_error(path_ + ": missing parameter '" + key + "'");
    read_.insert(key);
    return it->second;
}

double Params::Num(const std::string& key) const {
    return Nums(key, 1)[0];
}

std::vector<double> Params::Nums(const std::string& key, size_t count) const {
    const auto& words = Get(key);
    if (words.size() != count)
        throw std::runtime_error(path_ + ": '" + key + "' needs " + std::to_string(count) + " values");
    std::vector<double> out;
    for (const auto& w : words) {
        char* end = nullptr;
        double v = std::strtod(w.c_str(), &end);
        if (*end != 0) throw std::runtime_error(path_ + ": '" + key + "': not a number: " + w);
        out.push_back(v);
    }
    return out;
}

int Params::Int(const std::string& key) const {
    return static_cast<int>(Num(key));
}

std::string Params::Word(const std::string& key) const {
    const auto& words = Get(key);
    if (words.size() != 1) throw std::runtime_error(path_ + ": '" + key + "' needs one word");
    return words[0];
}

std::vector<std::string> Params::Words(const std::string& key) const {
    return Get(key);
}

void Params::CheckAllRead() const {
    for (const auto& [key, line] : lineOf_)
        if (!read_.count(key))
            throw std::runtime_error(path_ + ":" + std::to_string(line + 1) + ": unknown parameter '" + key +
                                     "'");
}

Palette::Palette(const std::string& path) : path_(path) {
    SourceFile file(path);
    for (size_t i = 0; i < file.LineCount(); ++i) {
        if (IsBlankOrComment(file.Line(i))) continue;
        auto w = SplitWords(file.Line(i));
        if (w[0] == "colour" && w.size() == 5) {
            Rgb c{static_cast<uint8_t>(ParseInt(w[2], file, i)),
                  static_cast<uint8_t>(ParseInt(w[3], file, i)),
                  static_cast<uint8_t>(ParseInt(w[4], file, i))};
            if (colours_.count(w[1])) file.Fail(i, "colour '" + w[1] + "' given twice");
            colours_[w[1]] = c;
        } else if (w[0] == "material" && w.size() == 6) {
            Material m;
            Rgb* tones[4] = {&m.base, &m.shade, &m.light, &m.line};
            for (int t = 0; t < 4; ++t) {
                if (!colours_.count(w[2 + t])) file.Fail(i, "unknown colour '" + w[2 + t] + "'");
                *tones[t] = colours_[w[2 + t]];
            }
            materials_[w[1]] = m;
        } else {
            file.Fail(i, "expected 'colour NAME R G B' or 'material NAME BASE SHADE LIGHT LINE'");
        }
    }
}

Rgb Palette::Colour(const std::string& name) const {
    auto it = colours_.find(name);
    if (it == colours_.end()) throw std::runtime_error(path_ + ": unknown colour '" + name + "'");
    return it->second;
}

const Material& Palette::Mat(const std::string& name) const {
    auto it = materials_.find(name);
    if (it == materials_.end()) throw std::runtime_error(path_ + ": unknown material '" + name + "'");
    return it->second;
}

}  // namespace contentgen
