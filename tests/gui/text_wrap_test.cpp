#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/ui_font.h"
#include "tests/gui/canvas_probe.h"

namespace {

const int32_t canvas_width = 220;
const int32_t canvas_height = 120;
const int32_t box_x = 6;
const int32_t box_y = 4;

// Wrapped text against the same pieces drawn one by one where a layout
// worked out from measured widths puts them.
class TextWrap : public ::testing::Test {
protected:
    void SetUp() override
    {
        canvas = make_canvas(canvas_width, canvas_height, white);
        space = text_size(*canvas, L" ");
        ASSERT_GT(space.width, 0);
    }

    int32_t Width(const std::wstring& text) { return text_size(*canvas, text).width; }

    int32_t Line(int32_t n, double spacing = 1.5) { return n * int32_t(space.height * spacing); }

    // Wraps the text in a box at (box_x, box_y) on a white canvas and
    // compares the drawing with the pieces.
    cSize Wrap(const std::wstring& text, int32_t width, int32_t alignment, const std::vector<cTextPiece>& pieces,
               int32_t height = 100, double spacing = 1.5)
    {
        paint_canvas(*canvas, white);
        cSize size = {-1, -1};
        EXPECT_TRUE(
            canvas->DrawTextWrapped(box_x, box_y, width, height, alignment, text.c_str(), &size, false, spacing));
        EXPECT_EQ(read_pixels(*canvas).colours, pixels_with_texts(canvas_width, canvas_height, pieces).colours);
        return size;
    }

    std::unique_ptr<cWOffscreenCanvas> canvas;
    cSize space = {};
};

}  // namespace

TEST_F(TextWrap, AlignmentPlacesEachLineWithinTheBox)
{
    int32_t width = Width(L"a") + space.width + Width(L"b") + 23;
    cSize size = Wrap(L"a b", width, 2, {{box_x + width - Width(L"b") - space.width - Width(L"a"), box_y, L"a"},
                                          {box_x + width - Width(L"b"), box_y, L"b"}});
    EXPECT_EQ(size.width, width);
    EXPECT_EQ(size.height, Line(1));

    const int32_t content = Width(L"ab") + space.width + Width(L"cd");
    const int32_t left = box_x + int32_t(31 * 0.5);
    Wrap(L"ab cd", content + 31, 1, {{left, box_y, L"ab"}, {left + Width(L"ab") + space.width, box_y, L"cd"}});

    // Justified lines reach both edges, except the last.
    width = Width(L"Linde") + space.width + Width(L"Tanne") + 9;
    ASSERT_LT(9, space.width + Width(L"Kiefer")) << "\"Kiefer\" does not fit on the first line";
    size = Wrap(L"Linde Tanne Kiefer", width, 3,
                {{box_x, box_y, L"Linde"}, {box_x + width - Width(L"Tanne"), box_y, L"Tanne"},
                 {box_x, box_y + Line(1), L"Kiefer"}});
    EXPECT_EQ(size.width, width);
}

TEST_F(TextWrap, LineBreaksTabsAndWordsMovedToTheNextLine)
{
    EXPECT_EQ(Wrap(L"ab\r\ncd", 150, 0, {{box_x, box_y, L"ab"}, {box_x, box_y + Line(1), L"cd"}}).height, Line(2));
    EXPECT_EQ(Wrap(L"ab\n\ncd", 150, 0, {{box_x, box_y, L"ab"}, {box_x, box_y + Line(2), L"cd"}}).height, Line(3))
        << "two line feeds leave an empty line";
    Wrap(L"ab\tcd", 150, 0, {{box_x, box_y, L"ab"}, {box_x + Width(L"ab") + 4 * space.width, box_y, L"cd"}});

    // A word that does not fit moves to the next line without the space
    // before it, also when the line is full without that space.
    const int32_t two_words = Width(L"Ahorn") + space.width + Width(L"Birke");
    cSize size = Wrap(L"Ahorn Birke Eiche", two_words + 2, 0,
                      {{box_x, box_y, L"Ahorn"}, {box_x + Width(L"Ahorn") + space.width, box_y, L"Birke"},
                       {box_x, box_y + Line(1), L"Eiche"}});
    EXPECT_EQ(size.height, Line(2));
    EXPECT_EQ(size.width, two_words);
    Wrap(L"Ahorn Birke", Width(L"Ahorn"), 0, {{box_x, box_y, L"Ahorn"}, {box_x, box_y + Line(1), L"Birke"}});
}

TEST_F(TextWrap, SpaceRunWiderThanTheBoxEndsTheLayout)
{
    const std::wstring spaces(size_t(60 / space.width + 1), L' ');
    cSize size = Wrap(L"ab" + spaces + L"cd", 60, 0, {});
    EXPECT_EQ(size.width, 0) << "the open line is not drawn";
    EXPECT_EQ(size.height, 0);
    EXPECT_EQ(Wrap(L"ab\n" + spaces + L"cd", 60, 0, {{box_x, box_y, L"ab"}}).height, Line(1));
}

TEST_F(TextWrap, JapaneseTextBreaksOnlyAfterIdeographicCommaAndFullStop)
{
    const std::wstring pieces[3] = {L"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0\u3001", L"\u6B21\u306E\u90E8\u5206\u3002",
                                    L"\u6700\u5F8C\u306E\u884C"};
    int32_t widths[3];
    for (int i = 0; i < 3; ++i) {
        widths[i] = Width(pieces[i]);
        ASSERT_GT(widths[i], 0);
    }
    // Greedy lines over the three unbreakable pieces, for two box widths.
    for (int32_t width : {*std::max_element(widths, widths + 3), widths[0] + widths[1]}) {
        std::vector<cTextPiece> expected;
        int32_t line = 0;
        int32_t used = 0;
        for (int i = 0; i < 3; ++i) {
            if (used > 0 && used + widths[i] > width) {
                ++line;
                used = 0;
            }
            expected.push_back({box_x + used, box_y + Line(line), pieces[i]});
            used += widths[i];
        }
        EXPECT_GT(line, 0);
        EXPECT_EQ(Wrap(pieces[0] + pieces[1] + pieces[2], width, 0, expected).height, Line(line + 1)) << width;
    }
}

