// The smooth-text reduction at every instruction-set level against the one-pixel reference: random
// coverage pictures with clipped edges, odd sizes and several column blocks, and real smoothed
// text at 16 and 24 pixels drawn through the engine, at both depths.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/text/text_block.h"
#include "platform/soft/text_reduce.h"
#include "platform/soft/text_touched.h"
#include "platform/text.h"
#include "text_block_fixture.h"

namespace {

using platform::BlitLevel;
using platform::ReduceFormat;
using platform::ReduceJob;

std::vector<BlitLevel> VectorLevels() {
    std::vector<BlitLevel> levels;
    for (BlitLevel l : {BlitLevel::SSE2, BlitLevel::AVX2, BlitLevel::AVX512})
        if (l <= platform::BestBlitLevel()) levels.push_back(l);
    return levels;
}

// A picture of raw pixels with rows `pitch` bytes apart (wider than the pixels, as surfaces may be).
struct Plane {
    int width, height, bytes;
    ptrdiff_t pitch;
    std::vector<uint8_t> data;
    Plane(int w, int h, int pixelBytes)
        : width(w),
          height(h),
          bytes(pixelBytes),
          pitch(static_cast<ptrdiff_t>(w + 3) * pixelBytes),
          data(static_cast<size_t>(pitch) * h + 64, 0) {}
    uint8_t* At(int x, int y) { return data.data() + y * pitch + static_cast<ptrdiff_t>(x) * bytes; }
    void Set(int x, int y, uint32_t v) { std::memcpy(At(x, y), &v, bytes); }
};

// Coverage as text leaves it: blobs of one ink with edges in other colours, holes of 0, and stray
// pixels whose colour bits are 0 apart from the top byte at 32 bits (not set, but not 0 either).
void FillCoverage(Plane& p, std::mt19937& rng, bool wide) {
    const uint32_t colour = wide ? 0xFFFFFF : 0xFFFF;
    const uint32_t ink = (rng() & colour) | 1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint32_t roll = rng() % 16;
            uint32_t v = 0;
            if (roll < 5)
                v = ink;
            else if (roll < 8)
                v = rng() & colour;
            else if (roll == 8 && wide)
                v = 0xAB000000u;
            else if (roll == 9)
                v = rng() | (wide ? 0xFF000000u : 0);
            p.Set(x, y, v);
        }
}

void FillRandom(Plane& p, std::mt19937& rng) {
    for (uint8_t& b : p.data) b = static_cast<uint8_t>(rng());
}

struct Case {
    int sourceWidth, sourceHeight, firstX, firstY, width, height;
};

// Runs the reference and a level on the same job; the targets start alike with random pixels.
void ExpectLevelMatches(BlitLevel level, const ReduceFormat& format, const Case& c, uint32_t seed) {
    std::mt19937 rng(seed);
    const int bytes = format.wide ? 4 : 2;
    // The source is larger than the part the job reads, whose outside must stay unread.
    Plane source(c.sourceWidth + 5, c.sourceHeight + 3, bytes), under(c.width, c.height, bytes);
    Plane expected(c.width, c.height, bytes);
    FillCoverage(source, rng, format.wide);
    FillRandom(under, rng);
    FillRandom(expected, rng);
    Plane actual = expected;
    ReduceJob job;
    job.source = source.data.data();
    job.sourcePitch = source.pitch;
    job.sourceWidth = c.sourceWidth;
    job.sourceHeight = c.sourceHeight;
    job.firstX = c.firstX;
    job.firstY = c.firstY;
    job.width = c.width;
    job.height = c.height;
    job.under = under.data.data();
    job.underPitch = under.pitch;
    job.target = expected.data.data();
    job.targetPitch = expected.pitch;
    platform::ReduceLoopFor(BlitLevel::Scalar, format)(job, format);
    job.target = actual.data.data();
    platform::ReduceLoop loop = platform::ReduceLoopFor(level, format);
    ASSERT_NE(loop, nullptr) << platform::BlitLevelName(level);
    loop(job, format);
    int first = -1;
    for (int y = 0; y < c.height && first < 0; ++y)
        if (std::memcmp(expected.At(0, y), actual.At(0, y), static_cast<size_t>(c.width) * bytes) != 0)
            first = y;
    EXPECT_EQ(first, -1) << platform::BlitLevelName(level) << " " << (format.wide ? 32 : 16) << "-bit, "
                         << c.width << "x" << c.height << " from (" << c.firstX << ", " << c.firstY << ") of "
                         << c.sourceWidth << "x" << c.sourceHeight << ", seed " << seed;
    EXPECT_EQ(expected.data, actual.data) << "pixels past the row ends are left alone";
}

