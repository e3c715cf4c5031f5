// Drawing primitives on the back buffer and the screen capture to a BMP file, at both depths.
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "engine/draw/capture.h"
#include "engine/draw/primitives.h"
#include "tests/engine_draw/draw_fixture.h"

namespace {

class PrimitivesCaptureTest : public DrawTest {
  protected:
    std::vector<uint8_t> ReadFile(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // What the capture must hold for a W x H corner whose pixel (x, y) shows `rgb(x, y)` (the bytes
    // written: blue, green, red), laid out field by field.
    template <typename Rgb>
    std::vector<uint8_t> ExpectedCapture(int w, int h, Rgb rgb) const {
        const int row = (3 * w + 3) / 4 * 4;
        std::vector<uint8_t> b;
        auto u16 = [&](uint32_t v) {
            b.push_back(static_cast<uint8_t>(v));
            b.push_back(static_cast<uint8_t>(v >> 8));
        };
        auto u32 = [&](uint32_t v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        u16(0x4D42), u32(58 + row * h), u16(0), u16(0), u32(58);
        u32(40), u32(w), u32(h), u16(1), u16(24), u32(0), u32(row * h), u32(2834), u32(2834), u32(0), u32(0);
        u32(0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t c = rgb(x, y);
                b.push_back(static_cast<uint8_t>(c));
                b.push_back(static_cast<uint8_t>(c >> 8));
                b.push_back(static_cast<uint8_t>(c >> 16));
            }
            for (int pad = 3 * w; pad < row; ++pad) b.push_back(0);
        }
        return b;
    }
};

TEST_P(PrimitivesCaptureTest, PixelsReadBackAsTheBackBufferShowsThem) {
    PutPixel(10, 20, 0x00123456);
    int r = -1, g = -1, b = -1;
    GetPixelRGB(10, 20, &r, &g, &b);
    if (GetParam() == 16) {
        EXPECT_EQ(r, 0x56 & 0xF8);
        EXPECT_EQ(g, 0x34 & 0xFC);
        EXPECT_EQ(b, 0x12 & 0xF8);
    } else {
        EXPECT_EQ(r, 0x56);
        EXPECT_EQ(g, 0x34);
        EXPECT_EQ(b, 0x12);
    }
    EXPECT_EQ(BackPixel(10, 20), platform::ColorToRaw(Display.backBuffer->format, 0x123456));
    PutPixel(800, 20, 0xFFFFFF);  // off the back buffer: nothing
    GetPixelRGB(-1, 0, &r, &g, &b);
    EXPECT_EQ(r, 255);
}

TEST_P(PrimitivesCaptureTest, PolygonFillModesChooseOutlineOpaqueOrTransparentHatching) {
    const platform::Point square[] = {{100, 100}, {140, 100}, {140, 140}, {100, 140}};
    const uint32_t paper = Raw(0x808080), line = platform::ColorToRaw(Display.backBuffer->format, 0x0000FF),
                   back = platform::ColorToRaw(Display.backBuffer->format, 0x00FF00);
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        platform::FillSurface(*Display.backBuffer, paper);
        DrawPolygon(square, 4, 0x0000FF, 0x00FF00, 1, mode);
        EXPECT_EQ(BackPixel(100, 120), line);  // the outline
        EXPECT_EQ(BackPixel(140, 140), line);
        EXPECT_EQ(BackPixel(120, 120), mode == 0 ? paper : line);  // (120 - 120) % 8 == 0: on the hatch
        EXPECT_EQ(BackPixel(121, 120), mode == 1 ? back : paper);  // a gap
        EXPECT_EQ(BackPixel(99, 120), paper);
    }
    // Lines, rectangles and curves reach the back buffer in its format.
    platform::FillSurface(*Display.backBuffer, paper);
    DrawLine(0, 0, 10, 0, 0x0000FF, 1);
    EXPECT_EQ(BackPixel(9, 0), line);
    EXPECT_EQ(BackPixel(10, 0), paper);
    DrawRectangle(20, 20, 30, 30, 0x00FF00, 0x0000FF, 2);
    EXPECT_EQ(BackPixel(21, 21), line);
    EXPECT_EQ(BackPixel(22, 22), back);
    EXPECT_EQ(BackPixel(30, 30), paper);
    const platform::Point curve[] = {{50, 50}, {60, 50}, {70, 50}, {80, 50}};
    DrawBezier(curve, 4, 0x00FF00, 1);
    EXPECT_EQ(BackPixel(65, 50), back);
}

TEST_P(PrimitivesCaptureTest, CapturesAreByteForByteTwentyFourBitFiles) {
    // White, a colour and black in the top-left corner.
    platform::FillSurface(*Display.backBuffer, 0);
    PutPixel(0, 0, 0xFFFFFF);
    PutPixel(1, 0, 0x204080);
    PutPixel(0, 1, 0x0000FF);
    auto shown = [&](int x, int y) {
        // 16 bits: each 5-bit channel times 8 (white 248); 32 bits: the channel bytes.
        const uint32_t raw = BackPixel(x, y);
        if (GetParam() == 32) return raw & 0xFFFFFF;
        const uint32_t r = raw >> 11, g = (raw >> 5 & 63) >> 1, b = raw & 31;
        return r * 8 << 16 | g * 8 << 8 | b * 8;
    };
    for (auto [w, h] : {std::pair{1, 2}, std::pair{4, 3}, std::pair{3, 1}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        ASSERT_EQ(SaveScreenBMP("shot.bmp", w, h), 1);
        EXPECT_EQ(ReadFile("shot.bmp"), ExpectedCapture(w, h, shown));
    }
    // The last capture, 3 x 1: a 12-byte row of 9 pixel bytes and 3 zeros, white first.
    const std::vector<uint8_t> file = ReadFile("shot.bmp");
    ASSERT_EQ(file.size(), 58u + 12);
    const uint8_t white = GetParam() == 16 ? 248 : 255;
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 58, file.begin() + 61),
              (std::vector<uint8_t>{white, white, white}));
}

