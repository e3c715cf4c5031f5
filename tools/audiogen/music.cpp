// The looping music piece. The sections after "loop" are rendered into a buffer of exactly their
// length whose end continues at its start: a note or echo ringing past the end is added onto the
// beginning, so the samples either side of the loop point follow each other as anywhere else.
// The sections after "play" come first and must have fallen silent by the loop point.
#include <cmath>
#include <map>

#include "tools/audiogen/generate.h"
#include "tools/audiogen/options.h"
#include "tools/audiogen/output.h"
#include "tools/audiogen/score.h"
#include "tools/audiogen/synth.h"

namespace audiogen {

namespace {

struct Sound {
    double gate = -1;  // share of the note's length held, or the voices' own hold
    std::vector<Voice> voices;
};

Sound ReadInstrument(const Score& score, const Instrument& instrument) {
    Sound sound;
    for (const Line& line : instrument.lines) {
        if (line.words[0] == "voice") {
            score.source.Arguments(line, 0, 0);
            sound.voices.emplace_back();
            sound.voices.back().pitch = {1, 1, 0};
            continue;
        }
        if (line.words[0] == "gate") {
            score.source.Arguments(line, 1, 1);
            sound.gate = score.source.Number(line, 1);
            if (sound.gate <= 0 || sound.gate > 4)
                score.source.Fail(line, "the gate lies above 0, at most 4");
            continue;
        }
        if (sound.voices.empty()) {
            sound.voices.emplace_back();
            sound.voices.back().pitch = {1, 1, 0};
        }
        if (!ReadVoiceKey(sound.voices.back(), score.source, line))
            score.source.Fail(line, "unknown instrument key '" + line.words[0] + "'");
    }
    if (sound.voices.empty()) score.source.Fail(instrument.line, "instrument without a voice");
    return sound;
}

struct TrackMix {
    const Sound* sound = nullptr;  // melodic tracks
    double volume = 1, pan = 0, echo = 0;
};

}  // namespace

void WriteMusic(const std::string& path, const std::string& wave, const std::string& loopPath) {
    Score score(path);
    const Source& src = score.source;
    long rate = 22050;
    double level = -1, echoSteps = 0, echoGain = 0;
    for (const auto& [key, line] : score.header) {
        if (key == "rate") {
            src.Arguments(line, 1, 1);
            rate = src.Integer(line, 1, 22050, 44100);
            if (rate != 22050 && rate != 44100) src.Fail(line, "the rate is 22050 or 44100");
        } else if (key == "level") {
            src.Arguments(line, 1, 1);
            level = src.Number(line, 1);
            if (level > -0.5 || level < -40) src.Fail(line, "the level lies between -40 and -0.5 dB");
        } else if (key == "echo") {
            src.Arguments(line, 2, 2);
            echoSteps = static_cast<double>(src.Integer(line, 1, 1, 64));
            echoGain = src.Number(line, 2);
            if (echoGain < 0 || echoGain > 0.9) src.Fail(line, "the echo gain lies between 0 and 0.9");
        } else if (key != "tempo" && key != "beats" && key != "steps") {
            src.Fail(line, "unknown setting '" + key + "'");
        }
    }
    const long perMinute = rate * 60, perStep = score.tempo * score.steps;
    if (perMinute % perStep)
        src.Fail(score.header.count("tempo") ? score.header.at("tempo") : score.source.Lines().front(),
                 "a step must be a whole number of frames at this rate");
    const size_t stepFrames = static_cast<size_t>(perMinute / perStep);
    const double stepSeconds = static_cast<double>(stepFrames) / rate;
    if (score.loopSteps == 0) throw std::runtime_error(path + ": no 'loop' sections");

    std::map<std::string, Sound> sounds;
    for (const Instrument& in : score.instruments)
        if (!sounds.emplace(in.name, ReadInstrument(score, in)).second)
            src.Fail(in.line, "instrument '" + in.name + "' defined twice");
    auto find = [&](const std::string& name, const Line& line) -> const Sound& {
        auto it = sounds.find(name);
        if (it == sounds.end()) src.Fail(line, "no instrument '" + name + "'");
        return it->second;
    };
    std::vector<TrackMix> mix;
    for (const Track& t : score.tracks) {
        TrackOptions o(score, t);
        TrackMix m;
        if (!t.kit) m.sound = &find(o.Word("instrument"), t.line);
        m.volume = o.Number("volume", 0, 4, 1);
        m.pan = o.Number("pan", -1, 1, 0);
        m.echo = o.Number("echo", 0, 1, 0);
        o.CheckAllRead();
        mix.push_back(m);
    }

    const size_t introFrames = static_cast<size_t>(score.playSteps) * stepFrames;
    const size_t loopFrames = static_cast<size_t>(score.loopSteps) * stepFrames;
    const int r = static_cast<int>(rate);
    Stereo intro, loop, send;
    loop.Resize(loopFrames);
    send.Resize(loopFrames);
    intro.Resize(introFrames);
    for (const Note& n : score.notes) {
        const Track& track = score.tracks[n.track];
        const TrackMix& m = mix[n.track];
        const Sound& sound = track.kit ? find(n.drum, track.line) : *m.sound;
        Play play;
        play.gain = m.volume * n.velocity / 127.0;
        play.pan = m.pan;
        if (!track.kit) play.pitchScale = 440.0 * std::pow(2.0, (n.key - 69) / 12.0);
        if (sound.gate > 0) play.hold = sound.gate * static_cast<double>(n.length) * stepSeconds;
        const size_t at = static_cast<size_t>(n.step) * stepFrames;
        for (const Voice& v : sound.voices) {
            if (n.step < score.playSteps) {
                if (at + VoiceEnd(v, r, play) > introFrames)
                    src.Fail(track.line, "track '" + track.name + "': the note at step " +
                                             std::to_string(n.step) + " still sounds at the loop point");
                Render(v, r, play, intro, at, 0);
                continue;
            }
            Render(v, r, play, loop, at - introFrames, loopFrames);
            if (m.echo > 0) {
                Play wet = play;
                wet.gain *= m.echo;
                Render(v, r, wet, send, at - introFrames, loopFrames);
            }
        }
    }

    // Echoes of the loop, bouncing between the channels, also wrapped round the loop.
    if (echoGain > 0) {
        const size_t delay = static_cast<size_t>(echoSteps) * stepFrames;
        double gain = 1;
        for (size_t tap = 1; tap <= 4 && tap * delay < loopFrames; ++tap) {
            gain *= echoGain;
            const bool cross = tap % 2 == 1;
            for (size_t i = 0; i < loopFrames; ++i) {
                size_t from = (i + loopFrames - tap * delay) % loopFrames;
                loop.left[i] += gain * (cross ? send.right[from] : send.left[from]);
                loop.right[i] += gain * (cross ? send.left[from] : send.right[from]);
            }
        }
    }

    Stereo piece;
    piece.Resize(introFrames + loopFrames);
    for (size_t i = 0; i < introFrames; ++i) {
        piece.left[i] = intro.left[i];
        piece.right[i] = intro.right[i];
    }
    for (size_t i = 0; i < loopFrames; ++i) {
        piece.left[introFrames + i] = loop.left[i];
        piece.right[introFrames + i] = loop.right[i];
    }
    SetPeak(piece, level);
    WriteBytes(wave, WaveBytes(piece, r, 16, 2));
    const std::string point = std::to_string(introFrames * 4) + "\n";
    WriteBytes(loopPath, std::vector<uint8_t>(point.begin(), point.end()));
}

}  // namespace audiogen
