// Writes small standard MIDI files for the tests, event by event.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace miditest {

class Track {
  public:
    // An event `delta` ticks after the previous one; the bytes follow the delta time as given.
    Track& Event(uint32_t delta, std::vector<uint8_t> bytes) {
        Variable(delta);
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Track& Tempo(uint32_t delta, uint32_t microsecondsPerQuarter) {
        return Event(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsecondsPerQuarter >> 16),
                             static_cast<uint8_t>(microsecondsPerQuarter >> 8),
                             static_cast<uint8_t>(microsecondsPerQuarter)});
    }
    Track& End(uint32_t delta) { return Event(delta, {0xFF, 0x2F, 0x00}); }
    const std::vector<uint8_t>& Bytes() const { return data_; }

    void Variable(uint32_t value) {
        uint8_t bytes[4];
        int count = 0;
        do {
            bytes[count++] = value & 0x7F;
            value >>= 7;
        } while (value != 0 && count < 4);
        for (int i = count - 1; i >= 0; --i)
            data_.push_back(static_cast<uint8_t>(bytes[i] | (i > 0 ? 0x80 : 0)));
    }

  private:
    std::vector<uint8_t> data_;
};

inline void BigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> File(uint16_t format, uint16_t division, const std::vector<Track>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    BigEndian(out, 6, 4);
    BigEndian(out, format, 2);
    BigEndian(out, static_cast<uint32_t>(tracks.size()), 2);
    BigEndian(out, division, 2);
    for (const Track& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        BigEndian(out, static_cast<uint32_t>(track.Bytes().size()), 4);
        out.insert(out.end(), track.Bytes().begin(), track.Bytes().end());
    }
    return out;
}

// Two seconds at 120 beats a minute: a piano plays C, E and G, a quarter note each, on channel 0,
// while a string pad holds a low C on channel 1 for a whole note; the tracks end at beat 4.
inline std::vector<uint8_t> ShortPiece() {
    Track tempo;
    tempo.Tempo(0, 500000).End(1920);
    Track piano;
    piano.Event(0, {0xC0, 0})
        .Event(0, {0x90, 60, 100})
        .Event(480, {0x80, 60, 64})
        .Event(0, {0x90, 64, 100})
        .Event(480, {64, 0})  // running status: note on with velocity 0
        .Event(0, {0x90, 67, 100})
        .Event(480, {0x80, 67, 64})
        .End(480);
    Track pad;
    pad.Event(0, {0xC1, 48}).Event(0, {0x91, 48, 80}).Event(1200, {0x81, 48, 0}).End(720);
    return File(1, 480, {tempo, piano, pad});
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace miditest
