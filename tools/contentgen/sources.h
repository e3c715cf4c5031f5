// Reading the generator's text sources: line files with comments, parameter sets, the palette.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/contentgen/image.h"

namespace contentgen {

// A text file split into lines, remembered with its path so that errors name file and line.
class SourceFile {
  public:
    explicit SourceFile(const std::string& path);
    const std::string& Path() const { return path_; }
    size_t LineCount() const { return lines_.size(); }
    const std::string& Line(size_t i) const { return lines_[i]; }
    [[noreturn]] void Fail(size_t line, const std::string& message) const;

  private:
    std::string path_;
    std::vector<std::string> lines_;
};

// Whitespace-separated words of a line.
std::vector<std::string> SplitWords(const std::string& line);
// True for lines holding nothing but blanks or a comment starting with '#'.
bool IsBlankOrComment(const std::string& line);
int ParseInt(const std::string& word, const SourceFile& file, size_t line);
double ParseNumber(const std::string& word, const SourceFile& file, size_t line);

// "name value value ..." lines. Every key must be read by the generator: unread keys are reported
// by CheckAllRead, so that a misspelt parameter does not silently fall back to nothing.
class Params {
  public:
    Params() = default;
    explicit Params(const std::string& path);
    bool Has(const std::string& key) const { return values_.count(key) != 0; }
    double Num(const std::string& key) const;
    std::vector<double> Nums(const std::string& key, size_t count) const;
    int Int(const std::string& key) const;
    std::string Word(const std::string& key) const;
    std::vector<std::string> Words(const std::string& key) const;
    void CheckAllRead() const;
    const std::string& Path() const { return path_; }

  private:
    const std::vector<std::string>& Get(const std::string& key) const;
    std::string path_;
    std::map<std::string, std::vector<std::string>> values_;
    std::map<std::string, size_t> lineOf_;
    mutable std::set<std::string> read_;
};

// Four tones of one surface: flat colour, shadow side, lit side, and the line drawn where the
// surface overlaps another.
struct Material {
    Rgb base, shade, light, line;
};

class Palette {
  public:
    explicit Palette(const std::string& path);
    Rgb Colour(const std::string& name) const;
    const Material& Mat(const std::string& name) const;
    bool HasColour(const std::string& name) const { return colours_.count(name) != 0; }
    const std::map<std::string, Rgb>& Colours() const { return colours_; }

  private:
    std::string path_;
    std::map<std::string, Rgb> colours_;
    std::map<std::string, Material> materials_;
};

}  // namespace contentgen
