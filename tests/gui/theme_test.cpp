#include "gui/theme.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The built-in tables as the theme's documentation lists them.
const int32_t expected_metrics[25][3] = {
    {30, 16, 100}, {5, 0, 20},   {40, 16, 80},  {5, 0, 10},    {5, 0, 10},  {22, 0, 10},  {44, 0, 50},
    {24, 0, 40},   {16, 0, 20},  {10, 0, 20},   {7, 0, 10},    {5, 0, 10},  {3, 0, 10},   {24, 24, 40},
    {7, 0, 10},    {14, 10, 16}, {3, 1, 5},     {12, 12, 24},  {20, 12, 24}, {14, 10, 20}, {20, 10, 40},
    {48, 32, 100}, {12, 12, 30}, {18, 18, 24},  {18, 18, 24},
};

const uint32_t expected_colours[62] = {
    0xF3E5DF, 0xF3E5DF, 0xF3E5DF, 0xF3E5DF, 0x404040, 0x808080, 0x606060, 0xFF4040,
    0xA0A0A0, 0xFFFFFF, 0xFFFFFF, 0xF0FFFF, 0xC0C0C0, 0x404040, 0xFFFFFF, 0xFCF6F0,
    0xFF9933, 0xFF9933, 0xF1EBE5, 0xF1EBE5, 0xFFFFFF, 0xF1D5C6, 0xF1D5C6, 0xDCB6A9,
    0xFCF3E1, 0xCA9685, 0xE4CDC3, 0xFCF7F5, 0xFFFCFA, 0xFFFFFF, 0xF0F0F0, 0xF0F0FF,
    0xF1D5C6, 0xDCB6A9, 0xCA9685, 0xFFFFFF, 0xFFFFFF, 0xFBF7F6, 0xF4E4DB, 0xF3E5DF,
    0x404040, 0x404040, 0xF3E5DF, 0xD6ADA0, 0xA0A0A0, 0xE0E0E0, 0xB0B0B0, 0xC0C0C0,
    0xFCF7F5, 0x404040, 0x404040, 0xFFFFFF, 0xFFFFFF, 0xEFD8CE, 0xEFD8CE, 0xEFD8CE,
    0xEFD8CE, 0xEFD8CE, 0xEFD8CE, 0xE8DBD6, 0xE8DBD6, 0x908280,
};

struct cIndexRange {
    int first;
    int last;
    int width;
    int height;
};

// Sizes by index: the form frame, the button faces, the check boxes, the
// message icons and button images and the scroll bars are fixed by the
// controls that draw them; the rest by the uses the theme images serve.
const cIndexRange expected_sizes[] = {
    {0, 0, 5, 30},    {1, 1, 1, 30},    {2, 2, 5, 30},    {3, 4, 5, 1},     {5, 5, 8, 40},
    {6, 6, 1, 40},    {7, 7, 8, 40},    {8, 12, 8, 9},    {13, 14, 6, 6},   {15, 16, 11, 11},
    {17, 18, 3, 24},  {19, 20, 1, 18},  {21, 21, 5, 10},  {22, 22, 14, 14}, {23, 27, 1, 20},
    {28, 29, 8, 8},   {30, 35, 14, 14}, {36, 41, 12, 14}, {42, 65, 18, 18}, {66, 69, 11, 11},
    {70, 71, 11, 17}, {72, 72, 8, 9},   {73, 76, 27, 27}, {77, 84, 20, 16}, {85, 86, 14, 14},
    {87, 87, 4, 14},  {88, 93, 1, 14},  {94, 99, 2, 14},  {100, 105, 10, 14}, {106, 109, 1, 14},
    {110, 115, 6, 14}, {116, 116, 14, 4}, {117, 122, 14, 1}, {123, 128, 14, 2}, {129, 134, 14, 10},
    {135, 138, 14, 1}, {139, 144, 14, 6}, {145, 146, 7, 7}, {147, 156, 10, 10},
};

cSize expected_size(uint32_t index)
{
    for (const cIndexRange& range : expected_sizes)
        if (int(index) >= range.first && int(index) <= range.last)
            return {range.width, range.height};
    return {0, 0};
}

// A descriptor of recognisable values: metric i = {i, i + 100, i + 200},
// colour i = 0x010101 * i, image i of 1 x 1 with the flags word 0xFF000000 + i,
// except image 10, which is 2 x 1 with pixels.
struct cTestDescriptor {
    cThemeMetric metrics[theme_metric_count];
    uint32_t colours[theme_colour_count];
    cThemeImageDescriptor images[theme_image_count];
    uint32_t two_pixels[2];
    uint32_t one_pixel;
    cThemeDescriptor descriptor;

    cTestDescriptor() : two_pixels{0x11223344u, 0x55667788u}, one_pixel(0xFFABCDEFu)
    {
        for (int i = 0; i < theme_metric_count; ++i)
            metrics[i] = {i, i + 100, i + 200};
        for (int i = 0; i < theme_colour_count; ++i)
            colours[i] = 0x010101u * uint32_t(i);
        for (int i = 0; i < theme_image_count; ++i)
            images[i] = {1, 1, 0xFF000000u + uint32_t(i), nullptr};
        images[10] = {2, 1, 0, two_pixels};
        images[11] = {1, 1, 0x12345678u, &one_pixel};
        descriptor = {metrics, colours, images};
    }
};

}  // namespace

