// The picture pack file: entries of width, height, name and raw 15-bit pixels one after another,
// the scan for an entry by name, the writer's pixel encoding and the conversion of stored pixels
// into a surface. Standard library only, so that tools and fuzzers compile it on its own.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace pack {

// A name is stored with its 0 byte in at most this many bytes (30 characters and the 0).
constexpr int kMaxStoredName = 31;

struct EntryHeader {
    uint16_t width = 0;
    uint16_t height = 0;
    char name[kMaxStoredName + 1] = {};
    long pixelOffset = 0;  // where the entry's pixels start in the file
};

// Why a scan ended.
enum class ScanEnd : uint8_t {
    EndOfFile,  // the last entry ended exactly at the end of the file
    Malformed,  // a cut-off header, a name without its 0 byte in 31 bytes, or pixels past the end
};

// Reads entries from the start of the file. `visit` gets each well-formed entry of at least one
// pixel, with the file standing at its first pixel; returning true stops the scan there (the file
// stays at that pixel). An entry of width or height 0 holds no pixels: the scan steps over its
// header and goes on.
// Returns true when `visit` stopped it; otherwise how the scan ended goes to `end`.
template <typename Visit>
bool ScanEntries(std::FILE* file, Visit visit, ScanEnd* end = nullptr);

// The entry named `upperName` (exact bytes), the first one in the file; the file then stands at its
// first pixel.
bool FindEntry(std::FILE* file, const char* upperName, EntryHeader& out);

// Upper-cases the ASCII letters of a Shift-JIS text, leaving both bytes of double-byte characters.
void UpperCase(char* text);
std::string UpperCased(const char* text);

// The stored form of a colour 0x00RRGGBB: 0 only for true black; a colour darker than one step
// keeps blue 1.
uint16_t EncodePixel(uint32_t rgb);
// A stored pixel as 0x00RRGGBB, each 5-bit channel times 8.
uint32_t DecodePixel(uint16_t stored);

// Reads width x height stored pixels from the file into the top-left of the surface, each placed in
// the surface's format: RGB565 puts the 5-bit channels at the top of its channels, XRGB8888 widens
// them by 8. False when the file ends early or the surface is smaller than the picture.
bool ReadPixels(std::FILE* file, int width, int height, platform::Surface& surface);

// Writes one entry's header (width, height, name and its 0 byte).
bool WriteEntryHeader(std::FILE* file, int width, int height, const char* name);
bool WritePixel(std::FILE* file, uint16_t stored);

// The BMP pictures of a folder of this system in the order packs take them: names ending in ".bmp"
// in any case, regular files only, sorted by their upper-cased names.
std::vector<std::string> ListPictures(const std::string& folder);

// ---------------------------------------------------------------------------------------------

namespace detail {
long FileSize(std::FILE* file);
bool ReadHeaderAt(std::FILE* file, long fileSize, EntryHeader& out, ScanEnd& end);
}  // namespace detail

template <typename Visit>
bool ScanEntries(std::FILE* file, Visit visit, ScanEnd* end) {
    ScanEnd why = ScanEnd::EndOfFile;
    const long size = detail::FileSize(file);
    if (size >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        EntryHeader header;
        while (detail::ReadHeaderAt(file, size, header, why)) {
            const bool empty = header.width == 0 || header.height == 0;
            if (!empty && visit(static_cast<const EntryHeader&>(header))) return true;
            const long next = header.pixelOffset + 2L * header.width * header.height;
            if (std::fseek(file, next, SEEK_SET) != 0) {
                why = ScanEnd::Malformed;
                break;
            }
        }
    } else {
        why = ScanEnd::Malformed;
    }
    if (end != nullptr) *end = why;
    return false;
}

}  // namespace pack
