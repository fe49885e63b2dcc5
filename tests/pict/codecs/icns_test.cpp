#include "pict/codecs/icns.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

#include "pict/pict_fit.h"
#include "tests/pict/decode_checks.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::string icns_file(const std::string& name)
{
    return read_test_data(("icns/" + name + ".icns").c_str());
}

std::string expected_page(const std::string& name, int page)
{
    return read_test_data(("icns/" + name + "." + std::to_string(page) + ".expected").c_str());
}

struct cPage {
    int32_t width;
    int32_t height;
};

// Each file's pages by number, as the generator lists them.
std::map<std::string, std::map<int, cPage>> listed_pages()
{
    std::map<std::string, std::map<int, cPage>> all;
    for (const auto& c : read_test_records("icns/pages.txt"))
        all[c[0]][std::stoi(c[1])] = {std::stoi(c[2]), std::stoi(c[3])};
    return all;
}

}  // namespace

// Every page of icons from the tools (24-bit run-length icons and JPEG 2000
// elements) and of one written from the format (1-, 4- and 8-bit icons,
// plain and run-length 24-bit ones, masks that serve and masks that do not,
// PNG and codestream elements, elements that are no page): its size, and its
// pixels as icns2png, Pillow and OpenJPEG's tools decode them, into the own
// buffer and into an attached bitmap. The page count skips what is no
// image; a plain load takes the largest page, the first of equal ones.
TEST(IcnsDecoder, DecodesEveryPageAsTheOraclesDo)
{
    const auto pages = listed_pages();
    for (const auto& f : read_test_records("icns/files.txt")) {
        const std::string name = f[0];
        cByteStream file(icns_file(name));
        cPictICNS icns;
        EXPECT_EQ(icns.GetPageCount(&file.stream), std::stoi(f[1]));
        for (const auto& p : pages.at(name)) {
            SCOPED_TRACE(name + " page " + std::to_string(p.first));
            int32_t width = 0, height = 0;
            ASSERT_TRUE(icns.GetPageInfo(&file.stream, p.first, &width, &height));
            EXPECT_EQ(width, p.second.width);
            EXPECT_EQ(height, p.second.height);
            const std::string expected = expected_page(name, p.first);
            cPictICNS page;
            ASSERT_TRUE(page.LoadPage(&file.stream, p.first));
            EXPECT_EQ(page.GetWidth(), width);
            EXPECT_TRUE(pixel_bytes(page) == expected);

            cPictICNS sunk;
            EXPECT_EQ(load_into_bitmap(sunk, file.bytes, width, height, p.first), pixels32_of(expected, false));
        }
        SCOPED_TRACE(name);
        const int largest = std::stoi(f[2]);
        cPictInfo info = {};
        ASSERT_TRUE(icns_read_info(&file.stream, &info));
        EXPECT_EQ(info.width, pages.at(name).at(largest).width);
        EXPECT_EQ(info.has_preview, 1);
        cPictICNS whole;
        ASSERT_TRUE(whole.Load(&file.stream));
        EXPECT_TRUE(pixel_bytes(whole) == expected_page(name, largest));
        EXPECT_FALSE(icns.GetPageInfo(&file.stream, std::stoi(f[1]), &info.width, &info.height));
        EXPECT_FALSE(icns.LoadPage(&file.stream, -1));
    }
}

// A preview takes the largest page that fits its box (the first of equal
// ones), and none for a box below 16 x 16.
TEST(IcnsDecoder, PreviewTakesTheLargestPageThatFits)
{
    for (const auto& c : read_test_records("icns/previews.txt")) {
        SCOPED_TRACE(c[0] + " into " + c[1] + " x " + c[2]);
        cByteStream file(icns_file(c[0]));
        cPictICNS icns;
        cPictDummy preview;
        const int page = std::stoi(c[3]);
        ASSERT_EQ(icns.LoadPreview(&file.stream, &preview, std::stoi(c[1]), std::stoi(c[2])), page >= 0);
        if (page >= 0) {
            EXPECT_TRUE(pixel_bytes(preview) == expected_page(c[0], page));
        }
    }
}

// Fitted decoding: a page that fits comes whole; a larger one is drawn
// straight into a target of the fitted size, as near the whole page fitted
// afterwards as the two shrinkings allow; the factory's fitting takes the
// page that fits.
TEST(IcnsDecoder, FitsPagesIntoBoxes)
{
    cByteStream file(icns_file("tools"));
    cPictICNS icns;
    cPictDummy small;
    ASSERT_TRUE(icns.LoadPageScaled(&file.stream, &small, 64, 64, 1, true, 0));
    EXPECT_TRUE(pixel_bytes(small) == expected_page("tools", 1));

    cPictDummy shrunk;
    ASSERT_TRUE(icns.LoadPageScaled(&file.stream, &shrunk, 64, 40, 3, true, 0xFFFFFF));
    EXPECT_EQ(shrunk.GetWidth(), 40);
    EXPECT_EQ(shrunk.GetHeight(), 40);
    cPictICNS whole;
    cPictDummy fitted;
    ASSERT_TRUE(whole.LoadPage(&file.stream, 3));
    ASSERT_TRUE(pict_fit_into(&whole, &fitted, 40, 40, 0));
    int distant = 0;
    for (int32_t i = 0; i < 40 * 40; ++i)
        for (int c = 0; c < 32; c += 8)
            distant += abs(int(shrunk.pixels32[i] >> c & 0xFF) - int(fitted.pixels32[i] >> c & 0xFF)) > 24;
    EXPECT_LT(distant, 40 * 40 / 20);

    cPictDummy boxed;
    EXPECT_EQ(pict_decode_to_box(&file.stream, &boxed, 50, 50), 0);
    EXPECT_TRUE(pixel_bytes(boxed) == expected_page("tools", 2));
}

// Lengths below 8, past the total or the file, totals that wrap or are
// below 16, a wrong magic, files without an image: no page, no load, no
// hang; cuts and bit flips of a file of every kind get a clean answer.
TEST(IcnsDecoder, RefusesDamagedFiles)
{
    for (const auto& c : read_test_records("icns/bad.txt")) {
        SCOPED_TRACE(c[0]);
        cByteStream file(icns_file(c[0]));
        cPictICNS icns;
        EXPECT_FALSE(icns_read_info(&file.stream, nullptr));
        EXPECT_EQ(icns.GetPageCount(&file.stream), 0);
        EXPECT_FALSE(icns.Load(&file.stream));
        EXPECT_FALSE(icns.LoadPage(&file.stream, 0));
    }
    expect_damage_handled([] { return new cPictICNS; }, icns_file("classic"), 1500);
}
