// make_assets OUT_DIR: writes the sound example's effects (OUT_DIR/effects/*.WAV), eight seconds of
// music (OUT_DIR/music/MUSIC.WAV) and a MIDI tune (OUT_DIR/tune.mid), all computed here.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
constexpr int kRate = 22050;
constexpr double kTwoPi = 6.283185307179586;

static void Put(Bytes& out, uint32_t value, int bytes) {  // little-endian
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

static bool Write(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// A mono 16-bit WAVE file of `seconds`, each sample wave(t) in -1..1 at t seconds.
static Bytes Wave(double seconds, const std::function<double(double)>& wave) {
    const uint32_t count = static_cast<uint32_t>(seconds * kRate);
    Bytes out = {'R', 'I', 'F', 'F'};
    Put(out, 36 + count * 2, 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(c);
    Put(out, 16, 4), Put(out, 1, 2), Put(out, 1, 2), Put(out, kRate, 4), Put(out, kRate * 2, 4);
    Put(out, 2, 2), Put(out, 16, 2);
    for (char c : std::string("data")) out.push_back(c);
    Put(out, count * 2, 4);
    for (uint32_t i = 0; i < count; ++i)
        Put(out, static_cast<uint16_t>(static_cast<int16_t>(12000 * wave(static_cast<double>(i) / kRate))),
            2);
    return out;
}

static double Tone(double hz, double t) {
    return std::sin(kTwoPi * hz * t);
}

// Music: a bar a second over the chords C, A minor, F and G, twice; the tail joins the start.
static double Music(double t) {
    static const double roots[] = {130.81, 110.00, 174.61, 196.00};
    const double root = roots[static_cast<int>(t) % 4], inBar = t - std::floor(t);
    const double pluck = std::exp(-3 * std::fmod(t, 0.25));
    return 0.35 * Tone(root, t) + 0.25 * pluck * (Tone(root * 2.52, t) + Tone(root * 3, t)) +
           0.1 * std::exp(-8 * inBar) * Tone(root * 4, t);
}

// A standard MIDI file, one track: a short tune, 96 ticks a beat at 120 beats a minute.
static Bytes Tune() {
    Bytes track = {0x00, 0xC0, 0x0B};  // the vibraphone on channel 1
    for (int note : {72, 76, 79, 84, 79, 76, 74, 77, 81, 86, 81, 77, 72}) {
        track.insert(track.end(), {0x00, 0x90, static_cast<uint8_t>(note), 0x64});  // on
        track.insert(track.end(), {0x30, 0x80, static_cast<uint8_t>(note), 0x00});  // off 48 ticks later
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(track.size() >> shift));
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : ".";
    uint32_t noise = 1;  // a fixed sequence: the same file on every build
    const auto next = [&noise] { return (noise = noise * 1664525u + 1013904223u) / 2147483648.0 - 1; };
    const bool ok =
        Write(dir / "effects" / "BEEP.WAV",
              Wave(0.15, [](double t) { return Tone(880, t) * (1 - t / 0.15); })) &&
        Write(
            dir / "effects" / "CHIME.WAV",
            Wave(0.8, [](double t) { return std::exp(-5 * t) * (Tone(1318.5, t) + Tone(1975.5, t)) / 2; })) &&
        Write(dir / "effects" / "NOISE.WAV", Wave(0.3, [&](double t) { return next() * (1 - t / 0.3); })) &&
        Write(dir / "music" / "MUSIC.WAV", Wave(8, Music)) && Write(dir / "tune.mid", Tune());
    return ok ? 0 : 1;
}
