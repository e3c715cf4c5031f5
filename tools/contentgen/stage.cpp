// The stage: room grids turned into chips and blocking cells, and the placement list turned
// into placement codes, with the checks that keep what the player sees in line with what blocks.
#include "tools/contentgen/stage.h"

#include <map>
#include <sstream>
#include <stdexcept>

namespace contentgen {

namespace {

enum class Kind { Ground, Wall, Water, Bridge, Object };

struct Terrain {
    Kind kind = Kind::Ground;
    std::string name;  // chip layer name or prefix
    bool blocks = false;
    int width = 1, height = 1;  // objects: size in cells
    char ground = 0;            // objects: the terrain under them
};

struct Legend {
    std::map<char, Terrain> terrain;
};

Legend ReadLegend(const std::string& path) {
    SourceFile file(path);
    Legend legend;
    for (size_t i = 0; i < file.LineCount(); ++i) {
        const std::string& line = file.Line(i);
        if (IsBlankOrComment(line)) continue;
        // "[C] ..." names the grid character C (any character, '#' included).
        if (line.size() < 4 || line[0] != '[' || line[2] != ']') file.Fail(i, "a line starts with [C]");
        char ch = line[1];
        auto w = SplitWords(line.substr(3));
        if (legend.terrain.count(ch)) file.Fail(i, std::string("'") + ch + "' given twice");
        Terrain t;
        if (w[0] == "ground" && w.size() == 2) {
            t.kind = Kind::Ground;
            t.name = w[1];
        } else if (w[0] == "wall" && w.size() == 2) {
            t.kind = Kind::Wall;
            t.name = w[1];
            t.blocks = true;
        } else if (w[0] == "water" && w.size() == 2) {
            t.kind = Kind::Water;
            t.name = w[1];
            t.blocks = true;
        } else if (w[0] == "bridge" && w.size() == 2) {
            t.kind = Kind::Bridge;
            t.name = w[1];
        } else if (w[0] == "object" && w.size() == 6) {
            t.kind = Kind::Object;
            t.name = w[1];
            t.width = ParseInt(w[2], file, i);
            t.height = ParseInt(w[3], file, i);
            if (w[4].size() != 1) file.Fail(i, "the ground of an object is one grid character");
            t.ground = w[4][0];
            if (w[5] != "blocks" && w[5] != "free") file.Fail(i, "an object either 'blocks' or is 'free'");
            t.blocks = w[5] == "blocks";
        } else {
            file.Fail(i,
                      "expected: C ground NAME | C wall STYLE | C water NAME | C bridge NAME | "
                      "C object NAME W H GROUNDCHAR blocks|free");
        }
        legend.terrain[ch] = t;
    }
    for (auto& [ch, t] : legend.terrain)
        if (t.kind == Kind::Object &&
            (!legend.terrain.count(t.ground) || legend.terrain[t.ground].kind != Kind::Ground))
            throw std::runtime_error(path + ": the ground of '" + std::string(1, ch) +
                                     "' is not a ground character");
    return legend;
}

// A stable choice among variants: variant 1 half the time, the others sharing the rest.
int PickVariant(int col, int row, int count) {
    uint32_t h = static_cast<uint32_t>(col) * 73856093u ^ static_cast<uint32_t>(row) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    if (count <= 1 || h % 100 < 50) return 1;
    return 2 + static_cast<int>((h / 100) % static_cast<uint32_t>(count - 1));
}

struct Grid {
    std::vector<char> cells;  // kMapRows x kMapCols
    char At(int col, int row) const {
        if (col < 0 || row < 0 || col >= kMapCols || row >= kMapRows) return 0;
        return cells[row * kMapCols + col];
    }
};

Grid ReadRooms(const std::string& dir, const Legend& legend) {
    Grid g;
    g.cells.assign(kMapCols * kMapRows, 0);
    for (int ri = 0; ri < 3; ++ri)
        for (int rj = 0; rj < 3; ++rj) {
            std::string path = dir + "/room_" + std::to_string(ri) + "_" + std::to_string(rj) + ".txt";
            SourceFile file(path);
            if (file.LineCount() != kRoomRows)
                file.Fail(file.LineCount() ? file.LineCount() - 1 : 0, "a room has 72 rows of 96 cells");
            for (int r = 0; r < kRoomRows; ++r) {
                const std::string& line = file.Line(r);
                if (static_cast<int>(line.size()) != kRoomCols) file.Fail(r, "a room row has 96 cells");
                for (int c = 0; c < kRoomCols; ++c) {
                    if (!legend.terrain.count(line[c]))
                        file.Fail(r, std::string("'") + line[c] + "' is not in the legend");
                    g.cells[(rj * kRoomRows + r) * kMapCols + ri * kRoomCols + c] = line[c];
                }
            }
        }
    return g;
}

// Chip recipe of one cell.
class Tiler {
  public:
    Tiler(const Legend& legend, const Grid& grid, ChipSet& chips)
        : legend_(legend), grid_(grid), chips_(chips) {}

