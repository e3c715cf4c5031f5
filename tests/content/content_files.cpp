// The tests' own readers of the generated pictures and stage files.
#include "tests/content/content_files.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace content_test {

namespace {
uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
}  // namespace

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

Bmp ReadBmp(const std::string& path) {
    Bmp bmp;
    std::vector<uint8_t> d = ReadBytes(path);
    if (d.size() < 54) {
        bmp.error = "missing or too short: " + path;
        return bmp;
    }
    if (d[0] != 'B' || d[1] != 'M')
        bmp.error = "no BM signature";
    else if (U32(d, 2) != d.size())
        bmp.error = "file size field does not match";
    else if (U32(d, 14) != 40)
        bmp.error = "not a 40-byte info header";
    else if (U16(d, 26) != 1)
        bmp.error = "planes is not 1";
    else if (U16(d, 28) != 24)
        bmp.error = "not 24 bits per pixel";
    else if (U32(d, 30) != 0)
        bmp.error = "compressed";
    if (!bmp.error.empty()) return bmp;
    int32_t w = static_cast<int32_t>(U32(d, 18)), h = static_cast<int32_t>(U32(d, 22));
    uint32_t offset = U32(d, 10);
    size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    if (w <= 0 || h <= 0 || offset < 54 || offset + row * h > d.size()) {
        bmp.error = "bad size or data offset";
        return bmp;
    }
    bmp.width = w;
    bmp.height = h;
    bmp.pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = &d[offset + row * (h - 1 - y)];  // bottom row first in the file
        for (int x = 0; x < w; ++x)
            bmp.pixels[static_cast<size_t>(y) * w + x] = {src[3 * x + 2], src[3 * x + 1], src[3 * x]};
    }
    return bmp;
}

std::string ProgramDir() {
    return EL_PROGRAM_DIR;
}
std::string PicturePath(const std::string& name) {
    return ProgramDir() + "/BMP/" + name;
}

IntFile ReadInts(const std::string& path) {
    IntFile out;
    std::ifstream f(path);
    if (!f) return out;
    out.ok = true;
    std::string token;
    while (f >> token) {
        size_t i = (token[0] == '-' || token[0] == '+') ? 1 : 0;
        bool digits = i < token.size();
        for (; i < token.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(token[i]))) digits = false;
        if (!digits) out.ok = false;
        out.values.push_back(std::atoi(token.c_str()));
    }
    return out;
}

}  // namespace content_test