TEST(SmoothReduce, EveryLevelEqualsTheReferenceOnRandomCoverage) {
    const std::vector<ReduceFormat> formats = {
        {false, {11, 6, 0}},  // 5-6-5: green's top five bits
        {false, {10, 5, 0}},  // 5-5-5
        {true, {16, 8, 0}},
        {true, {0, 8, 16}},  // blue first
    };
    // Whole and partial vectors, several column blocks, odd sizes, the drawing ending inside the
    // job (right and bottom), starts past the left and top edges, and a drawing of one pixel.
    const std::vector<Case> cases = {
        {16, 16, 0, 0, 8, 8},    {34, 18, 0, 0, 17, 9},     {33, 17, 0, 0, 17, 9},
        {200, 40, 3, 1, 90, 17}, {1201, 49, 0, 0, 601, 25}, {1600, 48, 7, 0, 793, 24},
        {60, 30, 0, 0, 37, 20},  {1, 1, 0, 0, 5, 3},        {513, 7, 1, 2, 300, 5},
        {2, 2, 0, 0, 1, 1},      {96, 64, 40, 20, 13, 11},  {1000, 3, 0, 0, 520, 1},
    };
    uint32_t seed = 1;
    for (BlitLevel level : VectorLevels())
        for (const ReduceFormat& format : formats)
            for (const Case& c : cases) ExpectLevelMatches(level, format, c, seed++);
    // Dense random jobs.
    std::mt19937 rng(2024);
    for (int k = 0; k < 60; ++k) {
        const int w = 1 + static_cast<int>(rng() % 400), h = 1 + static_cast<int>(rng() % 12);
        const Case c{1 + static_cast<int>(rng() % (2 * w + 40)),
                     1 + static_cast<int>(rng() % (2 * h + 4)),
                     static_cast<int>(rng() % 4),
                     static_cast<int>(rng() % 3),
                     w,
                     h};
        for (BlitLevel level : VectorLevels())
            for (const ReduceFormat& format : formats) ExpectLevelMatches(level, format, c, seed++);
    }
}

TEST(SmoothReduce, LevelsWithoutAVectorLoopForTheFormatGiveNoneAndTheReferenceRuns) {
    const ReduceFormat odd{true, {1, 9, 15}};  // channels not on whole bytes
    for (BlitLevel level : VectorLevels()) EXPECT_EQ(platform::ReduceLoopFor(level, odd), nullptr);
    EXPECT_NE(platform::ReduceLoopFor(BlitLevel::Scalar, odd), nullptr);
    // ReduceText falls back to the reference: one set pixel in a 2 x 2 drawing over black.
    std::vector<uint32_t> source = {0x00FFFFFF, 0, 0, 0}, under = {0}, target = {0x12345678};
    ReduceJob job;
    job.source = reinterpret_cast<const uint8_t*>(source.data());
    job.sourcePitch = 8;
    job.sourceWidth = job.sourceHeight = 2;
    job.width = job.height = 1;
    job.target = reinterpret_cast<uint8_t*>(target.data());
    job.under = reinterpret_cast<const uint8_t*>(under.data());
    job.targetPitch = job.underPitch = 4;
    platform::ReduceText(job, odd);
    // Each level (255 + 255) / 8 = 63 at its position.
    EXPECT_EQ(target[0], 63u << 1 | 63u << 9 | 63u << 15);
}

class SmoothReduceText : public TextBlockTest {
  protected:
    void TearDown() override {
        platform::SetBlitLevel(platform::BestBlitLevel());
        TextBlockTest::TearDown();
    }
    // The Font sprite and the back buffer after a smoothed block over a patterned background.
    std::vector<uint32_t> Draw(int size, uint16_t effects) {
        platform::Surface& back = *Display.backBuffer;
        for (int y = 0; y < back.height; ++y)
            for (int x = 0; x < back.width; ++x)
                platform::SetRawPixel(back, x, y,
                                      Raw(static_cast<uint32_t>(x * 0x010203 + y * 0x030201) & 0xFFFFFF));
        SetSmoothFont(1, size);
        SetTextColors(0xF0E0D0, 0x204060, 1);
        const std::string line = "吾輩は猫である。名前はまだ無い。Smooth text, 16 & 24 px.\n";
        std::string text;
        for (int k = 0; k < 4; ++k) text += line;
        DrawSmoothText(13, 7, 781, 590, text.c_str(), effects);
        ReleaseSmoothFont();
        std::vector<uint32_t> pixels;
        for (const platform::Surface* s : {&FontSprite(), &back})
            for (int y = 0; y < s->height; ++y)
                for (int x = 0; x < s->width; ++x) pixels.push_back(Pixel(*s, x, y));
        return pixels;
    }
};

