#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/ui_font.h"
#include "tests/gui/canvas_probe.h"

namespace {

const uint32_t white = 0xFFFFFF;
const int32_t canvas_width = 220;
const int32_t canvas_height = 120;
const int32_t box_x = 6;
const int32_t box_y = 4;

struct cPiece {
    int32_t x;
    int32_t y;
    std::wstring text;
};

class TextWrap : public ::testing::Test {
protected:
    void SetUp() override
    {
        canvas = make_canvas(canvas_width, canvas_height);
        ASSERT_TRUE(canvas);
        paint_canvas(*canvas, white);
        cSize space = {};
        ASSERT_TRUE(canvas->MeasureTextA(" ", 1, &space));
        space_width = space.width;
        space_height = space.height;
        ASSERT_GT(space_width, 0);
    }

    int32_t Width(const std::wstring& text)
    {
        cSize size = {};
        EXPECT_TRUE(canvas->MeasureTextW(text.c_str(), int32_t(text.size()), &size));
        return size.width;
    }

    int32_t Step(double spacing) { return int32_t(space_height * spacing); }

    // What the canvas must show: each piece drawn alone where the model
    // places it.
    cCanvasPixels Expected(const std::vector<cPiece>& pieces)
    {
        auto reference = make_canvas(canvas_width, canvas_height);
        EXPECT_TRUE(reference);
        paint_canvas(*reference, white);
        for (const cPiece& piece : pieces)
            EXPECT_TRUE(reference->DrawTextColoured(piece.x, piece.y, false, piece.text.c_str(), -1));
        return read_pixels(*reference);
    }

    void ExpectPieces(const std::vector<cPiece>& pieces)
    {
        EXPECT_EQ(read_pixels(*canvas).colours, Expected(pieces).colours);
    }

    bool Wrap(const wchar_t* text, int32_t width, int32_t alignment, cSize* size, double spacing = 1.5)
    {
        return canvas->DrawTextWrapped(box_x, box_y, width, 100, alignment, text, size, false, spacing);
    }

    std::unique_ptr<cWOffscreenCanvas> canvas;
    int32_t space_width = 0;
    int32_t space_height = 0;
};

// The rightmost column holding any ink, or -1.
int32_t rightmost_ink(const cCanvasPixels& pixels)
{
    for (int32_t x = pixels.width - 1; x >= 0; --x)
        for (int32_t y = 0; y < pixels.height; ++y)
            if (pixels.At(x, y) != white)
                return x;
    return -1;
}

}  // namespace

TEST_F(TextWrap, RightAlignedTextEndsAtTheBoxRightEdge)
{
    const int32_t width = Width(L"a") + space_width + Width(L"b") + 23;
    cSize size = {};
    ASSERT_TRUE(Wrap(L"a b", width, 2, &size));
    const int32_t right_edge = box_x + width;
    std::vector<cPiece> pieces = {{right_edge - Width(L"b") - space_width - Width(L"a"), box_y, L"a"},
                                  {right_edge - Width(L"b"), box_y, L"b"}};
    ExpectPieces(pieces);
    EXPECT_EQ(rightmost_ink(read_pixels(*canvas)), rightmost_ink(Expected({pieces[1]})));
    EXPECT_LT(rightmost_ink(read_pixels(*canvas)), right_edge);
    EXPECT_EQ(size.width, width);
    EXPECT_EQ(size.height, Step(1.5));
}

TEST_F(TextWrap, CentredTextSharesTheRemainingWidth)
{
    const int32_t content = Width(L"ab") + space_width + Width(L"cd");
    const int32_t width = content + 31;
    ASSERT_TRUE(Wrap(L"ab cd", width, 1, nullptr));
    const int32_t left = box_x + int32_t((width - content) * 0.5);
    ExpectPieces({{left, box_y, L"ab"}, {left + Width(L"ab") + space_width, box_y, L"cd"}});
}

