// hello: a window with a line of text; Esc or closing the window ends it.
#include <el/el.h>

static void Frame() {
    ClearScreen();
    SetFont(elFace::Gothic, 32, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(40, 40, el::Sjis(u8"Hello, world!  こんにちは、世界"));
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) {
    return elSystem::RunScene(argc, argv, "hello", Startup);
}
