#include "gui/image_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/heap_probe.h"
#include "tests/support/test_data.h"

namespace {

// The same value in all four channels.
uint32_t grey(uint32_t v) { return v * 0x01010101u; }

uint32_t bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) { return b | g << 8 | r << 16 | a << 24; }

std::vector<uint32_t> pixels_of(const uint32_t* pixels, size_t count)
{
    return std::vector<uint32_t>(pixels, pixels + count);
}
std::vector<uint32_t> pixels_of(const _typebuf<uint32_t>& block) { return pixels_of(block.Data(), block.Count()); }
std::vector<uint32_t> pixels_of(const cImageBuffer& image)
{
    return pixels_of(image.GetPixels(), image.GetPixelCount());
}

std::vector<uint32_t> pixels_from_hex(const std::string& hex)
{
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 8 <= hex.size(); i += 8)
        pixels.push_back(uint32_t(std::stoul(hex.substr(i, 8), nullptr, 16)));
    return pixels;
}

}  // namespace

// Worked by hand: enlarging interpolates between pixel centres, shrinking
// weighs a partly covered pixel by the part covered (3 to 2: target 0 =
// (src0 + 0.5 src1) / 1.5), every channel on its own, every row on its own.
TEST(ImageResample, RowsAreResampledChannelByChannel)
{
    const struct {
        std::vector<uint32_t> source;
        int32_t width;
        int32_t rows;
        int32_t target;
        std::vector<uint32_t> expected;
    } cases[] = {
        {{grey(10), grey(21)}, 2, 1, 4, {grey(10), grey(10), grey(15), grey(21)}},
        {{bgra(30, 0, 255, 9), bgra(60, 100, 255, 9), bgra(90, 200, 0, 9)}, 3, 1, 2,
         {bgra(40, 33, 255, 9), bgra(80, 166, 85, 9)}},
        {{grey(0), grey(100), grey(200), grey(50)}, 2, 2, 1, {grey(50), grey(125)}},
        {{grey(0), grey(100), grey(200), grey(50)}, 2, 2, 2, {grey(0), grey(100), grey(200), grey(50)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.rows << " to " << c.target);
        _typebuf<uint32_t> out;
        ASSERT_TRUE(cImageBuffer::ResampleRows(c.source.data(), c.width, c.rows, c.target, out));
        EXPECT_EQ(pixels_of(out), c.expected);
    }
}

TEST(ImageResample, RefusesEmptyInputAndLeavesTheOutputAlone)
{
    const uint32_t row[2] = {1, 2};
    _typebuf<uint32_t> out(3);
    uint32_t* held = out.Data();
    EXPECT_FALSE(cImageBuffer::ResampleRows(nullptr, 2, 1, 4, out));
    EXPECT_FALSE(cImageBuffer::ResampleRows(row, 0, 1, 4, out));
    EXPECT_FALSE(cImageBuffer::ResampleRows(row, 2, 0, 4, out));
    EXPECT_FALSE(cImageBuffer::ResampleRows(row, 2, 1, 0, out));
    EXPECT_FALSE(cImageBuffer::RotateLeft(nullptr, 2, 1, out));
    EXPECT_FALSE(cImageBuffer::RotateRight(row, 0, 1, out));
    EXPECT_EQ(out.Data(), held);
    EXPECT_EQ(out.Count(), 3);
}

TEST(ImageRotate, LeftAndRightTurnAQuarter)
{
    // Stored rows (bottom row first) of a 3 x 2 picture:
    //   row 1: 4 5 6
    //   row 0: 1 2 3
    const uint32_t picture[6] = {1, 2, 3, 4, 5, 6};
    // The output may hold the source.
    _typebuf<uint32_t> turned(6);
    for (int i = 0; i < 6; ++i)
        turned[i] = picture[i];
    ASSERT_TRUE(cImageBuffer::RotateLeft(turned.Data(), 3, 2, turned));
    // Three rows of two: the last column becomes the first row.
    EXPECT_EQ(pixels_of(turned), (std::vector<uint32_t>{3, 6, 2, 5, 1, 4}));
    _typebuf<uint32_t> right;
    ASSERT_TRUE(cImageBuffer::RotateRight(picture, 3, 2, right));
    EXPECT_EQ(pixels_of(right), (std::vector<uint32_t>{4, 1, 5, 2, 6, 3}));
    ASSERT_TRUE(cImageBuffer::RotateRight(turned.Data(), 2, 3, turned));
    EXPECT_EQ(pixels_of(turned), (std::vector<uint32_t>(picture, picture + 6)));
}

TEST(ImageScale, MatchesTheIndependentModelAndGivesBackEveryBlockItTook)
{
    auto cases = read_test_records("image_scale_cases.txt");
    ASSERT_GT(cases.size(), 50u);
    int before = heap_busy_blocks();
    for (const auto& c : cases) {
        ASSERT_EQ(c.size(), 7u);
        int mode = int(hex_value(c[0]));
        int w = int(hex_value(c[1])), h = int(hex_value(c[2]));
        int tw = int(hex_value(c[3])), th = int(hex_value(c[4]));
        std::vector<uint32_t> source = pixels_from_hex(c[5]);
        cImageBuffer image;
        ASSERT_TRUE(image.SetPixels(source.data(), w, h, false));
        cImageBuffer out;
        SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << w << "x" << h << " to " << tw << "x" << th);
        ASSERT_TRUE(cImageBuffer::Scale(mode, &image, tw, th, &out));
        EXPECT_EQ(out.GetWidth(), tw);
        EXPECT_EQ(out.GetHeight(), th);
        EXPECT_TRUE(out.IsConsistent());
        EXPECT_EQ(pixels_of(out), pixels_from_hex(c[6]));
    }
    EXPECT_EQ(heap_busy_blocks(), before);
}

