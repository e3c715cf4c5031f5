// joystick: a dot for each of the two joysticks that its stick moves and its buttons 1 to 4
// colour, with the stick's readings written beside it. Esc ends it.
#include <el/el.h>

#include <cstdio>

// A one-pixel outline in a colour (0x00BBGGRR).
static void Outline(int left, int top, int right, int bottom, uint32_t color) {
    DrawLine(left, top, right, top, color, 1);
    DrawLine(right, top, right, bottom, color, 1);
    DrawLine(right, bottom, left, bottom, color, 1);
    DrawLine(left, bottom, left, top, color, 1);
}

static void Frame() {
    ClearScreen();
    int32_t ax[kJoystickCount], ay[kJoystickCount], b[kJoystickCount][4];
    for (int stick = 0; stick < kJoystickCount; ++stick) {
        JoyAnalog(stick, &ax[stick], &ay[stick]);  // -100 .. 100, ramped
        JoyButtons(stick, &b[stick][0], &b[stick][1], &b[stick][2], &b[stick][3]);
        const int centreX = 200 + 400 * stick, centreY = 300;
        Outline(centreX - 110, centreY - 110, centreX + 110, centreY + 110, elColor::Grey);
        const int x = centreX + ax[stick], y = centreY + ay[stick];
        if (b[stick][0] || b[stick][1] || b[stick][2] || b[stick][3])
            FillWhite(x - 8, y - 8, x + 8, y + 8);
        else
            Outline(x - 8, y - 8, x + 8, y + 8, elColor::White);
    }
    // Text comes after the drawing: while the font is set the text holds the back buffer.
    SetFont(elFace::Gothic, 20, 0, 0, 0, 0);
    SetTextColors(elColor::White, elColor::Black, 1);
    PutText(20, 20, "Move the sticks and press buttons 1 to 4 (Esc ends)");
    for (int stick = 0; stick < kJoystickCount; ++stick) {
        char line[96];
        std::snprintf(line, sizeof line, "stick %d: keypad %d  analog %d,%d  buttons %d%d%d%d", stick + 1,
                      JoyKeypadDirection(stick), ax[stick], ay[stick], b[stick][0], b[stick][1], b[stick][2],
                      b[stick][3]);
        PutText(20, 440 + 30 * stick, line);
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
