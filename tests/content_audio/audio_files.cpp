#include "tests/content_audio/audio_files.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace audio_test {

namespace {
uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
uint32_t Big(const std::vector<uint8_t>& d, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | d[at + i];
    return v;
}
bool Tag(const std::vector<uint8_t>& d, size_t at, const char* tag) {
    return at + 4 <= d.size() && std::string(d.begin() + at, d.begin() + at + 4) == tag;
}
}  // namespace

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string DemoDir() {
    return EL_PROGRAM_DIR "/demo";
}
std::string AssetsDir() {
    return EL_AUDIO_ASSETS_DIR;
}

Wave ReadWave(const std::string& path) {
    Wave w;
    std::vector<uint8_t> d = ReadBytes(path);
    if (d.size() < 44) {
        w.error = "missing or shorter than a header: " + path;
        return w;
    }
    if (!Tag(d, 0, "RIFF") || !Tag(d, 8, "WAVE") || !Tag(d, 12, "fmt ") || !Tag(d, 36, "data"))
        w.error = "not RIFF/WAVE with fmt and data chunks in the canonical places";
    else if (U32(d, 4) != d.size() - 8)
        w.error = "RIFF size does not match the file";
    else if (U32(d, 16) != 16 || U16(d, 20) != 1)
        w.error = "fmt is not 16-byte PCM";
    else if (U32(d, 40) != d.size() - 44)
        w.error = "data size does not match the file";
    if (!w.error.empty()) return w;
    w.channels = U16(d, 22);
    w.rate = static_cast<int>(U32(d, 24));
    w.bits = U16(d, 34);
    const uint32_t block = U16(d, 32);
    if ((w.bits != 8 && w.bits != 16) || w.channels < 1 || w.channels > 2 ||
        block != static_cast<uint32_t>(w.channels * w.bits / 8) || U32(d, 28) != w.rate * block ||
        (d.size() - 44) % block != 0) {
        w.error = "inconsistent format fields";
        return w;
    }
    const size_t frames = (d.size() - 44) / block;
    w.samples.assign(w.channels, std::vector<int>(frames));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < w.channels; ++c) {
            size_t at = 44 + i * block + c * (w.bits / 8);
            w.samples[c][i] = w.bits == 8 ? d[at] - 128 : static_cast<int16_t>(U16(d, at));
        }
    return w;
}

MidiFile ReadMidi(const std::string& path) {
    MidiFile m;
    std::vector<uint8_t> d = ReadBytes(path);
    if (d.size() < 14 || !Tag(d, 0, "MThd") || Big(d, 4, 4) != 6) {
        m.error = "no 6-byte MThd chunk";
        return m;
    }
    m.format = static_cast<int>(Big(d, 8, 2));
    m.declaredTracks = Big(d, 10, 2);
    m.division = static_cast<int>(Big(d, 12, 2));
    if (m.division & 0x8000) m.error = "time code division";
    std::map<std::pair<int, int>, int> sounding;
    size_t at = 14;
    while (m.error.empty() && at < d.size()) {
        if (at + 8 > d.size() || !Tag(d, at, "MTrk")) {
            m.error = "expected an MTrk chunk at byte " + std::to_string(at);
            break;
        }
        const size_t end = at + 8 + Big(d, at + 4, 4);
        if (end > d.size()) {
            m.error = "track runs past the end of the file";
            break;
        }
        size_t p = at + 8;
        long tick = 0;
        int running = 0;
        bool ended = false;
        std::string name;
        auto varLen = [&](uint32_t& v) {
            v = 0;
            for (int i = 0; i < 4; ++i) {
                if (p >= end) return false;
                uint8_t b = d[p++];
                v = (v << 7) | (b & 0x7f);
                if (!(b & 0x80)) return true;
            }
            return false;
        };
        while (m.error.empty() && p < end && !ended) {
            uint32_t delta;
            if (!varLen(delta) || p >= end) {
                m.error = "bad delta time";
                break;
            }
            tick += delta;
            int status = d[p];
            if (status & 0x80)
                ++p;
            else if (running)
                status = running;
            else {
                m.error = "data byte without a running status";
                break;
            }
            if (status == 0xff || status == 0xf0 || status == 0xf7) {
                int type = status == 0xff ? d[p++] : -1;
                uint32_t len;
                if (!varLen(len) || p + len > end) {
                    m.error = "bad meta or sysex length";
                    break;
                }
                if (type == 0x03) name.assign(d.begin() + p, d.begin() + p + len);
                if (type == 0x51 && len == 3 && m.tempo == 0) m.tempo = Big(d, p, 3);
                if (type == 0x2f) {
                    ended = true;
                    m.lastTick = std::max(m.lastTick, tick);
                }
                p += len;
                continue;
            }
            running = status;
            const int kind = status & 0xf0, channel = status & 0x0f;
            const size_t size = (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
            if (p + size > end) {
                m.error = "event cut short";
                break;
            }
            const int a = d[p], b = size == 2 ? d[p + 1] : 0;
            if ((a | b) & 0x80) {
                m.error = "data byte with the top bit set";
                break;
            }
            p += size;
            if (kind == 0xc0 && !m.notesOn.count(channel)) m.programs[channel] = a;
            if (kind == 0x90 && b > 0) {
                if (channel != 9 && !m.programs.count(channel)) m.channelsWithoutProgram.insert(channel);
                ++m.notesOn[channel];
                ++sounding[{channel, a}];
            } else if (kind == 0x80 || (kind == 0x90 && b == 0)) {
                if (--sounding[{channel, a}] < 0) ++m.unmatched;
            }
        }
        if (m.error.empty() && (!ended || p != end)) m.error = "track without end-of-track as its last event";
        m.trackNames.push_back(name);
        at = end;
    }
    for (const auto& [key, n] : sounding)
        if (n > 0) m.unmatched += n;
    return m;
}

std::map<std::string, std::string> SourceHeader(const std::string& path) {
    std::map<std::string, std::string> header;
    std::ifstream f(path);
    std::string line;
    while (std::getline(f, line)) {
        std::istringstream words(line);
        std::string key, value;
        if (!(words >> key) || key[0] == '#') continue;
        if (key == "voice") break;
        words >> value;
        header[key] = value;
    }
    return header;
}

}  // namespace audio_test
