// make_assets OUT_DIR: writes the sprite example's picture (sprite.bmp), sound (beep.wav) and
// tune (tune.mid), all computed here.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

static void Put(Bytes& out, uint32_t value, int bytes) {  // little-endian
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

static bool Write(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// 64 x 64, 24-bit: a ringed ball with a bar across it (so its turning shows) on black.
static Bytes Sprite() {
    Bytes out = {'B', 'M'};
    Put(out, 54 + 64 * 64 * 3, 4), Put(out, 0, 4), Put(out, 54, 4);
    Put(out, 40, 4), Put(out, 64, 4), Put(out, 64, 4), Put(out, 1, 2), Put(out, 24, 2);
    for (int i = 0; i < 6; ++i) Put(out, 0, 4);
    for (int row = 63; row >= 0; --row) {  // bottom row first
        for (int column = 0; column < 64; ++column) {
            const double dx = column - 31.5, dy = row - 31.5, r = std::sqrt(dx * dx + dy * dy);
            uint32_t bgr = 0;
            if (r < 30) bgr = r > 26 ? 0xFFFFFF : (std::abs(dy) < 5 ? 0x2080FF : 0xC05020);
            Put(out, bgr, 3);
        }
    }
    return out;
}

// A fifth of a second of a rising tone, 22050 Hz, mono, 16-bit, fading out.
static Bytes Beep() {
    const int rate = 22050, count = rate / 5;
    Bytes out = {'R', 'I', 'F', 'F'};
    Put(out, 36 + count * 2, 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(c);
    Put(out, 16, 4), Put(out, 1, 2), Put(out, 1, 2), Put(out, rate, 4), Put(out, rate * 2, 4);
    Put(out, 2, 2), Put(out, 16, 2);
    for (char c : std::string("data")) out.push_back(c);
    Put(out, count * 2, 4);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / count;
        phase += 2 * 3.14159265358979 * (660 + 440 * t) / rate;
        Put(out, static_cast<uint16_t>(static_cast<int16_t>(10000 * (1 - t) * std::sin(phase))), 2);
    }
    return out;
}

// A standard MIDI file, one track: a short tune on the piano, 96 ticks a beat at 120 beats a minute.
static Bytes Tune() {
    Bytes track = {0x00, 0xC0, 0x00};  // program 0 on channel 1
    const int notes[] = {60, 64, 67, 72, 67, 64, 65, 69, 72, 77, 72, 69, 67, 71, 74, 79, 74, 71, 72};
    for (int note : notes) {
        track.insert(track.end(), {0x00, 0x90, static_cast<uint8_t>(note), 0x60});  // on
        track.insert(track.end(), {0x48, 0x80, static_cast<uint8_t>(note), 0x00});  // off 72 ticks later
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(track.size() >> shift));
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const bool ok = Write(dir + "/sprite.bmp", Sprite()) && Write(dir + "/beep.wav", Beep()) &&
                    Write(dir + "/tune.mid", Tune());
    return ok ? 0 : 1;
}
