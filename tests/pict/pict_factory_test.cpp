#include "pict/pict_factory.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "pict/codecs/icns.h"
#include "pict/codecs/jbig2.h"
#include "pict/codecs/jp2.h"
#include "pict/codecs/jpeg.h"
#include "pict/codecs/png.h"
#include "pict/codecs/read_info.h"
#include "pict/codecs/tga.h"
#include "pict/pict_classes.h"
#include "pict/raw/raw_probes.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

// The tests that the factory runs as a class's ReadInfo on a temporary.
template <class C>
bool by_class(cFileIOTarget* stream, cPictInfo* info)
{
    C probe;
    return probe.ReadInfo(stream, info);
}

struct cProbe {
    const char* format;
    pict_read_info_fn test;
    int32_t format_id;  // of the class the factory makes for the format
};

const cProbe probes[] = {
    {"jpeg", jpeg_read_info, 1},   {"png", png_read_info, 3},
    {"gif", gif_read_info, 11},    {"bmp", bmp_read_info, 6},
    {"dib", dib_read_info, 5},
    {"ico", ico_read_info, 7},     {"jp2", jp2_read_info, 8},
    {"j2k", j2k_read_info, 9},     {"icns", icns_read_info, 12},
    {"tga", tga_read_info, 29},    {"mrw", probe_mrw, 26},
    {"rwl", by_class<cPictRWL>, 21}, {"orf", by_class<cPictORF>, 27},
    {"x3f", probe_x3f, 28},        {"pef", probe_pef, 24},
    {"arw", by_class<cPictARW>, 25}, {"srw", by_class<cPictSRW>, 23},
    {"iiq", by_class<cPictIIQ>, 22}, {"raf", probe_raf, 19},
    {"crw", probe_crw, 14},        {"mos", probe_mos, 16},
    {"cr2", by_class<cPictCR2>, 10}, {"nef", by_class<cPictNEF>, 4},
    {"3fr", probe_3fr, 18},        {"dng", by_class<cPictDNG>, 15},
    {"tiff_ep", probe_tiff_ep, 17}, {"tiff", tiff_read_info, 2},
    {"ppm", ppm_read_info, 30},    {"pcx", pcx_read_info, 31},
    {"dicom", dicom_read_info, 32}, {"dicom_legacy", dicom_legacy_read_info, 33},
    {"jbig2", jbig2_read_info, 36}, {"xpm", by_class<cPictXPM>, 34},
};

// Camera raw formats whose files are TIFF files: the plain TIFF test takes
// them too, and the factory tries it after theirs.
bool tiff_based(const std::string& format)
{
    for (const char* raw : {"cr2", "nef", "arw", "srw", "pef", "3fr", "mos", "dng", "tiff_ep", "iiq"})
        if (format == raw)
            return true;
    return false;
}

// The formats whose files decode here.
bool decodes(const std::string& format)
{
    for (const char* decoded : {"jpeg", "png", "tga", "jp2", "j2k", "icns", "jbig2"})
        if (format == decoded)
            return true;
    return false;
}

}  // namespace

// Each header test takes its own format's files, made by the formats' own
// tools or written from the standard (camera raw files checked with
// exiftool; plain TIFF taken by no raw test), and no other format's, with
// the size after the camera's crop and whether a preview is embedded; the
// factory makes the format's class from each, in identify mode with the
// size, and loads what decodes here; a stream of no format gives null.
TEST(PictProbes, EachTakesItsOwnFormatOnly)
{
    for (const auto& c : read_test_records("probe/cases.txt")) {
        const std::string data = read_test_data(("probe/" + c[0]).c_str());
        int32_t format_id = 0;
        for (const cProbe& probe : probes) {
            SCOPED_TRACE(c[0] + " by the " + probe.format + " test");
            cByteStream file(data);
            cPictInfo info = {-1, -1, 7};
            bool own = c[1] == probe.format;
            ASSERT_EQ(probe.test(&file.stream, &info), own || (std::string(probe.format) == "tiff" && tiff_based(c[1])));
            if (own) {
                format_id = probe.format_id;
                EXPECT_EQ(info.width, std::stoi(c[2]));
                EXPECT_EQ(info.height, std::stoi(c[3]));
                EXPECT_EQ(info.has_preview, std::stoi(c[4]));
            }
        }
        SCOPED_TRACE(c[0] + " in the factory");
        cByteStream file(data);
        cPictInfo info = {};
        std::unique_ptr<cPictBase> picture(pict_open_stream(&file.stream, &info));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->GetFormatId(), format_id);
        EXPECT_EQ(info.width, std::stoi(c[2]));
        EXPECT_EQ(picture->GetWidth(), 0);
        cByteStream again(data);
        picture.reset(pict_open_stream(&again.stream, nullptr));
        EXPECT_EQ(bool(picture), decodes(c[1]));
        EXPECT_EQ(picture ? picture->GetWidth() : std::stoi(c[2]), std::stoi(c[2]));
    }
    cByteStream text(std::string(200, 'x'));
    cPictInfo info = {};
    EXPECT_EQ(pict_open_stream(&text.stream, &info), nullptr);
    EXPECT_EQ(pict_open_stream(nullptr, &info), nullptr);
}

