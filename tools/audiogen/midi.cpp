// The MIDI piece: a standard MIDI file of format 1. The first track holds the title, the time
// signature and the tempo; each score track becomes one track with its name, its General MIDI
// program, volume, pan and reverb, and its notes. Kit tracks play on channel 10.
#include <algorithm>
#include <cmath>
#include <map>

#include "tools/audiogen/generate.h"
#include "tools/audiogen/options.h"
#include "tools/audiogen/output.h"
#include "tools/audiogen/score.h"

namespace audiogen {

namespace {

constexpr int kTicksPerBeat = 96;

// Keys of the General MIDI percussion map, by the names a kit track uses.
const std::map<std::string, int>& Drums() {
    static const std::map<std::string, int> drums = {
        {"kick", 36},  {"rim", 37},      {"snare", 38},      {"clap", 39},    {"lowtom", 45},
        {"hat", 42},   {"pedalhat", 44}, {"openhat", 46},    {"midtom", 47},  {"hitom", 50},
        {"crash", 49}, {"ride", 51},     {"tambourine", 54}, {"cowbell", 56}, {"shaker", 70}};
    return drums;
}

struct Event {
    long tick;
    int order;  // at the same tick: set-up first, then notes ending, then notes starting
    std::vector<uint8_t> bytes;
};

void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7f;
    while (v >>= 7) buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7f));
    while (n) out.push_back(buf[--n]);
}

void PutBig(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> Meta(uint8_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out = {0xff, type};
    PutVarLen(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> Text(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

// One MTrk chunk: the events in time order, ending with end-of-track at `end`.
void PutTrack(std::vector<uint8_t>& file, std::vector<Event> events, long end) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    events.push_back({end, 3, Meta(0x2f, {})});
    std::vector<uint8_t> body;
    long at = 0;
    for (const Event& e : events) {
        PutVarLen(body, static_cast<uint32_t>(e.tick - at));
        at = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    PutBig(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
}

}  // namespace

void WriteMidi(const std::string& path, const std::string& midi) {
    Score score(path);
    const Source& src = score.source;
    std::string title = "untitled";
    for (const auto& [key, line] : score.header) {
        if (key == "title") {
            title.clear();
            for (size_t i = 1; i < line.words.size(); ++i) title += (i > 1 ? " " : "") + line.words[i];
        } else if (key != "tempo" && key != "beats" && key != "steps") {
            src.Fail(line, "unknown setting '" + key + "'");
        }
    }
    if (score.loopSteps) throw std::runtime_error(path + ": a MIDI piece plays its sections once ('play')");
    if (kTicksPerBeat % score.steps) throw std::runtime_error(path + ": steps a beat must divide 96");
    const long stepTicks = kTicksPerBeat / score.steps;
    const long end = score.playSteps * stepTicks;

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    PutBig(file, 6, 4);
    PutBig(file, 1, 2);
    PutBig(file, static_cast<uint32_t>(score.tracks.size() + 1), 2);
    PutBig(file, kTicksPerBeat, 2);

    const uint32_t microseconds = static_cast<uint32_t>(60000000 / score.tempo);
    std::vector<uint8_t> tempo, meter = {static_cast<uint8_t>(score.beats), 2, 24, 8};
    PutBig(tempo, microseconds, 3);
    PutTrack(file, {{0, 0, Meta(0x03, Text(title))}, {0, 0, Meta(0x58, meter)}, {0, 0, Meta(0x51, tempo)}},
             end);

    for (size_t ti = 0; ti < score.tracks.size(); ++ti) {
        const Track& t = score.tracks[ti];
        TrackOptions o(score, t);
        int channel = t.kit ? 9 : static_cast<int>(o.Number("channel", 1, 16, 1)) - 1;
        if (!t.kit && channel == 9) src.Fail(t.line, "channel 10 is for kit tracks");
        if (t.kit && o.Has("channel") && o.Number("channel", 10, 10, 10) != 10)
            src.Fail(t.line, "a kit track plays on channel 10");
        const double gate = o.Number("gate", 0.1, 1, 1);
        std::vector<Event> events = {{0, 0, Meta(0x03, Text(t.name))}};
        const uint8_t control = static_cast<uint8_t>(0xb0 | channel);
        if (!t.kit) {
            int program = static_cast<int>(o.Number("program", 1, 128, 1));
            if (!o.Has("program")) src.Fail(t.line, "a melodic track needs a 'program' (1 to 128)");
            events.push_back(
                {0, 1, {static_cast<uint8_t>(0xc0 | channel), static_cast<uint8_t>(program - 1)}});
        }
        events.push_back({0, 1, {control, 7, static_cast<uint8_t>(o.Number("volume", 0, 127, 100))}});
        events.push_back({0, 1, {control, 10, static_cast<uint8_t>(o.Number("pan", 0, 127, 64))}});
        events.push_back({0, 1, {control, 91, static_cast<uint8_t>(o.Number("reverb", 0, 127, 40))}});
        o.CheckAllRead();

        for (const Note& n : score.notes) {
            if (n.track != ti) continue;
            int key = n.key;
            if (t.kit) {
                auto d = Drums().find(n.drum);
                if (d == Drums().end()) src.Fail(t.line, "track '" + t.name + "': no drum '" + n.drum + "'");
                key = d->second;
            }
            const long on = n.step * stepTicks;
            const long off = on + std::max(1L, std::lround(static_cast<double>(n.length * stepTicks) * gate));
            const uint8_t k = static_cast<uint8_t>(key), v = static_cast<uint8_t>(n.velocity);
            events.push_back({on, 2, {static_cast<uint8_t>(0x90 | channel), k, v}});
            events.push_back({off, 1, {static_cast<uint8_t>(0x80 | channel), k, 64}});
        }
        PutTrack(file, events, end);
    }
    WriteBytes(midi, file);
}

}  // namespace audiogen
