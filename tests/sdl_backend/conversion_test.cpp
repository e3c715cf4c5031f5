// Presentation's pixel work: widening RGB565, scaling by whole numbers and by aspect, the bars,
// and the screenshot file read back.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/blit.h"
#include "platform/sdl/sdl_convert.h"
#include "platform/sdl/sdl_screenshot.h"
#include "tests/support/write_failures.h"

namespace {

using platform::PixelFormat;
using platform::sdl::Box;

uint32_t Reference565(uint16_t pixel) {
    auto widen = [](unsigned value, unsigned maximum) { return (value * 255u + maximum / 2u) / maximum; };
    return 0xFF000000u | (widen(pixel >> 11, 31) << 16) | (widen((pixel >> 5) & 63u, 63) << 8) |
           widen(pixel & 31u, 31);
}

// A source picture whose pixels all differ, in either format.
std::vector<uint8_t> Picture(PixelFormat format, int width, int height) {
    const int bytes = format == PixelFormat::RGB565 ? 2 : 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * bytes);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 131u + (i >> 9));
    return pixels;
}

TEST(ConversionTest, EveryRgb565ValueWidensToTheNearestEightBitValues) {
    std::vector<uint16_t> all(65536 + 5);  // an odd count also runs the tail after the wide steps
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint16_t>(i);
    // With the widest steps the processor has, and with SSE2 alone.
    const platform::BlitLevel best = platform::BestBlitLevel();
    for (platform::BlitLevel level : {best, platform::BlitLevel::SSE2}) {
        ASSERT_TRUE(platform::SetBlitLevel(level));
        SCOPED_TRACE(platform::BlitLevelName(level));
        std::vector<uint32_t> out(all.size());
        platform::sdl::ConvertRow(reinterpret_cast<const uint8_t*>(all.data()), PixelFormat::RGB565,
                                  out.data(), static_cast<int>(all.size()));
        for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(out[i], Reference565(all[i])) << "pixel " << i;
        EXPECT_EQ(out[0xFFFF], 0xFFFFFFFFu);
        EXPECT_EQ(out[0xF800], 0xFFFF0000u);
    }
    platform::SetBlitLevel(best);

    const uint32_t wide[] = {0x00123456u, 0x00FFFFFFu, 0x00000000u, 0x00ABCDEFu, 0x00010203u};
    uint32_t copied[5];
    platform::sdl::ConvertRow(reinterpret_cast<const uint8_t*>(wide), PixelFormat::XRGB8888, copied, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(copied[i], wide[i] | 0xFF000000u);
}

// Scales into a target with a margin around the picture and checks each target pixel against the
// source pixel under it, and that the margin is untouched.
void ExpectScaled(PixelFormat format, int width, int height, const Box& where, int targetWidth,
                  int targetHeight) {
    const std::vector<uint8_t> source = Picture(format, width, height);
    const int bytes = format == PixelFormat::RGB565 ? 2 : 4;
    std::vector<uint32_t> target(static_cast<size_t>(targetWidth) * targetHeight, 0x12345678u);
    std::vector<uint32_t> scratch(static_cast<size_t>(width));
    platform::sdl::ScaleInto(source.data(), width * bytes, format, width, height,
                             reinterpret_cast<uint8_t*>(target.data()), targetWidth * 4, where,
                             scratch.data());
    std::vector<uint32_t> row(static_cast<size_t>(width));
    int wrong = 0;
    for (int y = 0; y < targetHeight; ++y) {
        for (int x = 0; x < targetWidth; ++x) {
            const uint32_t got = target[static_cast<size_t>(y) * targetWidth + x];
            uint32_t expected = 0x12345678u;
            if (x >= where.x && x < where.x + where.width && y >= where.y && y < where.y + where.height) {
                const int sourceY = (y - where.y) * height / where.height;
                const int sourceX = (x - where.x) * width / where.width;
                platform::sdl::ConvertRow(source.data() + static_cast<size_t>(sourceY) * width * bytes,
                                          format, row.data(), width);
                expected = row[sourceX];
            }
            if (got != expected && ++wrong <= 3) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    }
}

TEST(ConversionTest, WholeNumberAndAspectScalingPickTheSourcePixelUnderEachTargetPixel) {
    ExpectScaled(PixelFormat::RGB565, 37, 21, Box{3, 2, 37, 21}, 45, 25);
    ExpectScaled(PixelFormat::RGB565, 37, 21, Box{5, 1, 74, 42}, 84, 44);
    ExpectScaled(PixelFormat::XRGB8888, 37, 21, Box{0, 4, 111, 63}, 115, 70);
    ExpectScaled(PixelFormat::XRGB8888, 40, 30, Box{2, 0, 53, 40}, 57, 40);  // 4:3 stretched by 4/3
    ExpectScaled(PixelFormat::RGB565, 40, 30, Box{1, 1, 90, 61}, 93, 63);    // unequal factors
    // Rows written a stretch at a time, from a start that is not on a 16-byte boundary, and a
    // factor beyond the stretch buffer.
    ExpectScaled(PixelFormat::RGB565, 150, 7, Box{3, 1, 300, 14}, 305, 16);
    ExpectScaled(PixelFormat::XRGB8888, 131, 5, Box{2, 0, 524, 20}, 530, 21);
    ExpectScaled(PixelFormat::XRGB8888, 5, 3, Box{1, 1, 85, 51}, 87, 53);
}

TEST(ConversionTest, BarsFillEverythingOutsideThePictureOnly) {
    const int width = 20, height = 10;
    std::vector<uint32_t> target(width * height, 7u);
    const Box picture{6, 2, 8, 5};
    platform::sdl::FillBars(reinterpret_cast<uint8_t*>(target.data()), width * 4, width, height, picture);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= 6 && x < 14 && y >= 2 && y < 7;
            EXPECT_EQ(target[y * width + x], inside ? 7u : 0xFF000000u) << x << "," << y;
        }
    // A picture of no size leaves nothing unfilled and does not hang.
    platform::sdl::FillBars(reinterpret_cast<uint8_t*>(target.data()), width * 4, width, height,
                            Box{3, 3, 0, 0});
    EXPECT_EQ(target[3 * width + 3], 0xFF000000u);
}

TEST(ScreenshotTest, APngHoldsTheFrameAsPresentedAndIsNeverOverwritten) {
    const int width = 13, height = 7;
    const std::vector<uint8_t> frame = Picture(PixelFormat::RGB565, width, height);
    const std::string path = testing::TempDir() + "milkanet-shot-test.png";
    std::remove(path.c_str());
    ASSERT_TRUE(platform::sdl::WritePng(path, frame.data(), width * 2, PixelFormat::RGB565, width, height));
    EXPECT_FALSE(platform::sdl::WritePng(path, frame.data(), width * 2, PixelFormat::RGB565, width, height));
    EXPECT_EQ(errno, EEXIST);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_RGB;
    ASSERT_EQ(image.width, static_cast<png_uint_32>(width));
    ASSERT_EQ(image.height, static_cast<png_uint_32>(height));
    std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr));
    std::vector<uint32_t> row(width);
    for (int y = 0; y < height; ++y) {
        platform::sdl::ConvertRow(frame.data() + y * width * 2, PixelFormat::RGB565, row.data(), width);
        for (int x = 0; x < width; ++x) {
            const uint8_t* rgb = &read[(static_cast<size_t>(y) * width + x) * 3];
            EXPECT_EQ((uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2], row[x] & 0xFFFFFFu);
        }
    }
    std::remove(path.c_str());
}