    std::string Ground(const std::string& name, int c, int r) const {
        auto variants = chips_.Variants(name);
        std::string base;
        if (!variants.empty())
            base = variants[PickVariant(c, r, static_cast<int>(variants.size())) - 1];
        else if (chips_.HasLayer(name + ".0.0"))  // a 2 x 2 tiled pattern
            base = name + "." + std::to_string(c % 2) + "." + std::to_string(r % 2);
        else
            base = name;
        // Walls cast their shadow down and to the right.
        bool north = CastsShadow(c, r - 1), west = CastsShadow(c - 1, r);
        if (north) base += "+shade_n";
        if (west) base += "+shade_w";
        if (!north && !west && CastsShadow(c - 1, r - 1)) base += "+shade_nw";
        return base;
    }

    std::string Cell(int c, int r) const {
        char ch = grid_.At(c, r);
        const Terrain& t = legend_.terrain.at(ch);
        switch (t.kind) {
            case Kind::Ground:
                return Ground(t.name, c, r);
            case Kind::Wall: {
                // Outside the map counts as wall, so the outer walls run on without an edge.
                auto same = [&](int cc, int rr) {
                    char o = grid_.At(cc, rr);
                    return o == 0 || o == ch;
                };
                std::string s;
                if (!same(c, r + 1))
                    s = t.name + "_face.2";
                else if (!same(c, r + 2))
                    s = t.name + "_face.1";
                else {
                    s = t.name + "_top";
                    if (!same(c, r - 1)) s += "+edge_n";
                    if (!same(c, r + 3)) s += "+lip_s";
                }
                if (!same(c - 1, r)) s += "+edge_w";
                if (!same(c + 1, r)) s += "+edge_e";
                return s;
            }
            case Kind::Water: {
                auto variants = chips_.Variants(t.name);
                std::string s = variants.empty()
                                    ? t.name
                                    : variants[PickVariant(c, r, static_cast<int>(variants.size())) - 1];
                auto wet = [&](int cc, int rr) {
                    char o = grid_.At(cc, rr);
                    return o == 0 || legend_.terrain.at(o).kind == Kind::Water ||
                           legend_.terrain.at(o).kind == Kind::Bridge;
                };
                bool n = wet(c, r - 1), s_ = wet(c, r + 1), w = wet(c - 1, r), e = wet(c + 1, r);
                if (!n) s += "+bank_n";
                if (!s_) s += "+bank_s";
                if (!w) s += "+bank_w";
                if (!e) s += "+bank_e";
                if (n && w && !wet(c - 1, r - 1)) s += "+bank_nw";
                if (n && e && !wet(c + 1, r - 1)) s += "+bank_ne";
                if (s_ && w && !wet(c - 1, r + 1)) s += "+bank_sw";
                if (s_ && e && !wet(c + 1, r + 1)) s += "+bank_se";
                return s;
            }
            case Kind::Bridge: {
                std::string s = t.name;
                auto bridge = [&](int cc, int rr) { return grid_.At(cc, rr) == ch; };
                if (t.name == "bridge_h") {
                    if (!bridge(c, r - 1)) s += "+beam_n";
                    if (!bridge(c, r + 1)) s += "+beam_s";
                } else {
                    if (!bridge(c - 1, r)) s += "+beam_w";
                    if (!bridge(c + 1, r)) s += "+beam_e";
                }
                return s;
            }
            case Kind::Object:
                break;
        }
        return "";
    }

