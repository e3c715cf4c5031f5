// The synthesizer shared by the sound effects and the music: one voice is an oscillator or noise
// with a pitch sweep and vibrato, a resonant filter with a cutoff sweep and an envelope.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/audiogen/text.h"

namespace audiogen {

// A value moving exponentially from `from` to `to` over `time` seconds, then staying at `to`.
struct Sweep {
    double from = 0, to = 0, time = 0;
    double At(double t) const;
};

enum class Wave { Sine, Square, Saw, Triangle, Noise };
enum class FilterKind { None, Lowpass, Highpass, Bandpass };

struct Voice {
    Wave wave = Wave::Sine;
    double duty = 0.5;         // share of the period a square wave is high
    Sweep pitch{440, 440, 0};  // Hz; a ratio to the note's frequency when a score plays it
    bool pitchGiven = false;   // noise without a pitch takes a new value every sample
    double detune = 0;         // cents: two oscillators this far below and above the pitch
    double vibratoRate = 0;    // Hz
    double vibratoDepth = 0;   // semitones
    double start = 0;          // seconds after the sound or note starts
    double attack = 0, decay = 0, sustain = 1, hold = 0, release = 0.01;  // seconds, level 0..1
    FilterKind filter = FilterKind::None;
    Sweep cutoff{1000, 1000, 0};  // Hz
    double q = 0.707;
    double volume = 1;
    double pan = 0;  // -1 left .. 1 right
    uint32_t seed = 1;
};

// Reads one "key values..." line into the voice; false when the key is not a voice key.
bool ReadVoiceKey(Voice& voice, const Source& source, const Line& line);

// Two channels of samples in -1..1 (before the final level is set).
struct Stereo {
    std::vector<double> left, right;
    size_t Frames() const { return left.size(); }
    void Resize(size_t frames) {
        left.resize(frames, 0.0);
        right.resize(frames, 0.0);
    }
};

struct Play {
    double pitchScale = 1;  // multiplies the voice's pitch
    double gain = 1;        // multiplies the voice's volume
    double pan = 0;         // added to the voice's pan
    double hold = -1;       // replaces the voice's hold when not negative
    bool mono = false;      // all into the left channel, unpanned
};

// Frames from the start of the sound or note to the end of the voice's release.
size_t VoiceEnd(const Voice& voice, int rate, const Play& play);

// Adds the voice into out from frame `at`. With wrap > 0 the buffer is a loop of wrap frames
// (already that size) and frames past its end continue at its start; otherwise it grows as needed.
void Render(const Voice& voice, int rate, const Play& play, Stereo& out, size_t at, size_t wrap);

// A fixed 32-bit xorshift generator, so that noise is the same on every build.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    double Next();  // -1 .. 1

  private:
    uint32_t state_;
};

}  // namespace audiogen
