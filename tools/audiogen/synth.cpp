#include "tools/audiogen/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audiogen {

double Sweep::At(double t) const {
    if (t >= time) return to;
    if (from <= 0 || to <= 0) return from + (to - from) * (t / time);
    return from * std::pow(to / from, t / time);
}

double Noise::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_ >> 8) * (1.0 / 8388608.0) - 1.0;
}

namespace {

Sweep ReadSweep(const Source& source, const Line& line) {
    source.Arguments(line, 1, 3);
    if (line.words.size() == 3) source.Fail(line, "a slide to a second value needs its length in seconds");
    Sweep s;
    s.from = source.Number(line, 1);
    s.to = line.words.size() > 2 ? source.Number(line, 2) : s.from;
    s.time = line.words.size() > 2 ? source.Number(line, 3) : 0;
    if (s.from < 0 || s.to < 0 || s.time < 0) source.Fail(line, "a sweep cannot be negative");
    return s;
}

double ReadOne(const Source& source, const Line& line, double lo, double hi) {
    source.Arguments(line, 1, 1);
    double v = source.Number(line, 1);
    if (v < lo || v > hi)
        source.Fail(line, "'" + line.words[0] + "' must lie between " + std::to_string(lo) + " and " +
                              std::to_string(hi));
    return v;
}

// Correction of a step in a naive waveform, spread over the two samples around it.
double Blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Oscillator {
    double phase = 0;
    double held = 0;

    double Next(const Voice& v, double dt, Noise& noise) {
        double out = 0;
        switch (v.wave) {
            case Wave::Sine:
                out = std::sin(2.0 * std::numbers::pi * phase);
                break;
            case Wave::Saw:
                out = 2.0 * phase - 1.0 - Blep(phase, dt);
                break;
            case Wave::Square: {
                double other = phase + 1.0 - v.duty;
                if (other >= 1.0) other -= 1.0;
                out = (phase < v.duty ? 1.0 : -1.0) + Blep(phase, dt) - Blep(other, dt);
                out -= 2.0 * v.duty - 1.0;  // no offset whatever the duty
                break;
            }
            case Wave::Triangle:
                out = 1.0 - 4.0 * std::fabs(phase - 0.5);
                break;
            case Wave::Noise:
                if (dt <= 0) return noise.Next();
                if (phase + dt >= 1.0 || phase == 0) held = noise.Next();
                out = held;
                break;
        }
        phase += dt;
        if (phase >= 1.0) phase -= std::floor(phase);
        return out;
    }
};

// The state-variable filter in its trapezoidal form: stable at any cutoff below half the rate.
struct Filter {
    double ic1 = 0, ic2 = 0;
    double Next(FilterKind kind, double x, double cutoff, double q, int rate) {
        double fc = std::min(cutoff, 0.45 * rate);
        double g = std::tan(std::numbers::pi * fc / rate);
        double k = 1.0 / q;
        double a1 = 1.0 / (1.0 + g * (g + k));
        double a2 = g * a1;
        double a3 = g * a2;
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        switch (kind) {
            case FilterKind::Lowpass:
                return v2;
            case FilterKind::Highpass:
                return x - k * v1 - v2;
            case FilterKind::Bandpass:
                return v1;
            case FilterKind::None:
                break;
        }
        return x;
    }
};

// Attack rises straight to 1, decay falls along a parabola to the sustain level, the release
// falls along a parabola from wherever the envelope was when the hold ended, reaching 0 exactly.
double HeldLevel(const Voice& v, double t) {
    if (t < v.attack) return t / v.attack;
    t -= v.attack;
    if (t < v.decay) {
        double r = 1.0 - t / v.decay;
        return v.sustain + (1.0 - v.sustain) * r * r;
    }
    return v.sustain;
}

double Envelope(const Voice& v, double hold, double t) {
    if (t < hold) return HeldLevel(v, t);
    double r = 1.0 - (t - hold) / v.release;
    if (r <= 0) return 0;
    return HeldLevel(v, hold) * r * r;
}

double HoldOf(const Voice& v, const Play& play) {
    return play.hold >= 0 ? play.hold : v.hold;
}

}  // namespace

