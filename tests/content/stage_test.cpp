// The generated stage files: their format, the placements, and that what blocks keeps the
// princess in the map while every room stays reachable from the start room.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <queue>
#include <set>
#include <tuple>

#include "tests/content/content_files.h"

namespace content_test {
namespace {

constexpr int kCols = 288, kRows = 216, kCells = kCols * kRows;
constexpr int kRoomW = 768, kRoomH = 576;

struct Stage {
    IntFile start, chips, blocking, placements;
    int At(const IntFile& f, int col, int row) const { return f.values[row * kCols + col]; }
    bool Blocks(int col, int row) const {
        return col < 0 || row < 0 || col >= kCols || row >= kRows || At(blocking, col, row) != 0;
    }
};

// True when all three layers hold a value for every cell, so that the tests can index them.
bool Complete(const Stage& s) {
    return s.chips.values.size() == kCells && s.blocking.values.size() == kCells &&
           s.placements.values.size() == kCells && s.start.values.size() == 2;
}

const Stage& Load() {
    static Stage s = [] {
        Stage st;
        st.start = ReadInts(ProgramDir() + "/stagedata.txt");
        st.chips = ReadInts(ProgramDir() + "/map01_data.txt");
        st.blocking = ReadInts(ProgramDir() + "/map01_zk.txt");
        st.placements = ReadInts(ProgramDir() + "/map01_teki.txt");
        return st;
    }();
    return s;
}

// Collision samples (pixel offsets from the cell corner) of the princess and the companions.
const int kPrincessSamples[18][2] = {{28, 48}, {36, 48}, {44, 48}, {52, 48}, {60, 48}, {68, 48},
                                     {28, 72}, {36, 72}, {44, 72}, {52, 72}, {60, 72}, {68, 72},
                                     {24, 52}, {24, 60}, {24, 68}, {72, 52}, {72, 60}, {72, 68}};
const int kCompanionSamples[18][2] = {{12, 32}, {20, 32}, {28, 32}, {36, 32}, {44, 32}, {52, 32},
                                      {12, 56}, {20, 56}, {28, 56}, {36, 56}, {44, 56}, {52, 56},
                                      {8, 12},  {8, 20},  {8, 28},  {56, 12}, {56, 20}, {56, 28}};

// A character at world position (wx, wy) (view position plus camera) reads the attribute cell
// at ((trunc(wx - 16) + ox) / 8, (trunc(wy - 12) + oy) / 8).
bool SamplesFree(const Stage& s, const int (&samples)[18][2], int wx, int wy) {
    for (const auto& o : samples) {
        int px = wx - 16 + o[0], py = wy - 12 + o[1];
        if (px < 0 || py < 0) return false;
        if (s.Blocks(px / 8, py / 8)) return false;
    }
    return true;
}

TEST(Stage, FilesHoldTheStartRoomAndThreeFullLayers) {
    const Stage& s = Load();
    ASSERT_TRUE(s.start.ok);
    ASSERT_EQ(s.start.values.size(), 2u);
    EXPECT_GE(s.start.values[0], 0);
    EXPECT_LE(s.start.values[0], 2);
    EXPECT_GE(s.start.values[1], 0);
    EXPECT_LE(s.start.values[1], 2);
    for (const IntFile* f : {&s.chips, &s.blocking, &s.placements}) {
        ASSERT_TRUE(f->ok);
        EXPECT_EQ(f->values.size(), static_cast<size_t>(kCells));
    }
    ASSERT_EQ(s.blocking.values.size(), static_cast<size_t>(kCells));
    for (int v : s.blocking.values) ASSERT_TRUE(v == 0 || v == 1) << v;
    for (int v : s.placements.values) ASSERT_TRUE(v >= 0 && v <= 8) << v;
}

TEST(Stage, OutsideEdgeOfTheMapBlocks) {
    const Stage& s = Load();
    ASSERT_TRUE(Complete(s));
    for (int c = 0; c < kCols; ++c) {
        EXPECT_TRUE(s.Blocks(c, 0)) << c;
        EXPECT_TRUE(s.Blocks(c, kRows - 1)) << c;
    }
    for (int r = 0; r < kRows; ++r) {
        EXPECT_TRUE(s.Blocks(0, r)) << r;
        EXPECT_TRUE(s.Blocks(kCols - 1, r)) << r;
    }
}

TEST(Stage, ChipsLieOnTheSheetAndLookTheSameWhereverTheyAreUsed) {
    const Stage& s = Load();
    const Bmp sheet = ReadBmp(PicturePath("m_cp.bmp"));
    ASSERT_EQ(sheet.error, "");
    ASSERT_TRUE(Complete(s));
    const int onSheet = (sheet.width / 8) * (sheet.height / 8);
    std::map<int, std::set<int>> blockingOf;  // chip -> attribute values it is used with
    for (int i = 0; i < kCells; ++i) {
        int chip = s.chips.values[i];
        ASSERT_GE(chip, 0);
        ASSERT_LT(chip, onSheet);
        blockingOf[chip].insert(s.blocking.values[i]);
    }
    for (auto& [chip, values] : blockingOf) {
        // A chip either always blocks or never does, so the player can tell by looking.
        EXPECT_EQ(values.size(), 1u) << "chip " << chip << " is used on free and on blocking cells";
        // Chips are blitted keyed on black: a used chip has no hole.
        int x0 = (chip % 80) * 8, y0 = (chip / 80) * 8;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) EXPECT_NE(To565(sheet.At(x0 + x, y0 + y)), 0) << "chip " << chip;
    }
}

struct Placed {
    int code, col, row;
};

std::vector<Placed> Placements(const Stage& s) {
    std::vector<Placed> out;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            if (int code = s.At(s.placements, c, r)) out.push_back({code, c, r});
    return out;
}

TEST(Stage, PlacesOnePrincessHerCompanionsAndEveryEnemyKind) {
    const Stage& s = Load();
    ASSERT_TRUE(Complete(s));
    std::map<int, int> count;
    std::map<int, std::array<int, 9>> perRoom;
    for (const Placed& p : Placements(s)) {
        ++count[p.code];
        int room = (p.col / 96) + 3 * (p.row / 72);
        if (p.code >= 5) ++perRoom[0][room];
        if (p.code <= 4) {
            // The princess and the companions start in the start room.
            EXPECT_EQ(p.col / 96, s.start.values[0]) << p.code;
            EXPECT_EQ(p.row / 72, s.start.values[1]) << p.code;
        }
    }
    for (int code = 1; code <= 4; ++code) EXPECT_EQ(count[code], 1) << "code " << code;
    for (int code = 5; code <= 8; ++code) {
        EXPECT_GE(count[code], 1) << "code " << code;
        EXPECT_LE(count[code], 100) << "code " << code;
    }
    // A few enemies near the start, more further away.
    const auto& rooms = perRoom[0];
    int startRoom = s.start.values[0] + 3 * s.start.values[1];
    for (int room = 0; room < 9; ++room) {
        if (room == startRoom) continue;
        EXPECT_GT(rooms[room], rooms[startRoom]) << "room " << room;
    }
}

TEST(Stage, NobodyStartsOnABlockingCell) {
    const Stage& s = Load();
    ASSERT_TRUE(Complete(s));
    for (const Placed& p : Placements(s)) {
        SCOPED_TRACE("code " + std::to_string(p.code) + " at " + std::to_string(p.col) + "," +
                     std::to_string(p.row));
        EXPECT_FALSE(s.Blocks(p.col, p.row));
        int wx = 8 * p.col, wy = 8 * p.row;
        if (p.code == 1) {
            EXPECT_TRUE(SamplesFree(s, kPrincessSamples, wx - 24, wy - 24));
        } else if (p.code <= 4) {
            EXPECT_TRUE(SamplesFree(s, kCompanionSamples, wx, wy));
        } else {
            // An enemy is drawn at its world position minus the camera, over the map pixels
            // (wx - 16, wy - 12) onwards; its body (cell pixels 12-36 across, 24-46 down) stands
            // on free cells only.
            for (int py = wy - 12 + 24; py <= wy - 12 + 46; py += 2)
                for (int px = wx - 16 + 12; px <= wx - 16 + 36; px += 2)
                    EXPECT_FALSE(s.Blocks(px / 8, py / 8)) << px << "," << py;
        }
    }
}

// Walks the princess's feet box over the attribute layer from where she starts, in steps of 4
// pixels between positions where none of her 18 samples is blocked, with room changes where her
// view position crosses an edge of the room the camera shows: she is then carried into the next
// room as the room change does (60 frames up and down, 61 frames left and right) and must land
// on a free position.
TEST(Stage, EveryRoomIsReachableFromTheStartRoom) {
    const Stage& s = Load();
    ASSERT_TRUE(Complete(s));
    int sx = -1, sy = -1;
    for (const Placed& p : Placements(s))
        if (p.code == 1) sx = 8 * p.col - 24, sy = 8 * p.row - 24;
    ASSERT_GE(sx, 0);
    auto free = [&](int wx, int wy) { return SamplesFree(s, kPrincessSamples, wx, wy); };
    ASSERT_TRUE(free(sx, sy)) << "the princess starts stuck";

    using Node = std::tuple<int, int, int>;  // world x, world y, camera room index
    std::set<Node> seen;
    std::queue<Node> todo;
    const int startRoom = s.start.values[0] + 3 * s.start.values[1];
    todo.push({sx, sy, startRoom});
    seen.insert(todo.front());
    std::set<int> reached{startRoom};
    std::vector<std::string> badLandings;
    while (!todo.empty()) {
        auto [x, y, room] = todo.front();
        todo.pop();
        const int ci = room % 3, cj = room / 3;
        const int steps[4][2] = {{4, 0}, {-4, 0}, {0, 4}, {0, -4}};
        for (const auto& d : steps) {
            int nx = x + d[0], ny = y + d[1];
            if (!free(nx, ny)) continue;
            int vx = nx - kRoomW * ci, vy = ny - kRoomH * cj;  // view position in this room
            int nroom = room;
            // A room change starts when she crosses an edge of the view (not at the map's edge).
            if (vy < -36 && cj > 0) {
                nroom = room - 3;
                ny = kRoomH * (cj - 1) + 508;
            } else if (vy > 540 && cj < 2) {
                nroom = room + 3;
                ny = kRoomH * (cj + 1) + 0;
            } else if (vx < -32 && ci > 0) {
                nroom = room - 1;
                nx =
                    kRoomW * (ci - 1) + static_cast<int>(std::lround(vx + (736.0 - (vx + 32)) * 61.0 / 60.0));
            } else if (vx > 736 && ci < 2) {
                nroom = room + 1;
                nx = kRoomW * (ci + 1) + static_cast<int>(std::lround(vx - vx * 61.0 / 60.0));
            }
            if (nroom != room && !free(nx, ny)) {
                badLandings.push_back("room " + std::to_string(room) + " to " + std::to_string(nroom));
                continue;
            }
            Node next{nx, ny, nroom};
            if (seen.insert(next).second) {
                todo.push(next);
                reached.insert(nroom);
            }
        }
    }
    EXPECT_EQ(reached.size(), 9u);
    for (int room = 0; room < 9; ++room)
        EXPECT_TRUE(reached.count(room)) << "room " << room << " cannot be reached";
    EXPECT_TRUE(badLandings.empty()) << badLandings.size() << " room changes land on blocking cells, first: "
                                     << (badLandings.empty() ? "" : badLandings[0]);
}

}  // namespace
}  // namespace content_test
