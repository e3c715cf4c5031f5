// sprite: the arrow keys move a sprite; beside it the same picture keyed, half mixed in and turning
// while enlarged; a Japanese line; Space plays a sound and M starts or stops the music. Esc ends it.
#include <el/el.h>

static ObjectNo sprite;
static SoundNo beep;
static float x = 368, y = 200;
static int angle;

// Polls a key into its record; true while it is down.
static bool IsDown(int key, KeyState* state) {
    PollKey(key, state);
    return *state == elKeyState::Pressed || *state == elKeyState::Held;
}

static void Frame() {
    static KeyState left, right, up, down, space, m;
    const float step = 240 * GetFrameStep();  // 240 pixels a second
    if (IsDown(elKey::Left, &left)) x -= step;
    if (IsDown(elKey::Right, &right)) x += step;
    if (IsDown(elKey::Up, &up)) y -= step;
    if (IsDown(elKey::Down, &down)) y += step;
    PollKey(elKey::Space, &space);
    if (space == elKeyState::Pressed) elSound::Play(beep, elCopy::RoundRobin);
    PollKey(elKey::M, &m);
    if (m == elKeyState::Pressed) {
        if (MidiIsOpen())
            MidiClose();
        else
            MidiPlay("tune.mid", 1);
    }
    angle = (angle + 2) % 360;

    ClearScreen();
    BltObject(60, 440, sprite, 0, 0, 64, 64);                              // black is see-through
    AlphaBlt(200, 440, sprite, 0, 0, 64, 64, 0.5f);                        // half mixed in
    RotateZoomBlt(320, 392, 480, 552, angle, 1.5f, sprite, 0, 0, 64, 64);  // turning, enlarged
    BltObject(static_cast<int>(x), static_cast<int>(y), sprite, 0, 0, 64, 64);
    SetFont(elFace::Gothic, 24, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(20, 20, el::Sjis(u8"矢印キーで移動、スペースで効果音、Mで音楽"));
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    SetLoadKeyColor(0);  // black pixels of the pictures loaded next are see-through
    sprite = elDraw::LoadObject("sprite.bmp", elMemory::System);
    beep = elSound::LoadObject("beep.wav", 4);  // four copies, so quick presses overlap
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) {
    return elSystem::RunScene(argc, argv, "sprite", Startup);
}
