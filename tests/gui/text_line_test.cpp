#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/gui/canvas_probe.h"

namespace {

const uint32_t white = 0xFFFFFF;
const uint32_t red = 0x0000FF;

int32_t width_of(cCanvas& canvas, const std::wstring& text)
{
    cSize size = {};
    EXPECT_TRUE(canvas.MeasureTextW(text.c_str(), int32_t(text.size()), &size));
    return size.width;
}

int32_t height_of(cCanvas& canvas, const std::wstring& text)
{
    cSize size = {};
    EXPECT_TRUE(canvas.MeasureTextW(text.c_str(), int32_t(text.size()), &size));
    return size.height;
}

// The shortened form of a text for the available width: as many leading
// characters as fit together with "...".
std::wstring shortened(cCanvas& canvas, const std::wstring& text, int32_t available)
{
    int32_t ellipsis = width_of(canvas, L"...");
    size_t kept = 0;
    while (kept < text.size() && width_of(canvas, text.substr(0, kept + 1)) + ellipsis <= available)
        ++kept;
    return text.substr(0, kept) + L"...";
}

// The same canvas with only the given text drawn at (x, y).
cCanvasPixels reference_text(int32_t width, int32_t height, int32_t x, int32_t y, const std::wstring& text)
{
    auto reference = make_canvas(width, height);
    EXPECT_TRUE(reference);
    paint_canvas(*reference, white);
    EXPECT_TRUE(reference->DrawTextColoured(x, y, false, text.c_str(), -1));
    return read_pixels(*reference);
}

}  // namespace

TEST(TextLine, FittingTextIsPlacedByAlignmentBetweenTheMargins)
{
    const struct {
        int32_t alignment;
        int32_t box_height;
    } cases[] = {{0, 24}, {1, 24}, {2, 24}, {7, 24}, {1, 9}};
    const std::wstring text = L"Regensburg";
    for (const auto& c : cases) {
        auto canvas = make_canvas(140, 40);
        ASSERT_TRUE(canvas);
        paint_canvas(*canvas, white);
        const int32_t x = 7, y = 5, width = 120, left = 4, right = 9;
        int32_t text_width = width_of(*canvas, text);
        int32_t text_height = height_of(*canvas, text);
        int32_t available = width - left - right;
        int32_t expected_x = x + left;
        if (c.alignment == 1)
            expected_x += (available - text_width) / 2;
        else if (c.alignment == 2)
            expected_x += available - text_width - 1;
        int32_t expected_y = y + (c.box_height - text_height) / 2;
        int32_t drawn_width = -5;
        EXPECT_EQ(canvas->DrawTextLine(x, y, width, c.box_height, c.alignment, false, left, right, text.c_str(), -1,
                                       &drawn_width, false),
                  expected_x)
            << "alignment " << c.alignment;
        EXPECT_EQ(drawn_width, text_width);
        EXPECT_EQ(read_pixels(*canvas).colours, reference_text(140, 40, expected_x, expected_y, text).colours)
            << "alignment " << c.alignment;
    }
}

TEST(TextLine, TooWideTextShowsItsLeadingCharactersWithAnEllipsis)
{
    const std::wstring text = L"Donaudampfschifffahrt";
    for (int32_t alignment : {0, 1, 2}) {
        auto canvas = make_canvas(100, 30);
        ASSERT_TRUE(canvas);
        paint_canvas(*canvas, white);
        const int32_t x = 3, y = 2, width = 70, height = 20, left = 2, right = 3;
        const int32_t available = width - left - right;
        ASSERT_GT(width_of(*canvas, text), available);
        std::wstring shown = shortened(*canvas, text, available);
        ASSERT_GT(shown.size(), 3u);
        int32_t shown_width = width_of(*canvas, shown.substr(0, shown.size() - 3)) + width_of(*canvas, L"...");
        int32_t expected_x = x + left;
        if (alignment == 1)
            expected_x += (available - shown_width) / 2;
        else if (alignment == 2)
            expected_x += available - shown_width - 1;
        int32_t drawn_width = 0;
        EXPECT_EQ(canvas->DrawTextLine(x, y, width, height, alignment, false, left, right, text.c_str(),
                                       int32_t(text.size()), &drawn_width, false),
                  expected_x);
        EXPECT_EQ(drawn_width, shown_width);
        EXPECT_LE(drawn_width, available);
        int32_t expected_y = y + (height - height_of(*canvas, text)) / 2;
        EXPECT_EQ(read_pixels(*canvas).colours, reference_text(100, 30, expected_x, expected_y, shown).colours)
            << "alignment " << alignment;
    }
}

