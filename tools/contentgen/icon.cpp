// Icons: the princess's first cell with its key colour transparent, as RGBA PNG files (libpng).
#include "tools/contentgen/icon.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace contentgen {
namespace {

void WritePng(const std::string& path, int size, const std::vector<uint8_t>& rgba) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8,
                     PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < size; ++y) png_write_row(png, rgba.data() + static_cast<size_t>(y) * size * 4);
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteIcons(const Content& content, const std::string& dir) {
    const Picture& sheet = FindPicture(content, "princess.bmp");
    const Image& image = sheet.image;
    const Rgb key = sheet.key == KeyRule::TopLeft ? image.At(0, 0) : kBlack;
    // The part of the first cell that is not background.
    int left = sheet.cellWidth, top = sheet.cellHeight, right = -1, bottom = -1;
    for (int y = 0; y < sheet.cellHeight; ++y)
        for (int x = 0; x < sheet.cellWidth; ++x)
            if (!(image.At(x, y) == key)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < left) throw std::runtime_error("the princess's first cell is empty");
    const int width = right - left + 1, height = bottom - top + 1;
    for (int size : {48, 128, 256}) {
        // The largest whole factor that leaves a small margin, else a plain fit.
        const int room = size - size / 16;
        int factor = std::min(room / width, room / height);
        std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 0);
        const double scale = factor >= 1 ? factor : std::min(double(room) / width, double(room) / height);
        const int outWidth = static_cast<int>(width * scale), outHeight = static_cast<int>(height * scale);
        const int offsetX = (size - outWidth) / 2, offsetY = (size - outHeight) / 2;
        for (int y = 0; y < outHeight; ++y)
            for (int x = 0; x < outWidth; ++x) {
                const Rgb pixel =
                    image.At(left + static_cast<int>(x / scale), top + static_cast<int>(y / scale));
                if (pixel == key) continue;
                uint8_t* out = &rgba[(static_cast<size_t>(y + offsetY) * size + x + offsetX) * 4];
                out[0] = pixel.r;
                out[1] = pixel.g;
                out[2] = pixel.b;
                out[3] = 255;
            }
        const std::string folder = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::filesystem::create_directories(folder);
        WritePng(folder + "/milkanet.png", size, rgba);
    }
}

}  // namespace contentgen
