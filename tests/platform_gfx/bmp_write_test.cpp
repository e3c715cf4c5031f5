// The 24-bit BMP writer (layout and round trip through the decoder), file loading, and
// eltool decode-bmp end to end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/bmp.h"
#include "tests/support/run_program.h"

namespace {

using platform::Picture;

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

Picture Pattern(int w, int h) {
    Picture p{w, h, {}};
    uint32_t seed = 7u + w * 31u + h;
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245u + 12345u;
        p.pixels.push_back((seed >> 4) & 0xFFFFFF);
    }
    return p;
}

TEST(BmpWrite, LayoutAndRowPadding) {
    // Width 1: rows of 3 pixel bytes and one zero byte; bottom row first, bytes blue, green, red.
    const Picture p{1, 2, {0x112233, 0x445566}};
    const std::vector<uint8_t> f = platform::EncodeBmp24(p);
    ASSERT_EQ(f.size(), 54u + 8u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32(f, 2), 62u);
    EXPECT_EQ(U32(f, 10), 54u);
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(U32(f, 18), 1u);
    EXPECT_EQ(U32(f, 22), 2u);
    EXPECT_EQ(f[28], 24);
    EXPECT_EQ(U32(f, 34), 8u);
    EXPECT_EQ(U32(f, 38), 2834u);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.end()),
              (std::vector<uint8_t>{0x66, 0x55, 0x44, 0, 0x33, 0x22, 0x11, 0}));

    // Width 4: 12-byte rows without padding. With the 4-byte filler of the screen capture the
    // pixels start at 58 and the file is 58 + 12 * height bytes.
    const std::vector<uint8_t> g = platform::EncodeBmp24(Pattern(4, 3), 4);
    ASSERT_EQ(g.size(), 58u + 36u);
    EXPECT_EQ(U32(g, 2), 94u);
    EXPECT_EQ(U32(g, 10), 58u);
    EXPECT_EQ(U32(g, 54), 0u);
}

TEST(BmpWrite, RoundTripsThroughTheDecoder) {
    for (int w = 1; w <= 6; ++w) {
        for (int filler : {0, 4}) {
            const Picture p = Pattern(w, 3);
            const std::vector<uint8_t> f = platform::EncodeBmp24(p, filler);
            Picture back;
            ASSERT_TRUE(platform::DecodeBmp(f.data(), f.size(), back)) << w;
            EXPECT_EQ(back.width, w);
            EXPECT_EQ(back.pixels, p.pixels) << w;
        }
    }
    EXPECT_TRUE(platform::EncodeBmp24(Picture{3, 3, {1, 2}}).empty());  // fewer pixels than it says
}

class BmpFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("el_gfx_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    std::filesystem::path dir_;
};

TEST_F(BmpFileTest, SavesAndLoadsByName) {
    const Picture p = Pattern(5, 4);
    ASSERT_TRUE(platform::SaveBmp24(Path("shot.bmp").c_str(), p));
    Picture back;
    ASSERT_TRUE(platform::LoadBmpFile(Path("shot.bmp").c_str(), back));
    EXPECT_EQ(back.pixels, p.pixels);
    EXPECT_EQ(platform::LoadBmpFile(Path("missing.bmp").c_str(), back).error,
              platform::BmpError::FileNotFound);
    EXPECT_TRUE(back.pixels.empty());
    EXPECT_FALSE(platform::SaveBmp24(Path("no/such/folder/x.bmp").c_str(), p));
}

#ifdef EL_ELTOOL_PATH
int RunTool(const std::vector<std::string>& arguments) {
    return testsupport::RunProgram(EL_ELTOOL_PATH, arguments).status;
}

TEST_F(BmpFileTest, EltoolDecodeBmp) {
    // A 4-bit RLE picture in, a 24-bit picture of the same pixels out.
    const std::vector<uint8_t> rle = {
        'B', 'M',  0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0,    0,    40,   0, 0,    0,    3,    0, 0,
        0,   1,    0, 0, 0, 1, 0, 4, 0, 2, 0,  0, 0,    0,    0,    0, 0,    0,    0,    0, 0,
        0,   0,    0, 0, 2, 0, 0, 0, 0, 0, 0,  0, 0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0,  // palette
        3,   0x01, 0, 1};                                                                    // 0, 1, 0; end
    std::ofstream(Path("in.bmp"), std::ios::binary)
        .write(reinterpret_cast<const char*>(rle.data()), rle.size());
    ASSERT_EQ(RunTool({Path("in.bmp"), Path("out.bmp")}), 2);  // no subcommand
    ASSERT_EQ(RunTool({"decode-bmp", Path("in.bmp"), Path("out.bmp")}), 0);
    Picture out;
    ASSERT_TRUE(platform::LoadBmpFile(Path("out.bmp").c_str(), out));
    EXPECT_EQ(out.pixels, (std::vector<uint32_t>{0x102030, 0x405060, 0x102030}));

    std::ofstream(Path("bad.bmp"), std::ios::binary) << "BMnot really a picture";
    EXPECT_EQ(RunTool({"decode-bmp", Path("bad.bmp"), Path("out2.bmp")}), 1);
    EXPECT_FALSE(std::filesystem::exists(Path("out2.bmp")));
    EXPECT_EQ(RunTool({"decode-bmp", Path("in.bmp")}), 2);
    EXPECT_EQ(RunTool({"frobnicate"}), 2);
}
#endif

}  // namespace
