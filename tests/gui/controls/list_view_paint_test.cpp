// The list view's layout and painting in a real dialog: columns resized by
// dragging the header's bars, the colours of selected rows with and without
// the focus, and the text of an empty list, read back from the screen.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "gui/theme.h"
#include "tests/gui/controls/list_form.h"

namespace {

const uint32_t white = 0xFFFFFF;

struct cDragCase {
    const char* name;
    int32_t target_x;  // where the bar is dropped, in the header's coordinates
    int32_t width;
    // The row's icons along its middle line: the first column's (behind
    // its check box, clipped by its box) and the second column's.
    std::vector<std::pair<int32_t, int32_t>> icons;
    // Columns wider than the list make the header as wide as they are,
    // and the list scrolls to them.
    bool wider_than_list;
};

class ListViewPaintTest : public ListFormTest {};

TEST_F(ListViewPaintTest, DraggingAHeaderBarResizesTheColumnAndItsCells)
{
    // The first column starts 60 wide: its bar spans 60..63 of the header,
    // and the second column's cells start 3 pixels after its width.
    const cDragCase cases[] = {
        {"wider", 101, 101, {{17, 8}, {1 + 101 + bar + 2, 8}}, false},
        {"the icon box cut short", 20, 20, {{17, 4}, {1 + 20 + bar + 2, 8}}, false},
        {"no room for the icon", 16, 16, {{1 + 16 + bar + 2, 8}}, false},
        {"narrower than the check box", 9, 9, {{1 + 9 + bar + 2, 8}}, false},
        {"dragged past the column's left edge", -50, 0, {{1 + bar + 2, 8}}, false},
        {"wider than the list", 450, 450, {{17, 8}}, true},
    };
    for (const cDragCase& test : cases) {
        SCOPED_TRACE(test.name);
        int32_t width = -1;
        std::vector<std::pair<int32_t, int32_t>> icons;
        int32_t row_middle = -1, header_width = -1;
        bool scrolls = !test.wider_than_list;
        EXPECT_EQ(Run(
                      [](cListForm* f) {
                          f->list.ShowCheckBoxes(true);
                          f->AddRows({L"r0", L"r1"});
                          f->list.SetCell(0, 1, nullptr, 0, 0);
                      },
                      [&](cListForm* f) {
                          cHeaderChild* header = f->list.GetHeader();
                          return cSteps{
                              [&, f, header]() {
                                  row_middle = f->RowMiddle(0);
                                  cFormWindow::MoveTo(header, icon_column_width + 1, 8);
                                  send_mouse_button(true, false);
                              },
                              [&, header]() { cFormWindow::MoveTo(header, test.target_x, 8); },
                              []() { send_mouse_button(true, true); },
                              [&, f, header]() {
                                  width = header->GetColumnWidth(0);
                                  header_width = header->GetWidth();
                                  scrolls = f->list.GetHScroll()->IsDisplayed();
                                  for (const auto& run : cFormWindow::Runs(
                                           cFormWindow::Pixels(&f->list, 0, row_middle, 300, 1)))
                                      if (run.colour == cFormWindow::swap_red_blue(icon_argb(0)))
                                          icons.push_back({run.start, run.length});
                              }};
                      }),
                  1);
        EXPECT_EQ(width, test.width);
        EXPECT_EQ(icons, test.icons);
        EXPECT_EQ(scrolls, test.wider_than_list);
        int32_t columns = test.width + text_column_width + data_column_width + 3 * bar;
        EXPECT_EQ(header_width, test.wider_than_list ? columns : cListForm::list_width - 2);
    }
}

struct cColourCase {
    const char* name;
    bool full_row;
    bool focused;
    uint32_t fill;
    uint32_t line;
};

// What a selected row shows, and the rows around it.
struct cRowColours {
    uint32_t first_cell = 0;
    uint32_t second_cell = 0;
    uint32_t gap = 0;
    uint32_t after_last_column = 0;
    uint32_t bottom_line = 0;
    uint32_t shared_line = 0;  // where the next selected row's top line would be
    uint32_t unselected = 0;
};

TEST_F(ListViewPaintTest, SelectedRowsTakeTheFocusedOrUnfocusedColours)
{
    const uint32_t row_focused = 0x33CC99, row_unfocused = 0x9966CC;
    const cColourCase cases[] = {
        {"focused", false, true, theme_colour(16), theme_colour(25)},
        {"unfocused", false, false, theme_colour(18), theme_colour(26)},
        {"full row, focused", true, true, row_focused, row_focused},
        {"full row, unfocused", true, false, row_unfocused, row_unfocused},
    };
    for (const cColourCase& test : cases) {
        SCOPED_TRACE(test.name);
        cRowColours seen;
        EXPECT_EQ(Run(
                      [&](cListForm* f) {
                          f->list.SetMultiSelect(true);
                          f->list.SetFullRowSelect(test.full_row, false);
                          f->list.SetRowColours(row_focused, row_unfocused, false);
                          f->AddRows({L"r0", L"r1", L"r2", L"r3"});
                      },
                      [&](cListForm* f) {
                          return cSteps{ClickRow(f, 1), ClickRow(f, 2, VK_CONTROL),
                                        [&, f]() {
                                            if (!test.focused)
                                                f->other.TakeFocus();
                                        },
                                        [&, f]() {
                                            std::vector<cShownRow> rows = f->ShownIcons();
                                            ASSERT_EQ(rows.size(), 4u);
                                            int32_t row_height = rows[2].top - rows[1].top;
                                            int32_t row_top = rows[1].top - (row_height - icon_size) / 2;
                                            int32_t middle = rows[1].middle();
                                            int32_t second_column = 1 + icon_column_width + bar;
                                            int32_t past_columns = second_column + text_column_width + bar +
                                                                   data_column_width + bar;
                                            seen.first_cell = cFormWindow::PixelAt(&f->list, 40, middle);
                                            seen.second_cell =
                                                cFormWindow::PixelAt(&f->list, second_column + 100, middle);
                                            seen.gap = cFormWindow::PixelAt(&f->list, second_column - 2, middle);
                                            seen.after_last_column =
                                                cFormWindow::PixelAt(&f->list, past_columns + 20, middle);
                                            seen.bottom_line =
                                                cFormWindow::PixelAt(&f->list, 40, row_top + row_height - 1);
                                            seen.shared_line =
                                                cFormWindow::PixelAt(&f->list, 40, row_top + row_height);
                                            seen.unselected = cFormWindow::PixelAt(&f->list, 40, rows[0].middle());
                                        }};
                      }),
                  1);
        uint32_t beside = test.full_row ? test.fill : white;
        EXPECT_EQ(seen.first_cell, test.fill);
        EXPECT_EQ(seen.second_cell, beside);
        EXPECT_EQ(seen.gap, beside);
        EXPECT_EQ(seen.after_last_column, beside);
        EXPECT_EQ(seen.bottom_line, test.line);
        EXPECT_EQ(seen.shared_line, test.fill) << "two selected rows share one grid line";
        EXPECT_EQ(seen.unselected, white);
    }
}

// The pixels of a band that are not the background: their bounding box and
// their lightest and darkest channel.
struct cInk {
    int32_t left = INT32_MAX;
    int32_t right = -1;
    int32_t top = INT32_MAX;
    int32_t bottom = -1;
    uint32_t darkest = 0xFF;
    int32_t count = 0;
};

cInk ink_in(const std::vector<uint32_t>& pixels, int32_t width)
{
    cInk ink;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] == white)
            continue;
        int32_t x = int32_t(i) % width, y = int32_t(i) / width;
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
        for (int32_t shift = 0; shift < 24; shift += 8)
            ink.darkest = std::min(ink.darkest, (pixels[i] >> shift) & 0xFF);
        ++ink.count;
    }
    return ink;
}

