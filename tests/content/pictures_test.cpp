// The generated pictures: names and sizes start-up loads, cell layouts the actors draw from, and
// the colour keys: black for the first pictures loaded, the top-left pixel for the rest.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "tests/content/content_files.h"

namespace content_test {
namespace {

struct Sheet {
    const char* name;
    int width, height, cellW, cellH;
    bool keyedOnBlack;
};

// The sheets with a fixed layout, named exactly as start-up loads them.
const Sheet kSheets[] = {
    {"waku.BMP", 800, 600, 800, 600, true},
    {"item.bmp", 96, 48, 48, 48, true},
    {"biribiri.bmp", 250, 250, 250, 250, true},
    {"g_a1.bmp", 48, 32, 48, 32, true},
    {"g_a2.bmp", 32, 48, 32, 48, true},
    {"Ya.bmp", 48, 12, 12, 12, true},
    {"atya.bmp", 240, 240, 48, 48, true},
    {"tate1.bmp", 96, 240, 48, 48, true},
    {"enemy00_00.bmp", 384, 240, 48, 48, false},
    {"enemy00_01.bmp", 384, 240, 48, 48, false},
    {"princess.bmp", 1152, 768, 96, 96, false},
    {"damenzu_00.bmp", 504, 336, 56, 56, false},
    {"damenzu_01.bmp", 504, 336, 56, 56, false},
    {"damenzu_02.bmp", 504, 336, 56, 56, false},
    {"damenzu_ef00.bmp", 448, 112, 56, 56, false},
};

const Bmp& Load(const std::string& name) {
    static std::map<std::string, Bmp> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, ReadBmp(PicturePath(name))).first;
    return it->second;
}

Rgb KeyOf(const Sheet& s, const Bmp& b) {
    return s.keyedOnBlack ? Rgb{} : b.At(0, 0);
}

// Cells that play can show, as (column, row).
std::vector<std::pair<int, int>> CellsShown(const std::string& name) {
    std::vector<std::pair<int, int>> cells;
    auto add = [&](int c0, int c1, int r0, int r1) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) cells.push_back({c, r});
    };
    if (name == "princess.bmp") {
        add(0, 8, 0, 7);    // idle, walking, swing in all eight facings
        add(11, 11, 0, 3);  // knocked back: the facing then is one of the four straight ones
    } else if (name.rfind("damenzu_0", 0) == 0 && name != "damenzu_ef00.bmp") {
        add(0, 8, 0, 3);  // idle, walking, hurt, landed by facing
        add(0, 7, 4, 5);  // two flight frames for each throw direction
    } else if (name == "damenzu_ef00.bmp") {
        add(0, 7, 0, 1);
    } else if (name == "enemy00_00.bmp" || name == "enemy00_01.bmp") {
        add(0, 6, 0, 3);  // walker column table: columns 0-6
        add(0, 7, 4, 4);  // dying uses frameIndex itself (up to 7), stunned the column table
    } else if (name == "atya.bmp") {
        add(0, 4, 0, 4);
    } else if (name == "tate1.bmp") {
        add(0, 1, 0, 4);
    } else if (name == "item.bmp") {
        add(0, 1, 0, 0);
    } else if (name == "Ya.bmp") {
        add(0, 3, 0, 0);
    } else {
        add(0, 0, 0, 0);
    }
    return cells;
}

int FigurePixels(const Bmp& b, Rgb key, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (!(b.At(x, y) == key)) ++n;
    return n;
}

