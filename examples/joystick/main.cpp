// joystick: a dot for each of the two joysticks that its stick moves and its buttons 1 to 4
// colour, with the stick's readings written beside it. Esc ends it.
#include <el/el.h>

#include <cstdio>

static void Frame() {
    ClearScreen();
    SetFont(elFace::Gothic, 20, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(20, 20, "Move the sticks and press buttons 1 to 4 (Esc ends)");
    for (int stick = 0; stick < kJoystickCount; ++stick) {
        int32_t ax, ay, b1, b2, b3, b4;
        JoyAnalog(stick, &ax, &ay);  // -100 .. 100, ramped
        JoyButtons(stick, &b1, &b2, &b3, &b4);
        const int centreX = 200 + 400 * stick, centreY = 300;
        FrameRect(centreX - 110, centreY - 110, centreX + 110, centreY + 110);
        const int x = centreX + ax, y = centreY + ay;
        if (b1 || b2 || b3 || b4)
            FillWhite(x - 8, y - 8, x + 8, y + 8);
        else
            FrameRect(x - 8, y - 8, x + 8, y + 8);
        char line[96];
        std::snprintf(line, sizeof line, "stick %d: keypad %d  analog %d,%d  buttons %d%d%d%d", stick + 1,
                      JoyKeypadDirection(stick), ax, ay, b1, b2, b3, b4);
        PutText(centreX - 180, 440 + 30 * stick, line);
    }
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    JoyInit();  // looks for the joysticks and takes their centres
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) {
    return elSystem::RunScene(argc, argv, "joystick", Startup);
}
