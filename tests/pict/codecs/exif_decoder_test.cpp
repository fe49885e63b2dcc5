#include "pict/codecs/exif_decoder.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <memory>
#include <string>

#include "base/string_convert.h"
#include "pict/codecs/jpeg.h"
#include "pict/pict_factory.h"
#include "pict/pict_fit.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

struct cCase {
    std::string name;
    bool walk_ok;
    int32_t code;
    bool has_preview;
    int32_t thumbnail_width, thumbnail_height;
};

std::vector<cCase> exif_cases()
{
    std::vector<cCase> cases;
    for (const auto& c : read_test_records("exif/cases.txt"))
        cases.push_back({c[0], c[1] == "1", std::stoi(c[2]), c[3] == "1", std::stoi(c[4]), std::stoi(c[5])});
    return cases;
}

std::string exif_data(const std::string& name, const char* extension)
{
    return read_test_data(("exif/" + name + extension).c_str());
}

// One expected property line against the picture.
void expect_property(cPictBase& picture, const std::vector<std::string>& p)
{
    SCOPED_TRACE("property " + p[0]);
    cPictProp* prop = picture.GetProperty(std::stoi(p[0]), false);
    if (p[1] == "none") {
        EXPECT_EQ(prop, nullptr);
        return;
    }
    ASSERT_NE(prop, nullptr);
    if (p[1] == "int") {
        ASSERT_EQ(prop->GetKind(), 0);
        EXPECT_EQ(static_cast<cPictPropInt*>(prop)->value, std::stoi(p[2]));
    } else if (p[1] == "double") {
        ASSERT_EQ(prop->GetKind(), 1);
        EXPECT_NEAR(static_cast<cPictPropDouble*>(prop)->value, std::stod(p[2]), 1e-6);
    } else if (p[1] == "time") {
        ASSERT_EQ(prop->GetKind(), 2);
        cPictPropTimestamp* t = static_cast<cPictPropTimestamp*>(prop);
        EXPECT_EQ(std::vector<int>({t->year, t->month, t->day, t->hour, t->minute, t->second}),
                  std::vector<int>({std::stoi(p[2]), std::stoi(p[3]), std::stoi(p[4]), std::stoi(p[5]),
                                    std::stoi(p[6]), std::stoi(p[7])}));
    } else if (p[1] == "string") {
        ASSERT_EQ(prop->GetKind(), 3);
        const std::string utf8 = bytes_from_hex(p[2]);
        _guardchar<wchar_t> expected;
        wstr_from_utf8(int32_t(utf8.size()), utf8.data(), expected);
        EXPECT_EQ(std::wstring(static_cast<cPictPropString*>(prop)->value.Text()), std::wstring(expected.Text()));
    } else {
        ASSERT_EQ(prop->GetKind(), 5);
        cPictPropRaw* raw = static_cast<cPictPropRaw*>(prop);
        EXPECT_EQ(hex_of(std::string(reinterpret_cast<const char*>(raw->bytes.Data()), size_t(raw->bytes.Count()))),
                  p[2]);
        EXPECT_EQ(raw->position, std::stoull(p[3]));
    }
}