TEST(Pictures, EverySheetExistsUnderItsNameWithItsLayout) {
    for (const Sheet& s : kSheets) {
        SCOPED_TRACE(s.name);
        const Bmp& b = Load(s.name);
        ASSERT_EQ(b.error, "");
        EXPECT_EQ(b.width, s.width);
        EXPECT_EQ(b.height, s.height);
        EXPECT_EQ(b.width % s.cellW, 0);
        EXPECT_EQ(b.height % s.cellH, 0);
    }
    // The chip sheet holds 80 chips of 8 x 8 per row; the two unused circles are small.
    const Bmp& chips = Load("m_cp.bmp");
    ASSERT_EQ(chips.error, "");
    EXPECT_EQ(chips.width, 640);
    EXPECT_EQ(chips.height % 8, 0);
    EXPECT_GT(chips.height, 0);
    for (const char* name : {"en.BMP", "en1.BMP"}) {
        SCOPED_TRACE(name);
        const Bmp& b = Load(name);
        ASSERT_EQ(b.error, "");
        EXPECT_LE(b.width, 64);
        EXPECT_LE(b.height, 64);
        EXPECT_GT(FigurePixels(b, Rgb{}, 0, 0, b.width, b.height), 0);
    }
}

TEST(Pictures, BlackKeyedPicturesShowNoColourASixteenBitDisplayTurnsBlack) {
    std::vector<std::string> names = {"en.BMP", "en1.BMP", "m_cp.bmp"};
    for (const Sheet& s : kSheets)
        if (s.keyedOnBlack) names.push_back(s.name);
    ASSERT_EQ(names.size(), 11u);  // everything loaded before the top-left key is switched on
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const Bmp& b = Load(name);
        ASSERT_EQ(b.error, "");
        int faint = 0;
        for (const Rgb& c : b.pixels)
            if (!(c == Rgb{}) && To565(c) == 0) ++faint;
        EXPECT_EQ(faint, 0) << "pixels that are not black but vanish at 16 bits";
    }
}

TEST(Pictures, TopLeftKeyedSheetsNeverUseTheirBackgroundInAFigure) {
    for (const Sheet& s : kSheets) {
        if (s.keyedOnBlack) continue;
        SCOPED_TRACE(s.name);
        const Bmp& b = Load(s.name);
        ASSERT_EQ(b.error, "");
        const Rgb key = b.At(0, 0);
        const uint16_t key565 = To565(key);
        std::set<uint32_t> figureColours;
        for (const Rgb& c : b.pixels) {
            if (c == key) continue;
            // A figure colour that a 16-bit display folds onto the key would turn transparent.
            EXPECT_NE(To565(c), key565) << int(c.r) << "," << int(c.g) << "," << int(c.b);
            figureColours.insert((c.r << 16) | (c.g << 8) | c.b);
        }
        EXPECT_FALSE(figureColours.empty());
        EXPECT_LE(figureColours.size(), 64u) << "a limited palette";
    }
}

TEST(Pictures, FiguresStayInsideTheirCells) {
    // The outermost ring of every cell is background: no figure is cut off or runs into the
    // next cell, and the cell grid lines up with the sheet's picture.
    for (const Sheet& s : kSheets) {
        if (s.cellW == s.width && s.cellH == s.height && s.keyedOnBlack) continue;  // whole pictures
        if (std::string(s.name) == "Ya.bmp") continue;  // arrows fill their 12 x 12 cells
        SCOPED_TRACE(s.name);
        const Bmp& b = Load(s.name);
        ASSERT_EQ(b.error, "");
        const Rgb key = KeyOf(s, b);
        for (int cy = 0; cy < b.height; cy += s.cellH)
            for (int cx = 0; cx < b.width; cx += s.cellW) {
                int ring = FigurePixels(b, key, cx, cy, s.cellW, 1) +
                           FigurePixels(b, key, cx, cy + s.cellH - 1, s.cellW, 1) +
                           FigurePixels(b, key, cx, cy, 1, s.cellH) +
                           FigurePixels(b, key, cx + s.cellW - 1, cy, 1, s.cellH);
                EXPECT_EQ(ring, 0) << "cell at " << cx << "," << cy;
            }
    }
}

