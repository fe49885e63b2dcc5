#include "pict/win_exe_props.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "tests/pict/hex_pixels.h"
#include "tests/support/byte_stream.h"
#include "tests/support/test_data.h"

namespace {

// Pixels within tolerance of Pillow's; where Pillow's alpha is 0 only the
// transparency counts.
void expect_icon(const cPictPropImage* icon, int32_t width, int32_t height, const std::string& expected,
                 int tolerance)
{
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(icon->picture, nullptr);
    ASSERT_EQ(icon->picture->width, width);
    ASSERT_EQ(icon->picture->height, height);
    expect_pixels_near(icon->picture->pixels32.Data(), size_t(width) * height, expected, 8, tolerance, true);
}

}  // namespace

// Each icon group of a DLL that windres built, and of a PE32+ file: the
// entry of the wanted size (1, 4, 8, 24 and 32 bits with their masks), or a
// PNG entry scaled to it, as Pillow reads the same icon files.
TEST(WinExeProps, ReadsTheIconOfTheWantedSize)
{
    for (const auto& c : read_test_records("exe_icons.txt")) {
        SCOPED_TRACE(c[0] + " group " + c[1] + " at " + c[2]);
        cByteStream file(read_test_data(c[0].c_str()));
        std::unique_ptr<cFileObjectProps> props(file_props_open(&file.stream));
        ASSERT_TRUE(props);
        props->icon_width = std::stoi(c[2]);
        props->icon_height = std::stoi(c[3]);
        ASSERT_TRUE(props->Read(&file.stream, std::stoi(c[1]), true));
        expect_icon(props->FindIcon(), props->icon_width, props->icon_height, c[5], std::stoi(c[4]));
        props->Reset();
        EXPECT_EQ(props->FindIcon(), nullptr);
    }
}

// A picture file gives its picture fitted into the wanted size; a file of
// neither kind gives no properties; executables without that group or cut
// short give no icon, and bit flips a clean answer.
TEST(WinExeProps, RefusesWhatHoldsNoIcon)
{
    // 64 x 32 into 16 x 16: 16 x 8 in the middle, transparent above and below.
    cByteStream picture(read_test_data("picture_icon.png"));
    std::unique_ptr<cFileObjectProps> picture_props(file_props_open(&picture.stream));
    ASSERT_TRUE(picture_props);
    ASSERT_TRUE(picture_props->Read(&picture.stream, 0, true));
    const cPictBase* icon = picture_props->FindIcon()->picture;
    ASSERT_EQ(icon->width, 16);
    ASSERT_EQ(icon->height, 16);
    for (int32_t y = 0; y < 16; ++y)
        EXPECT_EQ(icon->pixels32.Data()[y * 16 + 7], y >= 4 && y < 12 ? 0xFFC86432u : 0u) << y;
    EXPECT_FALSE(picture_props->Read(&picture.stream, 1, true));
    cByteStream text(std::string("MY not an executable"));
    EXPECT_EQ(file_props_open(&text.stream), nullptr);

    const std::string dll = read_test_data("icons.dll");
    cByteStream whole(dll);
    cWinExeProps props;
    EXPECT_FALSE(props.Read(&whole.stream, 4, true));
    EXPECT_TRUE(props.Read(&whole.stream, 0, false));
    EXPECT_EQ(props.FindIcon(), nullptr);
    for (size_t length : {2, 64, 300, 1024}) {
        cByteStream cut(dll.substr(0, length));
        EXPECT_FALSE(props.Read(&cut.stream, 2, true)) << length;
    }
    const std::string plus = read_test_data("pe32plus.exe");
    std::mt19937 random(9);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = plus;
        damaged[random() % damaged.size()] ^= char(1 << (random() % 8));
        cByteStream file(damaged);
        cWinExeProps flipped;
        flipped.icon_width = flipped.icon_height = 48;
        if (flipped.Read(&file.stream, 0, true)) {
            EXPECT_EQ(flipped.FindIcon()->picture->width, 48);
        }
    }
}
