// Renders sample lines at several sizes, styles and directions into a 32-bit surface and writes it
// as a 24-bit BMP file (argument: the output path; default text_sheet.bmp), for looking at glyphs.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/text.h"

namespace {

bool WriteBmp(const platform::Surface& surface, const char* path) {
    FILE* file = fopen(path, "wb");
    if (file == nullptr) return false;
    int rowBytes = (surface.width * 3 + 3) & ~3;
    uint32_t imageBytes = static_cast<uint32_t>(rowBytes) * surface.height;
    uint8_t header[54] = {'B', 'M'};
    auto put32 = [&header](int at, uint32_t value) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(surface.width));
    put32(22, static_cast<uint32_t>(surface.height));
    header[26] = 1;
    header[28] = 24;
    put32(34, imageBytes);
    fwrite(header, 1, sizeof header, file);
    uint8_t row[4096 * 3] = {};
    for (int y = surface.height - 1; y >= 0; --y) {
        const uint8_t* src = surface.Row(y);
        for (int x = 0; x < surface.width; ++x) {
            uint32_t pixel;
            memcpy(&pixel, src + x * 4, 4);
            row[x * 3] = static_cast<uint8_t>(pixel);
            row[x * 3 + 1] = static_cast<uint8_t>(pixel >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(pixel >> 16);
        }
        fwrite(row, 1, static_cast<size_t>(rowBytes), file);
    }
    fclose(file);
    return true;
}

platform::Font* MakeFont(const char* face, int height, int weight = 400, int escapement = 0, bool italic = false,
                         bool underline = false) {
    platform::FontDescription description;
    description.height = height;
    description.weight = weight;
    description.escapement = escapement;
    description.italic = italic;
    description.underline = underline;
    strncpy(description.faceName, face, sizeof description.faceName - 1);
    return platform::CreateFont(description);
}

void Line(platform::DeviceContext* dc, platform::Font* font, int x, int y, const char* text) {
    platform::Font* previous = platform::SelectFont(dc, font);
    platform::TextOut(dc, x, y, text, static_cast<int>(strlen(text)));
    platform::SelectFont(dc, previous);
    platform::DeleteFont(font);
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "text_sheet.bmp";
    platform::Surface surface;
    surface.width = 640;
    surface.height = 400;
    surface.format = platform::PixelFormat::XRGB8888;
    surface.pitch = surface.width * 4;
    surface.pixels.assign(static_cast<size_t>(surface.pitch) * surface.height, 0);
    for (size_t i = 0; i < surface.pixels.size(); i += 4) surface.pixels[i] = surface.pixels[i + 1] = 0x30;

    platform::DeviceContext* dc = platform::GetDC(surface);
    platform::SetBkMode(dc, platform::TRANSPARENT);
    platform::SetTextColor(dc, 0xFFFFFF);
    const char* gothic = "標準ゴシック";
    const char* mincho = "標準明朝";
    const char* sample = "ミルカネット！ HP 18 あいうえお漢字 AaBbQq 0123";
    Line(dc, MakeFont(gothic, 12), 8, 8, sample);
    Line(dc, MakeFont(mincho, 12), 8, 24, sample);
    Line(dc, MakeFont(gothic, 24), 8, 44, sample);
    Line(dc, MakeFont(mincho, 24), 8, 72, sample);
    Line(dc, MakeFont(gothic, 24, 700), 8, 100, "太字 Bold ゴシック");
    Line(dc, MakeFont(gothic, 24, 400, 0, true, true), 300, 100, "斜体 Italic 下線");

    // The debug style: white on dark blue, opaque.
    platform::SetBkMode(dc, platform::OPAQUE);
    platform::SetBkColor(dc, 0x800000);
    Line(dc, MakeFont(gothic, 12), 8, 134, "x=123 y=45 fps 60.0 ( max 75.0 / min 59.9 )");
    platform::SetBkMode(dc, platform::TRANSPARENT);

    Line(dc, MakeFont(gothic, 16, 400, 900), 20, 380, "上向き Upwards");
    Line(dc, MakeFont(gothic, 16, 400, 2700), 60, 160, "下向き Down");
    Line(dc, MakeFont(gothic, 16, 400, 450), 100, 380, "斜め 45 度 Slanted");

    platform::Rect box{300, 160, 460, 380};
    platform::Font* font = MakeFont(gothic, 16);
    platform::Font* previous = platform::SelectFont(dc, font);
    platform::SetTextColor(dc, 0x80FFFF);
    platform::DrawText(dc,
                       "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。 Word wrap keeps "
                       "whole words together.",
                       -1, box, platform::DT_WORDBREAK | platform::DT_NOPREFIX);
    platform::Rect right{470, 160, 630, 380};
    platform::DrawText(dc, "右寄せ the right edge\n中央", -1, right, platform::DT_WORDBREAK | platform::DT_RIGHT);
    platform::SelectFont(dc, previous);
    platform::DeleteFont(font);
    platform::ReleaseDC(dc);

    if (!WriteBmp(surface, path)) {
        fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    printf("%s\n", path);
    return 0;
}
