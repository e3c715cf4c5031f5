// The generator refuses broken sources with the file and line at fault, instead of writing
// pictures or stages that look wrong in the game.
#include "tools/contentgen/sources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/contentgen/chips.h"
#include "tools/contentgen/stage.h"

namespace content_test {
namespace {

namespace fs = std::filesystem;

class Sources : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("content_sources_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Write("palette.txt", "colour green 40 160 40\ncolour dark 20 80 20\ncolour grey 120 120 120\n");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& text) {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name) << text;
        return (dir_ / name).string();
    }
    // The message of the error the call throws, or "" when it does not throw.
    template <typename F>
    static std::string ErrorOf(F f) {
        try {
            f();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }
    fs::path dir_;
};

const char* kChips =
    "key g green\n"
    "key G grey\n"
    "shade green dark\n"
    "layer grass.1\n"
    "gggggggg\ngggggggg\ngggggggg\ngggggggg\ngggggggg\ngggggggg\ngggggggg\ngggggggg\n"
    "layer rock\n"
    "GGGGGGGG\nGGGGGGGG\nGGGGGGGG\nGGGGGGGG\nGGGGGGGG\nGGGGGGGG\nGGGGGGGG\nGGGGGGGG\n"
    "layer shade_n\n"
    "ssssssss\n........\n........\n........\n........\n........\n........\n........\n"
    "layer shade_w\n"
    "s.......\ns.......\ns.......\ns.......\ns.......\ns.......\ns.......\ns.......\n"
    "layer pebble\n"
    "........\n...G....\n........\n........\n........\n........\n........\n........\n";

TEST_F(Sources, AMisspeltParameterIsReportedWithItsLine) {
    std::string path = Write("figure.txt", "# a figure\nhead 12 11\nhaed 3\n");
    contentgen::Params p(path);
    p.Nums("head", 2);
    std::string error = ErrorOf([&] { p.CheckAllRead(); });
    EXPECT_NE(error.find("figure.txt:3"), std::string::npos) << error;
    EXPECT_NE(error.find("haed"), std::string::npos) << error;
}

TEST_F(Sources, ChipsComposeFromLayersAndRefuseHoles) {
    contentgen::Palette palette(
        Write("palette.txt", "colour green 40 160 40\ncolour dark 20 80 20\ncolour grey 120 120 120\n"));
    contentgen::ChipSet chips(Write("chips.txt", kChips), palette);
    EXPECT_EQ(chips.Index("grass.1"), 0);
    EXPECT_EQ(chips.Index("grass.1+shade_n+shade_w"), 1);
    EXPECT_EQ(chips.Index("grass.1"), 0);  // asked again: the same chip
    const contentgen::Image& shaded = chips.Chip(1);
    // Where both shadows fall the grass is darkened once, not twice.
    EXPECT_EQ(shaded.At(0, 0), (contentgen::Rgb{20, 80, 20}));
    EXPECT_EQ(shaded.At(1, 1), (contentgen::Rgb{40, 160, 40}));
    EXPECT_EQ(chips.Sheet().width, 640);
    // A chip with transparent pixels and nothing under them would show a hole in the map.
    std::string error = ErrorOf([&] { chips.Index("pebble"); });
    EXPECT_NE(error.find("unpainted"), std::string::npos) << error;
    // Shading a colour without a shade is an error, not a silent copy.
    error = ErrorOf([&] { chips.Index("rock+shade_n"); });
    EXPECT_NE(error.find("no shade"), std::string::npos) << error;
}

TEST_F(Sources, ARowOfTheWrongWidthNamesItsLine) {
    contentgen::Palette palette(dir_ / "palette.txt");
    std::string good = kChips;
    const int shortRow = static_cast<int>(std::count(good.begin(), good.end(), '\n')) + 3;
    std::string error = ErrorOf([&] {
        contentgen::ChipSet(Write("chips.txt", good + "layer broken\ngggggggg\nggggggg\n"), palette);
    });
    EXPECT_NE(error.find("chips.txt:" + std::to_string(shortRow) + ":"), std::string::npos) << error;
}

TEST_F(Sources, StageRefusesBrokenObjectsAndCharactersInWalls) {
    contentgen::Palette palette(dir_ / "palette.txt");
    std::string stone = "block stone 2 2\n";
    for (int r = 0; r < 16; ++r) stone += std::string(16, 'G') + "\n";
    contentgen::ChipSet chips(Write("chips.txt", kChips + stone), palette);
    Write("stage/legend.txt", "[.] ground grass\n[S] object stone 2 2 . blocks\n");
    // Nine rooms of grass; room (0, 0) holds a stone at its cells (10-11, 10-11).
    std::string row(96, '.');
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            std::string room;
            for (int r = 0; r < 72; ++r) {
                std::string line = row;
                if (i == 0 && j == 0 && (r == 10 || r == 11)) line.replace(10, 2, "SS");
                room += line + "\n";
            }
            Write("stage/room_" + std::to_string(i) + "_" + std::to_string(j) + ".txt", room);
        }
    const std::string people =
        "start 0 0\nprincess 0 0 40 40\ncompanion0 0 0 30 40\ncompanion1 0 0 50 40\ncompanion2 0 0 40 50\n";
    Write("stage/placements.txt", people);
    contentgen::Stage stage = contentgen::BuildStage((dir_ / "stage").string(), chips);
    EXPECT_EQ(stage.At(stage.blocking, 10, 10), 1);
    EXPECT_EQ(stage.At(stage.blocking, 12, 10), 0);
    EXPECT_EQ(stage.At(stage.placements, 40, 40), contentgen::kPrincess);

    // An enemy whose body would stand on the stone.
    Write("stage/placements.txt", people + "shield 0 0 10 7\n");
    std::string error = ErrorOf([&] { contentgen::BuildStage((dir_ / "stage").string(), chips); });
    EXPECT_NE(error.find("placements.txt:6"), std::string::npos) << error;
    EXPECT_NE(error.find("blocking"), std::string::npos) << error;

    // Half a stone: the object's block is incomplete.
    Write("stage/placements.txt", people);
    std::string room;
    for (int r = 0; r < 72; ++r) room += (r == 10 ? std::string("S") + row.substr(1) : row) + "\n";
    Write("stage/room_0_0.txt", room);
    error = ErrorOf([&] { contentgen::BuildStage((dir_ / "stage").string(), chips); });
    EXPECT_NE(error.find("not a whole 2 x 2 block"), std::string::npos) << error;
}

}  // namespace
}  // namespace content_test
