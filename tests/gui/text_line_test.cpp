#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/gui/canvas_probe.h"

// A line of text is placed by its alignment between the margins, centred
// vertically; when it is too wide it shows as many leading characters as
// fit together with "...", and only "..." when no character fits beside it.
TEST(TextLine, TextIsPlacedByAlignmentAndShortenedWithAnEllipsisToFitItsBox)
{
    auto probe = make_canvas(1, 1);
    const int32_t room_for_the_ellipsis_alone = text_size(*probe, L"...").width + text_size(*probe, L"W").width - 1;
    const struct {
        const wchar_t* text;
        int32_t alignment;
        int32_t width;
        int32_t height;
        int32_t left;
        int32_t right;
    } cases[] = {
        {L"Regensburg", 0, 120, 24, 4, 9},
        {L"Regensburg", 1, 120, 24, 4, 9},
        {L"Regensburg", 2, 120, 24, 4, 9},
        {L"Regensburg", 7, 120, 24, 4, 9},
        {L"Regensburg", 1, 120, 9, 4, 9},
        {L"Donaudampfschifffahrt", 0, 70, 20, 2, 3},
        {L"Donaudampfschifffahrt", 1, 70, 20, 2, 3},
        {L"Donaudampfschifffahrt", 2, 70, 20, 2, 3},
        {L"Wuppertal", 0, room_for_the_ellipsis_alone, 20, 0, 0},
    };
    const int32_t x = 7, y = 5;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << ", alignment " << c.alignment << ", box " << c.width);
        auto canvas = make_canvas(140, 40, white);
        const std::wstring text = c.text;
        const int32_t available = c.width - c.left - c.right;
        std::wstring shown = text;
        int32_t shown_width = text_size(*canvas, text).width;
        if (shown_width > available) {
            const int32_t ellipsis = text_size(*canvas, L"...").width;
            size_t kept = 0;
            while (kept < text.size() && text_size(*canvas, text.substr(0, kept + 1)).width + ellipsis <= available)
                ++kept;
            shown = text.substr(0, kept) + L"...";
            shown_width = text_size(*canvas, text.substr(0, kept)).width + ellipsis;
        }
        int32_t expected_x = x + c.left;
        if (c.alignment == 1)
            expected_x += (available - shown_width) / 2;
        else if (c.alignment == 2)
            expected_x += available - shown_width - 1;
        const int32_t expected_y = y + (c.height - text_size(*canvas, text).height) / 2;
        int32_t drawn_width = -5;
        const int32_t length = shown == text ? -1 : int32_t(text.size());  // both ways of giving the length
        EXPECT_EQ(canvas->DrawTextLine(x, y, c.width, c.height, c.alignment, false, c.left, c.right, text.c_str(),
                                       length, &drawn_width, false),
                  expected_x);
        EXPECT_EQ(drawn_width, shown_width);
        EXPECT_LE(drawn_width, available);
        EXPECT_EQ(read_pixels(*canvas).colours, pixels_with_texts(140, 40, {{expected_x, expected_y, shown}}).colours);
    }
}

TEST(TextLine, RefusesImpossibleBoxesAndBoxesNarrowerThanTheEllipsisWithoutDrawing)
{
    auto canvas = make_canvas(60, 20, red);
    const struct {
        int32_t width;
        int32_t left;
        int32_t right;
        const wchar_t* text;
    } cases[] = {{50, 0, 0, nullptr},
                 {0, 0, 0, L"a"},
                 {-3, 0, 0, L"a"},
                 {50, -1, 0, L"a"},
                 {50, 0, -1, L"a"},
                 {10, 5, 5, L"a"},
                 {10, 7, 5, L"a"},
                 {text_size(*canvas, L"...").width - 1 + 5, 2, 3, L"Wuppertal"}};
    for (const auto& c : cases) {
        int32_t drawn_width = 77;
        EXPECT_EQ(canvas->DrawTextLine(2, 0, c.width, 20, 0, false, c.left, c.right, c.text, -1, &drawn_width, true),
                  -1)
            << c.width << " " << c.left << " " << c.right;
        EXPECT_EQ(drawn_width, 77);
    }
    EXPECT_EQ(read_pixels(*canvas).Count(red), 60 * 20);
}

TEST(TextLine, FilledMarginsCoverTheBoxAroundTheTextButNotTheMargins)
{
    auto canvas = make_canvas(100, 30, red);
    const uint32_t yellow = 0x00FFFF;
    ASSERT_TRUE(canvas->SetTextColours(0, yellow));
    const int32_t x = 5, y = 3, width = 80, height = 22, left = 4, right = 6;
    ASSERT_GE(canvas->DrawTextLine(x, y, width, height, 1, false, left, right, L"Ulm", -1, nullptr, true), 0);
    cCanvasPixels pixels = read_pixels(*canvas);
    expect_changed_only_in(pixels, cRect{x + left, y, width - left - right, height}, red);
    EXPECT_GT(pixels.Count(0), 0) << "the text itself";

    paint_canvas(*canvas, red);
    ASSERT_GE(canvas->DrawTextLine(x, y, width, height, 1, true, left, right, L"Ulm", -1, nullptr, true), 0);
    EXPECT_EQ(read_pixels(*canvas).Count(yellow), 0) << "transparent text fills nothing";
}

TEST(TextLine, Utf8TextDrawsLikeItsWideForm)
{
    auto canvas = make_canvas(100, 20);
    auto wide = make_canvas(100, 20);
    int32_t drawn = 0;
    int32_t wide_drawn = 0;
    int32_t at = canvas->DrawTextLineUtf8(0, 0, 90, 20, 1, false, 2, 2, "K\xC3\xB6ln am Rhein", -1, &drawn, false);
    EXPECT_EQ(at, wide->DrawTextLine(0, 0, 90, 20, 1, false, 2, 2, L"K\u00F6ln am Rhein", -1, &wide_drawn, false));
    EXPECT_EQ(drawn, wide_drawn);
    EXPECT_EQ(read_pixels(*canvas).colours, read_pixels(*wide).colours);
    EXPECT_EQ(canvas->DrawTextLineUtf8(0, 0, 90, 20, 0, false, 0, 0, "", -1, nullptr, false), 0);
    EXPECT_EQ(canvas->DrawTextLineUtf8(0, 0, 90, 20, 0, false, 0, 0, nullptr, -1, nullptr, false), -1);
}