TEST(ImageScale, SameSizeIsACopyAndAnImageMayBeScaledIntoItself)
{
    const uint32_t source[4] = {1, 2, 3, 4};
    for (int mode = 0; mode < 2; ++mode) {
        cImageBuffer image;
        ASSERT_TRUE(image.SetPixels(source, 2, 2, false));
        cImageBuffer out;
        ASSERT_TRUE(cImageBuffer::Scale(mode, &image, 2, 2, &out));
        EXPECT_NE(out.GetPixels(), image.GetPixels());
        EXPECT_EQ(pixels_of(out), (std::vector<uint32_t>(source, source + 4)));

        const uint32_t row[2] = {grey(10), grey(21)};
        ASSERT_TRUE(image.SetPixels(row, 2, 1, false));
        ASSERT_TRUE(cImageBuffer::Scale(mode, &image, 4, 1, &image));
        EXPECT_EQ(image.GetWidth(), 4);
        EXPECT_EQ(image.GetPixelCount(), 4u);
        EXPECT_EQ(image.GetPixels()[3], grey(21));
    }
}

TEST(ImageScale, RefusesUnknownModesAndUnusableImages)
{
    const uint32_t source[4] = {1, 2, 3, 4};
    cImageBuffer image;
    ASSERT_TRUE(image.SetPixels(source, 2, 2, false));
    cImageBuffer out;
    EXPECT_FALSE(cImageBuffer::Scale(2, &image, 3, 3, &out));
    EXPECT_FALSE(cImageBuffer::Scale(-1, &image, 3, 3, &out));

    cImageBuffer empty;
    cImageBuffer inconsistent;
    _typebuf<uint32_t> five(5);
    inconsistent.Attach(five, 2, 2);
    for (int mode = 0; mode < 2; ++mode) {
        EXPECT_FALSE(cImageBuffer::Scale(mode, &image, 3, 3, nullptr));
        EXPECT_FALSE(cImageBuffer::Scale(mode, nullptr, 3, 3, &out));
        EXPECT_FALSE(cImageBuffer::Scale(mode, &empty, 3, 3, &out));
        EXPECT_FALSE(cImageBuffer::Scale(mode, &inconsistent, 3, 3, &out));
        EXPECT_FALSE(cImageBuffer::Scale(mode, &image, 0, 3, &out));
    }
    EXPECT_EQ(out.GetPixels(), nullptr);
}
