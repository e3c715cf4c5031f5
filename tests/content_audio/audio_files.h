// Reading the generated sounds back for the tests: canonical PCM WAVE files and a walk over the
// chunks and events of a standard MIDI file.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace audio_test {

std::vector<uint8_t> ReadBytes(const std::string& path);
std::string DemoDir();  // the demo folder of the program folder
std::string AssetsDir();

struct Wave {
    int rate = 0, bits = 0, channels = 0;
    std::vector<std::vector<int>> samples;  // per channel, centred on 0 (8-bit samples minus 128)
    std::string error;                      // empty when the file was read
    size_t Frames() const { return samples.empty() ? 0 : samples[0].size(); }
    int FullScale() const { return bits == 8 ? 128 : 32768; }
};

// Only the 44-byte header the generator writes is accepted: RIFF, WAVE, a 16-byte PCM fmt chunk
// and the data chunk straight after it, every size field consistent with the file's length.
Wave ReadWave(const std::string& path);

struct MidiFile {
    int format = -1, division = 0;
    size_t declaredTracks = 0;
    std::vector<std::string> trackNames;   // one per MTrk chunk read
    uint32_t tempo = 0;                    // microseconds a beat from the first tempo event
    long lastTick = 0;                     // the latest end-of-track
    std::map<int, int> programs;           // channel (0-15) -> program set before its first note
    std::map<int, int> notesOn;            // channel -> notes started
    std::set<int> channelsWithoutProgram;  // melodic channels whose first note came before a program
    int unmatched = 0;                     // note-ons without a note-off, or note-offs without a note-on
    std::string error;
    double Seconds() const { return division ? static_cast<double>(lastTick) / division * tempo / 1e6 : 0; }
};

MidiFile ReadMidi(const std::string& path);

// Effect sources: the "key value" lines before the first voice.
std::map<std::string, std::string> SourceHeader(const std::string& path);

}  // namespace audio_test