// The thumbnail's pixels as djpeg decodes them, bottom row first.
std::vector<uint32_t> thumbnail_pixels(const cCase& c)
{
    const std::string rgb = exif_data(c.name, ".thumb");
    std::vector<uint32_t> pixels;
    for (int32_t y = c.thumbnail_height - 1; y >= 0; --y)
        for (int32_t x = 0; x < c.thumbnail_width; ++x) {
            const uint8_t* p = reinterpret_cast<const uint8_t*>(rgb.data()) + (size_t(y) * c.thumbnail_width + x) * 3;
            pixels.push_back(0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    return pixels;
}

}  // namespace

// Every property of blocks that exiftool wrote in both byte orders is what
// exiftool reads back (GPS seconds counted); crafted blocks give theirs:
// nothing for a zero denominator, dates read within their size, no IFD
// twice, pointers of 0 as none. A block whose walk fails keeps what came
// before the failure, and the picture loads all the same.
TEST(ExifDecoder, GivesThePropertiesExiftoolReads)
{
    for (const cCase& c : exif_cases()) {
        SCOPED_TRACE(c.name);
        const std::string data = exif_data(c.name, ".jpg");
        cByteStream file(data);
        cPictJPEG picture;
        ASSERT_TRUE(picture.Load(&file.stream));
        EXPECT_EQ(picture.GetWidth(), 64);
        for (const auto& p : read_test_records(("exif/" + c.name + ".props").c_str()))
            expect_property(picture, p);
    }
}

// The walk over the block alone, thumbnails decoded: its result and error
// code.
TEST(ExifDecoder, WalksTheBlockToItsVerdict)
{
    for (const cCase& c : exif_cases()) {
        SCOPED_TRACE(c.name);
        cByteStream block(exif_data(c.name, ".tiff"));
        cPictDummy picture;
        cExifDecoder exif(true);
        EXPECT_EQ(exif.ParseStreamInto(&picture, &block.stream, exif_ifd0), c.walk_ok);
        EXPECT_EQ(exif.error_code, c.code);
        EXPECT_FALSE(exif.ParseStream(&block.stream, 0));
    }
}

// The header read records the thumbnail without decoding it; the preview
// decodes it from the stream's start wherever the stream stands, as djpeg
// does, and leaves the thumbnail's own thumbnail undecoded; the fitted
// decode through the factory takes the preview when it fits. Without a
// usable thumbnail the preview fails and leaves its target empty.
TEST(ExifDecoder, DecodesThumbnailsAsPreviews)
{
    for (const cCase& c : exif_cases()) {
        SCOPED_TRACE(c.name);
        const std::string data = exif_data(c.name, ".jpg");
        cByteStream file(data);
        cPictJPEG picture;
        cPictInfo info = {};
        ASSERT_TRUE(picture.ReadInfo(&file.stream, &info));
        EXPECT_EQ(info.has_preview, c.has_preview);
        if (c.has_preview) {
            ASSERT_NE(picture.FindThumbnail(), nullptr);
            EXPECT_EQ(picture.FindThumbnail()->picture->GetWidth(), 0);
        }
        cPictDummy preview;
        const bool expected = c.thumbnail_width > 0;
        ASSERT_EQ(picture.LoadPreview(&file.stream, &preview, 100, 100), expected);
        if (!expected) {
            EXPECT_EQ(preview.pixels32.Data(), nullptr);
            continue;
        }
        ASSERT_EQ(preview.GetWidth(), c.thumbnail_width);
        ASSERT_EQ(preview.GetHeight(), c.thumbnail_height);
        const std::vector<uint32_t> pixels = thumbnail_pixels(c);
        EXPECT_TRUE(memcmp(preview.pixels32.Data(), pixels.data(), pixels.size() * 4) == 0);
        cPictBase* thumbnail = picture.FindThumbnail()->picture;
        ASSERT_NE(thumbnail->FindThumbnail(), nullptr);
        EXPECT_EQ(thumbnail->FindThumbnail()->picture->GetWidth(), 0);

        cByteStream again(data);
        cPictDummy boxed;
        EXPECT_EQ(pict_decode_to_box(&again.stream, &boxed, 40, 40), 0);
        ASSERT_EQ(boxed.GetWidth(), c.thumbnail_width);
        EXPECT_TRUE(memcmp(boxed.pixels32.Data(), pixels.data(), pixels.size() * 4) == 0);
    }
}

// One IFD where a caller points, in the context it gives: the Exif IFD of a
// camera's block gives its exposure and capture time and nothing of IFD0.
TEST(ExifDecoder, WalksOneIfdWhereACallerPointsIt)
{
    cByteStream block(exif_data("camera_mm", ".tiff"));
    struct cPointerFinder : cTiffGeneric {
        bool OnEntry(const cTiffEntry& entry) override
        {
            if (entry.tag == exif_ifd_exif)
                EntryUnsigned(entry, 0, &exif_offset);
            return true;
        }
        uint64_t exif_offset = 0;
    } finder;
    ASSERT_TRUE(finder.ParseStream(&block.stream, 0));
    ASSERT_NE(finder.exif_offset, 0u);
    cPictDummy picture;
    cExifDecoder exif(false);
    ASSERT_TRUE(exif.ParseIfdInto(&picture, &block.stream, exif_ifd_exif, finder.exif_offset, 1, 0,
                                  block.stream.GetSize()));
    expect_property(picture, {"5", "double", "0.004"});
    expect_property(picture, {"7", "int", "400"});
    expect_property(picture, {"1", "time", "2023", "12", "31", "23", "59", "58"});
    expect_property(picture, {"3", "none"});
    expect_property(picture, {"13", "none"});
}
