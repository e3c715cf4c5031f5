// Contact sheet and room previews for reviewing the content by eye.
#include "tools/contentgen/preview.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace contentgen {

namespace {

const Rgb kGround{150, 150, 150};
const Rgb kGrid{96, 96, 104};
const Rgb kLabel{255, 255, 255};

// A 3 x 5 pixel font for labels: each glyph is five rows of three bits.
const char* Glyph(char ch) {
    static const struct {
        char c;
        const char* rows;
    } kFont[] = {
        {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"},
        {'D', "110101101101110"}, {'E', "111100110100111"}, {'F', "111100110100100"},
        {'G', "011100101101011"}, {'H', "101101111101101"}, {'I', "111010010010111"},
        {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
        {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"},
        {'P', "110101110100100"}, {'Q', "010101101110011"}, {'R', "110101110101101"},
        {'S', "011100010001110"}, {'T', "111010010010010"}, {'U', "101101101101111"},
        {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
        {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"},
        {'1', "010110010010111"}, {'2', "110001010100111"}, {'3', "110001010001110"},
        {'4', "101101111001001"}, {'5', "111100110001110"}, {'6', "011100111101111"},
        {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
        {'_', "000000000000111"}, {'.', "000000000000010"}, {' ', "000000000000000"},
    };
    char up = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    for (const auto& g : kFont)
        if (g.c == up) return g.rows;
    return "111111111111111";
}

void DrawText(Image& img, int x, int y, const std::string& text, int scale) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char* rows = Glyph(text[i]);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 3; ++c)
                if (rows[r * 3 + c] == '1')
                    img.FillRect(x + static_cast<int>(i) * 4 * scale + c * scale, y + r * scale, scale, scale,
                                 kLabel);
    }
}

Rgb KeyOf(const Picture& p) {
    return p.key == KeyRule::Black ? kBlack : p.image.At(0, 0);
}

struct Placed {
    const Picture* picture;
    int x, y, w, h;
};

}  // namespace

void WriteContactSheet(const Content& content, const std::string& path) {
    const int maxWidth = 1400, gap = 12, labelH = 14;
    std::vector<Placed> placed;
    int x = gap, y = gap, rowH = 0, width = 0;
    for (const Picture& p : content.pictures) {
        int cols = p.image.width / p.cellWidth, rows = p.image.height / p.cellHeight;
        const std::string label =
            p.name + " " + std::to_string(p.image.width) + "X" + std::to_string(p.image.height);
        int w = cols * (p.cellWidth + 1) + 1, h = rows * (p.cellHeight + 1) + 1 + labelH;
        const int room = std::max(w, static_cast<int>(label.size()) * 8);
        if (x + room > maxWidth && x > gap) {
            x = gap;
            y += rowH + gap;
            rowH = 0;
        }
        placed.push_back({&p, x, y, w, h});
        x += room + gap;
        rowH = std::max(rowH, h);
        width = std::max(width, x);
    }
    Image sheet(std::max(width, maxWidth), y + rowH + gap, Rgb{112, 112, 120});
    for (const Placed& pl : placed) {
        const Picture& p = *pl.picture;
        DrawText(sheet, pl.x, pl.y,
                 p.name + " " + std::to_string(p.image.width) + "X" + std::to_string(p.image.height), 2);
        int top = pl.y + labelH;
        sheet.FillRect(pl.x, top, pl.w, pl.h - labelH, kGrid);
        int cols = p.image.width / p.cellWidth, rows = p.image.height / p.cellHeight;
        Rgb key = KeyOf(p);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                int cx = pl.x + 1 + c * (p.cellWidth + 1), cy = top + 1 + r * (p.cellHeight + 1);
                sheet.FillRect(cx, cy, p.cellWidth, p.cellHeight, kGround);
                sheet.PasteKeyed(p.image, c * p.cellWidth, r * p.cellHeight, p.cellWidth, p.cellHeight, cx,
                                 cy, key);
            }
    }
    WriteBmp(path, sheet);
}

namespace {

void Blit(Image& screen, const Picture& p, int col, int row, int x, int y) {
    screen.PasteKeyed(p.image, col * p.cellWidth, row * p.cellHeight, p.cellWidth, p.cellHeight, x, y,
                      KeyOf(p));
}

}  // namespace

void WriteRoomPreviews(const Content& content, const std::string& dir) {
    std::filesystem::create_directories(dir);
    const Stage& st = content.stage;
    const Picture& chips = FindPicture(content, "m_cp.bmp");
    const Picture& frame = FindPicture(content, "waku.BMP");
    const Picture& princess = FindPicture(content, "princess.bmp");
    const Picture* companions[3] = {&FindPicture(content, "damenzu_00.bmp"),
                                    &FindPicture(content, "damenzu_01.bmp"),
                                    &FindPicture(content, "damenzu_02.bmp")};
    const Picture& striker = FindPicture(content, "enemy00_00.bmp");
    const Picture& chaser = FindPicture(content, "enemy00_01.bmp");
    const Picture& archer = FindPicture(content, "atya.bmp");
    const Picture& shield = FindPicture(content, "tate1.bmp");
    for (int tint = 0; tint < 2; ++tint)
        for (int ri = 0; ri < 3; ++ri)
            for (int rj = 0; rj < 3; ++rj) {
                Image screen(800, 600);
                const int camX = ri * 768, camY = rj * 576;
                for (int l = 0; l < kRoomRows; ++l)
                    for (int k = 0; k < kRoomCols; ++k) {
                        int mc = ri * kRoomCols + k, mr = rj * kRoomRows + l;
                        int c = st.At(st.chips, mc, mr);
                        int sx = 16 + 8 * k, sy = 12 + 8 * l;
                        screen.PasteKeyed(chips.image, 8 * (c % 80), 8 * (c / 80), 8, 8, sx, sy, kBlack);
                        if (tint && st.At(st.blocking, mc, mr))
                            for (int yy = 0; yy < 8; ++yy)
                                for (int xx = 0; xx < 8; ++xx) {
                                    Rgb& px = screen.At(sx + xx, sy + yy);
                                    px = {static_cast<uint8_t>((px.r + 255) / 2),
                                          static_cast<uint8_t>(px.g / 2), static_cast<uint8_t>(px.b / 2)};
                                }
                    }
                // Characters in the game's drawing order; enemies at world minus camera, the princess
                // and companions at their view positions (the same numbers at a room's origin).
                const int order[7] = {kArcher, kShield, kStriker, kChaser, kCompanion0, kPrincess, 0};
                for (int o = 0; order[o]; ++o) {
                    int code = order[o];
                    if (code == kCompanion0) {
                        for (int k = 0; k < 3; ++k)
                            for (int r = 0; r < kMapRows; ++r)
                                for (int c = 0; c < kMapCols; ++c)
                                    if (st.At(st.placements, c, r) == kCompanion0 + k)
                                        Blit(screen, *companions[k], 0, 0, 8 * c - camX, 8 * r - camY);
                        continue;
                    }
                    for (int r = 0; r < kMapRows; ++r)
                        for (int c = 0; c < kMapCols; ++c) {
                            if (st.At(st.placements, c, r) != code) continue;
                            int x = 8 * c - camX, y = 8 * r - camY;
                            if (code == kPrincess) Blit(screen, princess, 0, 0, x - 24, y - 24);
                            if (code == kArcher) Blit(screen, archer, 0, 0, x, y);
                            if (code == kShield) Blit(screen, shield, 0, 0, x, y);
                            if (code == kStriker) Blit(screen, striker, 0, 0, x, y);
                            if (code == kChaser) Blit(screen, chaser, 0, 0, x, y);
                        }
                }
                Blit(screen, frame, 0, 0, 0, 0);
                std::string name =
                    "room_" + std::to_string(ri) + "_" + std::to_string(rj) + (tint ? "_blocking" : "");
                WriteBmp(dir + "/" + name + ".bmp", screen);
            }
}

}  // namespace contentgen
