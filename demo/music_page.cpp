// Page 6, music: a piece streamed from the demo's WAVE pack with its loop point, and a MIDI piece
// through the sequencer, each started, paused, stopped and looped by keys; the stream's position
// and the sequencer's mode on screen.
#include <el/el.h>

#include <cstdio>
#include <cstdlib>

#include "demo/demo.h"

namespace {

constexpr const char* kMusicPack = "demo\\music.pak";
constexpr const char* kMusicEntry = "MUSIC.WAV";
constexpr const char* kLoopFile = "demo\\music.loop";
constexpr const char* kMidiPiece = "demo\\theme.mid";

struct MusicPageState {
    bool loaded = false;
    SoundNo stream = -1;
    uint32_t loopPoint = 0;
    bool streamStarted = false;
    bool streamPaused = false;
};

MusicPageState State;

// The loop point the generator wrote beside the music: bytes of sound data.
uint32_t ReadLoopPoint() {
    FILE* file = OpenProgramFile(kLoopFile, "r");
    if (file == nullptr) return 0;
    unsigned long value = 0;
    if (std::fscanf(file, "%lu", &value) != 1) value = 0;
    std::fclose(file);
    return static_cast<uint32_t>(value);
}

void Enter() {
    if (!State.loaded) {
        State.loaded = true;
        State.loopPoint = ReadLoopPoint();
        elSound::SetPackName(kMusicPack);
        State.stream = elSound::LoadStream(kMusicEntry, State.loopPoint);
    }
    if (!elSound::IsAvailable()) {
        SetStatus("no sound device: sound is off");
    } else {
        SetStatus(State.stream >= 0 ? "stream and MIDI ready" : "the stream could not be loaded");
    }
}

void StreamKeys() {
    if (KeyPressed(elKey::S)) {
        elSound::PlayLoop(State.stream, -1);
        State.streamStarted = true;
        State.streamPaused = false;
        SetStatus("stream playing, repeating from byte %u", State.loopPoint);
    } else if (KeyPressed(elKey::O)) {
        elSound::Play(State.stream, -1);
        State.streamStarted = true;
        State.streamPaused = false;
        SetStatus("stream playing once");
    } else if (KeyPressed(elKey::P) && State.streamStarted) {
        elSound::Pause(State.stream, -1);
        State.streamPaused = !State.streamPaused;
        SetStatus(State.streamPaused ? "stream paused" : "stream resumed");
    } else if (KeyPressed(elKey::X)) {
        elSound::Stop(State.stream, -1);
        State.streamStarted = false;
        State.streamPaused = false;
        SetStatus("stream stopped");
    }
}

void MidiKeys() {
    if (KeyPressed(elKey::M)) {
        SetStatus("MIDI playing, repeating (play result %d)", MidiPlay(kMidiPiece, 1));
    } else if (KeyPressed(elKey::N)) {
        SetStatus("MIDI playing once (play result %d)", MidiPlay(kMidiPiece, 0));
    } else if (KeyPressed(elKey::L)) {
        MidiStopLoop();
        SetStatus("MIDI: this pass is the last");
    } else if (KeyPressed(elKey::Z)) {
        MidiClose();
        SetStatus("MIDI closed");
    }
}

void Frame() {
    StreamKeys();
    MidiKeys();
    elSound::Streaming();

    char line[128];
    const uint32_t position = State.stream >= 0 ? elSound::GetPosition(State.stream) : 0;
    elSound::StreamStatus stream;
    elSound::GetStreamStatus(State.stream, &stream);
    std::snprintf(line, sizeof line, "stream %s: ring position %u bytes, %u of %u data bytes read",
                  kMusicEntry, position, stream.consumed, stream.dataSize);
    DebugText(16, kBodyTop + 16, line);
    std::snprintf(line, sizeof line, "loop point %u bytes (%.2f s)", State.loopPoint,
                  stream.halfRing ? State.loopPoint * 2.0 / stream.halfRing : 0.0);
    DebugText(16, kBodyTop + 36, line);

    char mode[32] = "closed";
    if (MidiIsOpen()) MidiStatus("mode", mode, sizeof mode);
    char position2[32] = "0";
    if (MidiIsOpen()) MidiStatus("position", position2, sizeof position2);
    std::snprintf(line, sizeof line, "MIDI %s: mode %s at %s ms, open %d, loop %d", kMidiPiece, mode,
                  position2, MidiIsOpen(), MidiIsLooping());
    DebugText(16, kBodyTop + 76, line);
    ExplainMissingSound(kBodyTop + 116);
}

void Leave() {
    if (State.stream >= 0) elSound::Stop(State.stream, -1);
    State.streamStarted = false;
    MidiClose();
}

const char* const kKeys[] = {
    "S  stream: PlayLoop (repeats from the loop point)    O  Play once    P  pause / resume    X  stop",
    "M  MIDI: play repeating    N  play once    L  let this pass be the last    Z  close",
    nullptr,
};

}  // namespace

extern const DemoPage MusicPage{"Music", kKeys, Enter, Frame, nullptr, Leave};
