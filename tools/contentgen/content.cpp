// Building every picture and the stage from the sources, and writing them out.
#include "tools/contentgen/content.h"

#include <stdexcept>

#include "tools/contentgen/effects.h"
#include "tools/contentgen/figures.h"

namespace contentgen {

namespace {

// Sheets are painted on the key colour magenta; the pictures start-up keys on black get black
// where the sheet shows its background.
Image OnBlack(Image image, Rgb background) {
    for (Rgb& c : image.pixels)
        if (c == background) c = kBlack;
    return image;
}

}  // namespace

Content BuildContent(const std::string& assetsDir) {
    Content content;
    Palette palette(assetsDir + "/palette.txt");
    const Rgb magenta = palette.Colour("key_magenta");
    auto figure = [&](const char* name) { return Params(assetsDir + "/figures/" + name + ".txt"); };
    const Params effects(assetsDir + "/effects.txt");
    auto small = BuildPixelSheets(assetsDir + "/pictures.txt", palette);
    auto sheet = [&](const std::string& name) {
        if (!small.count(name)) throw std::runtime_error(assetsDir + "/pictures.txt: no sheet " + name);
        return small[name];
    };
    ChipSet chips(assetsDir + "/chips.txt", palette);
    content.stage = BuildStage(assetsDir + "/stage", chips);
    const Image blow = DrawBlow(palette, effects);
    content.pictures.push_back({"en.BMP", sheet("en.BMP"), 16, 16, KeyRule::Black});
    content.pictures.push_back({"en1.BMP", sheet("en1.BMP"), 16, 16, KeyRule::Black});
    content.pictures.push_back({"m_cp.bmp", chips.Sheet(), 8, 8, KeyRule::Black});
    content.pictures.push_back({"waku.BMP", DrawFrame(palette, effects), 800, 600, KeyRule::Black});
    content.pictures.push_back({"item.bmp", sheet("item.bmp"), 48, 48, KeyRule::Black});
    content.pictures.push_back({"biribiri.bmp", DrawShock(palette, effects), 250, 250, KeyRule::Black});
    content.pictures.push_back({"g_a1.bmp", blow, 48, 32, KeyRule::Black});
    content.pictures.push_back({"g_a2.bmp", blow.RotatedClockwise(), 32, 48, KeyRule::Black});
    content.pictures.push_back({"Ya.bmp", sheet("Ya.bmp"), 12, 12, KeyRule::Black});
    effects.CheckAllRead();
    content.pictures.push_back(
        {"atya.bmp", OnBlack(DrawArcherSheet(palette, figure("archer")), magenta), 48, 48, KeyRule::Black});
    content.pictures.push_back(
        {"tate1.bmp", OnBlack(DrawShieldSheet(palette, figure("shield")), magenta), 48, 48, KeyRule::Black});
    content.pictures.push_back(
        {"enemy00_00.bmp", DrawStrikerSheet(palette, figure("striker")), 48, 48, KeyRule::TopLeft});
    content.pictures.push_back(
        {"enemy00_01.bmp", DrawChaserSheet(palette, figure("chaser")), 48, 48, KeyRule::TopLeft});
    content.pictures.push_back(
        {"princess.bmp", DrawPrincessSheet(palette, figure("princess")), 96, 96, KeyRule::TopLeft});
    const Params companions = figure("companions");
    for (int k = 0; k < 3; ++k)
        content.pictures.push_back({"damenzu_0" + std::to_string(k) + ".bmp",
                                    DrawCompanionSheet(k, palette, companions), 56, 56, KeyRule::TopLeft});
    content.pictures.push_back(
        {"damenzu_ef00.bmp", DrawFlightEffectSheet(palette, companions), 56, 56, KeyRule::TopLeft});
    companions.CheckAllRead();
    return content;
}

const Picture& FindPicture(const Content& content, const std::string& name) {
    for (const Picture& p : content.pictures)
        if (p.name == name) return p;
    throw std::runtime_error("no picture " + name);
}

void WriteContent(const Content& content, const std::string& programDir) {
    for (const Picture& p : content.pictures) WriteBmp(programDir + "/BMP/" + p.name, p.image);
    auto text = [&](const std::string& name, const std::string& body) {
        WriteFileBytes(programDir + "/" + name, std::vector<uint8_t>(body.begin(), body.end()));
    };
    text("stagedata.txt", StageDataText(content.stage));
    text("map01_data.txt", LayerText(content.stage.chips));
    text("map01_zk.txt", LayerText(content.stage.blocking));
    text("map01_teki.txt", LayerText(content.stage.placements));
}

}  // namespace contentgen