// Headers whose offsets point inside the headers themselves (a BMP's
// pixels inside its information header, an icon's image inside the
// directory) are refused by every test, and the factory makes no class of
// the format they mimic; the same files with the offsets where the headers
// end are taken (they are among the cases above).
TEST(PictProbes, RefuseOffsetsInsideTheHeader)
{
    const auto near_misses = read_test_records("probe/near_misses.txt");
    EXPECT_EQ(near_misses.size(), 4u);
    for (const auto& c : near_misses) {
        SCOPED_TRACE(c[0]);
        const std::string data = read_test_data(("probe/" + c[0]).c_str());
        int32_t mimicked_id = 0;
        for (const cProbe& probe : probes) {
            cByteStream file(data);
            cPictInfo info = {};
            EXPECT_FALSE(probe.test(&file.stream, &info)) << probe.format;
            if (c[1] == probe.format)
                mimicked_id = probe.format_id;
        }
        ASSERT_NE(mimicked_id, 0);
        cByteStream file(data);
        cPictInfo info = {};
        std::unique_ptr<cPictBase> picture(pict_open_stream(&file.stream, &info));
        EXPECT_TRUE(!picture || picture->GetFormatId() != mimicked_id);
    }
}

// Every class answers the id and capabilities of the picture-object table.
TEST(PictClasses, AnswerTheirIdsAndCapabilities)
{
    // format id, decodes to a target, has pages; in the factory's order.
    const int32_t table[pict_class_count][3] = {
        {1, 1, 0},  {3, 1, 0},  {11, 1, 1}, {6, 1, 0},  {5, 1, 0},  {7, 1, 1},  {8, 0, 0},
        {9, 0, 0},  {12, 1, 1}, {29, 1, 0}, {26, 0, 0}, {21, 0, 0}, {27, 0, 0}, {28, 0, 0},
        {24, 0, 0}, {25, 0, 0}, {23, 0, 0}, {22, 0, 0}, {19, 0, 0}, {14, 0, 0}, {16, 0, 0},
        {10, 0, 0}, {4, 0, 0},  {18, 0, 1}, {15, 0, 1}, {17, 0, 1}, {2, 1, 1},  {30, 1, 0},
        {31, 1, 0}, {32, 1, 1}, {33, 1, 1}, {36, 1, 1}, {34, 1, 0},
    };
    for (int i = 0; i < pict_class_count; ++i) {
        SCOPED_TRACE(i);
        std::unique_ptr<cPictBase> picture(pict_classes[i].create());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->GetFormatId(), table[i][0]);
        EXPECT_EQ(picture->CanDecodeToTarget(), table[i][1] == 1);
        EXPECT_EQ(picture->HasPages(), table[i][2] == 1);
    }
    cPictDummy dummy;
    EXPECT_EQ(dummy.GetFormatId(), 0);
    EXPECT_FALSE(dummy.CanDecodeToTarget() || dummy.HasPages());
}

// Files cut short anywhere in their headers, or with bits flipped, get a
// clean answer from every test and from the factory.
TEST(PictProbes, SurviveTruncationsAndBitFlips)
{
    std::mt19937 random(5);
    for (const auto& c : read_test_records("probe/cases.txt")) {
        SCOPED_TRACE(c[0]);
        const std::string data = read_test_data(("probe/" + c[0]).c_str());
        for (size_t length = 0; length < data.size() && length < 400; length += 1 + length / 16) {
            for (const cProbe& probe : probes) {
                cByteStream cut(data.substr(0, length));
                cPictInfo info = {};
                if (probe.test(&cut.stream, &info)) {
                    EXPECT_GT(info.width, 0);
                }
            }
        }
        for (int round = 0; round < 40; ++round) {
            std::string damaged = data;
            damaged[random() % std::min<size_t>(damaged.size(), 300)] ^= char(1 << (random() % 8));
            cByteStream file(damaged);
            cPictInfo info = {};
            delete pict_open_stream(&file.stream, &info);
        }
    }
}