TEST_P(SmoothReduceText, RealTextIsTheSameAtEveryLevel) {
    for (int size : {16, 24}) {
        for (uint16_t effects : {uint16_t{0}, uint16_t{TEXT_SHADOW | TEXT_BOLD_X | 4}}) {
            platform::SetBlitLevel(BlitLevel::Scalar);
            const std::vector<uint32_t> reference = Draw(size, effects);
            int inked = 0;
            for (int y = 0; y < FontSprite().height; ++y)
                for (int x = 0; x < FontSprite().width; ++x) inked += Pixel(FontSprite(), x, y) != 0;
            EXPECT_GT(inked, 2000) << "the block drew text";
            for (BlitLevel level : VectorLevels()) {
                ASSERT_TRUE(platform::SetBlitLevel(level));
                EXPECT_TRUE(Draw(size, effects) == reference)
                    << platform::BlitLevelName(level) << ", " << size << " px, effects " << effects;
            }
        }
    }
}

// The Font buffer is cleared after each segment only where its text drew: whatever the effects and
// however many segments and rows, it is wholly clear after a block, as it was before it.
TEST_P(SmoothReduceText, TheFontBufferIsWhollyClearAfterEveryBlock) {
    platform::Surface& buffer = *ObjectSurface(kFontBufferSprite);
    const std::string text =
        "吾輩は猫である。名前はまだ無い。\nどこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で";
    for (uint16_t effects : {uint16_t{0}, uint16_t{TEXT_SHADOW | TEXT_BOLD_X | TEXT_BOLD_Y | 6}}) {
        for (int right : {790, 300}) {  // one segment a row, and rows wrapped at the right edge
            SetSmoothFont(0, 24);
            SetTextColors(0xFFFFFF, 0x808080, 1);
            DrawSmoothText(10, 10, right, 590, text.c_str(), effects);
            ReleaseSmoothFont();
            EXPECT_GT(InkCount(FontSprite(), 0, 0, 800, 600), 1000);
            EXPECT_EQ(InkCount(buffer, 0, 0, buffer.width, buffer.height), 0)
                << "effects " << effects << ", right edge " << right;
        }
    }
}

// The box TextOut reports holds every pixel it wrote, and is started again once taken.
TEST_P(SmoothReduceText, TheTouchedBoxHoldsEveryPixelTextWrote) {
    platform::Surface& buffer = *ObjectSurface(kFontBufferSprite);
    ClearObject(kFontBufferSprite);
    platform::DeviceContext* dc = platform::GetDC(buffer);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(platform::TakeTextTouched(dc).right, 0) << "nothing drawn yet";
    platform::SetBkMode(dc, platform::TRANSPARENT);
    platform::SetTextColor(dc, 0xFFFFFF);
    platform::TextOut(dc, 37, 21, "Ag猫", static_cast<int>(std::strlen("Ag猫")));
    platform::TextOut(dc, 5, 300, "j", 1);
    const platform::Rect box = platform::TakeTextTouched(dc);
    int inside = 0;
    for (int y = 0; y < buffer.height; ++y)
        for (int x = 0; x < buffer.width; ++x) {
            if (Pixel(buffer, x, y) == 0) continue;
            const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            inside += in;
            if (!in) ADD_FAILURE() << "written pixel (" << x << ", " << y << ") outside the box";
        }
    EXPECT_GT(inside, 20);
    EXPECT_LE(box.left, 37);
    EXPECT_GE(box.bottom, 301);
    EXPECT_EQ(platform::TakeTextTouched(dc).right, 0) << "taken: a new box starts";
    EXPECT_EQ(platform::TakeTextTouched(nullptr).right, 0);
    platform::ReleaseDC(dc);
}

INSTANTIATE_TEST_SUITE_P(Depths, SmoothReduceText, ::testing::Values(16, 32));

}  // namespace
