#include "gui/image_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/heap_probe.h"
#include "tests/support/test_data.h"

namespace {

// The same value in all four channels.
uint32_t grey(uint32_t v)
{
    return v * 0x01010101u;
}

// Distinct channels: b, g, r, a.
uint32_t bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a)
{
    return b | g << 8 | r << 16 | a << 24;
}

std::vector<uint32_t> pixels_of(const _typebuf<uint32_t>& block)
{
    return std::vector<uint32_t>(block.Data(), block.Data() + block.Count());
}

std::vector<uint32_t> pixels_of(const cImageBuffer& image)
{
    return std::vector<uint32_t>(image.GetPixels(), image.GetPixels() + image.GetPixelCount());
}

std::vector<uint32_t> pixels_from_hex(const std::string& hex)
{
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i + 8 <= hex.size(); i += 8)
        pixels.push_back(uint32_t(std::stoul(hex.substr(i, 8), nullptr, 16)));
    return pixels;
}

}  // namespace

TEST(ImageResample, EnlargingTwoToFourInterpolatesBetweenPixelCentres)
{
    const uint32_t row[2] = {grey(10), grey(21)};
    _typebuf<uint32_t> out;
    ASSERT_TRUE(cImageBuffer::ResampleRows(row, 2, 1, 4, out));
    EXPECT_EQ(pixels_of(out), (std::vector<uint32_t>{grey(10), grey(10), grey(15), grey(21)}));
}

TEST(ImageResample, ShrinkingThreeToTwoWeighsTheSharedPixelByHalf)
{
    // Target 0 = (src0 + 0.5 src1) / 1.5, target 1 = (0.5 src1 + src2) / 1.5,
    // each channel on its own.
    const uint32_t row[3] = {bgra(30, 0, 255, 9), bgra(60, 100, 255, 9), bgra(90, 200, 0, 9)};
    _typebuf<uint32_t> out;
    ASSERT_TRUE(cImageBuffer::ResampleRows(row, 3, 1, 2, out));
    EXPECT_EQ(pixels_of(out), (std::vector<uint32_t>{bgra(40, 33, 255, 9), bgra(80, 166, 85, 9)}));
}

TEST(ImageResample, EqualNeighboursKeepTheirValue)
{
    const uint32_t row[3] = {grey(77), grey(77), grey(77)};
    _typebuf<uint32_t> out;
    ASSERT_TRUE(cImageBuffer::ResampleRows(row, 3, 1, 7, out));
    for (uint32_t p : pixels_of(out))
        EXPECT_EQ(p, grey(77));
    ASSERT_TRUE(cImageBuffer::ResampleRows(row, 3, 1, 2, out));
    for (uint32_t p : pixels_of(out))
        EXPECT_EQ(p, grey(77));
}

TEST(ImageResample, RowsAreIndependentAndEqualWidthCopies)
{
    const uint32_t rows[4] = {grey(0), grey(100), grey(200), grey(50)};
    _typebuf<uint32_t> out;
    ASSERT_TRUE(cImageBuffer::ResampleRows(rows, 2, 2, 1, out));
    EXPECT_EQ(pixels_of(out), (std::vector<uint32_t>{grey(50), grey(125)}));
    ASSERT_TRUE(cImageBuffer::ResampleRows(rows, 2, 2, 2, out));
    EXPECT_EQ(pixels_of(out), (std::vector<uint32_t>(rows, rows + 4)));
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
    _typebuf<uint32_t> left;
    ASSERT_TRUE(cImageBuffer::RotateLeft(picture, 3, 2, left));
    // Three rows of two: the last column becomes the first row.
    EXPECT_EQ(pixels_of(left), (std::vector<uint32_t>{3, 6, 2, 5, 1, 4}));
    _typebuf<uint32_t> right;
    ASSERT_TRUE(cImageBuffer::RotateRight(picture, 3, 2, right));
    EXPECT_EQ(pixels_of(right), (std::vector<uint32_t>{4, 1, 5, 2, 6, 3}));
    _typebuf<uint32_t> back;
    ASSERT_TRUE(cImageBuffer::RotateRight(left.Data(), 2, 3, back));
    EXPECT_EQ(pixels_of(back), (std::vector<uint32_t>(picture, picture + 6)));
}

TEST(ImageRotate, TheOutputMayHoldTheSource)
{
    _typebuf<uint32_t> block(6);
    for (int i = 0; i < 6; ++i)
        block[i] = uint32_t(i + 1);
    ASSERT_TRUE(cImageBuffer::RotateLeft(block.Data(), 3, 2, block));
    EXPECT_EQ(pixels_of(block), (std::vector<uint32_t>{3, 6, 2, 5, 1, 4}));
}

TEST(ImageScale, MatchesTheIndependentModel)
{
    auto cases = read_test_records("image_scale_cases.txt");
    ASSERT_GT(cases.size(), 50u);
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
}

TEST(ImageScale, SameSizeIsACopy)
{
    const uint32_t source[4] = {1, 2, 3, 4};
    cImageBuffer image;
    ASSERT_TRUE(image.SetPixels(source, 2, 2, false));
    for (int mode = 0; mode < 2; ++mode) {
        cImageBuffer out;
        ASSERT_TRUE(cImageBuffer::Scale(mode, &image, 2, 2, &out));
        EXPECT_NE(out.GetPixels(), image.GetPixels());
        EXPECT_EQ(pixels_of(out), (std::vector<uint32_t>(source, source + 4)));
    }
}

TEST(ImageScale, AnImageMayBeScaledIntoItself)
{
    const uint32_t source[2] = {grey(10), grey(21)};
    for (int mode = 0; mode < 2; ++mode) {
        cImageBuffer image;
        ASSERT_TRUE(image.SetPixels(source, 2, 1, false));
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

TEST(ImageScale, GivesBackEveryBlockItTook)
{
    int before = heap_busy_blocks();
    {
        cImageBuffer image;
        ASSERT_TRUE(image.Fill(grey(9), 5, 3));
        cImageBuffer out;
        for (int mode = 0; mode < 2; ++mode) {
            ASSERT_TRUE(cImageBuffer::Scale(mode, &image, 8, 2, &out));
            ASSERT_TRUE(cImageBuffer::Scale(mode, &image, 2, 7, &out));
            ASSERT_TRUE(cImageBuffer::Scale(mode, &image, 5, 9, &out));
        }
    }
    EXPECT_EQ(heap_busy_blocks(), before);
}
