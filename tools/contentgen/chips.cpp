// Reading the chip file and composing chips from its layers.
#include "tools/contentgen/chips.h"

#include <sstream>
#include <stdexcept>

namespace contentgen {

namespace {
// A layer's transparent, darkening and lightening keys.
constexpr char kClear = '.', kDarken = 's', kLighten = '+';
}  // namespace

ChipSet::ChipSet(const std::string& path, const Palette& palette) : path_(path) {
    SourceFile file(path);
    size_t i = 0;
    auto readRows = [&](size_t count, size_t width, size_t header) {
        std::vector<std::string> rows;
        while (rows.size() < count) {
            if (i >= file.LineCount()) file.Fail(header, "the pixel rows end early");
            std::string row = file.Line(i);
            while (!row.empty() && (row.back() == ' ' || row.back() == '\t')) row.pop_back();
            size_t lead = row.find_first_not_of(" \t");
            row = lead == std::string::npos ? "" : row.substr(lead);
            if (row.size() != width)
                file.Fail(i, "a pixel row needs " + std::to_string(width) + " keys, not " +
                                 std::to_string(row.size()));
            rows.push_back(row);
            ++i;
        }
        return rows;
    };
    while (i < file.LineCount()) {
        const std::string& line = file.Line(i);
        if (IsBlankOrComment(line)) {
            ++i;
            continue;
        }
        auto w = SplitWords(line);
        size_t header = i++;
        if (w[0] == "key" && w.size() == 3 && w[1].size() == 1) {
            char k = w[1][0];
            if (k == kClear || k == kDarken || k == kLighten || k == '#') file.Fail(header, "reserved key");
            if (keys_.count(k)) file.Fail(header, std::string("key '") + k + "' given twice");
            keys_[k] = palette.Colour(w[2]);
        } else if ((w[0] == "shade" || w[0] == "light") && w.size() == 3) {
            auto& table = w[0] == "shade" ? shade_ : light_;
            table[Pack(palette.Colour(w[1]))] = palette.Colour(w[2]);
        } else if (w[0] == "layer" && w.size() == 2) {
            AddLayer(file, header, w[1], readRows(kChipSize, kChipSize, header), 0, 0);
        } else if (w[0] == "block" && w.size() == 4) {
            int cols = ParseInt(w[2], file, header), rows = ParseInt(w[3], file, header);
            auto pixels = readRows(static_cast<size_t>(rows) * kChipSize,
                                   static_cast<size_t>(cols) * kChipSize, header);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c)
                    AddLayer(file, header, w[1] + "." + std::to_string(c) + "." + std::to_string(r), pixels,
                             c * kChipSize, r * kChipSize);
        } else {
            file.Fail(
                header,
                "expected 'key K COLOUR', 'shade|light COLOUR COLOUR', 'layer NAME' or 'block NAME W H'");
        }
    }
}

void ChipSet::AddLayer(const SourceFile& file, size_t line, const std::string& name,
                       const std::vector<std::string>& rows, int x0, int y0) {
    if (layers_.count(name)) file.Fail(line, "layer '" + name + "' given twice");
    std::string keys;
    for (int y = 0; y < kChipSize; ++y)
        for (int x = 0; x < kChipSize; ++x) {
            char k = rows[y0 + y][x0 + x];
            if (k != kClear && k != kDarken && k != kLighten && !keys_.count(k))
                file.Fail(line, std::string("unknown key '") + k + "' in '" + name + "'");
            keys.push_back(k);
        }
    layers_[name] = keys;
}

std::vector<std::string> ChipSet::Variants(const std::string& prefix) const {
    std::vector<std::string> out;
    for (int n = 1; layers_.count(prefix + "." + std::to_string(n)); ++n)
        out.push_back(prefix + "." + std::to_string(n));
    return out;
}

Image ChipSet::Compose(const std::string& recipe) const {
    Image img(kChipSize, kChipSize);
    std::vector<bool> painted(kChipSize * kChipSize, false);
    // Overlapping shadows darken a pixel once.
    std::vector<bool> shaded(kChipSize * kChipSize, false);
    std::stringstream in(recipe);
    std::string name;
    while (std::getline(in, name, '+')) {
        auto it = layers_.find(name);
        if (it == layers_.end())
            throw std::runtime_error(path_ + ": no layer '" + name + "' (chip " + recipe + ")");
        for (int p = 0; p < kChipSize * kChipSize; ++p) {
            char k = it->second[p];
            Rgb& c = img.pixels[p];
            if (k == kClear) continue;
            if (k == kDarken || k == kLighten) {
                if (shaded[p]) continue;
                if (!painted[p])
                    throw std::runtime_error(path_ + ": '" + name + "' shades nothing in " + recipe);
                const auto& table = k == kDarken ? shade_ : light_;
                auto t = table.find(Pack(c));
                if (t == table.end())
                    throw std::runtime_error(path_ + ": no " + std::string(k == kDarken ? "shade" : "light") +
                                             " for a colour of chip " + recipe);
                c = t->second;
                shaded[p] = true;
                continue;
            }
            c = keys_.at(k);
            painted[p] = true;
            shaded[p] = false;
        }
    }
    for (bool p : painted)
        if (!p) throw std::runtime_error(path_ + ": chip " + recipe + " leaves pixels unpainted");
    return img;
}

int ChipSet::Index(const std::string& recipe) {
    auto it = indexOf_.find(recipe);
    if (it != indexOf_.end()) return it->second;
    chips_.push_back(Compose(recipe));
    recipes_.push_back(recipe);
    int index = static_cast<int>(recipes_.size()) - 1;
    indexOf_[recipe] = index;
    return index;
}

Image ChipSet::Sheet() const {
    int rows = (Count() + kChipsPerRow - 1) / kChipsPerRow;
    if (rows == 0) rows = 1;
    Image sheet(kChipsPerRow * kChipSize, rows * kChipSize);
    for (int i = 0; i < Count(); ++i)
        sheet.Paste(chips_[i], (i % kChipsPerRow) * kChipSize, (i / kChipsPerRow) * kChipSize);
    return sheet;
}

}  // namespace contentgen
