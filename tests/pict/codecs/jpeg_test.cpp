#include "pict/codecs/jpeg.h"

#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pict/pict_factory.h"
#include "pict/pict_target.h"
#include "tests/pict/decode_checks.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::string jpeg_file(const std::string& name)
{
    return read_test_data(("jpeg/" + name + ".jpg").c_str());
}

struct cCase {
    std::string name;
    int32_t width, height, precision, tolerance;
};

std::vector<cCase> good_cases()
{
    std::vector<cCase> cases;
    for (const auto& c : read_test_records("jpeg/good.txt"))
        cases.push_back({c[0], std::stoi(c[1]), std::stoi(c[2]), std::stoi(c[3]), std::stoi(c[4])});
    return cases;
}

// The reference decoder's R, G, B samples, top row first.
std::vector<uint16_t> expected_samples(const std::string& name)
{
    const std::string bytes = read_test_data(("jpeg/" + name + ".expected").c_str());
    std::vector<uint16_t> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// R, G, B and A of pixel x of image row y (from the top) of a decoded
// picture, in the sample range of its precision; deep channels are checked
// to be their 12-bit samples widened.
void samples_at(cPictBase& picture, int32_t precision, int32_t x, int32_t y, int32_t rgba[4])
{
    const size_t at = size_t(picture.height - 1 - y) * picture.width + x;
    for (int32_t c = 0; c < 4; ++c) {
        const int32_t shift = c == 3 ? 3 : 2 - c;
        if (precision > 8) {
            const uint32_t wide = uint32_t(picture.pixels64.Data()[at] >> (16 * shift)) & 0xFFFF;
            rgba[c] = int32_t(wide >> 4);
            EXPECT_EQ(wide & 15, wide >> 12) << "widened from 12 bits";
        } else {
            rgba[c] = int32_t(picture.pixels32.Data()[at] >> (8 * shift)) & 0xFF;
        }
    }
}

// The largest difference between the picture and the reference's samples;
// alpha must be opaque.
int32_t largest_difference(cPictBase& picture, const cCase& c, const std::vector<uint16_t>& expected)
{
    int32_t largest = 0;
    const int32_t opaque = c.precision > 8 ? 4095 : 255;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x) {
            int32_t rgba[4];
            samples_at(picture, c.precision, x, y, rgba);
            if (rgba[3] != opaque)
                return 9999;
            for (int32_t k = 0; k < 3; ++k) {
                const int32_t d = std::abs(rgba[k] - int32_t(expected[(size_t(y) * c.width + x) * 3 + k]));
                largest = d > largest ? d : largest;
            }
        }
    return largest;
}

bool load(cPictJPEG& picture, const std::string& data)
{
    cByteStream file(data);
    return picture.Load(&file.stream);
}

// Where the frame header's segment ends: segments from SOI on.
size_t frame_header_end(const std::string& data)
{
    for (size_t at = 2; at + 4 <= data.size();) {
        const uint8_t marker = uint8_t(data[at + 1]);
        const size_t length = size_t(uint8_t(data[at + 2])) << 8 | uint8_t(data[at + 3]);
        if (marker >= 0xC0 && marker <= 0xC2)
            return at + 2 + length;
        at += 2 + length;
    }
    return data.size();
}

// Counts the reports, and asks to stop at the one given.
struct cCountingProgress : cProgressNotifyTarget {
    explicit cCountingProgress(int stop) : stop_at(stop) {}
    bool Notify(double percent) override
    {
        last = percent;
        return ++reports != stop_at;
    }
    int stop_at;
    int reports = 0;
    double last = 0;
};

}  // namespace

// Every sampling layout, restart interval, progressive script, precision,
// colour space and size decodes to the reference decoders' samples: djpeg's
// exactly (the same integer transform and filters), the 12-bit reference's
// within its tolerance; 8-bit files give opaque 32-bit pixels, 12-bit ones
// deep pixels. The header read gives the size alone.
TEST(JpegDecoder, DecodesAsTheReferenceDecoders)
{
    for (const cCase& c : good_cases()) {
        SCOPED_TRACE(c.name);
        const std::string data = jpeg_file(c.name);
        cByteStream file(data);
        cPictInfo info = {};
        ASSERT_TRUE(jpeg_read_info(&file.stream, &info));
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.has_preview, 0);

        cPictJPEG picture;
        ASSERT_TRUE(load(picture, data));
        ASSERT_EQ(picture.GetWidth(), c.width);
        ASSERT_EQ(picture.GetHeight(), c.height);
        ASSERT_EQ(picture.HasDeepPixels(), c.precision > 8);
        EXPECT_LE(largest_difference(picture, c, expected_samples(c.name)), c.tolerance);
    }
}

// Into an attached bitmap of the picture's size, and through a smaller
// window scrolled into the picture (rows and MCUs outside it skipped), the
// pixels are those of the own buffer.
TEST(JpegDecoder, DecodesIntoOutputTargets)
{
    for (const cCase& c : good_cases()) {
        if (c.precision > 8 || c.width > 4000)
            continue;
        SCOPED_TRACE(c.name);
        const std::string data = jpeg_file(c.name);
        cPictJPEG own;
        ASSERT_TRUE(load(own, data));
        cPictJPEG sunk;
        const std::vector<uint32_t> whole = load_into_bitmap(sunk, data, c.width, c.height);
        ASSERT_EQ(whole.size(), size_t(c.width) * c.height);
        EXPECT_TRUE(memcmp(whole.data(), own.pixels32.Data(), whole.size() * 4) == 0);

        const int32_t tw = c.width / 2 + 1, th = c.height / 2 + 1;
        std::vector<uint32_t> window(size_t(tw) * th, 0);
        cPictTarget target;
        pict_target_init(&target, nullptr);
        target.pixels = window.data();
        target.width = tw;
        target.height = th;
        target.fit_mode = 1;
        target.x_offset = c.width / 4;
        target.y_offset = c.height / 3;
        cPictJPEG scrolled;
        ASSERT_TRUE(scrolled.SetOutputTarget(&target));
        ASSERT_TRUE(load(scrolled, data));
        for (int32_t j = 0; j < th; ++j)
            for (int32_t i = 0; i < tw; ++i)
                ASSERT_EQ(window[size_t(j) * tw + i],
                          own.pixels32.Data()[size_t(j + target.y_offset) * c.width + i + target.x_offset])
                    << i << ", " << j;
    }
}

