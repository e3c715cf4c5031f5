// make_beep OUT.wav: a tenth of a second of 1 kHz, 22050 Hz mono 16-bit.
#include <cmath>
#include <cstdint>
#include <fstream>

static void Put(std::ofstream& out, uint32_t value, int bytes) {  // little-endian
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const int rate = 22050, count = rate / 10;
    std::ofstream out(argv[1], std::ios::binary);
    out << "RIFF", Put(out, 36 + count * 2, 4), out << "WAVEfmt ";
    Put(out, 16, 4), Put(out, 1, 2), Put(out, 1, 2), Put(out, rate, 4), Put(out, rate * 2, 4);
    Put(out, 2, 2), Put(out, 16, 2), out << "data", Put(out, count * 2, 4);
    for (int i = 0; i < count; ++i)
        Put(out, static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(6.283185307 * 1000 * i / rate))),
            2);
    return out ? 0 : 1;
}
