// Picture operations of the generator and the 24-bit BMP encoder.
#include "tools/contentgen/image.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace contentgen {

void Image::FillRect(int x, int y, int w, int h, Rgb c) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) Set(xx, yy, c);
}

void Image::Paste(const Image& src, int dx, int dy) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) Set(dx + x, dy + y, src.At(x, y));
}

void Image::PasteKeyed(const Image& src, int sx, int sy, int w, int h, int dx, int dy, Rgb key) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!src.Inside(sx + x, sy + y)) continue;
            Rgb c = src.At(sx + x, sy + y);
            if (!(c == key)) Set(dx + x, dy + y, c);
        }
}

Image Image::Crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx)
            if (Inside(x + xx, y + yy)) out.At(xx, yy) = At(x + xx, y + yy);
    return out;
}

Image Image::MirroredX() const {
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.At(width - 1 - x, y) = At(x, y);
    return out;
}

Image Image::MirroredY() const {
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.At(x, height - 1 - y) = At(x, y);
    return out;
}

Image Image::RotatedClockwise() const {
    Image out(height, width);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.At(height - 1 - y, x) = At(x, y);
    return out;
}

namespace {
void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
}  // namespace

std::vector<uint8_t> EncodeBmp24(const Image& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
    const uint32_t offset = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(offset + dataBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + dataBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.width));
    Put32(out, static_cast<uint32_t>(image.height));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, dataBytes);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    if (!f) throw std::runtime_error("cannot write " + path);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

void WriteBmp(const std::string& path, const Image& image) {
    WriteFileBytes(path, EncodeBmp24(image));
}

}  // namespace contentgen