TEST(ScreenshotTest, ThePicturesFolderComesFromUserDirsElseHome) {
    const std::string home = testing::TempDir() + "milkanet-home." + std::to_string(::getpid());
    const std::string config = home + "/config";
    std::filesystem::create_directories(config);
    const std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const std::string oldConfig =
        std::getenv("XDG_CONFIG_HOME") != nullptr ? std::getenv("XDG_CONFIG_HOME") : "";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    unsetenv("XDG_PICTURES_DIR");
    std::remove((config + "/user-dirs.dirs").c_str());
    EXPECT_EQ(platform::sdl::PicturesFolder(), home + "/Pictures");
    FILE* dirs = std::fopen((config + "/user-dirs.dirs").c_str(), "w");
    ASSERT_NE(dirs, nullptr);
    std::fputs(
        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
        dirs);
    std::fclose(dirs);
    EXPECT_EQ(platform::sdl::PicturesFolder(), home + "/Bilder");
    setenv("XDG_PICTURES_DIR", "/srv/shots", 1);
    EXPECT_EQ(platform::sdl::PicturesFolder(), "/srv/shots");
    unsetenv("XDG_PICTURES_DIR");
    setenv("HOME", oldHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    std::filesystem::remove_all(home);
}

}  // namespace

namespace {

// A screenshot that does not fit on the disk (a file-size limit stands in for a full one) leaves
// no file, partial or temporary, and says why; so does one in a folder that takes no file.
TEST(ScreenshotTest, AShotThatCannotBeWrittenLeavesNoFile) {
    const int width = 640, height = 480;
    std::vector<uint8_t> frame(static_cast<size_t>(width) * height * 4);
    std::mt19937 noise(7);  // pixels that do not compress
    for (uint8_t& byte : frame) byte = static_cast<uint8_t>(noise());
    const std::filesystem::path folder =
        testing::TempDir() + "milkanet-shot-full-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "shot.png").string();
    std::string reason;
    const bool written = testsupport::WithFileSizeLimit(16 * 1024, [&] {
        return platform::sdl::WritePng(path, frame.data(), width * 4, PixelFormat::XRGB8888, width, height,
                                       &reason);
    });
    EXPECT_FALSE(written);
    EXPECT_EQ(reason.rfind("cannot write it whole (", 0), 0u) << reason;
    EXPECT_TRUE(testsupport::FolderNames(folder).empty());
    const int refused = testsupport::InReadOnlyFolder(folder, [&] {
        return platform::sdl::WritePng(path, frame.data(), width * 4, PixelFormat::XRGB8888, width, height)
                   ? 1
                   : 0;
    });
    std::filesystem::remove_all(folder);
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
}

}  // namespace
