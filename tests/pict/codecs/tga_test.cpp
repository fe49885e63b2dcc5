#include "pict/codecs/tga.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pict/decode_checks.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::string tga_file(const std::string& name)
{
    return read_test_data(("tga/" + name + ".tga").c_str());
}

}  // namespace

// Every type ImageMagick and Pillow write, from every corner, and the
// files written from the format's description (16-bit pixels, maps that
// start at entry 16, packets across rows and past the last pixel, alphas
// all 0), each pixel as the oracles decode it, into the own buffer and
// into an attached bitmap of its size; the header read gives the size.
TEST(TgaDecoder, DecodesEveryKindOfFileAsTheOraclesDo)
{
    for (const auto& c : read_test_records("tga/good.txt")) {
        SCOPED_TRACE(c[0]);
        const int32_t width = std::stoi(c[1]);
        const int32_t height = std::stoi(c[2]);
        const std::string expected = read_test_data(("tga/" + c[0] + ".expected").c_str());
        cByteStream file(tga_file(c[0]));
        cPictInfo info = {};
        ASSERT_TRUE(tga_read_info(&file.stream, &info));
        EXPECT_EQ(info.width, width);
        EXPECT_EQ(info.height, height);
        EXPECT_EQ(info.has_preview, 0);

        cPictTGA tga;
        ASSERT_TRUE(file.stream.Seek(0));
        ASSERT_TRUE(tga.Load(&file.stream));
        EXPECT_EQ(tga.GetWidth(), width);
        EXPECT_EQ(tga.GetHeight(), height);
        EXPECT_TRUE(pixel_bytes(tga) == expected);

        cPictTGA sunk;
        EXPECT_EQ(load_into_bitmap(sunk, file.bytes, width, height), pixels32_of(expected, false));
    }
}

// Origins, interleaving, types and depths that do not go together, bad
// map entries, indices outside the map (below its first entry too), cut
// data and sizes past 32 bits with nothing behind them: refused, into the
// own buffer and into a small attached bitmap alike, without a buffer of
// the declared size.
TEST(TgaDecoder, RefusesDamagedFiles)
{
    for (const auto& c : read_test_records("tga/bad.txt")) {
        SCOPED_TRACE(c[0]);
        cPictTGA tga;
        cByteStream file(tga_file(c[0]));
        EXPECT_FALSE(tga.Load(&file.stream));
        EXPECT_LE(tga.pixels32.Count(), 37 * 23);
        cPictTGA sunk;
        EXPECT_TRUE(load_into_bitmap(sunk, file.bytes, 8, 8).empty());
    }
}

// Every cut of a run-length file and of a colour-mapped one, and bit
// flips anywhere: a clean answer every time.
TEST(TgaDecoder, SurvivesCutsAndBitFlips)
{
    // Pillow's file ends in a footer that the decoder does not need.
    const struct {
        const char* name;
        size_t needed;
    } files[] = {{"crafted_32_rle_clear", 0}, {"magick_Palette_RLE_BottomLeft", 0}, {"pillow_RGB_raw_top", 18 + 37 * 23 * 3}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        expect_damage_handled([] { return new cPictTGA; }, tga_file(f.name), 1500, f.needed);
    }
}
