// Screenshots: the presented frame, converted as for the screen, written with libpng.
#include "platform/sdl/sdl_screenshot.h"

#include <png.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/files.h"
#include "platform/sdl/sdl_convert.h"

namespace platform::sdl {
namespace {

std::string Home() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

// The value of XDG_PICTURES_DIR in user-dirs.dirs: "$HOME/..." or an absolute path in quotes.
std::string FromUserDirs() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string path = (config != nullptr && config[0] == '/') ? std::string(config) : Home() + "/.config";
    FILE* file = std::fopen((path + "/user-dirs.dirs").c_str(), "r");
    if (file == nullptr) return std::string();
    std::string found;
    char line[4096];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const char* key = "XDG_PICTURES_DIR=\"";
        const char* start = std::strstr(line, key);
        if (start == nullptr || start != line + std::strspn(line, " \t")) continue;
        start += std::strlen(key);
        const char* end = std::strrchr(start, '"');
        if (end == nullptr) continue;
        std::string value(start, end);
        if (value.compare(0, 5, "$HOME") == 0) {
            found = Home() + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            found = value;
        }
    }
    std::fclose(file);
    return found;
}

void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos) break;
    }
}

}  // namespace

std::string PicturesFolder() {
    const char* direct = std::getenv("XDG_PICTURES_DIR");
    if (direct != nullptr && direct[0] == '/') return direct;
    std::string named = FromUserDirs();
    if (!named.empty()) return named;
    return Home() + "/Pictures";
}

bool WritePng(const std::string& path, const uint8_t* first, int pitch, PixelFormat format, int width,
              int height, std::string* reason) {
    // Written into a file beside it and put in place when whole; a file of that name is never replaced.
    FileReplacement out;
    if (!out.Begin(path, false, reason)) return false;
    FILE* file = out.file();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint32_t> wide(static_cast<size_t>(width));
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    volatile bool written = false;  // volatile: read after a longjmp out of the PNG library
    if (png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            ConvertRow(first + static_cast<size_t>(y) * pitch, format, wide.data(), width);
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<png_byte>(wide[x] >> 16);
                row[3 * x + 1] = static_cast<png_byte>(wide[x] >> 8);
                row[3 * x + 2] = static_cast<png_byte>(wide[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    out.Check(written);
    return out.Commit(reason, false);
}

void SaveScreenshot(const uint8_t* first, int pitch, PixelFormat format, int width, int height) {
    std::string folder = PicturesFolder();
    MakeFolders(folder);
    time_t now = ::time(nullptr);
    tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Two shots in one second get a number after the time rather than overwrite each other.
    for (int attempt = 1; attempt <= 99; ++attempt) {
        std::string path =
            folder + "/milkanet-" + stamp + (attempt > 1 ? "-" + std::to_string(attempt) : "") + ".png";
        std::string reason;
        if (WritePng(path, first, pitch, format, width, height, &reason)) {
            std::fprintf(stderr, "milkanet: screenshot saved to %s\n", path.c_str());
            return;
        }
        if (errno != EEXIST) {
            std::fprintf(stderr, "milkanet: cannot save a screenshot to %s: %s\n", path.c_str(),
                         reason.c_str());
            return;
        }
    }
    std::fprintf(stderr, "milkanet: cannot save a screenshot in %s\n", folder.c_str());
}

}  // namespace platform::sdl