bool ReadVoiceKey(Voice& v, const Source& source, const Line& line) {
    const std::string& key = line.words[0];
    if (key == "wave") {
        source.Arguments(line, 1, 1);
        const std::string& w = line.words[1];
        if (w == "sine")
            v.wave = Wave::Sine;
        else if (w == "square")
            v.wave = Wave::Square;
        else if (w == "saw")
            v.wave = Wave::Saw;
        else if (w == "triangle")
            v.wave = Wave::Triangle;
        else if (w == "noise")
            v.wave = Wave::Noise;
        else
            source.Fail(line, "unknown wave '" + w + "' (sine, square, saw, triangle, noise)");
    } else if (key == "duty") {
        v.duty = ReadOne(source, line, 0.05, 0.95);
    } else if (key == "pitch") {
        v.pitch = ReadSweep(source, line);
        v.pitchGiven = true;
    } else if (key == "detune") {
        v.detune = ReadOne(source, line, 0, 100);
    } else if (key == "vibrato") {
        source.Arguments(line, 2, 2);
        v.vibratoRate = source.Number(line, 1);
        v.vibratoDepth = source.Number(line, 2);
        if (v.vibratoRate < 0 || v.vibratoDepth < 0 || v.vibratoDepth > 12)
            source.Fail(line, "vibrato takes a rate in Hz and a depth of 0 to 12 semitones");
    } else if (key == "start") {
        v.start = ReadOne(source, line, 0, 60);
    } else if (key == "attack") {
        v.attack = ReadOne(source, line, 0, 60);
    } else if (key == "decay") {
        v.decay = ReadOne(source, line, 0, 60);
    } else if (key == "sustain") {
        v.sustain = ReadOne(source, line, 0, 1);
    } else if (key == "hold") {
        v.hold = ReadOne(source, line, 0, 60);
    } else if (key == "release") {
        v.release = ReadOne(source, line, 0.001, 60);
    } else if (key == "filter") {
        source.Arguments(line, 2, 4);
        const std::string& kind = line.words[1];
        if (kind == "lowpass")
            v.filter = FilterKind::Lowpass;
        else if (kind == "highpass")
            v.filter = FilterKind::Highpass;
        else if (kind == "bandpass")
            v.filter = FilterKind::Bandpass;
        else
            source.Fail(line, "unknown filter '" + kind + "' (lowpass, highpass, bandpass)");
        Line rest = line;
        rest.words.erase(rest.words.begin());
        v.cutoff = ReadSweep(source, rest);
        if (v.cutoff.from <= 0 || v.cutoff.to <= 0) source.Fail(line, "a cutoff must be above 0 Hz");
    } else if (key == "q") {
        v.q = ReadOne(source, line, 0.1, 20);
    } else if (key == "volume") {
        v.volume = ReadOne(source, line, 0, 4);
    } else if (key == "pan") {
        v.pan = ReadOne(source, line, -1, 1);
    } else if (key == "seed") {
        source.Arguments(line, 1, 1);
        v.seed = static_cast<uint32_t>(source.Integer(line, 1, 1, 0x7fffffff));
    } else {
        return false;
    }
    return true;
}

size_t VoiceEnd(const Voice& v, int rate, const Play& play) {
    return static_cast<size_t>(std::ceil((v.start + HoldOf(v, play) + v.release) * rate));
}

void Render(const Voice& v, int rate, const Play& play, Stereo& out, size_t at, size_t wrap) {
    const double hold = HoldOf(v, play);
    const size_t first = at + static_cast<size_t>(std::lround(v.start * rate));
    const size_t frames = static_cast<size_t>(std::ceil((hold + v.release) * rate));
    if (wrap == 0 && out.Frames() < first + frames) out.Resize(first + frames);

    double pan = std::clamp(v.pan + play.pan, -1.0, 1.0);
    double angle = (pan + 1.0) * std::numbers::pi / 4.0;
    double gainL = play.mono ? 1.0 : std::cos(angle), gainR = play.mono ? 0.0 : std::sin(angle);
    double spread = std::pow(2.0, v.detune / 1200.0);

    Noise noise(v.seed);
    Oscillator low, high;
    Filter filter;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / rate;
        double f = v.pitch.At(t) * play.pitchScale;
        if (v.vibratoDepth > 0)
            f *= std::pow(2.0, v.vibratoDepth / 12.0 * std::sin(2.0 * std::numbers::pi * v.vibratoRate * t));
        f = std::min(f, 0.49 * rate);
        if (v.wave == Wave::Noise && !v.pitchGiven) f = 0;
        double s;
        if (v.detune > 0)
            s = 0.5 * (low.Next(v, f / spread / rate, noise) + high.Next(v, f * spread / rate, noise));
        else
            s = low.Next(v, f / rate, noise);
        if (v.filter != FilterKind::None) s = filter.Next(v.filter, s, v.cutoff.At(t), v.q, rate);
        s *= Envelope(v, hold, t) * v.volume * play.gain;
        size_t k = first + i;
        if (wrap) k %= wrap;
        out.left[k] += s * gainL;
        out.right[k] += s * gainR;
    }
}

}  // namespace audiogen
