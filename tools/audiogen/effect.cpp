// Sound effects: "rate", "bits", "channels" and "level" (peak in dB below full scale) for the
// file, then one block of voice keys after each "voice" line, all started together.
#include <cmath>
#include <numbers>

#include "tools/audiogen/generate.h"
#include "tools/audiogen/output.h"
#include "tools/audiogen/synth.h"

namespace audiogen {

void WriteEffect(const std::string& path, const std::string& wave) {
    Source source(path);
    long rate = 22050, bits = 16, channels = 1;
    double level = -1;
    std::vector<Voice> voices;
    for (const Line& line : source.Lines()) {
        const std::string& key = line.words[0];
        if (key == "voice") {
            source.Arguments(line, 0, 0);
            voices.emplace_back();
        } else if (!voices.empty() && ReadVoiceKey(voices.back(), source, line)) {
        } else if (key == "rate" && voices.empty()) {
            source.Arguments(line, 1, 1);
            rate = source.Integer(line, 1, 8000, 48000);
            if (rate != 22050 && rate != 44100) source.Fail(line, "the rate is 22050 or 44100");
        } else if (key == "bits" && voices.empty()) {
            source.Arguments(line, 1, 1);
            bits = source.Integer(line, 1, 8, 16);
            if (bits != 8 && bits != 16) source.Fail(line, "bits are 8 or 16");
        } else if (key == "channels" && voices.empty()) {
            source.Arguments(line, 1, 1);
            channels = source.Integer(line, 1, 1, 2);
        } else if (key == "level" && voices.empty()) {
            source.Arguments(line, 1, 1);
            level = source.Number(line, 1);
            if (level > -0.5 || level < -40) source.Fail(line, "the level lies between -40 and -0.5 dB");
        } else {
            source.Fail(line,
                        "unknown key '" + key + "'" + (voices.empty() ? " before the first voice" : ""));
        }
    }
    if (voices.empty()) throw std::runtime_error(path + ": no voice");

    const int r = static_cast<int>(rate);
    Play play;
    play.mono = channels == 1;
    Stereo sound;
    for (const Voice& v : voices) Render(v, r, play, sound, 0, 0);

    // A high-pass at 20 Hz takes away any offset the voices leave; the sound then runs on for
    // 10 ms, the last 5 ms fading to nothing, so that it always ends in silence.
    const size_t tail = static_cast<size_t>(r / 100), fade = tail / 2;
    sound.Resize(sound.Frames() + tail);
    const double pole = 1.0 - 2.0 * std::numbers::pi * 20.0 / r;
    for (std::vector<double>* ch : {&sound.left, &sound.right}) {
        double x1 = 0, y1 = 0;
        for (double& x : *ch) {
            double y = x - x1 + pole * y1;
            x1 = x;
            y1 = y;
            x = y;
        }
    }
    SetPeak(sound, level);
    const size_t frames = sound.Frames();
    for (size_t i = 0; i < fade; ++i) {
        double g = static_cast<double>(i) / fade;
        sound.left[frames - 1 - i] *= g;
        sound.right[frames - 1 - i] *= g;
    }
    WriteBytes(wave, WaveBytes(sound, r, static_cast<int>(bits), static_cast<int>(channels)));
}

}  // namespace audiogen
