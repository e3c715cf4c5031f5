// eltool decode-bmp IN OUT: reads a BMP picture with the system's own decoder and writes what it
// decoded as a 24-bit BMP of the same size.
#include <cstdio>
#include <vector>

#include "commands.h"
#include "names.h"
#include "platform/bmp.h"

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
    FILE* out = std::fopen(argv[1], "wb");
    bool written = out != nullptr && std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (out != nullptr) written = std::fclose(out) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "eltool decode-bmp: %s: cannot write\n", argv[1]);
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace eltool
