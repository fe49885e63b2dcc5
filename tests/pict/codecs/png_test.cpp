#include "pict/codecs/png.h"

#include <gtest/gtest.h>

#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "base/crc32.h"
#include "pict/pict_target.h"
#include "tests/pict/decode_checks.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::string png_file(const std::string& name)
{
    return read_test_data(("png/" + name + ".png").c_str());
}

// Writes every chunk's CRC anew, so that damage inside chunks reaches the
// decoder behind the CRC check.
void fix_crcs(std::string& file)
{
    auto be32 = [&](size_t at) {
        return uint32_t(uint8_t(file[at])) << 24 | uint32_t(uint8_t(file[at + 1])) << 16 |
               uint32_t(uint8_t(file[at + 2])) << 8 | uint8_t(file[at + 3]);
    };
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = be32(at);
        if (length > file.size() - at - 12)
            break;
        uint32_t crc = crc32_compute(file.data() + at + 4, int32_t(length + 4));
        for (int i = 0; i < 4; ++i)
            file[at + 8 + length + i] = char(crc >> (24 - 8 * i));
        at += length + 12;
    }
}

}  // namespace

// Every colour type and depth, tRNS, Adam7 and 16-bit samples, each pixel
// as ImageMagick decodes it, into the picture's own buffer and into an
// attached bitmap of its size (deep pixels reduced to 8 bits); the same
// object decodes again after a file it refused, and the header read gives
// the size without pixels.
TEST(PngDecoder, DecodesEveryKindOfFileAsImageMagickDoes)
{
    cPictPNG png;
    for (const auto& c : read_test_records("png/good.txt")) {
        SCOPED_TRACE(c[0]);
        const int32_t width = std::stoi(c[1]);
        const int32_t height = std::stoi(c[2]);
        const bool deep = c[3] == "1";
        const std::string expected = read_test_data(("png/" + c[0] + ".expected").c_str());
        cByteStream refused(png_file("bad_zlib_damaged"));
        EXPECT_FALSE(png.Load(&refused.stream));

        cByteStream file(png_file(c[0]));
        cPictInfo info = {};
        ASSERT_TRUE(png_read_info(&file.stream, &info));
        EXPECT_EQ(info.width, width);
        EXPECT_EQ(info.height, height);
        ASSERT_TRUE(file.stream.Seek(0));
        ASSERT_TRUE(png.Load(&file.stream));
        EXPECT_EQ(png.GetWidth(), width);
        EXPECT_EQ(png.GetHeight(), height);
        EXPECT_EQ(png.HasDeepPixels(), deep);
        EXPECT_TRUE(pixel_bytes(png) == expected);

        cPictPNG sunk;
        EXPECT_EQ(load_into_bitmap(sunk, file.bytes, width, height), pixels32_of(expected, deep));
    }
}

// Truncations at and inside every chunk, bad CRCs, IHDR late, twice or
// missing, no IDAT, no IEND, sizes beyond 2^31 - 1 pixels, chunk lengths
// past the file, zlib data that ends before the last row or is damaged,
// and bad header fields, palettes and transparency: all refused.
TEST(PngDecoder, RefusesDamagedFiles)
{
    for (const auto& c : read_test_records("png/bad.txt")) {
        SCOPED_TRACE(c[0]);
        cPictPNG png;
        cByteStream file(read_test_data(("png/" + c[0] + ".png").c_str()));
        EXPECT_FALSE(png.Load(&file.stream));
        EXPECT_LE(int64_t(png.pixels32.Count()) + png.pixels64.Count(), int64_t(37) * 23);
    }
}

// Random bit flips, behind CRCs written anew, give a clean answer: the
// pixels, when the file still decodes, fill exactly the picture.
TEST(PngDecoder, SurvivesBitFlips)
{
    const std::string original = png_file("adam7_rgba16");
    std::mt19937 random(120);
    for (int round = 0; round < 400; ++round) {
        std::string damaged = original;
        for (int flips = 0; flips < 1 + round % 3; ++flips)
            damaged[8 + random() % (damaged.size() - 8)] ^= char(1 << (random() % 8));
        fix_crcs(damaged);
        cPictPNG png;
        cByteStream file(damaged);
        if (png.Load(&file.stream)) {
            EXPECT_EQ(int64_t(png.pixels32.Count()) + png.pixels64.Count(), int64_t(png.GetWidth()) * png.GetHeight());
        }
    }
}
