// eltool decode-bmp IN OUT: reads a BMP picture with the system's own decoder and writes what it
// decoded as a 24-bit BMP of the same size.
#include <cstdio>
#include <vector>

#include "commands.h"
#include "names.h"
#include "platform/bmp.h"
#include "platform/files.h"

namespace eltool {

int DecodeBmp(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: eltool decode-bmp IN OUT\n");
        return kExitUsage;
    }
    // Command-line paths are this system's own paths, opened as given.
    if (!OutputPathUsable("decode-bmp", argv[1])) return kExitFailed;
    FILE* in = OpenInput("decode-bmp", argv[0], uint64_t{1} << 32);
    if (in == nullptr) return kExitFailed;
    platform::Picture picture;
    const platform::BmpResult result = platform::LoadBmpStream(in, picture);
    std::fclose(in);
    if (!result) {
        std::fprintf(stderr, "eltool decode-bmp: %s: %s\n", argv[0], result.reason);
        return kExitFailed;
    }
    const std::vector<uint8_t> file = platform::EncodeBmp24(picture);
    std::string reason;
    if (!platform::WriteWholeFile(argv[1], file.data(), file.size(), &reason)) {
        std::fprintf(stderr, "eltool decode-bmp: %s: %s\n", argv[1], reason.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace eltool
