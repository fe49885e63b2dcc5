#include "pict/codecs/jbig2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pict/decode_checks.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::string jbig2_file(const std::string& name)
{
    return read_test_data(("jbig2/" + name + ".jb2").c_str());
}

std::string be32(uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// A one-page file: page information, then one immediate generic region of
// template 0 with typical prediction, of the given size, whose data is
// region_data.
std::string one_region(uint32_t page_width, uint32_t page_height, uint32_t width, uint32_t height,
                       const std::string& region_data)
{
    std::string file = "\x97JB2\r\n\x1a\n\x01" + be32(1);
    std::string page = be32(page_width) + be32(page_height) + be32(0) + be32(0) + std::string(3, '\0');
    file += be32(0) + std::string("\x30\x00\x01", 3) + be32(uint32_t(page.size())) + page;
    std::string region = be32(width) + be32(height) + be32(0) + be32(0) + std::string("\x04\x08", 2) +
                         std::string("\x03\xff\xfd\xff\x02\xfe\xfe\xfe", 8) + region_data;
    file += be32(1) + std::string("\x26\x00\x01", 3) + be32(uint32_t(region.size())) + region;
    return file;
}

}  // namespace

// Every template with and without typical prediction and moved adaptive
// pixels, a bare segment stream, several pages (sequential, random access,
// of unknown count), overlapping regions and regions past the page's edges,
// segments that refer to others, and regions that are left out (MMR, too
// wide, cut short): each page as jbig2dec decodes it, into the own buffer
// and into an attached bitmap.
TEST(Jbig2Decoder, DecodesEveryPageAsJbig2decDoes)
{
    for (const auto& c : read_test_records("jbig2/good.txt")) {
        SCOPED_TRACE(c[0]);
        const int32_t pages = std::stoi(c[1]);
        cByteStream file(jbig2_file(c[0]));
        cPictInfo info = {};
        ASSERT_TRUE(jbig2_read_info(&file.stream, &info));
        EXPECT_EQ(info.width, std::stoi(c[2]));
        EXPECT_EQ(info.height, std::stoi(c[3]));
        cPictJBIG2 jbig2;
        ASSERT_EQ(jbig2.GetPageCount(&file.stream), pages);
        for (int32_t page = 0; page < pages; ++page) {
            SCOPED_TRACE(page);
            const std::string expected =
                read_test_data(("jbig2/" + c[0] + "." + std::to_string(page) + ".expected").c_str());
            int32_t width = 0, height = 0;
            ASSERT_TRUE(jbig2.GetPageInfo(&file.stream, page, &width, &height));
            ASSERT_TRUE(jbig2.LoadPage(&file.stream, page));
            EXPECT_EQ(jbig2.GetWidth(), width);
            EXPECT_EQ(jbig2.GetHeight(), height);
            EXPECT_TRUE(pixel_bytes(jbig2) == expected);
            cPictJBIG2 sunk;
            EXPECT_EQ(load_into_bitmap(sunk, file.bytes, width, height, page), pixels32_of(expected, false));
        }
        EXPECT_FALSE(jbig2.LoadPage(&file.stream, pages));
        EXPECT_FALSE(jbig2.LoadPage(&file.stream, -1));
        EXPECT_FALSE(jbig2.GetPageInfo(&file.stream, pages, &info.width, &info.height));
    }
}

// Pages announced and missing, sizes of 0 or past 2^31 - 1 (a side or the
// area), page associations past the count, short segments, data of unknown
// length, numbering that stops before the region: no pages, no load.
TEST(Jbig2Decoder, RefusesBadFiles)
{
    for (const auto& c : read_test_records("jbig2/bad.txt")) {
        SCOPED_TRACE(c[0]);
        cByteStream file(jbig2_file(c[0]));
        EXPECT_FALSE(jbig2_read_info(&file.stream, nullptr));
        cPictJBIG2 jbig2;
        EXPECT_EQ(jbig2.GetPageCount(&file.stream), 0);
        EXPECT_FALSE(jbig2.Load(&file.stream));
    }
}

// Regions near 2^32 pixels wide are left out (the page stays white); one
// as high is cut at the page's bottom and drawn in its own columns only;
// a page-sized region of noise on a big page drawn into a small box is
// left out too, quickly.
TEST(Jbig2Decoder, LeavesOutRegionsItCannotAfford)
{
    const std::string noise = "\x12\x9a\x07\xee\x41\x3c\x99\x01";
    for (const auto& size : {std::make_pair(0xFFFFFFF0u, 10u), std::make_pair(10u, 0xFFFFFFF0u),
                             std::make_pair(0xFFFFFFFFu, 0xFFFFFFFFu)}) {
        SCOPED_TRACE(size.first);
        cByteStream file(one_region(64, 48, size.first, size.second, noise));
        cPictJBIG2 jbig2;
        ASSERT_TRUE(jbig2.Load(&file.stream));
        ASSERT_EQ(jbig2.pixels32.Count(), 64 * 48);
        for (int32_t i = 0; i < 64 * 48; ++i) {
            if (i % 64 >= 10 || size.first > 10) {
                ASSERT_EQ(jbig2.pixels32[i], 0xFFFFFFFF) << i;
            }
        }
    }
    cByteStream big(one_region(4000, 3000, 4000, 3000, noise));
    cPictJBIG2 jbig2;
    cPictDummy box;
    ASSERT_TRUE(jbig2.LoadPageScaled(&big.stream, &box, 100, 100, 0, true, 0));
    EXPECT_EQ(box.GetWidth(), 100);
    EXPECT_EQ(box.GetHeight(), 75);
    for (int32_t i = 0; i < 100 * 75; ++i)
        ASSERT_EQ(box.pixels32[i], 0xFFFFFFFF) << i;
}

// Cuts and bit flips of files with several pages and regions: a clean
// answer every time.
TEST(Jbig2Decoder, SurvivesCutsAndBitFlips)
{
    for (const char* name : {"two_pages", "overlaps_and_edges", "random_access"}) {
        SCOPED_TRACE(name);
        expect_damage_handled([] { return new cPictJBIG2; }, jbig2_file(name), 600, 1);
    }
}