  private:
    bool CastsShadow(int c, int r) const {
        char ch = grid_.At(c, r);
        if (ch == 0) return false;
        const Terrain& t = legend_.terrain.at(ch);
        return t.kind == Kind::Wall;
    }
    const Legend& legend_;
    const Grid& grid_;
    ChipSet& chips_;
};

// Cells read by a character's collision samples, and the cells its picture covers.
struct Box {
    int c0, r0, c1, r1;  // inclusive
};

}  // namespace

// The princess's 18 samples and the companions' 18 samples as pixel offsets from the corner of
// their cell; SampleCells turns them into map cells for a placement cell.
static const int kPrincessSamples[18][2] = {{28, 48}, {36, 48}, {44, 48}, {52, 48}, {60, 48}, {68, 48},
                                            {28, 72}, {36, 72}, {44, 72}, {52, 72}, {60, 72}, {68, 72},
                                            {24, 52}, {24, 60}, {24, 68}, {72, 52}, {72, 60}, {72, 68}};
static const int kCompanionSamples[18][2] = {{12, 32}, {20, 32}, {28, 32}, {36, 32}, {44, 32}, {52, 32},
                                             {12, 56}, {20, 56}, {28, 56}, {36, 56}, {44, 56}, {52, 56},
                                             {8, 12},  {8, 20},  {8, 28},  {56, 12}, {56, 20}, {56, 28}};

namespace {

// A character drawn at view position (x, y) reads the cell under map pixel (x + camera - 16 + ox,
// y + camera - 12 + oy); its view position at the start is its world position minus the camera,
// so the sampled map pixel is world - (16, 12) + offset.
std::vector<std::pair<int, int>> SampleCells(int code, int col, int row) {
    std::vector<std::pair<int, int>> out;
    int wx = 8 * col, wy = 8 * row;
    const int(*samples)[2] = kCompanionSamples;
    if (code == kPrincess) {
        wx -= 24;
        wy -= 24;
        samples = kPrincessSamples;
    }
    for (int k = 0; k < 18; ++k) {
        int px = wx - 16 + samples[k][0], py = wy - 12 + samples[k][1];
        out.push_back({px / 8, py / 8});
    }
    return out;
}

}  // namespace

Stage BuildStage(const std::string& dir, ChipSet& chips) {
    Legend legend = ReadLegend(dir + "/legend.txt");
    Grid grid = ReadRooms(dir, legend);
    Stage st;
    st.chips.assign(kMapCols * kMapRows, 0);
    st.blocking.assign(kMapCols * kMapRows, 0);
    st.placements.assign(kMapCols * kMapRows, 0);

    // Chip 0 is what a missing map file shows everywhere: plain grass.
    chips.Index(chips.Variants("grass").empty() ? "grass" : "grass.1");
    Tiler tiler(legend, grid, chips);
    std::vector<bool> done(kMapCols * kMapRows, false);
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapCols; ++c) {
            if (done[r * kMapCols + c]) continue;
            char ch = grid.At(c, r);
            const Terrain& t = legend.terrain.at(ch);
            if (t.kind == Kind::Object) {
                // The first cell met is the object's top-left corner; its whole block must follow.
                for (int dy = 0; dy < t.height; ++dy)
                    for (int dx = 0; dx < t.width; ++dx) {
                        if (grid.At(c + dx, r + dy) != ch || done[(r + dy) * kMapCols + c + dx])
                            throw std::runtime_error(dir + ": '" + std::string(1, ch) + "' at map cell (" +
                                                     std::to_string(c) + ", " + std::to_string(r) +
                                                     ") is not a whole " + std::to_string(t.width) + " x " +
                                                     std::to_string(t.height) + " block");
                        int i = (r + dy) * kMapCols + c + dx;
                        done[i] = true;
                        std::string under = tiler.Ground(legend.terrain.at(t.ground).name, c + dx, r + dy);
                        std::string layer = t.name + (t.width * t.height > 1 ? "." + std::to_string(dx) +
                                                                                   "." + std::to_string(dy)
                                                                             : "");
                        st.chips[i] = chips.Index(under + "+" + layer);
                        st.blocking[i] = t.blocks ? 1 : 0;
                    }
                continue;
            }
            int i = r * kMapCols + c;
            done[i] = true;
            st.chips[i] = chips.Index(tiler.Cell(c, r));
            st.blocking[i] = t.blocks ? 1 : 0;
        }

