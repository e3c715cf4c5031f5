// eltool decode-bmp IN OUT: reads a BMP picture with the system's own decoder and writes what it
// decoded as a 24-bit BMP of the same size.
#include <cstdio>

#include "commands.h"
#include "platform/bmp.h"

namespace eltool {

int DecodeBmp(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: eltool decode-bmp IN OUT\n");
        return kExitUsage;
    }
    platform::Picture picture;
    platform::BmpResult result = platform::LoadBmpFile(argv[0], picture);
    if (!result) {
        std::fprintf(stderr, "eltool decode-bmp: %s: %s\n", argv[0], result.reason);
        return kExitFailed;
    }
    if (!platform::SaveBmp24(argv[1], picture)) {
        std::fprintf(stderr, "eltool decode-bmp: %s: cannot write\n", argv[1]);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace eltool
