// MIDI rendering cost and start latency: a 30-second General MIDI piece of six instruments and
// drums, pulled in 10 ms blocks at 48000 Hz as the mixer pulls it; CPU time of this thread per
// second of output, and the frames from MidiPlay to the first sample above -80 dB.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/sound/midi.h"
#include "engine/system/paths.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/sequencer.h"
#include "platform/soft/sequencer_mix.h"

namespace {

void Variable(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    int count = 0;
    do {
        bytes[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(bytes[i] | (i > 0 ? 0x80 : 0)));
}

struct Note {
    uint32_t tick, length;
    uint8_t channel, key, velocity;
};

// One track of every note (format 0), 120 beats a minute, 480 ticks a beat, 15 bars of 4 beats.
std::vector<uint8_t> Piece() {
    std::vector<Note> notes;
    const uint8_t programs[6] = {0, 48, 33, 73, 11, 61};  // piano, strings, bass, flute, vibraphone, brass
    const int chords[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
    for (int bar = 0; bar < 15; ++bar) {
        const uint32_t start = bar * 1920u;
        const int* chord = chords[bar % 4];
        for (int k = 0; k < 3; ++k) notes.push_back({start, 1900, 1, static_cast<uint8_t>(chord[k]), 70});
        for (int beat = 0; beat < 4; ++beat) {
            const uint32_t t = start + beat * 480u;
            notes.push_back({t, 400, 2, static_cast<uint8_t>(chord[0] - 24), 90});
            for (int k = 0; k < 3; ++k) notes.push_back({t, 200, 0, static_cast<uint8_t>(chord[k]), 60});
            notes.push_back({t, 100, 9, static_cast<uint8_t>(beat % 2 ? 38 : 36), 100});
            notes.push_back({t + 240, 100, 9, 42, 70});
            notes.push_back({t, 420, 3, static_cast<uint8_t>(chord[(beat + bar) % 3] + 12), 80});
            notes.push_back({t + 240, 200, 4, static_cast<uint8_t>(chord[beat % 3] + 24), 50});
        }
        if (bar % 2 == 1) notes.push_back({start + 960, 900, 5, static_cast<uint8_t>(chord[0]), 70});
    }
    struct Event {
        uint32_t tick;
        std::vector<uint8_t> bytes;
    };
    std::vector<Event> events;
    for (int c = 0; c < 6; ++c) events.push_back({0, {static_cast<uint8_t>(0xC0 | c), programs[c]}});
    for (const Note& n : notes) {
        events.push_back({n.tick, {static_cast<uint8_t>(0x90 | n.channel), n.key, n.velocity}});
        events.push_back({n.tick + n.length, {static_cast<uint8_t>(0x80 | n.channel), n.key, 0}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    std::vector<uint8_t> track;
    uint32_t now = 0;
    for (const Event& e : events) {
        Variable(track, e.tick - now);
        now = e.tick;
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    Variable(track, 15 * 1920 - now);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    for (int i = 3; i >= 0; --i) file.push_back(static_cast<uint8_t>(track.size() >> (8 * i)));
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

double WallSeconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("el_bench_midi_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::vector<uint8_t> piece = Piece();
    if (argc == 3 && std::string(argv[1]) == "--write-piece") {
        // The benchmark's piece as a file, to listen to it.
        std::ofstream(argv[2], std::ios::binary)
            .write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(piece.size()));
        return 0;
    }
    std::ofstream(folder / "piece.mid", std::ios::binary)
        .write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(piece.size()));
    std::string program = (folder / "bench").string();
    std::replace(program.begin(), program.end(), '/', '\\');
    platform::SetModuleFileNameForTesting(program.c_str());
    platform::headless::Reset();
    platform::sequencer::SetMixed(true);
    MidiInit();

    constexpr uint32_t kRate = 48000, kBlock = 480;
    std::vector<float> block(2 * kBlock);
    for (int run = 0; run < 3; ++run) {
        const double openStart = WallSeconds();
        const int result = MidiPlay("piece.mid", 0);
        const double playMs = (WallSeconds() - openStart) * 1000;
        if (result != 0) {
            std::fprintf(stderr, "bench_midi: the piece does not play (%d)\n", result);
            return 1;
        }
        long firstSound = -1;
        double cpu = 0;
        uint64_t frames = 0;
        for (; frames < 30ull * kRate; frames += kBlock) {
            std::fill(block.begin(), block.end(), 0.0f);
            const double before = ThreadSeconds();
            platform::sequencer::Mix(block.data(), kBlock, 2, kRate, 1.0f);
            cpu += ThreadSeconds() - before;
            if (firstSound < 0)
                for (uint32_t i = 0; i < kBlock; ++i)
                    if (std::fabs(block[2 * i]) > 1e-4f) {
                        firstSound = static_cast<long>(frames + i);
                        break;
                    }
        }
        std::printf(
            "run %d: MidiPlay %.2f ms%s, first sound after %ld frames (%.2f ms of output), "
            "rendering %.2f ms of CPU per second of 48000 Hz stereo output (%.2f %% of a core)\n",
            run, playMs, run == 0 ? " (loads the sound font)" : "", firstSound, firstSound * 1000.0 / kRate,
            cpu * 1000.0 / 30, cpu / 30 * 100);
        MidiClose();
    }
    fs::remove_all(folder);
    return 0;
}
