#include "pict/pict_fit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pict/codecs/png.h"
#include "pict/pict_resample.h"
#include "tests/pict/hex_pixels.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::vector<uint64_t> values_from_hex(const std::string& hex, int digits)
{
    std::vector<uint64_t> values;
    for (size_t i = 0; i + digits <= hex.size(); i += digits)
        values.push_back(std::stoull(hex.substr(i, digits), nullptr, 16));
    return values;
}

}  // namespace

// Decoded straight through the output sink, and rendered from a decoded
// picture, each file fitted into its box matches the model of the rules
// (the last column and row of a scaled fit included).
TEST(PictFit, FitsIntoBoxesAsTheModelSays)
{
    for (const auto& c : read_test_records("fit/cases.txt")) {
        SCOPED_TRACE(c[0]);
        const int32_t max_width = std::stoi(c[3]);
        const int32_t max_height = std::stoi(c[4]);
        const int32_t width = std::stoi(c[5]);
        const int32_t height = std::stoi(c[6]);
        cByteStream file(read_test_data(("fit/" + c[0] + ".png").c_str()));
        cPictInfo info = {};
        cPictPNG png;
        ASSERT_TRUE(png.ReadInfo(&file.stream, &info));
        cPictDummy sunk;
        ASSERT_EQ(pict_load_fit(&info, &png, &file.stream, &sunk, max_width, max_height, true, 0), 0);
        ASSERT_EQ(sunk.GetWidth(), width);
        ASSERT_EQ(sunk.GetHeight(), height);
        expect_pixels_near(sunk.pixels32.Data(), size_t(sunk.pixels32.Count()), c[7], 8, 1);

        ASSERT_TRUE(file.stream.Seek(0));
        ASSERT_TRUE(png.Load(&file.stream));
        cPictDummy rendered;
        ASSERT_TRUE(pict_fit_into(&png, &rendered, max_width, max_height, 0));
        ASSERT_EQ(rendered.GetWidth(), width);
        ASSERT_EQ(rendered.GetHeight(), height);
        expect_pixels_near(rendered.pixels32.Data(), size_t(rendered.pixels32.Count()), c[8], 8, 1);
        EXPECT_EQ(png.pixels32.Data(), nullptr);
    }
}

TEST(PictFit, AnswersItsResultCodes)
{
    cByteStream file(read_test_data("fit/thin.png"));
    cPictInfo info = {};
    cPictPNG png;
    ASSERT_TRUE(png.ReadInfo(&file.stream, &info));
    cPictDummy target;
    // 3 x 41 into 1 x 5 leaves no column.
    EXPECT_EQ(pict_load_fit(&info, &png, &file.stream, &target, 1, 5, true, 0), 1);
    EXPECT_EQ(pict_load_fit(&info, nullptr, &file.stream, &target, 10, 10, true, 0), 1);
    EXPECT_EQ(pict_load_fit(&info, &png, &file.stream, &target, 0, 10, true, 0), 1);
    EXPECT_EQ(pict_load_fit(&info, &png, &file.stream, &target, 10, 10, false, 0), 5);
    EXPECT_EQ(pict_decode_to_box(&file.stream, &target, 0, 10), 1);
    cByteStream text(std::string(300, 'q'));
    EXPECT_EQ(pict_decode_to_box(&text.stream, &target, 10, 10), 3);
    // White margins: 3 x 41 into 30 x 30 is 2 x 30 wide.
    EXPECT_EQ(pict_decode_to_box(&file.stream, &target, 30, 30), 0);
    EXPECT_EQ(target.GetWidth(), 2);
    EXPECT_EQ(target.GetHeight(), 30);
    // A header that promises more than the data holds.
    cByteStream cut(read_test_data("fit/thin.png").substr(0, 120));
    EXPECT_EQ(pict_load_fit(&info, &png, &cut.stream, &target, 30, 30, true, 0), 4);
    EXPECT_EQ(png.output, nullptr);
}