TEST_F(TextWrap, CarriageReturnLineFeedBreaksOnceAndTwoLineFeedsLeaveAnEmptyLine)
{
    cSize size = {};
    ASSERT_TRUE(Wrap(L"ab\r\ncd", 150, 0, &size));
    ExpectPieces({{box_x, box_y, L"ab"}, {box_x, box_y + Step(1.5), L"cd"}});
    EXPECT_EQ(size.height, 2 * Step(1.5));

    paint_canvas(*canvas, white);
    ASSERT_TRUE(Wrap(L"ab\n\ncd", 150, 0, &size));
    ExpectPieces({{box_x, box_y, L"ab"}, {box_x, box_y + 2 * Step(1.5), L"cd"}});
    EXPECT_EQ(size.height, 3 * Step(1.5));
}

TEST_F(TextWrap, TabsCountFourSpaces)
{
    ASSERT_TRUE(Wrap(L"ab\tcd", 150, 0, nullptr));
    ExpectPieces({{box_x, box_y, L"ab"}, {box_x + Width(L"ab") + 4 * space_width, box_y, L"cd"}});
}

TEST_F(TextWrap, SpaceRunWiderThanTheBoxEndsTheLayout)
{
    const int32_t width = 60;
    std::wstring spaces(size_t(width / space_width + 1), L' ');
    cSize size = {5, 5};
    ASSERT_TRUE(Wrap((L"ab" + spaces + L"cd").c_str(), width, 0, &size));
    EXPECT_EQ(read_pixels(*canvas).Count(white), canvas_width * canvas_height) << "the open line is not drawn";
    EXPECT_EQ(size.width, 0);
    EXPECT_EQ(size.height, 0);

    ASSERT_TRUE(Wrap((L"ab\n" + spaces + L"cd").c_str(), width, 0, &size));
    ExpectPieces({{box_x, box_y, L"ab"}});
    EXPECT_EQ(size.height, Step(1.5));
}

TEST_F(TextWrap, WordsMoveToTheNextLineWithoutTheSpaceBeforeThem)
{
    const int32_t width = Width(L"Ahorn") + space_width + Width(L"Birke") + 2;
    cSize size = {};
    ASSERT_TRUE(Wrap(L"Ahorn Birke Eiche", width, 0, &size));
    ExpectPieces({{box_x, box_y, L"Ahorn"},
                  {box_x + Width(L"Ahorn") + space_width, box_y, L"Birke"},
                  {box_x, box_y + Step(1.5), L"Eiche"}});
    EXPECT_EQ(size.height, 2 * Step(1.5));
    EXPECT_EQ(size.width, Width(L"Ahorn") + space_width + Width(L"Birke"));

    // A line that a space cannot follow: the next line starts at its word.
    paint_canvas(*canvas, white);
    ASSERT_TRUE(Wrap(L"Ahorn Birke", Width(L"Ahorn"), 0, &size));
    ExpectPieces({{box_x, box_y, L"Ahorn"}, {box_x, box_y + Step(1.5), L"Birke"}});
}

TEST_F(TextWrap, JapaneseTextBreaksOnlyAfterIdeographicCommaAndFullStop)
{
    const std::wstring pieces[3] = {L"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0\u3001", L"\u6B21\u306E\u90E8\u5206\u3002",
                                    L"\u6700\u5F8C\u306E\u884C"};
    int32_t widths[3];
    int32_t widest = 0;
    for (int i = 0; i < 3; ++i) {
        widths[i] = Width(pieces[i]);
        ASSERT_GT(widths[i], 0);
        widest = std::max(widest, widths[i]);
    }
    const std::wstring text = pieces[0] + pieces[1] + pieces[2];
    // Greedy lines over the three unbreakable pieces, for two box widths.
    for (int32_t width : {widest, widths[0] + widths[1]}) {
        paint_canvas(*canvas, white);
        cSize size = {};
        ASSERT_TRUE(Wrap(text.c_str(), width, 0, &size));
        std::vector<cPiece> expected;
        int32_t line = 0;
        int32_t used = 0;
        for (int i = 0; i < 3; ++i) {
            if (used > 0 && used + widths[i] > width) {
                ++line;
                used = 0;
            }
            expected.push_back({box_x + used, box_y + line * Step(1.5), pieces[i]});
            used += widths[i];
        }
        ExpectPieces(expected);
        EXPECT_EQ(size.height, (line + 1) * Step(1.5)) << "box " << width;
        EXPECT_GT(line, 0);
    }
}