    // Placements.
    SourceFile file(dir + "/placements.txt");
    static const std::map<std::string, int> kCodes = {
        {"princess", kPrincess},     {"companion0", kCompanion0}, {"companion1", kCompanion1},
        {"companion2", kCompanion2}, {"striker", kStriker},       {"archer", kArcher},
        {"chaser", kChaser},         {"shield", kShield}};
    bool haveStart = false;
    std::map<int, int> count;
    for (size_t i = 0; i < file.LineCount(); ++i) {
        if (IsBlankOrComment(file.Line(i))) continue;
        auto w = SplitWords(file.Line(i));
        if (w[0] == "start" && w.size() == 3) {
            st.startColumn = ParseInt(w[1], file, i);
            st.startRow = ParseInt(w[2], file, i);
            if (st.startColumn < 0 || st.startColumn > 2 || st.startRow < 0 || st.startRow > 2)
                file.Fail(i, "the start room is (0-2, 0-2)");
            haveStart = true;
            continue;
        }
        auto code = kCodes.find(w[0]);
        if (code == kCodes.end() || w.size() != 5)
            file.Fail(i, "expected 'start C R' or 'KIND ROOMCOL ROOMROW CELLCOL CELLROW'");
        int ri = ParseInt(w[1], file, i), rj = ParseInt(w[2], file, i);
        int lc = ParseInt(w[3], file, i), lr = ParseInt(w[4], file, i);
        if (ri < 0 || ri > 2 || rj < 0 || rj > 2 || lc < 0 || lc >= kRoomCols || lr < 0 || lr >= kRoomRows)
            file.Fail(i, "outside the map");
        int c = ri * kRoomCols + lc, r = rj * kRoomRows + lr;
        int& cell = st.placements[r * kMapCols + c];
        if (cell != 0) file.Fail(i, "two characters on one cell");
        cell = code->second;
        ++count[code->second];
        // The cells the character stands on must be free: for the princess and companions the
        // cells their collision samples read, for enemies the cells under their body as drawn.
        std::vector<std::pair<int, int>> cells;
        if (code->second <= kCompanion2)
            cells = SampleCells(code->second, c, r);
        else
            for (int dr = 0; dr <= 4; ++dr)
                for (int dc = -1; dc <= 2; ++dc) cells.push_back({c + dc, r + dr});
        cells.push_back({c, r});
        for (auto [cc, rr] : cells)
            if (cc < 0 || rr < 0 || cc >= kMapCols || rr >= kMapRows || st.blocking[rr * kMapCols + cc])
                file.Fail(i, w[0] + " stands on a blocking cell (map cell " + std::to_string(cc) + ", " +
                                 std::to_string(rr) + ")");
    }
    if (!haveStart) file.Fail(0, "no start room");
    if (count[kPrincess] != 1) file.Fail(0, "the stage needs exactly one princess");
    for (int k = kCompanion0; k <= kCompanion2; ++k)
        if (count[k] != 1) file.Fail(0, "the stage needs exactly one of each companion");
    for (int k = kStriker; k <= kShield; ++k)
        if (count[k] > 100) file.Fail(0, "at most 100 enemies of one kind");
    return st;
}

std::string StageDataText(const Stage& stage) {
    return std::to_string(stage.startColumn) + " " + std::to_string(stage.startRow) + "\n";
}

std::string LayerText(const std::vector<int>& layer) {
    std::string out;
    out.reserve(layer.size() * 4);
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapCols; ++c) {
            if (c) out += ' ';
            out += std::to_string(layer[r * kMapCols + c]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace contentgen
