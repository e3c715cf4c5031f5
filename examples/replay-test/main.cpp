// mover: a white square that Right moves 4 pixels a frame and a beep on Space, run headless by the
// replay runner: mover --frames N --input KEYS --shot OUT.bmp --audio OUT.wav (see the test).
#include <el/el.h>
#include <el/replay.h>

static int x = 100;
static SoundNo beep;

static void Frame() {
    static KeyState right, space;
    PollKey(elKey::Right, &right);
    if (right == elKeyState::Pressed || right == elKeyState::Held) x += 4;
    PollKey(elKey::Space, &space);
    if (space == elKeyState::Pressed) elSound::Play(beep, 0);
    ClearScreen();
    FillWhite(x, 300, x + 40, 340);
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    beep = elSound::LoadObject("beep.wav", 1);
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) {
    return replay::RunReplay({"mover", "mover", Startup}, argc, argv);
}
