#include "tools/audiogen/text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace audiogen {

Source::Source(const std::string& path) : path_(path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    std::string text;
    size_t number = 0;
    while (std::getline(in, text)) {
        ++number;
        Line line;
        line.number = number;
        std::istringstream words(text);
        std::string word;
        while (words >> word) {
            if (word[0] == '#') break;
            line.words.push_back(word);
        }
        if (!line.words.empty()) lines_.push_back(std::move(line));
    }
}

void Source::Fail(const Line& line, const std::string& message) const {
    throw std::runtime_error(path_ + ":" + std::to_string(line.number) + ": " + message);
}

void Source::Arguments(const Line& line, size_t lo, size_t hi) const {
    size_t n = line.words.size() - 1;
    if (n < lo || n > hi) {
        std::string want = lo == hi ? std::to_string(lo) : std::to_string(lo) + " to " + std::to_string(hi);
        Fail(line, "'" + line.words[0] + "' takes " + want + " values, not " + std::to_string(n));
    }
}

double Source::Number(const Line& line, size_t index) const {
    if (index >= line.words.size()) Fail(line, "a number is missing");
    const std::string& w = line.words[index];
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(w.c_str(), &end);
    if (end == w.c_str() || *end != '\0' || errno != 0 || !std::isfinite(v))
        Fail(line, "'" + w + "' is not a number");
    return v;
}

long Source::Integer(const Line& line, size_t index, long lo, long hi) const {
    if (index >= line.words.size()) Fail(line, "a whole number is missing");
    const std::string& w = line.words[index];
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(w.c_str(), &end, 10);
    if (end == w.c_str() || *end != '\0' || errno != 0) Fail(line, "'" + w + "' is not a whole number");
    if (v < lo || v > hi)
        Fail(line, "'" + w + "' is outside " + std::to_string(lo) + " to " + std::to_string(hi));
    return v;
}

}  // namespace audiogen
