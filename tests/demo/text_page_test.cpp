// Page 4, text, driven headless at both depths: the reveal's progress, the effects keys, the face
// key and the font list's cursor, each seen in the status line and in the body's pixels.
#include <regex>
#include <string>
#include <utility>

#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using TextPageTest = DemoPageRun;

constexpr int kVkDown = 40;
const std::string kToPage = Press(2, '4');

// The "revealed N of M" counts of the status line; -1 when it is not there.
std::pair<long, long> Revealed(const Shot& shot) {
    std::smatch match;
    const std::string status = Text(shot.state, "status");
    if (!std::regex_search(status, match, std::regex("revealed ([0-9]+) of ([0-9]+)"))) return {-1, -1};
    return {std::stol(match[1]), std::stol(match[2])};
}

std::string EffectsWord(const Shot& shot) {
    std::smatch match;
    const std::string status = Text(shot.state, "status");
    return std::regex_search(status, match, std::regex("effects ([0-9A-F]{4})")) ? match[1].str() : "<none>";
}

TEST_F(TextPageTest, TheRevealShowsMoreOnLaterFramesEndsWithTheWholeBlockAndRestartsOnR) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot early = Run(depth, 20, kToPage);
        EXPECT_EQ(Number(early.state, "page"), 4);
        const Shot later = Run(depth, 50, kToPage);
        const Shot done = Run(depth, 240, kToPage);
        const auto [earlyShown, all] = Revealed(early);
        EXPECT_GT(earlyShown, 0);
        EXPECT_GT(all, 40);  // the four lines, punctuation included
        EXPECT_GT(Revealed(later).first, earlyShown);
        EXPECT_EQ(Revealed(done), std::make_pair(all, all));
        EXPECT_GT(BodyDifferences(early, later), 100);
        EXPECT_GT(BodyDifferences(later, done), 100);

        const Shot restarted = Run(depth, 250, kToPage + Press(240, 'R'));
        EXPECT_LT(Revealed(restarted).first, earlyShown);
        EXPECT_GT(BodyDifferences(done, restarted), 100);
    }
}

TEST_F(TextPageTest, EachEffectsKeySetsItsBitRedrawsTheBlocksAndAgainTakesItBack) {
    struct Case {
        int key;
        const char* word;
    };
    // Shadow starts on; bold across, bold down, and the line spacing in the low byte.
    const Case cases[] = {{'S', "0000"}, {'X', "0300"}, {'Y', "0500"}, {'L', "0102"}};
    for (int depth : kDepths) {
        const Shot start = Run(depth, 12, kToPage);
        EXPECT_EQ(EffectsWord(start), "0100");
        for (const Case& c : cases) {
            SCOPED_TRACE("depth " + std::to_string(depth) + ", key " +
                         std::string(1, static_cast<char>(c.key)));
            const Shot once = Run(depth, 12, kToPage + Press(6, c.key));
            EXPECT_EQ(EffectsWord(once), c.word);
            EXPECT_GT(BodyDifferences(start, once), 200);
            if (c.key == 'L') continue;  // the spacing goes round four steps
            const Shot twice = Run(depth, 12, kToPage + Press(6, c.key) + Press(9, c.key));
            EXPECT_EQ(EffectsWord(twice), "0100");
            EXPECT_EQ(BodyDifferences(start, twice), 0);
        }
        const Shot round =
            Run(depth, 20, kToPage + Press(6, 'L') + Press(9, 'L') + Press(12, 'L') + Press(15, 'L'));
        EXPECT_EQ(EffectsWord(round), "0100");
        EXPECT_EQ(BodyDifferences(Run(depth, 20, kToPage), round), 0);
    }
}

TEST_F(TextPageTest, TheFaceKeySwitchesBetweenGothicAndMincho) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot gothic = Run(depth, 12, kToPage);
        const Shot mincho = Run(depth, 12, kToPage + Press(6, 'F'));
        EXPECT_EQ(Text(gothic.state, "status").rfind("Gothic,", 0), 0u) << gothic.state;
        EXPECT_EQ(Text(mincho.state, "status").rfind("Mincho,", 0), 0u) << mincho.state;
        EXPECT_GT(BodyDifferences(gothic, mincho), 1000);
    }
}

TEST_F(TextPageTest, TheFontListCursorMovesDownAndBackUpAndStopsAtTheTop) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot start = Run(depth, 12, kToPage);
        const Shot down = Run(depth, 12, kToPage + Press(6, kVkDown));
        EXPECT_GT(BodyDifferences(start, down), 100);
        const Shot back = Run(depth, 12, kToPage + Press(6, kVkDown) + Press(9, kVkUp));
        EXPECT_EQ(BodyDifferences(start, back), 0);
        const Shot above = Run(depth, 12, kToPage + Press(6, kVkUp));
        EXPECT_EQ(BodyDifferences(start, above), 0);
    }
}

TEST_F(TextPageTest, ScrollingPastTheLastRowMovesTheListUp) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        // Fourteen rows show: thirteen presses take the cursor to the last, the next scrolls the list.
        std::string fourteen = kToPage, fifteen;
        for (int i = 0; i < 13; ++i) fourteen += Press(6 + 2 * i, kVkDown);
        fifteen = fourteen + Press(6 + 2 * 13, kVkDown);
        const Shot last = Run(depth, 40, fourteen);
        const Shot scrolled = Run(depth, 40, fifteen);
        EXPECT_GT(BodyDifferences(last, scrolled), 1000);
    }
}

}  // namespace
