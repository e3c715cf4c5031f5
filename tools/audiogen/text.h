// Reading the generator's text sources: lines split into words, '#' comments, errors that name
// the file and line.
#pragma once
#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace audiogen {

struct Line {
    size_t number = 0;               // 1-based line number in the file
    std::vector<std::string> words;  // never empty
};

// A text source without its blank lines and comments. A comment starts with a word beginning with
// '#' (a '#' inside a word, as in F#4, is part of the word).
class Source {
  public:
    explicit Source(const std::string& path);
    const std::string& Path() const { return path_; }
    const std::vector<Line>& Lines() const { return lines_; }
    [[noreturn]] void Fail(const Line& line, const std::string& message) const;

    // Word `index` of the line as a number, a whole number in [lo, hi], or the error.
    double Number(const Line& line, size_t index) const;
    long Integer(const Line& line, size_t index, long lo, long hi) const;
    // Fails unless the line has between lo and hi words after the key.
    void Arguments(const Line& line, size_t lo, size_t hi) const;

  private:
    std::string path_;
    std::vector<Line> lines_;
};

}  // namespace audiogen
