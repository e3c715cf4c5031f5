// check_run SHOT.bmp HEARD.wav: what the replay of keys.txt must have left. Right was held for 20
// frames, so the square stands 80 pixels right of where it started; Space at frame 40 made the
// only sound. Prints each failed check and ends with 1 when there was one.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

static std::vector<uint8_t> Read(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
static uint32_t Get(const std::vector<uint8_t>& b, size_t at, int bytes) {  // little-endian
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | (at + i < b.size() ? b[at + i] : 0);
    return value;
}

static int failures = 0;
static void Expect(bool ok, const std::string& what) {
    if (!ok) std::printf("FAILED: %s\n", what.c_str()), ++failures;
}

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    // The shot: a 24-bit bottom-up BMP of the 800 x 600 screen.
    const std::vector<uint8_t> bmp = Read(argv[1]);
    Expect(bmp.size() > 54 && Get(bmp, 0, 2) == 0x4D42 && Get(bmp, 28, 2) == 24, "the shot is a 24-bit BMP");
    const uint32_t offset = Get(bmp, 10, 4), width = Get(bmp, 18, 4), height = Get(bmp, 22, 4);
    const auto pixel = [&](uint32_t x, uint32_t y) {
        return Get(bmp, offset + ((height - 1 - y) * width + x) * 3, 3);
    };
    Expect(width == 800 && height == 600, "the shot is 800 x 600");
    Expect(pixel(200, 320) == 0xFFFFFF && pixel(219, 320) == 0xFFFFFF, "the square spans x 180 to 219");
    Expect(pixel(179, 320) == 0 && pixel(220, 320) == 0, "nothing beside the square");

    // The sound: one frame period of sound a frame, 60 frames a second.
    const std::vector<uint8_t> wav = Read(argv[2]);
    Expect(wav.size() > 44 && Get(wav, 8, 4) == 0x45564157 && Get(wav, 34, 2) == 16,
           "the sound is 16-bit WAVE");
    const uint32_t channels = Get(wav, 22, 2), rate = Get(wav, 24, 4), frame = rate / 60 * channels;
    const auto loudest = [&](uint32_t from, uint32_t to) {  // frames [from, to)
        int peak = 0;
        for (uint32_t i = from * frame; i < to * frame && 44 + 2 * i + 1 < wav.size(); ++i)
            peak = std::max(peak, std::abs(static_cast<int16_t>(Get(wav, 44 + 2 * i, 2))));
        return peak;
    };
    Expect(loudest(0, 38) == 0, "silence before Space");
    Expect(loudest(38, 46) > 3000, "the beep after Space");
    std::printf("%s\n", failures == 0 ? "replay checked" : "replay check failed");
    return failures == 0 ? 0 : 1;
}