// A Windows path whose blanks are no-break spaces breaks only after a
// separator, and each of its lines is drawn as one run: its lines read as
// the path is written.
TEST_F(TextWrap, APathBreaksOnlyAfterASeparator)
{
    const std::wstring pieces[4] = {L"C:\\", L"Start\u00A0Menu\\", L"Vantrel\\",
                                    L"Software\u00A0Packages\u00A0management.lnk"};
    for (int32_t width : {Width(pieces[0] + pieces[1]), Width(pieces[0] + pieces[1] + pieces[2]) + 3}) {
        std::vector<cTextPiece> expected = {{box_x, box_y, L""}};
        int32_t used = 0;
        for (const std::wstring& piece : pieces) {
            if (used > 0 && used + Width(piece) > width) {
                expected.push_back({box_x, box_y + Line(int32_t(expected.size())), L""});
                used = 0;
            }
            expected.back().text += piece;
            used += Width(piece);
        }
        EXPECT_GT(expected.size(), 1u);
        EXPECT_EQ(Wrap(pieces[0] + pieces[1] + pieces[2] + pieces[3], width, 0, expected).height,
                  Line(int32_t(expected.size())))
            << width;
    }
}

// What follows a run of touching words (a path broken after its
// separators, a sentence after an ideographic comma) on the same line
// starts after the whole run, as the run's own measure places it.
TEST_F(TextWrap, AWordAfterARunOfTouchingWordsFollowsTheWholeRun)
{
    for (const std::wstring& run : {std::wstring(L"C:\\Program\u00A0Files\\Vantrel\\"),
                                    std::wstring(L"\u65E5\u672C\u8A9E\u3001\u6587\u7AE0\u3001\u6B21")}) {
        const std::wstring after = L"\u5206ok";
        int32_t width = Width(run) + space.width + Width(after) + 5;
        Wrap(run + L" " + after, width, 0,
             {{box_x, box_y, run}, {box_x + Width(run) + space.width, box_y, after}});
    }
}

TEST_F(TextWrap, WordWiderThanTheBoxStandsOnItsOwnLineUnclipped)
{
    const std::wstring word = L"Donaudampfschifffahrt";
    const int32_t width = Width(word) / 2;
    ASSERT_GT(width, Width(L"ab") + space.width + Width(L"cd"));
    cSize size = Wrap(L"ab " + word + L" cd", width, 0,
                      {{box_x, box_y, L"ab"}, {box_x, box_y + Line(1), word}, {box_x, box_y + Line(2), L"cd"}});
    EXPECT_EQ(size.height, Line(3));
    EXPECT_EQ(size.width, Width(word));
    EXPECT_EQ(Wrap(word, width, 0, {{box_x, box_y, word}}).height, Line(1));
    Wrap(L"ab " + word, width, 2,
         {{box_x + width - Width(L"ab"), box_y, L"ab"}, {box_x + width - Width(word), box_y + Line(1), word}});
}

TEST_F(TextWrap, TextNeedingMoreLinesThanTheHeightIsDrawnBelowTheBox)
{
    cSize size = Wrap(L"a\nb\nc", 150, 0,
                      {{box_x, box_y, L"a"}, {box_x, box_y + Line(1, 1.0), L"b"}, {box_x, box_y + Line(2, 1.0), L"c"}},
                      space.height, 1.0);
    EXPECT_EQ(size.height, Line(3, 1.0));
}

TEST_F(TextWrap, ZeroSpacingMeansTheInterfaceSpacing)
{
    const double spacing = get_ui_line_spacing();
    cSize size = Wrap(L"a\nb", 150, 0, {{box_x, box_y, L"a"}, {box_x, box_y + Line(1, spacing), L"b"}}, 100, 0.0);
    EXPECT_EQ(size.height, Line(2, spacing));
}

TEST_F(TextWrap, RefusesBoxesTooSmallForOneSpace)
{
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 0, 50, 0, L"a", nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 50, 0, 0, L"a", nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 50, 50, 0, nullptr, nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 50, space.height - 1, 0, L"a", nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, space.width - 1, 50, 0, L"a", nullptr, false, 1.0));
    EXPECT_EQ(read_pixels(*canvas).Count(white), canvas_width * canvas_height);
}

TEST_F(TextWrap, Utf8TextWrapsLikeItsWideForm)
{
    auto wide = make_canvas(canvas_width, canvas_height, white);
    cSize size = {};
    cSize wide_size = {};
    ASSERT_TRUE(canvas->DrawTextWrappedUtf8(box_x, box_y, 70, 50, 0, "M\xC3\xBCnchen und N\xC3\xBCrnberg", &size,
                                            false, 1.5));
    ASSERT_TRUE(wide->DrawTextWrapped(box_x, box_y, 70, 50, 0, L"M\u00FCnchen und N\u00FCrnberg", &wide_size, false,
                                      1.5));
    EXPECT_EQ(read_pixels(*canvas).colours, read_pixels(*wide).colours);
    EXPECT_EQ(size.height, wide_size.height);
    EXPECT_FALSE(canvas->DrawTextWrappedUtf8(0, 0, 70, 50, 0, "", nullptr, false, 1.5));
    EXPECT_FALSE(canvas->DrawTextWrappedUtf8(0, 0, 70, 50, 0, nullptr, nullptr, false, 1.5));
}