TEST(TextLine, OnlyTheEllipsisShowsWhenNoCharacterFitsBesideIt)
{
    auto canvas = make_canvas(60, 20);
    ASSERT_TRUE(canvas);
    paint_canvas(*canvas, white);
    int32_t ellipsis = width_of(*canvas, L"...");
    int32_t first = width_of(*canvas, L"W");
    int32_t available = ellipsis + first - 1;
    int32_t drawn_width = 0;
    EXPECT_EQ(canvas->DrawTextLine(0, 0, available, 20, 0, false, 0, 0, L"Wuppertal", -1, &drawn_width, false), 0);
    EXPECT_EQ(drawn_width, ellipsis);
    int32_t y = (20 - height_of(*canvas, L"Wuppertal")) / 2;
    EXPECT_EQ(read_pixels(*canvas).colours, reference_text(60, 20, 0, y, L"...").colours);
}

TEST(TextLine, BoxNarrowerThanTheEllipsisDrawsNothing)
{
    auto canvas = make_canvas(60, 20);
    ASSERT_TRUE(canvas);
    paint_canvas(*canvas, red);
    int32_t ellipsis = width_of(*canvas, L"...");
    int32_t drawn_width = 77;
    EXPECT_EQ(canvas->DrawTextLine(2, 0, ellipsis - 1 + 5, 20, 0, false, 2, 3, L"Wuppertal", -1, &drawn_width, true),
              -1);
    EXPECT_EQ(drawn_width, 77);
    EXPECT_EQ(read_pixels(*canvas).Count(red), 60 * 20);
}

TEST(TextLine, RefusesImpossibleBoxes)
{
    auto canvas = make_canvas(60, 20);
    ASSERT_TRUE(canvas);
    const struct {
        int32_t width;
        int32_t left;
        int32_t right;
        const wchar_t* text;
    } cases[] = {{50, 0, 0, nullptr}, {0, 0, 0, L"a"}, {-3, 0, 0, L"a"}, {50, -1, 0, L"a"},
                 {50, 0, -1, L"a"},   {10, 5, 5, L"a"}, {10, 7, 5, L"a"}};
    for (const auto& c : cases)
        EXPECT_EQ(canvas->DrawTextLine(0, 0, c.width, 20, 0, false, c.left, c.right, c.text, -1, nullptr, false), -1)
            << c.width << " " << c.left << " " << c.right;
}

TEST(TextLine, FilledMarginsCoverTheBoxAroundTheTextButNotTheMargins)
{
    auto canvas = make_canvas(100, 30);
    ASSERT_TRUE(canvas);
    paint_canvas(*canvas, red);
    const uint32_t yellow = 0x00FFFF;
    ASSERT_TRUE(canvas->SetTextColours(0, yellow));
    const int32_t x = 5, y = 3, width = 80, height = 22, left = 4, right = 6;
    ASSERT_GE(canvas->DrawTextLine(x, y, width, height, 1, false, left, right, L"Ulm", -1, nullptr, true), 0);
    cCanvasPixels pixels = read_pixels(*canvas);
    for (int32_t py = 0; py < 30; ++py)
        for (int32_t px = 0; px < 100; ++px) {
            bool inner = px >= x + left && px < x + width - right && py >= y && py < y + height;
            ASSERT_EQ(pixels.At(px, py) == red, !inner) << px << "," << py;
        }
    EXPECT_GT(pixels.Count(0), 0) << "the text itself";

    // Transparent text fills nothing.
    paint_canvas(*canvas, red);
    ASSERT_GE(canvas->DrawTextLine(x, y, width, height, 1, true, left, right, L"Ulm", -1, nullptr, true), 0);
    EXPECT_EQ(read_pixels(*canvas).Count(yellow), 0);
}

TEST(TextLine, Utf8TextDrawsLikeItsWideForm)
{
    auto canvas = make_canvas(100, 20);
    auto wide = make_canvas(100, 20);
    ASSERT_TRUE(canvas && wide);
    int32_t drawn = 0;
    int32_t wide_drawn = 0;
    int32_t at = canvas->DrawTextLineUtf8(0, 0, 90, 20, 1, false, 2, 2, "K\xC3\xB6ln am Rhein", -1, &drawn, false);
    EXPECT_EQ(at, wide->DrawTextLine(0, 0, 90, 20, 1, false, 2, 2, L"K\u00F6ln am Rhein", -1, &wide_drawn, false));
    EXPECT_EQ(drawn, wide_drawn);
    EXPECT_EQ(read_pixels(*canvas).colours, read_pixels(*wide).colours);
    EXPECT_EQ(canvas->DrawTextLineUtf8(0, 0, 90, 20, 0, false, 0, 0, "", -1, nullptr, false), 0);
    EXPECT_EQ(canvas->DrawTextLineUtf8(0, 0, 90, 20, 0, false, 0, 0, nullptr, -1, nullptr, false), -1);
}