TEST_F(ListViewPaintTest, AnEmptyListShowsItsTextCentredUntilItHasRows)
{
    for (bool header_shown : {true, false}) {
        SCOPED_TRACE(header_shown ? "below the header" : "without a header");
        // The text box: 5 pixels in from either side, 10 below the header
        // (or the top), 20 high; the band checked reaches 5 pixels further
        // down.
        int32_t band_top = (header_shown ? theme_metric(23) : 0) + 10;
        int32_t band_width = cListForm::list_width - 10;
        cInk empty, filled;
        EXPECT_EQ(Run(
                      [&](cListForm* f) {
                          f->list.ShowHeader(header_shown);
                          f->list.SetText(L"Nothing to show", -1, true);
                      },
                      [&](cListForm* f) {
                          return cSteps{[&, f]() {
                                            empty = ink_in(cFormWindow::Pixels(&f->list, 5, band_top, band_width, 25),
                                                           band_width);
                                            f->list.SetCell(0, 0, nullptr, -1, 0);
                                        },
                                        [&, f]() {
                                            filled = ink_in(cFormWindow::Pixels(&f->list, 5, band_top + 10,
                                                                                band_width, 15),
                                                            band_width);
                                        }};
                      }),
                  1);
        ASSERT_GT(empty.count, 20);
        EXPECT_LE(std::abs(empty.left - (band_width - 1 - empty.right)), 2) << "centred";
        EXPECT_GE(empty.top, 0);
        EXPECT_LT(empty.bottom, 20);
        // Drawn in the theme's grey, not the darker text colour.
        EXPECT_GE(empty.darkest, (theme_colour(5) & 0xFF) - 8);
        EXPECT_LE(empty.darkest, (theme_colour(5) & 0xFF) + 8);
        EXPECT_EQ(filled.count, 0) << "a list with a row hides the text";
    }
}

}  // namespace
