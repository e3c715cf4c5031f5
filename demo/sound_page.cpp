// Page 5, sound effects: the nine generated effects loaded from the demo's WAVE pack, some with
// several copies; the selected one played once, looped, round-robin, echoed or echoed with sway,
// and the volume, pan and frequency of the copy played last changed live, every copy's values on
// screen.
#include <el/el.h>

#include <cstdio>

#include "demo/demo.h"

namespace {

constexpr const char* kEffectsPack = "demo\\effects.pak";

struct Effect {
    const char* entry;  // the record's name in the pack
    const char* name;
    int count;  // copies; above 1 the echo is available too
};

constexpr Effect kEffects[] = {
    {"BLIP.WAV", "blip", 1},         {"CHIME.WAV", "chime", 2},     {"EXPLOSION.WAV", "explosion", 3},
    {"FOOTSTEP.WAV", "footstep", 3}, {"HIT.WAV", "hit", 1},         {"JUMP.WAV", "jump", 1},
    {"PICKUP.WAV", "pickup", 2},     {"POWERUP.WAV", "powerup", 5}, {"SHOT.WAV", "shot", 3},
};
constexpr int kEffectCount = sizeof kEffects / sizeof kEffects[0];
constexpr int kLineSize = 260;

// The echo: a repeat every 100 ms, four repeats, each 4 dB quieter; the sway moves the pan by 6
// steps a second.
constexpr int kEchoInterval = 100, kEchoRepeats = 4, kEchoFade = 4, kEchoSway = 6;

enum class Echo { None, Plain, Sway };

struct SoundPageState {
    bool loaded = false;
    int loadedCount = 0;
    SoundNo numbers[kEffectCount] = {};
    int selected = 0;
    int last = -1;  // the effect played last, -1 before the first
    int lastCopy = 0;
    Echo echo = Echo::None;
    int echoEffect = -1;
    int echoShown = -1;  // the echo state last reported
};

SoundPageState State;

bool Loaded(int effect) {
    return State.numbers[effect] >= 0;
}

void LoadEffects() {
    State.loaded = true;
    elSound::SetPackName(kEffectsPack);
    for (int i = 0; i < kEffectCount; ++i) {
        State.numbers[i] = elSound::LoadPack(kEffects[i].entry, kEffects[i].count);
        if (Loaded(i)) ++State.loadedCount;
    }
}

void Enter() {
    if (!State.loaded) LoadEffects();
    if (!elSound::IsAvailable()) {
        SetStatus("no sound device: sound is off");
        return;
    }
    SetStatus("%d of %d effects loaded from %s", State.loadedCount, kEffectCount, kEffectsPack);
}

void ShowCopy(const char* what) {
    const SoundNo number = State.numbers[State.last];
    SetStatus("%s %s copy %d: volume %d, pan %d, frequency %u Hz", what, kEffects[State.last].name,
              State.lastCopy, elSound::GetVolume(number, State.lastCopy),
              elSound::GetPan(number, State.lastCopy), elSound::GetFrequency(number, State.lastCopy));
}

void StopEcho() {
    State.echo = Echo::None;
    State.echoEffect = -1;
}

// Starts the selected effect; `copy` is the copy argument of Play and PlayLoop.
void Start(bool looping, int copy, const char* what) {
    const int effect = State.selected;
    if (State.echoEffect == effect) StopEcho();
    const SoundNo number = State.numbers[effect];
    State.last = effect;
    State.lastCopy = copy >= 0 ? copy : elSound::GetNextCopy(number);
    if (looping) {
        elSound::PlayLoop(number, copy);
    } else {
        elSound::Play(number, copy);
    }
    ShowCopy(what);
}

void StartEcho(Echo kind) {
    const int effect = State.selected;
    if (elSound::GetCopyCount(State.numbers[effect]) < 2) {
        SetStatus("%s has one copy: no echo", kEffects[effect].name);
        return;
    }
    if (State.echoEffect >= 0 && State.echoEffect != effect)
        elSound::Stop(State.numbers[State.echoEffect], -1);
    State.last = effect;
    State.lastCopy = elSound::GetNextCopy(State.numbers[effect]);
    elSound::Play(State.numbers[effect], elCopy::RoundRobin);  // the next copy, and the echo starts
    State.echo = kind;
    State.echoEffect = effect;
    State.echoShown = -1;
}

bool AnyPlayKeyPressed() {
    for (int key : {elKey::P, elKey::L, elKey::R, elKey::E, elKey::W, elKey::S})
        if (KeyPressed(key)) return true;
    return false;
}

void PlayKeys() {
    if (KeyPressed(elKey::Left)) State.selected = (State.selected + kEffectCount - 1) % kEffectCount;
    if (KeyPressed(elKey::Right)) State.selected = (State.selected + 1) % kEffectCount;
    if (!Loaded(State.selected)) {
        if (elSound::IsAvailable()) {
            SetStatus("%s is not loaded", kEffects[State.selected].name);
        } else if (AnyPlayKeyPressed()) {
            SetStatus("no sound device: %s cannot play", kEffects[State.selected].name);
        }
        return;
    }
    if (KeyPressed(elKey::P)) {
        Start(false, 0, "played once:");
    } else if (KeyPressed(elKey::L)) {
        Start(true, 0, "looping:");
    } else if (KeyPressed(elKey::R)) {
        Start(false, -1, "round-robin:");
    } else if (KeyPressed(elKey::E)) {
        StartEcho(Echo::Plain);
    } else if (KeyPressed(elKey::W)) {
        StartEcho(Echo::Sway);
    } else if (KeyPressed(elKey::S)) {
        elSound::Stop(State.numbers[State.selected], -1);
        if (State.echoEffect == State.selected) StopEcho();
        SetStatus("%s stopped", kEffects[State.selected].name);
    }
}

// Volume in steps of 1 dB, pan and frequency in steps of 100, on the copy played last.
void ShapeKeys() {
    if (State.last < 0) return;
    const SoundNo number = State.numbers[State.last];
    const int copy = State.lastCopy;
    const char* what = nullptr;
    if (KeyPressed(elKey::Up)) elSound::AddVolume(number, 1, copy), what = "louder:";
    if (KeyPressed(elKey::Down)) elSound::AddVolume(number, -1, copy), what = "quieter:";
    if (KeyPressed(elKey::A)) elSound::AddPan(number, -1, copy), what = "to the left:";
    if (KeyPressed(elKey::D)) elSound::AddPan(number, 1, copy), what = "to the right:";
    if (KeyPressed(elKey::Z)) elSound::AddFrequency(number, -1, copy), what = "lower:";
    if (KeyPressed(elKey::X)) elSound::AddFrequency(number, 1, copy), what = "higher:";
    if (KeyPressed(elKey::C)) {
        elSound::ResetVolume(number, copy);
        elSound::ResetPan(number, copy);
        elSound::ResetFrequency(number, copy);
        what = "reset:";
    }
    if (what != nullptr) ShowCopy(what);
}

// Advances the running echo and reports each repeat as it plays.
void RunEcho() {
    if (State.echo == Echo::None) return;
    const SoundNo number = State.numbers[State.echoEffect];
    if (State.echo == Echo::Sway) {
        elSound::UpdateEchoSweep(number, kEchoInterval, kEchoRepeats, kEchoFade, kEchoSway);
    } else {
        elSound::UpdateEcho(number, kEchoInterval, kEchoRepeats, kEchoFade);
    }
    const int echoState = elSound::GetEchoState(number);
    if (echoState == State.echoShown) return;
    State.echoShown = echoState;
    const char* kind = State.echo == Echo::Sway ? "echo with sway" : "echo";
    if (echoState == 0) {
        SetStatus("%s of %s: done after %d repeats", kind, kEffects[State.echoEffect].name, kEchoRepeats);
        StopEcho();
        return;
    }
    if (echoState == 1) {
        SetStatus("%s of %s started", kind, kEffects[State.echoEffect].name);
        return;
    }
    // The repeat just played is the copy before the next round-robin one.
    const int copies = elSound::GetCopyCount(number);
    State.lastCopy = (elSound::GetNextCopy(number) + copies - 1) % copies;
    SetStatus("%s of %s: repeat %d of %d, copy %d, volume %d, pan %d", kind, kEffects[State.echoEffect].name,
              echoState - 1, kEchoRepeats, State.lastCopy, elSound::GetVolume(number, State.lastCopy),
              elSound::GetPan(number, State.lastCopy));
}

void DrawTable() {
    if (ExplainMissingSound(kBodyTop + 12)) return;
    char line[kLineSize];
    int y = kBodyTop + 12;
    for (int i = 0; i < kEffectCount; ++i, y += 20) {
        if (!Loaded(i)) {
            std::snprintf(line, sizeof line, "%s %-10s not loaded", i == State.selected ? ">" : " ",
                          kEffects[i].name);
            DebugText(16, y, line);
            continue;
        }
        const SoundNo number = State.numbers[i];
        const int copies = elSound::GetCopyCount(number);
        int playing = 0;
        for (int c = 0; c < copies; ++c) playing += elSound::IsPlaying(number, c);
        std::snprintf(line, sizeof line, "%s %-10s object %2d, %d %s, next %d, %d playing%s%s",
                      i == State.selected ? ">" : " ", kEffects[i].name, number, copies,
                      copies == 1 ? "copy" : "copies", elSound::GetNextCopy(number), playing,
                      copies > 1 ? ", echo" : "", elSound::IsLooping(number) ? ", loop" : "");
        DebugText(16, y, line);
    }
    if (State.last < 0 || !Loaded(State.last)) return;
    y += 16;
    const SoundNo last = State.numbers[State.last];
    std::snprintf(line, sizeof line, "%s, the effect played last:", kEffects[State.last].name);
    DebugText(16, y, line);
    for (int c = 0; c < elSound::GetCopyCount(last); ++c) {
        y += 20;
        std::snprintf(line, sizeof line, "%s copy %d  volume %6d  pan %6d  frequency %6u Hz",
                      c == State.lastCopy ? ">" : " ", c, elSound::GetVolume(last, c),
                      elSound::GetPan(last, c), elSound::GetFrequency(last, c));
        DebugText(16, y, line);
    }
}

void Frame() {
    PlayKeys();
    ShapeKeys();
    RunEcho();
    DrawTable();
}

void Leave() {
    for (int i = 0; i < kEffectCount; ++i)
        if (Loaded(i)) elSound::Stop(State.numbers[i], -1);
    StopEcho();
}

const char* const kKeys[] = {
    "Left / Right  select    P  play once    L  loop    R  round-robin    E  echo    W  echo with sway    S  "
    "stop",
    "Up / Down  volume    A / D  pan    Z / X  frequency    C  reset (the copy played last)",
    nullptr,
};

}  // namespace

extern const DemoPage SoundPage{"Sound effects", kKeys, Enter, Frame, nullptr, Leave};
