// Pictures in memory (24-bit colour) and their encoding as uncompressed 24-bit BMP files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace contentgen {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kBlack{0, 0, 0};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image() = default;
    Image(int w, int h, Rgb fill = kBlack) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgb& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void Set(int x, int y, Rgb c) {
        if (Inside(x, y)) At(x, y) = c;
    }
    void FillRect(int x, int y, int w, int h, Rgb c);
    // Copies the whole of src with its top-left corner at (dx, dy), clipped.
    void Paste(const Image& src, int dx, int dy);
    // Copies the rectangle (sx, sy, w, h) of src to (dx, dy), leaving pixels of colour key out.
    void PasteKeyed(const Image& src, int sx, int sy, int w, int h, int dx, int dy, Rgb key);
    Image Crop(int x, int y, int w, int h) const;
    Image MirroredX() const;
    Image MirroredY() const;
    // Turned a quarter clockwise (x' = h - 1 - y, y' = x).
    Image RotatedClockwise() const;
};

// The BMP file bytes: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up rows of BGR padded to 4 bytes.
std::vector<uint8_t> EncodeBmp24(const Image& image);
// Writes bytes to a file, creating its folder; throws on failure.
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteBmp(const std::string& path, const Image& image);

}  // namespace contentgen
