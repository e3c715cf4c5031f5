// libFuzzer target: the picture pack scan and load. Whatever the file holds, the scan reports only
// whole entries and ends without reading past the file; a found entry loads into surfaces of both
// formats with every pixel where the stored value puts it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/draw/pack_format.h"
#include "platform/blit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte says how many of the next bytes are the requested name; the rest is the pack.
    if (size < 1) return 0;
    const size_t nameLength = std::min<size_t>(data[0] % 40, size - 1);
    char request[64] = {};
    std::memcpy(request, data + 1, nameLength);
    pack::UpperCase(request);
    const uint8_t* file = data + 1 + nameLength;
    const size_t fileSize = size - 1 - nameLength;

    std::FILE* in = fileSize > 0 ? fmemopen(const_cast<uint8_t*>(file), fileSize, "rb") : std::tmpfile();
    if (in == nullptr) return 0;
    long end = 0;
    pack::ScanEntries(in, [&](const pack::EntryHeader& entry) {
        const size_t length = strnlen(entry.name, sizeof entry.name);
        if (entry.width == 0 || entry.height == 0 || length >= static_cast<size_t>(pack::kMaxStoredName))
            std::abort();
        if (entry.pixelOffset < end) std::abort();  // entries follow each other
        end = entry.pixelOffset + 2L * entry.width * entry.height;
        if (end > static_cast<long>(fileSize)) std::abort();
        return false;
    });

    pack::EntryHeader entry;
    if (pack::FindEntry(in, request, entry)) {
        if (std::strcmp(entry.name, request) != 0) std::abort();
        for (platform::PixelFormat format :
             {platform::PixelFormat::RGB565, platform::PixelFormat::XRGB8888}) {
            platform::Surface surface = platform::CreateSurface(entry.width, entry.height, format);
            if (std::fseek(in, entry.pixelOffset, SEEK_SET) != 0) std::abort();
            if (!pack::ReadPixels(in, entry.width, entry.height, surface)) std::abort();
            const size_t last =
                static_cast<size_t>(entry.pixelOffset) + 2u * (entry.width * entry.height - 1u);
            const uint16_t stored = static_cast<uint16_t>(file[last] | file[last + 1] << 8);
            const uint32_t rgb = pack::DecodePixel(stored);
            const uint32_t expected = format == platform::PixelFormat::RGB565
                                          ? ((rgb >> 19 & 31) << 11 | (rgb >> 11 & 31) << 6 | (rgb >> 3 & 31))
                                          : rgb;
            if (platform::GetRawPixel(surface, entry.width - 1, entry.height - 1) != expected) std::abort();
        }
    }
    std::fclose(in);
    return 0;
}
