// The replay runner's script parser: joystick lines as both runners take them, their refusals with
// the line they were on, and key and mouse scripts parsed as before.
#include "tools/replay/replay_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using replay::JoystickEvent;
using replay::Script;

Script Parsed(const std::string& text, bool withMouse = false) {
    Script script;
    std::string error;
    EXPECT_TRUE(replay::ParseScript(text, withMouse, script, error)) << error;
    EXPECT_EQ(error, "");
    return script;
}

std::string Refusal(const std::string& text, bool withMouse = false) {
    Script script;
    std::string error;
    EXPECT_FALSE(replay::ParseScript(text, withMouse, script, error)) << text;
    return error;
}

TEST(ReplayScriptTest, JoystickLinesGiveTheStickItsReadingInFrameThenFileOrder) {
    const Script script = Parsed(
        "# stick 2 first, then stick 1 twice on one frame\n"
        "9 joy 2 off\n"
        "  4   joy 1 0 65535 0   # left, down\n"
        "4 joy 1 65535 0 0x1F\n"
        "2 joy 2 32767 100 4294967295\n"
        "\n"
        "4 down 39\n"
        "6 joy 1 1 2 0XaB\n");
    ASSERT_EQ(script.joysticks.size(), 5u);
    const JoystickEvent expected[] = {
        {2, 1, true, 32767, 100, 0xFFFFFFFFu}, {4, 0, true, 0, 65535, 0},
        {4, 0, true, 65535, 0, 0x1F},          {6, 0, true, 1, 2, 0xAB},
        {9, 1, false, 32767, 32767, 0},
    };
    for (size_t i = 0; i < script.joysticks.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        const JoystickEvent& got = script.joysticks[i];
        EXPECT_EQ(got.frame, expected[i].frame);
        EXPECT_EQ(got.joystick, expected[i].joystick);
        EXPECT_EQ(got.present, expected[i].present);
        if (!got.present) continue;  // an unplugged stick carries no reading
        EXPECT_EQ(got.x, expected[i].x);
        EXPECT_EQ(got.y, expected[i].y);
        EXPECT_EQ(got.buttons, expected[i].buttons);
    }
    ASSERT_EQ(script.keys.size(), 1u);
    EXPECT_EQ(script.keys[0].frame, 4);
    EXPECT_EQ(script.keys[0].virtualKey, 39);
}

TEST(ReplayScriptTest, BadJoystickLinesAreRefusedWithTheirLineNumber) {
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"5 joy", "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'"},
        {"5 joy 1", "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'"},
        {"5 joy 1 on", "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'"},
        {"5 joy 1 off 0", "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'"},
        {"5 joy 1 100 100", "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'"},
        {"5 joy 1 100 100 0 0", "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'"},
        {"0 joy 1 off", "bad frame '0'"},
        {"x joy 1 1 1 1", "bad frame 'x'"},
        {"5 joy 0 off", "bad joystick '0' (1 or 2)"},
        {"5 joy 3 1 1 1", "bad joystick '3' (1 or 2)"},
        {"5 joy -1 off", "bad joystick '-1' (1 or 2)"},
        {"5 joy 1 65536 0 0", "bad joystick position '65536 0' (0 to 65535)"},
        {"5 joy 1 0 -1 0", "bad joystick position '0 -1' (0 to 65535)"},
        {"5 joy 2 0x10 0 0", "bad joystick position '0x10 0' (0 to 65535)"},
        {"5 joy 1 0 0 -1", "bad buttons '-1' (0 to 0xFFFFFFFF)"},
        {"5 joy 1 0 0 4294967296", "bad buttons '4294967296' (0 to 0xFFFFFFFF)"},
        {"5 joy 1 0 0 0x100000000", "bad buttons '0x100000000' (0 to 0xFFFFFFFF)"},
        {"5 joy 1 0 0 0x", "bad buttons '0x' (0 to 0xFFFFFFFF)"},
        {"5 joy 1 0 0 0xfg", "bad buttons '0xfg' (0 to 0xFFFFFFFF)"},
        {"5 joy 1 0 0 3b", "bad buttons '3b' (0 to 0xFFFFFFFF)"},
    };
    for (const auto& c : cases) {
        // Good lines and a comment before it: the number is the bad line's own in the file.
        const std::string text =
            std::string("1 joy 1 32767 32767 0\n# a comment\n\n2 down 39\n") + c.line + "\n6 up 39\n";
        EXPECT_EQ(Refusal(text), std::string("line 5: ") + c.reason) << c.line;
        EXPECT_EQ(Refusal(text, true), std::string("line 5: ") + c.reason) << c.line << " (with mouse)";
    }
}

TEST(ReplayScriptTest, MouseLinesOnlyWhenAskedForAndJoystickLinesBesideThem) {
    const std::string text = "3 mouse 10 20\n3 joy 2 5 6 7\n1 mouse 799 599\n";
    const Script script = Parsed(text, true);
    ASSERT_EQ(script.mouse.size(), 2u);
    EXPECT_EQ(script.mouse[0].frame, 1);
    EXPECT_EQ(script.mouse[0].x, 799);
    EXPECT_EQ(script.mouse[1].frame, 3);
    EXPECT_EQ(script.mouse[1].y, 20);
    ASSERT_EQ(script.joysticks.size(), 1u);
    EXPECT_EQ(script.joysticks[0].joystick, 1);
    // The game's runner takes no mouse: the line reads as a key line of the wrong shape.
    EXPECT_EQ(Refusal(text), "line 1: expected 'FRAME down|up VK'");
    EXPECT_EQ(Refusal("1 joy 1 off\n2 mouse 800 0\n", true),
              "line 2: bad mouse position '800 0' (inside 800 x 600)");
}

TEST(ReplayScriptTest, KeyScriptFunctionsRefuseJoystickLinesAndParseOthersAsBefore) {
    const std::string keysAndMouse = "5 down 39\n2 mouse 1 2\n2 down 40 # comment\n5 up 39\n3 up 40\n";
    std::vector<replay::KeyEvent> keys;
    std::vector<replay::MouseEvent> mouse;
    std::string error;
    ASSERT_TRUE(replay::ParseKeyScript(keysAndMouse, keys, mouse, error)) << error;
    const Script script = Parsed(keysAndMouse, true);
    ASSERT_EQ(keys.size(), script.keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].frame, script.keys[i].frame);
        EXPECT_EQ(keys[i].down, script.keys[i].down);
        EXPECT_EQ(keys[i].virtualKey, script.keys[i].virtualKey);
    }
    ASSERT_EQ(mouse.size(), 1u);
    ASSERT_EQ(script.mouse.size(), 1u);
    EXPECT_EQ(mouse[0].x, script.mouse[0].x);
    EXPECT_TRUE(script.joysticks.empty());

    // They have nowhere to put a stick: its lines stay unknown lines there.
    keys.clear();
    EXPECT_FALSE(replay::ParseKeyScript("1 down 39\n2 joy 1 off\n", keys, error));
    EXPECT_EQ(error, "line 2: expected 'FRAME down|up VK'");
    EXPECT_FALSE(replay::ParseKeyScript("2 joy 1\n", keys, mouse, error));
    EXPECT_EQ(error, "line 1: expected 'down' or 'up', got 'joy'");
    // Key line errors are what they were.
    EXPECT_EQ(Refusal("1 down 256\n"), "line 1: bad virtual key '256'");
    EXPECT_EQ(Refusal("1 press 39\n"), "line 1: expected 'down' or 'up', got 'press'");
}

}  // namespace
