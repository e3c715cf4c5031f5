// Reading the generated content back for the tests: 24-bit BMP pictures and stage layers.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace content_test {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Bmp {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // top row first
    std::string error;        // empty when the file was read
    const Rgb& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Reads an uncompressed 24-bit BMP (the format the generator writes); anything else sets error.
Bmp ReadBmp(const std::string& path);
std::string ProgramDir();
std::string PicturePath(const std::string& name);

// The 16-bit value a display in RGB565 gives the colour.
inline uint16_t To565(Rgb c) {
    return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

// Every whitespace-separated token of a stage file read as "%d" does; ok is false when a token
// is not a whole decimal integer.
struct IntFile {
    std::vector<int> values;
    bool ok = false;
};
IntFile ReadInts(const std::string& path);

std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace content_test