// Grown and shrunk, rows first and then columns, every channel of 32-bit
// and deep pixels within 1 of Pillow; a failed resample leaves an empty
// destination.
TEST(PictResample, MatchesPillow)
{
    for (const auto& c : read_test_records("resample.txt")) {
        if (c[0] != "resample")
            continue;
        const int bits = std::stoi(c[1]);
        const int32_t w = int32_t(hex_value(c[2]));
        const int32_t h = int32_t(hex_value(c[3]));
        const int32_t new_w = int32_t(hex_value(c[4]));
        const int32_t new_h = int32_t(hex_value(c[5]));
        SCOPED_TRACE(testing::Message() << bits << " bits " << w << "x" << h << " to " << new_w << "x" << new_h);
        std::vector<uint64_t> source = values_from_hex(c[6], bits);
        cPictDummy picture;
        cPictDummy resampled;
        if (bits == 8) {
            ASSERT_TRUE(picture.AllocPixels32(w, h));
            for (size_t i = 0; i < source.size(); ++i)
                picture.pixels32[int32_t(i)] = uint32_t(source[i]);
            ASSERT_TRUE(picture.ResampleTo(new_w, new_h, &resampled));
            expect_pixels_near(resampled.pixels32.Data(), size_t(resampled.pixels32.Count()), c[7], 8, 1);
        } else {
            ASSERT_TRUE(picture.AllocDeepPixels(w, h));
            for (size_t i = 0; i < source.size(); ++i)
                picture.pixels64[int32_t(i)] = source[i];
            ASSERT_TRUE(picture.ResampleTo(new_w, new_h, &resampled));
            expect_pixels_near(resampled.pixels64.Data(), size_t(resampled.pixels64.Count()), c[7], 16, 1);
        }
        EXPECT_EQ(resampled.GetWidth(), new_w);
        EXPECT_EQ(resampled.GetHeight(), new_h);
        EXPECT_FALSE(picture.ResampleTo(0, new_h, &resampled));
        EXPECT_EQ(resampled.GetWidth(), 0);
        EXPECT_EQ(resampled.pixels32.Data(), nullptr);
        EXPECT_EQ(resampled.pixels64.Data(), nullptr);
    }
}

// The quarter turns of both pixel sizes against Pillow's ROTATE_90 and
// ROTATE_270, in memory order.
TEST(PictResample, TurnsAsPillow)
{
    for (const auto& c : read_test_records("resample.txt")) {
        if (c[0] != "turn")
            continue;
        const int32_t w = int32_t(hex_value(c[1]));
        const int32_t h = int32_t(hex_value(c[2]));
        const std::vector<uint64_t> source = values_from_hex(c[3], 8);
        const std::vector<uint64_t> left = values_from_hex(c[4], 8);
        const std::vector<uint64_t> right = values_from_hex(c[5], 8);
        std::vector<uint32_t> s32(source.begin(), source.end()), out32(source.size());
        std::vector<uint64_t> s64, out64(source.size()), wide_left, wide_right;
        for (size_t i = 0; i < source.size(); ++i) {
            s64.push_back(source[i] | source[i] << 34);
            wide_left.push_back(left[i] | left[i] << 34);
            wide_right.push_back(right[i] | right[i] << 34);
        }
        rotate_ccw_u32(s32.data(), out32.data(), w, h);
        EXPECT_EQ(std::vector<uint64_t>(out32.begin(), out32.end()), left);
        rotate_cw_u32(s32.data(), out32.data(), h, w);
        EXPECT_EQ(std::vector<uint64_t>(out32.begin(), out32.end()), right);
        rotate_ccw_u64(s64.data(), out64.data(), w, h);
        EXPECT_EQ(out64, wide_left);
        rotate_cw_u64(s64.data(), out64.data(), h, w);
        EXPECT_EQ(out64, wide_right);
    }
}
