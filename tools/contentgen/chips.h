// The map chips: 8 x 8 pixel layers written as pixel rows, and the chip sheet built from them.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/contentgen/image.h"
#include "tools/contentgen/sources.h"

namespace contentgen {

constexpr int kChipSize = 8;
constexpr int kChipsPerRow = 80;  // the chip sheet holds 80 chips per row

// Layers are read from the chip file; a chip on the sheet is a recipe of layers stacked from
// left to right, written "grass.1+shade_n". In a layer, '.' lets the layer below show, 's' darkens
// it and '+' lightens it (by the file's shade and light tables), and every other key paints.
// Chips are numbered in the order they are first asked for.
class ChipSet {
  public:
    ChipSet(const std::string& path, const Palette& palette);

    bool HasLayer(const std::string& name) const { return layers_.count(name) != 0; }
    // Names "prefix.1", "prefix.2", ... that exist, in order.
    std::vector<std::string> Variants(const std::string& prefix) const;
    // The chip number of a recipe, adding it to the sheet when it is new.
    int Index(const std::string& recipe);
    int Count() const { return static_cast<int>(recipes_.size()); }
    const std::string& Recipe(int index) const { return recipes_[index]; }
    const Image& Chip(int index) const { return chips_[index]; }
    Image Sheet() const;

  private:
    static uint32_t Pack(Rgb c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }
    Image Compose(const std::string& recipe) const;
    void AddLayer(const SourceFile& file, size_t line, const std::string& name,
                  const std::vector<std::string>& rows, int x0, int y0);

    std::string path_;
    std::map<char, Rgb> keys_;
    std::map<uint32_t, Rgb> shade_, light_;
    std::map<std::string, std::string> layers_;  // name -> 64 keys, row by row
    std::vector<std::string> recipes_;
    std::vector<Image> chips_;
    std::map<std::string, int> indexOf_;
};

}  // namespace contentgen