// Crafted markers (Huffman tables of too many codes, table ids, component
// counts and sampling factors out of range, undefined components, frames
// beyond 2^31 pixels, restart markers out of order), unsupported processes
// and cut files: each refused, none read past its data. The factory still
// identifies a JPEG whose data is damaged, but loads nothing from it.
TEST(JpegDecoder, RefusesDamagedFiles)
{
    for (const auto& c : read_test_records("jpeg/bad.txt")) {
        SCOPED_TRACE(c[0]);
        cPictJPEG picture;
        EXPECT_FALSE(load(picture, jpeg_file(c[0])));
    }
    cByteStream cut(jpeg_file("bad_cut_in_scan"));
    cPictInfo info = {};
    std::unique_ptr<cPictBase> identified(pict_open_stream(&cut.stream, &info));
    ASSERT_TRUE(identified);
    EXPECT_EQ(identified->GetFormatId(), 1);
    EXPECT_EQ(pict_open_stream(&cut.stream, nullptr), nullptr);
}

// Baseline, restart and progressive files cut at every byte fail (the
// header read only before the frame header's end); random bit flips give a
// clean answer, and a decoded picture fills its buffer.
TEST(JpegDecoder, SurvivesTruncationsAndBitFlips)
{
    std::mt19937 random(25);
    for (const char* name : {"sample_2x2", "restart_blocks", "progressive", "progressive_script", "grey_progressive"}) {
        SCOPED_TRACE(name);
        const std::string data = jpeg_file(name);
        const size_t header_end = frame_header_end(data);
        cPictJPEG picture;
        for (size_t cut = 0; cut < data.size(); ++cut) {
            ASSERT_FALSE(load(picture, data.substr(0, cut))) << "cut at " << cut;
            cByteStream part(data.substr(0, cut));
            ASSERT_EQ(jpeg_read_info(&part.stream, nullptr), cut >= header_end) << "cut at " << cut;
        }
        ASSERT_TRUE(load(picture, data));
        for (int round = 0; round < 1000; ++round) {
            std::string damaged = data;
            for (int flips = 0; flips < 1 + round % 4; ++flips)
                damaged[2 + random() % (damaged.size() - 2)] ^= char(1 << (random() % 8));
            cPictJPEG flipped;
            if (load(flipped, damaged)) {
                EXPECT_EQ(int64_t(flipped.pixels32.Count()) + flipped.pixels64.Count(),
                          int64_t(flipped.GetWidth()) * flipped.GetHeight());
            }
        }
    }
}

// A long decode reports its progress once per MCU row up to 100 percent,
// and stops when the receiver asks: closing the guarded stream cancels it.
TEST(JpegDecoder, ReportsProgressAndStopsWhenAsked)
{
    for (const char* name : {"size_16385x9", "progressive"}) {
        SCOPED_TRACE(name);
        const std::string data = jpeg_file(name);
        cPictJPEG picture;
        cCountingProgress* counting = new cCountingProgress(0);
        picture.progress = counting;
        ASSERT_TRUE(load(picture, data));
        EXPECT_GT(counting->reports, 0);
        EXPECT_EQ(counting->last, 100.0);

        cPictJPEG stopped;
        stopped.progress = new cCountingProgress(1);
        EXPECT_FALSE(load(stopped, data));

        cByteStream guarded("x");
        cPictJPEG cancelled;
        cancelled.progress = new cStreamGuardProgressTarget(&guarded.stream);
        guarded.stream.Close();
        EXPECT_FALSE(load(cancelled, data));
    }
}

// Rows and MCUs handed out past the picture, and rows longer than it, are
// clipped the same way on both roads: the picture stays as djpeg decodes it.
TEST(JpegDecoder, ClipsRowsAndBlocksToThePicture)
{
    struct cOverreaching : cPictJPEG {
        bool OutputRows(const cJPEGRows& rows, int32_t y, int32_t count) override
        {
            return cPictJPEG::OutputRows(rows, y, count + 9) && cPictJPEG::OutputRows(rows, y + height, count) &&
                   cPictJPEG::OutputRows(rows, -1 - y, count);
        }
        bool OutputBufferedRows(int32_t column, int32_t row) override
        {
            return cPictJPEG::OutputBufferedRows(column, row) &&
                   cPictJPEG::OutputBufferedRows(column + mcus_wide, row) &&
                   cPictJPEG::OutputBufferedRows(column, row + mcus_high);
        }
    };
    for (const cCase& c : good_cases()) {
        if (c.name != "sample_2x2" && c.name != "progressive" && c.name != "deep_progressive" && c.name != "deep_444")
            continue;
        SCOPED_TRACE(c.name);
        cOverreaching picture;
        ASSERT_TRUE(load(picture, jpeg_file(c.name)));
        EXPECT_LE(largest_difference(picture, c, expected_samples(c.name)), c.tolerance);
    }
}
