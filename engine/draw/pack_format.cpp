// The picture pack file format: entry scan, pixel encoding and conversion, folder listing.
#include "engine/draw/pack_format.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/sjis.h"

namespace pack {

namespace detail {

long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    return std::ftell(file);
}

// Reads the header at the file's position. False at the end of the file (end = EndOfFile) or at
// anything that is not a whole entry (end = Malformed).
bool ReadHeaderAt(std::FILE* file, long fileSize, EntryHeader& out, ScanEnd& end) {
    uint8_t size[4];
    const size_t got = std::fread(size, 1, 4, file);
    if (got != 4) {
        end = got == 0 ? ScanEnd::EndOfFile : ScanEnd::Malformed;
        return false;
    }
    end = ScanEnd::Malformed;
    out.width = static_cast<uint16_t>(size[0] | size[1] << 8);
    out.height = static_cast<uint16_t>(size[2] | size[3] << 8);
    int length = 0;
    for (;;) {
        const int c = std::fgetc(file);
        if (c == EOF) return false;
        out.name[length++] = static_cast<char>(c);
        if (c == 0) break;
        if (length == kMaxStoredName) return false;  // no 0 byte within the longest name
    }
    out.pixelOffset = std::ftell(file);
    if (out.pixelOffset < 0) return false;
    const long pixels = 2L * out.width * out.height;
    return pixels <= fileSize - out.pixelOffset;
}

}  // namespace detail

bool FindEntry(std::FILE* file, const char* upperName, EntryHeader& out) {
    return ScanEntries(file, [&](const EntryHeader& header) {
        if (std::strcmp(header.name, upperName) != 0) return false;
        out = header;
        return true;
    });
}

void UpperCase(char* text) {
    platform::SjisUpperCase(text);
}

std::string UpperCased(const char* text) {
    return platform::SjisUpperCased(text);
}

uint16_t EncodePixel(uint32_t rgb) {
    if ((rgb & 0xFFFFFF) == 0) return 0;
    const uint32_t r = (rgb >> 16 & 0xFF) >> 3, g = (rgb >> 8 & 0xFF) >> 3, b = (rgb & 0xFF) >> 3;
    if (r == 0 && g == 0 && b == 0) return 1;  // only true black may read as transparent
    return static_cast<uint16_t>(r << 10 | g << 5 | b);
}

uint32_t DecodePixel(uint16_t stored) {
    const uint32_t r = stored >> 10 & 31, g = stored >> 5 & 31, b = stored & 31;
    return r << 19 | g << 11 | b << 3;
}

bool ReadPixels(std::FILE* file, int width, int height, platform::Surface& surface) {
    if (width > surface.width || height > surface.height) return false;
    const bool wide = surface.format == platform::PixelFormat::XRGB8888;
    std::vector<uint8_t> row(static_cast<size_t>(width) * 2);
    for (int y = 0; y < height; ++y) {
        if (std::fread(row.data(), 1, row.size(), file) != row.size()) return false;
        uint8_t* out = surface.Row(y);
        for (int x = 0; x < width; ++x) {
            const uint16_t d = static_cast<uint16_t>(row[2 * x] | row[2 * x + 1] << 8);
            const uint32_t r = d >> 10 & 31, g = d >> 5 & 31, b = d & 31;
            if (wide) {
                const uint32_t pixel = r << 19 | g << 11 | b << 3;
                std::memcpy(out + 4 * x, &pixel, 4);
            } else {
                // A stored green fills the top five bits of the six-bit channel.
                const uint16_t pixel = static_cast<uint16_t>(r << 11 | g << 6 | b);
                std::memcpy(out + 2 * x, &pixel, 2);
            }
        }
    }
    return true;
}

bool WriteEntryHeader(std::FILE* file, int width, int height, const char* name) {
    const uint8_t size[4] = {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                             static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8)};
    const size_t length = std::strlen(name) + 1;
    return std::fwrite(size, 1, 4, file) == 4 && std::fwrite(name, 1, length, file) == length;
}

bool WritePixel(std::FILE* file, uint16_t stored) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(stored), static_cast<uint8_t>(stored >> 8)};
    return std::fwrite(bytes, 1, 2, file) == 2;
}

std::vector<std::string> ListPictures(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end;
         !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        std::string name = it->path().filename().string();
        if (name.size() < 4 || UpperCased(name.c_str() + name.size() - 4) != ".BMP") continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = UpperCased(a.c_str()), ub = UpperCased(b.c_str());
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}

}  // namespace pack
