// The frame, shock and blow pictures, and the sheets of small pixel-row pictures.
#include "tools/contentgen/effects.h"

#include <cmath>
#include <stdexcept>

#include "tools/contentgen/canvas.h"
#include "tools/contentgen/rig.h"

namespace contentgen {

namespace {
constexpr double kPi = 3.14159265358979323846;

// A small deterministic random sequence, so that the same seed always draws the same bolts.
struct Random {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double Unit() { return (Next() & 0xFFFF) / 65535.0; }  // 0 .. 1
    double Signed() { return Unit() * 2 - 1; }             // -1 .. 1
};
}  // namespace

std::map<std::string, Image> BuildPixelSheets(const std::string& path, const Palette& palette) {
    SourceFile file(path);
    std::map<char, Rgb> keys;
    std::map<std::string, Image> pictures;  // transparent pixels are black
    std::map<std::string, std::vector<bool>> opaque;
    std::map<std::string, Image> sheets;
    size_t i = 0;
    while (i < file.LineCount()) {
        if (IsBlankOrComment(file.Line(i))) {
            ++i;
            continue;
        }
        auto w = SplitWords(file.Line(i));
        size_t header = i++;
        if (w[0] == "key" && w.size() == 3 && w[1].size() == 1 && w[1][0] != '.') {
            keys[w[1][0]] = palette.Colour(w[2]);
        } else if (w[0] == "picture" && w.size() == 4) {
            int pw = ParseInt(w[2], file, header), ph = ParseInt(w[3], file, header);
            Image img(pw, ph);
            std::vector<bool> mask(static_cast<size_t>(pw) * ph, false);
            for (int y = 0; y < ph; ++y, ++i) {
                if (i >= file.LineCount()) file.Fail(header, "the pixel rows end early");
                std::string row = file.Line(i);
                while (!row.empty() && row.back() == ' ') row.pop_back();
                if (static_cast<int>(row.size()) != pw)
                    file.Fail(i, "a row of '" + w[1] + "' needs " + std::to_string(pw) + " keys");
                for (int x = 0; x < pw; ++x) {
                    if (row[x] == '.') continue;
                    auto k = keys.find(row[x]);
                    if (k == keys.end()) file.Fail(i, std::string("unknown key '") + row[x] + "'");
                    img.At(x, y) = k->second;
                    mask[static_cast<size_t>(y) * pw + x] = true;
                }
            }
            pictures[w[1]] = img;
            opaque[w[1]] = mask;
        } else if (w[0] == "sheet" && w.size() == 4) {
            sheets[w[1]] = Image(ParseInt(w[2], file, header), ParseInt(w[3], file, header));
        } else if ((w[0] == "place" && w.size() == 5) || (w[0] == "turn" && w.size() == 6)) {
            if (!sheets.count(w[1])) file.Fail(header, "no sheet '" + w[1] + "' yet");
            if (!pictures.count(w[2])) file.Fail(header, "no picture '" + w[2] + "' yet");
            Image pic = pictures[w[2]];
            // Transparent pixels travel with the picture as a mask turned the same way.
            Image mask(pic.width, pic.height);
            for (size_t p = 0; p < opaque[w[2]].size(); ++p)
                if (opaque[w[2]][p]) mask.pixels[p] = Rgb{255, 255, 255};
            int turns = w[0] == "turn" ? ParseInt(w[5], file, header) : 0;
            for (int t = 0; t < (turns & 3); ++t) {
                pic = pic.RotatedClockwise();
                mask = mask.RotatedClockwise();
            }
            int x0 = ParseInt(w[3], file, header), y0 = ParseInt(w[4], file, header);
            Image& sheet = sheets[w[1]];
            if (x0 < 0 || y0 < 0 || x0 + pic.width > sheet.width || y0 + pic.height > sheet.height)
                file.Fail(header, "'" + w[2] + "' does not fit on " + w[1]);
            for (int y = 0; y < pic.height; ++y)
                for (int x = 0; x < pic.width; ++x)
                    if (mask.At(x, y).r) sheet.At(x0 + x, y0 + y) = pic.At(x, y);
        } else {
            file.Fail(header, "expected key, picture, sheet, place or turn");
        }
    }
    return sheets;
}

Image DrawFrame(const Palette& pal, const Params& p) {
    const int W = 800, H = 600, side = 16, end = 12;
    auto sides = p.Words("frame_sides"), ends = p.Words("frame_ends");
    if (static_cast<int>(sides.size()) != side || static_cast<int>(ends.size()) != end)
        throw std::runtime_error(p.Path() + ": the frame needs 16 side bands and 12 end bands");
    auto studs = p.Words("frame_studs");
    auto corner = p.Words("frame_corner");
    if (studs.size() != 3 || corner.size() != 2)
        throw std::runtime_error(p.Path() + ": frame_studs, frame_corner");
    const int spacing = std::stoi(studs[0]);
    Image img(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int u = std::min(x, W - 1 - x), v = std::min(y, H - 1 - y);
            if (u >= side && v >= end) continue;  // the playfield stays black
            // Mitred corners: the band nearer the outside (relative to its width) wins.
            bool useSide = u < side && (v >= end || u * end < v * side);
            img.At(x, y) = pal.Colour(useSide ? sides[u] : ends[v]);
        }
    // Gold studs on the wood, two pixels square.
    const Rgb hi = pal.Colour(studs[1]), lo = pal.Colour(studs[2]);
    auto stud = [&](int x, int y) {
        img.At(x, y) = hi;
        img.At(x + 1, y) = lo;
        img.At(x, y + 1) = lo;
        img.At(x + 1, y + 1) = lo;
    };
    for (int y = spacing; y < H - spacing / 2; y += spacing) {
        stud(6, y);
        stud(W - 8, y);
    }
    for (int x = spacing; x < W - spacing / 2; x += spacing) {
        stud(x, 4);
        stud(x, H - 6);
    }
    // A jewel in each corner.
    const Rgb jewel = pal.Colour(corner[0]), glint = pal.Colour(corner[1]), ring = pal.Colour("outline");
    for (int cy : {5, H - 6})
        for (int cx : {7, W - 8}) {
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    int d = std::abs(dx) + std::abs(dy);
                    if (d == 3) img.At(cx + dx, cy + dy) = ring;
                    if (d < 3) img.At(cx + dx, cy + dy) = jewel;
                }
            img.At(cx - 1, cy - 1) = glint;
        }
    return img;
}