TEST(Pictures, EveryCellPlayCanShowHoldsAFigure) {
    for (const Sheet& s : kSheets) {
        SCOPED_TRACE(s.name);
        const Bmp& b = Load(s.name);
        ASSERT_EQ(b.error, "");
        const Rgb key = KeyOf(s, b);
        for (auto [c, r] : CellsShown(s.name)) {
            int n = FigurePixels(b, key, c * s.cellW, r * s.cellH, s.cellW, s.cellH);
            EXPECT_GE(n, s.cellW * s.cellH / 25) << "cell (" << c << ", " << r << ") is nearly empty";
        }
    }
}

bool SameCell(const Bmp& b, int w, int h, std::pair<int, int> a, std::pair<int, int> c) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!(b.At(a.first * w + x, a.second * h + y) == b.At(c.first * w + x, c.second * h + y)))
                return false;
    return true;
}

TEST(Pictures, AnimationFramesDiffer) {
    // Frames that follow each other in an animation must not be the same picture.
    struct Run {
        const char* name;
        int cell;
        std::vector<int> columns;
        std::vector<int> rows;
    };
    const Run runs[] = {
        {"princess.bmp", 96, {0, 1}, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"princess.bmp", 96, {2, 3, 4, 5}, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"princess.bmp", 96, {6, 7, 8}, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"damenzu_00.bmp", 56, {2, 3, 4, 5}, {0, 1, 2, 3}},
        {"damenzu_01.bmp", 56, {6, 7}, {0, 1, 2, 3}},
        {"damenzu_02.bmp", 56, {0, 1}, {0, 1, 2, 3}},
        {"enemy00_00.bmp", 48, {1, 2, 3}, {0, 1, 2, 3}},
        {"enemy00_00.bmp", 48, {4, 5, 6}, {0, 1, 2, 3}},
        {"enemy00_01.bmp", 48, {1, 2, 3}, {0, 1, 2, 3}},
        {"enemy00_01.bmp", 48, {4, 5, 6}, {0, 1, 2, 3}},
        {"atya.bmp", 48, {0, 1, 2, 3, 4}, {0, 1, 2, 3}},
        {"tate1.bmp", 48, {0, 1}, {0, 4}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        const Bmp& b = Load(run.name);
        ASSERT_EQ(b.error, "");
        for (int r : run.rows)
            for (size_t i = 0; i < run.columns.size(); ++i)
                for (size_t j = i + 1; j < run.columns.size(); ++j)
                    EXPECT_FALSE(SameCell(b, run.cell, run.cell, {run.columns[i], r}, {run.columns[j], r}))
                        << "row " << r << ": columns " << run.columns[i] << " and " << run.columns[j];
        // Each facing is its own drawing.
        for (size_t i = 0; i < run.rows.size(); ++i)
            for (size_t j = i + 1; j < run.rows.size(); ++j)
                EXPECT_FALSE(SameCell(b, run.cell, run.cell, {run.columns[0], run.rows[i]},
                                      {run.columns[0], run.rows[j]}));
    }
}

TEST(Pictures, FlightFramesOfEveryCompanionDiffer) {
    for (const char* name : {"damenzu_00.bmp", "damenzu_01.bmp", "damenzu_02.bmp", "damenzu_ef00.bmp"}) {
        SCOPED_TRACE(name);
        const Bmp& b = Load(name);
        ASSERT_EQ(b.error, "");
        int firstRow = std::string(name) == "damenzu_ef00.bmp" ? 0 : 4;
        for (int c = 0; c < 8; ++c)
            EXPECT_FALSE(SameCell(b, 56, 56, {c, firstRow}, {c, firstRow + 1})) << "column " << c;
    }
}

TEST(Pictures, FrameShowsThePlayfieldThroughItsBlackMiddle) {
    const Bmp& b = Load("waku.BMP");
    ASSERT_EQ(b.error, "");
    int middleNotBlack = 0, borderInvisible = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            bool playfield = x >= 16 && x < 784 && y >= 12 && y < 588;
            const Rgb& c = b.At(x, y);
            if (playfield && !(c == Rgb{})) ++middleNotBlack;
            if (!playfield && To565(c) == 0) ++borderInvisible;
        }
    EXPECT_EQ(middleNotBlack, 0);
    EXPECT_EQ(borderInvisible, 0) << "the border must cover the screen's edge completely";
}