TEST_P(PrimitivesCaptureTest, CapturesAreCutToTheBackBufferAndNeedALock) {
    platform::FillSurface(*Display.backBuffer, Raw(0x102030));
    ASSERT_EQ(SaveScreenBMP("big.bmp", 5000, 601), 1);
    const std::vector<uint8_t> big = ReadFile("big.bmp");
    ASSERT_EQ(big.size(), 58u + 2400 * 600);
    EXPECT_EQ(big[18] | big[19] << 8, 800);
    EXPECT_EQ(big[22] | big[23] << 8, 600);
    // A file that cannot be opened writes nothing and still answers 1.
    EXPECT_EQ(SaveScreenBMP("no_such_folder\\shot.bmp", 4, 4), 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "no_such_folder"));
    // A lost back buffer cannot be locked.
    Display.backBuffer->lost = true;
    EXPECT_EQ(SaveScreenBMP("lost.bmp", 4, 4), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "lost.bmp"));
    Display.backBuffer->lost = false;
}

// On a full disk (a file-size limit stands in for one) the capture keeps its answer but leaves the
// old file as it was and no partial file, and says what failed on standard error.
TEST_P(PrimitivesCaptureTest, ACaptureThatCannotBeWrittenWholeLeavesTheOldFileAndSaysWhy) {
    std::ofstream(folder / "full.bmp", std::ios::binary) << "old";
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 600 * 1024;  // the whole capture is 1,440,058 bytes
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    const int result = SaveScreenBMP("full.bmp", 800, 600);
    const std::string said = testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, 1);
    EXPECT_NE(said.find("elDraw::SaveScreenBMP: full.bmp: cannot write it whole"), std::string::npos) << said;
    const std::vector<uint8_t> old = ReadFile("full.bmp");
    EXPECT_EQ(std::string(old.begin(), old.end()), "old");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.path().filename().string().find("full.bmp") != std::string::npos;
    EXPECT_EQ(files, 1) << "a partial file was left";
}

INSTANTIATE_TEST_SUITE_P(Depths, PrimitivesCaptureTest, ::testing::Values(16, 32));

}  // namespace