TEST(Theme, BuiltInMetricsAndColoursAreTheTablesAndLookupsOutsideThemAreZero)
{
    cCITheme* theme = get_theme();
    ASSERT_NE(theme, nullptr);
    for (uint32_t i = 0; i < 25; ++i)
        for (uint32_t column = 0; column < 3; ++column)
            EXPECT_EQ(theme->GetMetric(i, column), expected_metrics[i][column]) << i << "," << column;
    for (int i = 0; i < 62; ++i)
        EXPECT_EQ(theme->GetColour(i), expected_colours[i]) << i;
    EXPECT_EQ(theme->GetMetric(0, 3), 0);
    EXPECT_EQ(theme->GetMetric(25, 0), 0);
    EXPECT_EQ(theme->GetMetric(0xFFFFFFFFu, 1), 0);
}

TEST(Theme, EveryBuiltInImageExistsWithItsSize)
{
    cCITheme* theme = get_theme();
    ASSERT_NE(theme, nullptr);
    for (uint32_t i = 0; i < 157; ++i) {
        SCOPED_TRACE(i);
        cImageBuffer* image = theme->GetImage(i);
        ASSERT_NE(image, nullptr);
        const cSize size = expected_size(i);
        EXPECT_EQ(image->GetWidth(), size.width);
        EXPECT_EQ(image->GetHeight(), size.height);
        EXPECT_TRUE(image->IsConsistent());
        cSize reported = {-1, -1};
        EXPECT_EQ(theme->GetPixels(i, &reported), image->GetPixels());
        EXPECT_EQ(reported.width, size.width);
        EXPECT_EQ(reported.height, size.height);
        const uint32_t* pixels = image->GetPixels();
        EXPECT_TRUE(std::any_of(pixels, pixels + image->GetPixelCount(), [](uint32_t p) { return p >> 24; }))
            << "something is drawn";
    }
    EXPECT_EQ(theme->GetImage(157), nullptr);
    EXPECT_EQ(theme->GetPixels(157, nullptr), nullptr);
}

TEST(Theme, CopiesTheDescriptorsTablesAndAnswersOnePixelImagesByTheirFlagsWord)
{
    cTestDescriptor test;
    cCITheme theme(&test.descriptor);
    EXPECT_EQ(theme.GetMetric(7, 0), 7);
    EXPECT_EQ(theme.GetMetric(7, 1), 107);
    EXPECT_EQ(theme.GetMetric(24, 2), 224);
    EXPECT_EQ(theme.GetColour(61), 0x3D3D3Du);
    test.colours[61] = 0;
    EXPECT_EQ(theme.GetColour(61), 0x3D3D3Du);

    cImageBuffer* image = theme.GetImage(10);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->GetPixels(), test.two_pixels);
    EXPECT_EQ(image->GetPixels()[0], 0x11223344u);
    EXPECT_EQ(image->GetPixels()[1], 0x55667788u);
    EXPECT_EQ(theme.GetImage(0), nullptr) << "a 1 x 1 image without pixels has no buffer";

    // The pixels of a 1 x 1 image are its flags word.
    cSize size = {0, 0};
    const uint32_t* pixel = theme.GetPixels(3, &size);
    ASSERT_NE(pixel, nullptr);
    EXPECT_EQ(*pixel, 0xFF000003u);
    EXPECT_EQ(size.width, 1);
    EXPECT_EQ(size.height, 1);
    // Even with pixels given, a 1 x 1 image answers its flags word.
    pixel = theme.GetPixels(11, &size);
    ASSERT_NE(pixel, nullptr);
    EXPECT_EQ(*pixel, 0x12345678u);
    ASSERT_NE(theme.GetImage(11), nullptr);
    EXPECT_NE(pixel, theme.GetImage(11)->GetPixels());
    pixel = theme.GetPixels(10, &size);
    EXPECT_EQ(pixel, theme.GetImage(10)->GetPixels());
    EXPECT_EQ(size.width, 2);
}

TEST(Theme, InstallReplacesTheProcessThemeAndWithoutADescriptorEverythingIsEmpty)
{
    ASSERT_NE(get_theme(), nullptr);
    cTestDescriptor test;
    ASSERT_TRUE(cCITheme::Install(&test.descriptor));
    cCITheme* installed = get_theme();
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->GetColour(2), 0x020202u);
    EXPECT_EQ(get_theme(), installed);

    // Without a descriptor everything is empty.
    ASSERT_TRUE(cCITheme::Install(nullptr));
    cCITheme* empty = get_theme();
    ASSERT_NE(empty, nullptr);
    for (int i = 0; i < 62; ++i)
        EXPECT_EQ(empty->GetColour(i), 0u);
    for (uint32_t i = 0; i < 25; ++i)
        EXPECT_EQ(empty->GetMetric(i, 0), 0);
    for (uint32_t i = 0; i < 157; ++i) {
        EXPECT_EQ(empty->GetImage(i), nullptr);
        cSize size = {-1, -1};
        EXPECT_EQ(empty->GetPixels(i, &size), nullptr);
        EXPECT_EQ(size.width, 0);
        EXPECT_EQ(size.height, 0);
    }

    ASSERT_TRUE(cCITheme::Install(&builtin_theme));
    EXPECT_EQ(get_theme()->GetMetric(0, 0), 30);
    EXPECT_EQ(get_theme()->GetColour(16), 0xFF9933u);
}