TEST_F(TextWrap, JustifiedLinesReachBothEdgesExceptTheLast)
{
    const int32_t content = Width(L"Linde") + space_width + Width(L"Tanne");
    const int32_t width = content + 9;
    ASSERT_LT(width, content + space_width + Width(L"Kiefer"));
    cSize size = {};
    ASSERT_TRUE(Wrap(L"Linde Tanne Kiefer", width, 3, &size));
    ExpectPieces({{box_x, box_y, L"Linde"},
                  {box_x + width - Width(L"Tanne"), box_y, L"Tanne"},
                  {box_x, box_y + Step(1.5), L"Kiefer"}});
    EXPECT_EQ(size.width, width);
}

TEST_F(TextWrap, WordWiderThanTheBoxStandsOnItsOwnLine)
{
    const std::wstring long_word = L"Donaudampfschifffahrt";
    const int32_t width = Width(long_word) / 2;
    ASSERT_GT(width, Width(L"ab") + space_width + Width(L"cd"));
    cSize size = {};
    ASSERT_TRUE(Wrap((L"ab " + long_word + L" cd").c_str(), width, 0, &size));
    ExpectPieces({{box_x, box_y, L"ab"}, {box_x, box_y + Step(1.5), long_word}, {box_x, box_y + 2 * Step(1.5), L"cd"}});
    EXPECT_EQ(size.height, 3 * Step(1.5));
    EXPECT_EQ(size.width, Width(long_word)) << "drawn unclipped";

    paint_canvas(*canvas, white);
    ASSERT_TRUE(Wrap(long_word.c_str(), width, 0, &size));
    ExpectPieces({{box_x, box_y, long_word}});
    EXPECT_EQ(size.height, Step(1.5));

    paint_canvas(*canvas, white);
    ASSERT_TRUE(Wrap((L"ab " + long_word).c_str(), width, 2, &size));
    ExpectPieces({{box_x + width - Width(L"ab"), box_y, L"ab"},
                  {box_x + width - Width(long_word), box_y + Step(1.5), long_word}});
}

TEST_F(TextWrap, TextNeedingMoreLinesThanTheHeightIsDrawnBelowTheBox)
{
    cSize size = {};
    ASSERT_TRUE(canvas->DrawTextWrapped(box_x, box_y, 150, space_height, 0, L"a\nb\nc", &size, false, 1.0));
    ExpectPieces({{box_x, box_y, L"a"}, {box_x, box_y + space_height, L"b"}, {box_x, box_y + 2 * space_height, L"c"}});
    EXPECT_EQ(size.height, 3 * space_height);
}

TEST_F(TextWrap, ZeroSpacingMeansTheInterfaceSpacing)
{
    cSize by_default = {};
    cSize explicit_spacing = {};
    ASSERT_TRUE(Wrap(L"a\nb", 150, 0, &by_default, 0.0));
    ASSERT_TRUE(Wrap(L"a\nb", 150, 0, &explicit_spacing, get_ui_line_spacing()));
    EXPECT_EQ(by_default.height, explicit_spacing.height);
    EXPECT_EQ(by_default.height, 2 * Step(1.2));
}

TEST_F(TextWrap, RefusesBoxesTooSmallForOneSpace)
{
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 0, 50, 0, L"a", nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 50, 0, 0, L"a", nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 50, 50, 0, nullptr, nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, 50, space_height - 1, 0, L"a", nullptr, false, 1.0));
    EXPECT_FALSE(canvas->DrawTextWrapped(0, 0, space_width - 1, 50, 0, L"a", nullptr, false, 1.0));
    EXPECT_EQ(read_pixels(*canvas).Count(white), canvas_width * canvas_height);
}

TEST_F(TextWrap, Utf8TextWrapsLikeItsWideForm)
{
    auto wide = make_canvas(canvas_width, canvas_height);
    ASSERT_TRUE(wide);
    paint_canvas(*wide, white);
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