TEST(Pictures, ArrowColumnsPointUpRightDownLeft) {
    const Bmp& b = Load("Ya.bmp");
    ASSERT_EQ(b.error, "");
    auto cell = [&](int col, int x, int y) { return b.At(col * 12 + x, y); };
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            // Each column is the "up" arrow turned a quarter further clockwise.
            EXPECT_EQ(cell(1, 11 - y, x), cell(0, x, y));
            EXPECT_EQ(cell(2, 11 - x, 11 - y), cell(0, x, y));
            EXPECT_EQ(cell(3, y, 11 - x), cell(0, x, y));
        }
    // The "up" arrow's point is its topmost row: narrower there than at its tail.
    auto visibleInRow = [&](int y) {
        int n = 0;
        for (int x = 0; x < 12; ++x) n += !(cell(0, x, y) == Rgb{});
        return n;
    };
    int top = 0, bottom = 11;
    while (top < 12 && visibleInRow(top) == 0) ++top;
    while (bottom > 0 && visibleInRow(bottom) == 0) --bottom;
    ASSERT_LT(top, bottom);
    EXPECT_LE(visibleInRow(top), 2);
    EXPECT_GT(visibleInRow(bottom), visibleInRow(top));
}

TEST(Pictures, HammerHeadLandsWhereTheSwingHits) {
    // The swing's hit column (8) shows the mallet at the point the swing reaches, on the
    // princess's right-hand side, for each facing row.
    const int hit[8][2] = {{12, 48}, {48, 84}, {84, 48}, {48, 12}, {12, 84}, {84, 84}, {12, 12}, {84, 12}};
    const Bmp& b = Load("princess.bmp");
    ASSERT_EQ(b.error, "");
    const Rgb key = b.At(0, 0);
    for (int row = 0; row < 8; ++row) {
        int near = 0;
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx) {
                if (dx * dx + dy * dy > 36) continue;
                int x = 8 * 96 + hit[row][0] + dx, y = row * 96 + hit[row][1] + dy;
                near += !(b.At(x, y) == key);
            }
        EXPECT_GE(near, 40) << "facing row " << row;
    }
}

TEST(Pictures, FlightEffectLiesAheadOfTheFlyingCompanion) {
    // The effect cell is drawn at the companion's centre plus (effectDx, effectDy); seen from
    // the cell, the companion's centre is at minus that offset and the effect should lie in the
    // throw direction from there.
    const int offset[8][2] = {{-28, 0}, {0, -28}, {-28, -56}, {-56, -28},
                              {0, 0},   {0, -56}, {-56, 0},   {-56, -56}};
    const int direction[8] = {2, 0, 6, 4, 1, 7, 3, 5};  // x 45 degrees
    const Bmp& b = Load("damenzu_ef00.bmp");
    ASSERT_EQ(b.error, "");
    const Rgb key = b.At(0, 0);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 8; ++col) {
            double sx = 0, sy = 0;
            int n = 0;
            for (int y = 0; y < 56; ++y)
                for (int x = 0; x < 56; ++x)
                    if (!(b.At(col * 56 + x, row * 56 + y) == key)) {
                        sx += x + 0.5 + offset[col][0];
                        sy += y + 0.5 + offset[col][1];
                        ++n;
                    }
            ASSERT_GT(n, 0);
            double a = std::atan2(sy / n, sx / n) * 180 / 3.14159265358979;
            double want = direction[col] * 45.0;
            double diff = std::fmod(std::fabs(a - want) + 360.0, 360.0);
            if (diff > 180) diff = 360 - diff;
            EXPECT_LT(diff, 20.0) << "column " << col << " row " << row;
        }
}

