// Which rows of a frame are sent to the window: random frames against a model of what the window
// holds, the joining of nearby bands and their limit, and what makes every row go again.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/sdl/sdl_shown_rows.h"

namespace {

using platform::PixelFormat;
using platform::sdl::RowBand;
using platform::sdl::ShownRows;

struct Picture {
    int width, height, pitch;  // pitch in bytes, wider than the rows
    std::vector<uint8_t> bytes;
    Picture(int w, int h, int bytesPerPixel) : width(w), height(h), pitch(w * bytesPerPixel + 24) {
        bytes.assign(static_cast<size_t>(pitch) * h, 0);
    }
    uint8_t* Row(int y) { return bytes.data() + static_cast<size_t>(y) * pitch; }
};

std::vector<int> Tops(const std::vector<RowBand>& bands) {
    std::vector<int> tops;
    for (const RowBand& band : bands) tops.push_back(band.top);
    return tops;
}

TEST(ShownRowsTest, AWindowGivenOnlyTheBandsAlwaysEndsUpShowingTheFrame) {
    for (PixelFormat format : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        const int bytes = format == PixelFormat::RGB565 ? 2 : 4;
        Picture picture(37, 120, bytes);
        const size_t rowBytes = static_cast<size_t>(picture.width) * bytes;
        std::vector<std::vector<uint8_t>> window(picture.height, std::vector<uint8_t>(rowBytes, 0xAA));
        ShownRows shown;
        std::mt19937 rng(format == PixelFormat::RGB565 ? 5 : 9);
        for (int frame = 0; frame < 300; ++frame) {
            // A few changed bytes anywhere in the rows, now and then none, now and then many.
            const int changes = frame % 7 == 3 ? 0 : static_cast<int>(rng() % (frame % 11 == 0 ? 400 : 6));
            for (int i = 0; i < changes; ++i)
                picture.Row(static_cast<int>(rng() % picture.height))[rng() % rowBytes] ^=
                    static_cast<uint8_t>(1 + rng() % 255);
            picture.Row(static_cast<int>(rng() % picture.height))[rowBytes + rng() % 24] ^= 0xFF;  // padding
            const std::vector<RowBand>& bands =
                shown.Update(picture.bytes.data(), picture.pitch, format, picture.width, picture.height);
            ASSERT_LE(bands.size(), static_cast<size_t>(ShownRows::kMostBands));
            int below = 0;
            for (const RowBand& band : bands) {
                ASSERT_GE(band.top, below) << "bands overlap or go upwards";
                ASSERT_GT(band.count, 0);
                ASSERT_LE(band.top + band.count, picture.height);
                for (int y = band.top; y < band.top + band.count; ++y)
                    window[y].assign(picture.Row(y), picture.Row(y) + rowBytes);
                below = band.top + band.count + 1;
            }
            for (int y = 0; y < picture.height; ++y)
                ASSERT_TRUE(std::equal(window[y].begin(), window[y].end(), picture.Row(y)))
                    << "row " << y << " of frame " << frame << " at " << bytes * 8 << " bits";
        }
    }
}

TEST(ShownRowsTest, NearbyChangesGoAsOneBandAndDistantOnesApartUpToTheLimit) {
    Picture picture(16, 400, 2);
    ShownRows shown;
    ASSERT_EQ(shown.Update(picture.bytes.data(), picture.pitch, PixelFormat::RGB565, 16, 400).size(), 1u);
    EXPECT_TRUE(shown.Update(picture.bytes.data(), picture.pitch, PixelFormat::RGB565, 16, 400).empty());

    picture.Row(3)[31] = 1;  // the last byte of a row counts
    picture.Row(3 + ShownRows::kJoinGap)[0] = 1;
    picture.Row(100)[0] = 1;
    const std::vector<RowBand> bands =
        shown.Update(picture.bytes.data(), picture.pitch, PixelFormat::RGB565, 16, 400);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].top, 3);
    EXPECT_EQ(bands[0].count, ShownRows::kJoinGap + 1);
    EXPECT_EQ(bands[1].top, 100);
    EXPECT_EQ(bands[1].count, 1);

    // Twelve distant rows: eight bands, the last one reaching the last changed row.
    for (int i = 0; i < 12; ++i) picture.Row(i * 30)[4] ^= 0xFF;
    const std::vector<RowBand> many =
        shown.Update(picture.bytes.data(), picture.pitch, PixelFormat::RGB565, 16, 400);
    EXPECT_EQ(Tops(many), (std::vector<int>{0, 30, 60, 90, 120, 150, 180, 210}));
    EXPECT_EQ(many.back().top + many.back().count, 11 * 30 + 1);
}

TEST(ShownRowsTest, ForgettingOrAnotherSizeOrFormatSendsEveryRowAgain) {
    Picture picture(20, 50, 4);
    ShownRows shown;
    auto update = [&](PixelFormat format, int width, int height) {
        return shown.Update(picture.bytes.data(), picture.pitch, format, width, height);
    };
    update(PixelFormat::XRGB8888, 20, 50);
    EXPECT_TRUE(update(PixelFormat::XRGB8888, 20, 50).empty());
    shown.Forget();
    std::vector<RowBand> all = update(PixelFormat::XRGB8888, 20, 50);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].top, 0);
    EXPECT_EQ(all[0].count, 50);
    EXPECT_EQ(update(PixelFormat::XRGB8888, 20, 40).size(), 1u);
    EXPECT_EQ(update(PixelFormat::XRGB8888, 19, 40).size(), 1u);
    all = update(PixelFormat::RGB565, 19, 40);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].count, 40);
    EXPECT_TRUE(update(PixelFormat::RGB565, 19, 40).empty());
    EXPECT_TRUE(update(PixelFormat::RGB565, 0, 40).empty());
}

}  // namespace