Image DrawShock(const Palette& pal, const Params& p) {
    Random rnd{static_cast<uint32_t>(p.Num("shock_seed"))};
    auto ring = p.Nums("shock_ring", 3), spokes = p.Nums("shock_spokes", 3);
    const int sparks = p.Int("shock_sparks");
    auto colours = p.Words("shock_colours");
    if (colours.size() != 4) throw std::runtime_error(p.Path() + ": shock_colours needs four colours");
    const Rgb glow = pal.Colour(colours[0]), bolt = pal.Colour(colours[1]), core = pal.Colour(colours[2]);
    const Rgb edge = pal.Colour(colours[3]);
    const auto widths = p.Nums("shock_widths", 3);
    const Pt c{125, 125};
    Canvas cv(250, 250);
    // A jagged bolt: each point wanders sideways from the straight line.
    auto drawBolt = [&](std::vector<Pt> pts) {
        for (int layer = 0; layer < 3; ++layer) {
            cv.BeginFlat(layer == 0 ? glow : layer == 1 ? bolt : core, true);
            for (size_t k = 1; k < pts.size(); ++k) cv.Capsule(pts[k - 1], pts[k], widths[layer]);
        }
    };
    const int count = static_cast<int>(ring[1]);
    for (int b = 0; b < count; ++b) {
        double a0 = 2 * kPi * b / count, a1 = 2 * kPi * (b + 1.1) / count;
        std::vector<Pt> pts;
        for (int s = 0; s <= 5; ++s) {
            double a = a0 + (a1 - a0) * s / 5;
            double r = ring[0] + (s == 0 || s == 5 ? 0 : rnd.Signed() * ring[2]);
            pts.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
        }
        drawBolt(pts);
    }
    const int spokeCount = static_cast<int>(spokes[0]);
    for (int b = 0; b < spokeCount; ++b) {
        double a = 2 * kPi * (b + 0.5) / spokeCount;
        std::vector<Pt> pts;
        for (int s = 0; s <= 6; ++s) {
            double r = spokes[1] + (spokes[2] - spokes[1]) * s / 6;
            double side = (s == 0 ? 0 : rnd.Signed() * 7);
            pts.push_back(
                {c.x + r * std::cos(a) - side * std::sin(a), c.y + r * std::sin(a) + side * std::cos(a)});
        }
        drawBolt(pts);
    }
    for (int s = 0; s < sparks; ++s) {
        double a = rnd.Unit() * 2 * kPi, r = 30 + rnd.Unit() * 85;
        DrawStar(cv, {c.x + r * std::cos(a), c.y + r * std::sin(a)}, 2, core);
    }
    cv.Finish(edge);
    return cv.ToImage(kBlack);
}

Image DrawBlow(const Palette& pal, const Params& p) {
    auto spikes = p.Nums("blow_spikes", 2);
    auto colours = p.Words("blow_colours");
    if (colours.size() != 3) throw std::runtime_error(p.Path() + ": blow_colours needs three colours");
    const Rgb edge = pal.Colour(colours[0]), mid = pal.Colour(colours[1]), hot = pal.Colour(colours[2]);
    const int W = 48, H = 32;
    Canvas cv(W, H);
    const Pt c{W / 2.0, H / 2.0};
    const int n = static_cast<int>(spikes[0]);
    // Spikes reach the box's edge, so the burst fills the 48 x 32 box the blow covers.
    for (int layer = 0; layer < 2; ++layer) {
        cv.BeginFlat(layer == 0 ? mid : hot, true);
        double scale = layer == 0 ? 1.0 : 0.55;
        for (int k = 0; k < n; ++k) {
            double a = 2 * kPi * (k + 0.5) / n;
            double rx = (W / 2.0 - 3) * scale, ry = (H / 2.0 - 3) * scale;
            double w = spikes[1];
            cv.Polygon({{c.x + rx * 0.35 * std::cos(a - w), c.y + ry * 0.35 * std::sin(a - w)},
                        {c.x + rx * std::cos(a), c.y + ry * std::sin(a)},
                        {c.x + rx * 0.35 * std::cos(a + w), c.y + ry * 0.35 * std::sin(a + w)},
                        c});
        }
        cv.Ellipse(c.x, c.y, (W / 2.0 - 3) * 0.45 * scale, (H / 2.0 - 3) * 0.45 * scale);
    }
    cv.Finish(edge);
    return cv.ToImage(kBlack);
}

}  // namespace contentgen
