// sound: 1, 2 and 3 play effects from a WAVE pack (Left and Right pan them), S starts or stops
// music streamed from another pack, M starts or stops a MIDI tune. Esc ends it.
#include <el/el.h>

#include <cstdio>

static SoundNo effects[3];
static SoundNo music;
static bool musicOn;
static int pan;  // in steps of 100, -100 (left) to 100 (right)

// Polls a key into its record; true on the frame it went down.
static bool Pressed(int key, KeyState* state) {
    PollKey(key, state);
    return *state == elKeyState::Pressed;
}

static void Frame() {
    static KeyState keys[3], left, right, s, m;
    for (int i = 0; i < 3; ++i) {
        if (Pressed(elKey::Digit1 + i, &keys[i])) {
            elSound::SetPan(effects[i], pan, elCopy::Every);
            elSound::Play(effects[i], elCopy::RoundRobin);
        }
    }
    if (Pressed(elKey::Left, &left) && pan > -100) pan -= 25;
    if (Pressed(elKey::Right, &right) && pan < 100) pan += 25;
    if (Pressed(elKey::S, &s)) {
        musicOn = !musicOn;
        if (musicOn)
            elSound::PlayLoop(music, 0);
        else
            elSound::Stop(music, 0);
    }
    if (Pressed(elKey::M, &m)) {
        if (MidiIsOpen())
            MidiClose();
        else
            MidiPlay("tune.mid", 1);
    }
    elSound::Streaming();  // refills the music's ring from its pack, once a frame

    char status[128];
    std::snprintf(status, sizeof status, "pan %d   music %s   MIDI %s", pan * 100, musicOn ? "on" : "off",
                  MidiIsPlaying() ? "playing" : "off");
    ClearScreen();
    SetFont(elFace::Gothic, 24, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(20, 20, "1 beep   2 chime   3 noise   Left/Right pan");
    PutText(20, 60, "S music (streamed)   M MIDI tune   Esc end");
    PutText(20, 120, status);
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    elSound::SetPackName("effects.pak");
    const char* names[3] = {"BEEP.WAV", "CHIME.WAV", "NOISE.WAV"};
    for (int i = 0; i < 3; ++i) effects[i] = elSound::LoadPack(names[i], 4);  // four copies each
    elSound::SetPackName("music.pak");
    music = elSound::LoadStream("MUSIC.WAV", 0);  // repeats from its start
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) {
    return elSystem::RunScene(argc, argv, "sound", Startup);
}
