#include "pict/codecs/jp2.h"

#include <gtest/gtest.h>
#include <openjpeg.h>

#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/pict/decode_checks.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

std::string jp2_file(const std::string& name)
{
    return read_test_data(("jp2/" + name).c_str());
}

// Channel by channel (of channel_bytes each) within tolerance levels.
void expect_channels_near(const std::string& got, const std::string& expected, int channel_bytes, int tolerance)
{
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); i += size_t(channel_bytes)) {
        int a = uint8_t(got[i + size_t(channel_bytes) - 1]);
        int b = uint8_t(expected[i + size_t(channel_bytes) - 1]);
        if (channel_bytes == 2) {
            a = a << 8 | uint8_t(got[i]);
            b = b << 8 | uint8_t(expected[i]);
        }
        if (abs(a - b) > tolerance * (channel_bytes == 2 ? 257 : 1)) {
            ADD_FAILURE() << "byte " << i << ": " << a << " instead of " << b;
            return;
        }
    }
}

std::unique_ptr<cPictBase> decoder_for(const std::string& extension)
{
    if (extension == "jp2")
        return std::unique_ptr<cPictBase>(new cPictJP2);
    return std::unique_ptr<cPictBase>(new cPictJ2K);
}

}  // namespace

// The library is Debian's own build, of the version whose tools made the
// test files.
TEST(Jp2Decoder, UsesDebiansOwnOpenJpeg)
{
    std::string tools = read_test_data("jp2/debian-version");
    tools = tools.substr(0, tools.find('\n'));
    EXPECT_EQ(std::string(OPENJPEG_DEBIAN_VERSION), tools);
    EXPECT_EQ(std::string(opj_version()), tools.substr(0, tools.find('-')));
}

// Grey, RGB and alpha (marked in the file or not), 4 to 16 bits, signed,
// subsampled YCC, CIELab, tiled, lossy, and an image whose origin is not 0,
// 0: the header read gives the image area's size (and the other front end
// refuses the file), and the pixels are the samples the tools coded, into
// the own buffer and into an attached bitmap; the caller's stream stays
// open.
TEST(Jp2Decoder, DecodesEveryFileTheToolsMake)
{
    for (const auto& c : read_test_records("jp2/cases.txt")) {
        SCOPED_TRACE(c[0]);
        const std::string extension = c[1];
        const int32_t width = std::stoi(c[2]);
        const int32_t height = std::stoi(c[3]);
        const bool deep = c[4] == "1";
        const int tolerance = std::stoi(c[5]);
        const std::string expected = read_test_data(("jp2/" + c[0] + ".expected").c_str());
        cByteStream file(jp2_file(c[0] + "." + extension));
        cPictInfo info = {};
        pict_read_info_fn own = extension == "jp2" ? jp2_read_info : j2k_read_info;
        pict_read_info_fn other = extension == "jp2" ? j2k_read_info : jp2_read_info;
        ASSERT_TRUE(own(&file.stream, &info));
        EXPECT_EQ(info.width, width);
        EXPECT_EQ(info.height, height);
        EXPECT_EQ(info.has_preview, 0);
        EXPECT_FALSE(other(&file.stream, &info));

        std::unique_ptr<cPictBase> picture = decoder_for(extension);
        ASSERT_TRUE(picture->Load(&file.stream));
        EXPECT_TRUE(file.stream.IsOpen());
        EXPECT_EQ(picture->GetWidth(), width);
        EXPECT_EQ(picture->GetHeight(), height);
        EXPECT_EQ(picture->HasDeepPixels(), deep);
        expect_channels_near(pixel_bytes(*picture), expected, deep ? 2 : 1, tolerance);

        if (tolerance == 0) {
            std::unique_ptr<cPictBase> sunk = decoder_for(extension);
            EXPECT_EQ(load_into_bitmap(*sunk, file.bytes, width, height), pixels32_of(expected, deep));
        }
    }
}

// Sizes whose product passes what a picture holds, a codestream given to
// the JP2 front end and a JP2 file to the codestream one, every cut of a
// file up to its first tile and bit flips anywhere: a clean false (cut
// tile data may still decode, as OpenJPEG allows), the process unharmed.
TEST(Jp2Decoder, RefusesWhatOpenJpegCannotDecode)
{
    for (const char* name : {"huge.j2k", "wide.j2k"}) {
        SCOPED_TRACE(name);
        cByteStream file(jp2_file(name));
        EXPECT_FALSE(j2k_read_info(&file.stream, nullptr));
        cPictJ2K j2k;
        EXPECT_FALSE(j2k.Load(&file.stream));
    }
    cByteStream codestream(jp2_file("rgb8_signed.j2k"));
    cPictJP2 jp2;
    EXPECT_FALSE(jp2.Load(&codestream.stream));
    cByteStream boxes(jp2_file("rgb8.jp2"));
    cPictJ2K j2k;
    EXPECT_FALSE(j2k.Load(&boxes.stream));

    for (const char* name : {"rgba8_marked.jp2", "rgb12.j2k"}) {
        SCOPED_TRACE(name);
        const std::string data = jp2_file(name);
        const size_t first_tile = data.find("\xff\x90");
        ASSERT_NE(first_tile, std::string::npos);
        expect_damage_handled([name] { return std::string(name).find(".jp2") != std::string::npos
                                                  ? static_cast<cPictBase*>(new cPictJP2)
                                                  : static_cast<cPictBase*>(new cPictJ2K); },
                              data, 800, first_tile + 14);
    }
}