TEST(Pictures, ItemsSitOnThePointTheyArePickedUpFrom) {
    // Pick-up distance is measured from the item cell's position + 24 on both axes.
    const Bmp& b = Load("item.bmp");
    ASSERT_EQ(b.error, "");
    for (int kind = 0; kind < 2; ++kind) {
        double sx = 0, sy = 0;
        int n = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                if (!(b.At(kind * 48 + x, y) == Rgb{})) sx += x + 0.5, sy += y + 0.5, ++n;
        ASSERT_GT(n, 0);
        EXPECT_NEAR(sx / n, 24.0, 3.0) << "kind " << kind;
        EXPECT_NEAR(sy / n, 24.0, 5.0) << "kind " << kind;
    }
}

// Where a standing figure's feet meet the ground in a cell: the lowest figure row, and the
// middle of the figure's pixels in the eight rows above it.
struct Feet {
    int bottom = -1;
    double middle = 0;
};
Feet FeetOf(const Bmp& b, int x0, int y0, int size) {
    const Rgb key = b.At(0, 0);
    Feet f;
    for (int y = size - 1; y >= 0 && f.bottom < 0; --y)
        for (int x = 0; x < size; ++x)
            if (!(b.At(x0 + x, y0 + y) == key)) f.bottom = y;
    double sum = 0;
    int n = 0;
    for (int y = std::max(0, f.bottom - 8); y <= f.bottom; ++y)
        for (int x = 0; x < size; ++x)
            if (!(b.At(x0 + x, y0 + y) == key)) sum += x + 0.5, ++n;
    f.middle = n ? sum / n : -1;
    return f;
}

TEST(Pictures, FeetStandOnTheCollisionBox) {
    // The princess's samples reach down to cell row 72 between columns 24 and 72, a
    // companion's to row 56 between columns 8 and 56: the drawn feet stand there, so that she
    // stops where her feet meet a wall.
    const Bmp& princess = Load("princess.bmp");
    ASSERT_EQ(princess.error, "");
    for (int row = 0; row < 8; ++row) {
        Feet f = FeetOf(princess, 0, row * 96, 96);
        EXPECT_GE(f.bottom, 68) << "row " << row;
        EXPECT_LE(f.bottom, 78) << "row " << row;
        EXPECT_NEAR(f.middle, 48.0, 6.0) << "row " << row;
    }
    for (const char* name : {"damenzu_00.bmp", "damenzu_01.bmp", "damenzu_02.bmp"}) {
        const Bmp& b = Load(name);
        ASSERT_EQ(b.error, "");
        for (int row = 0; row < 4; ++row) {
            Feet f = FeetOf(b, 0, row * 56, 56);
            EXPECT_GE(f.bottom, 50) << name << " row " << row;
            EXPECT_LE(f.bottom, 58) << name << " row " << row;
            EXPECT_GT(f.middle, 20.0) << name << " row " << row;
            EXPECT_LT(f.middle, 40.0) << name << " row " << row;
        }
    }
}

TEST(Pictures, CompanionsAreToldApartByTheirMainColour) {
    std::set<uint32_t> mains;
    for (const char* name : {"damenzu_00.bmp", "damenzu_01.bmp", "damenzu_02.bmp"}) {
        const Bmp& b = Load(name);
        ASSERT_EQ(b.error, "");
        std::map<uint32_t, int> count;
        const Rgb key = b.At(0, 0);
        for (const Rgb& c : b.pixels)
            if (!(c == key)) ++count[(c.r << 16) | (c.g << 8) | c.b];
        uint32_t best = 0;
        int most = 0;
        for (auto [colour, n] : count)
            if (n > most) most = n, best = colour;
        mains.insert(best);
    }
    EXPECT_EQ(mains.size(), 3u);
}

}  // namespace
}  // namespace content_test
