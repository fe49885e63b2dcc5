// The grid in a real dialog: its cells read back from the screen for a few
// shapes (columns spread inside the view, rows as wide as the view beside a
// vertical bar, a grid that starts without width), and selection by real
// clicks and keys.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "gui/canvas.h"
#include "gui/controls/simple_grid.h"
#include "tests/gui/controls/form_window.h"

namespace {

const uint32_t background = 0xFFFFFF;
const uint32_t selected_colour = 0x2060F0;

uint32_t cell_colour(int32_t index)
{
    return 0x203040 + uint32_t(index) * 0x0A0805;
}

// Cells filled with the colour of their index (the selected one with its
// own), in the shape the test chooses.
class cTestGrid : public cSimpleGridChild {
public:
    struct cShape {
        int32_t cell_width;  // 0: as wide as the view
        int32_t cell_height;
        int32_t spacing;
        int32_t count;
    };

    explicit cTestGrid(const cShape& grid_shape) : shape(grid_shape) {}

    void PaintCell(cCanvas* canvas, int32_t index, bool selected) override
    {
        uint32_t colour = selected ? selected_colour : cell_colour(index);
        cRect all{0, 0, GetCellWidth(), GetCellHeight()};
        canvas->FillRect(&all, colour, colour);
    }
    int32_t GetCellWidth() override { return shape.cell_width ? shape.cell_width : GetClientRect().width; }
    int32_t GetCellHeight() override { return shape.cell_height; }
    int32_t GetCellCount() override { return shape.count; }
    int32_t GetSpacing() override { return shape.spacing; }

    cShape shape;
};

class cGridForm : public cScriptForm {
public:
    cGridForm(cFormWindow& runner, std::vector<uint32_t>& action_log, const cTestGrid::cShape& shape, cRect place)
        : cScriptForm(runner, action_log), grid(shape), at(place)
    {
    }

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&grid, at.x, at.y, at.width, at.height);
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == &grid && (action->code == 6 || action->code == 7))
            cells.push_back(static_cast<cSimpleGridChild::cCellAction*>(action)->index);
        return cScriptForm::HandleAction(sender, action);
    }

    cTestGrid grid;
    cRect at;
    std::vector<int32_t> cells;  // the index of every code-6 and code-7 action

protected:
    bool Logs(cChildElement* sender) override { return sender == &grid; }
};

class GridTest : public ::testing::Test {
protected:
    GridTest() { window.step_gap_ms = cFormWindow::quick_step_gap_ms; }

    cFormWindow window;
    std::vector<uint32_t> log;
};

TEST_F(GridTest, ColumnsSpreadEvenlyInsideTheView)
{
    // Cells 10 wide with gaps of at least 40 in a view 100 wide: three
    // columns whose gaps and outer margins are even, the last one inside.
    cGridForm* form = new cGridForm(window, log, {10, 12, 40, 5}, {20, 20, 100, 150});
    std::vector<uint32_t> first_row, second_row;
    int32_t columns = -1;
    EXPECT_EQ(window.Run(form, 300, 260,
                         {[&, form]() {
                             columns = form->grid.GetColumns();
                             first_row = cFormWindow::Pixels(&form->grid, 0, 20 + 6, 100, 1);
                             second_row = cFormWindow::Pixels(&form->grid, 0, 20 + 52 + 6, 100, 1);
                         }}),
              1);
    EXPECT_EQ(columns, 3);
    std::vector<cFormWindow::cRun> cells;
    for (const cFormWindow::cRun& run : cFormWindow::Runs(first_row))
        if (run.colour != background)
            cells.push_back(run);
    ASSERT_EQ(cells.size(), 3u);
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].colour, cell_colour(int32_t(i)));
        EXPECT_EQ(cells[i].length, 10);
    }
    // Half a gap before the first cell; what the division leaves over
    // after the last one, but never more than a gap.
    int32_t left_margin = cells[0].start;
    int32_t right_margin = 100 - (cells[2].start + cells[2].length);
    int32_t gap = cells[1].start - (cells[0].start + 10);
    EXPECT_EQ(cells[2].start - (cells[1].start + 10), gap);
    EXPECT_EQ(left_margin, gap / 2);
    EXPECT_GE(right_margin, left_margin);
    EXPECT_LE(right_margin, gap);
    // The second row holds the last two cells, under the first two.
    std::set<uint32_t> second;
    for (const cFormWindow::cRun& run : cFormWindow::Runs(second_row))
        if (run.colour != background)
            second.insert(run.colour);
    EXPECT_EQ(second, (std::set<uint32_t>{cell_colour(3), cell_colour(4)}));
}

TEST_F(GridTest, RowsAsWideAsTheViewNeedNoHorizontalBar)
{
    // Eight rows of 30 in a view 100 high: a vertical bar, and rows that
    // reach it.
    cGridForm* form = new cGridForm(window, log, {0, 30, 0, 8}, {20, 20, 200, 100});
    int32_t bar_width = 0, bar_height = -1, columns = -1;
    std::vector<uint32_t> row;
    EXPECT_EQ(window.Run(form, 300, 220,
                         {[&, form]() {
                             bar_width = form->grid.GetVBarWidth();
                             bar_height = form->grid.GetHBarHeight();
                             columns = form->grid.GetColumns();
                             row = cFormWindow::Pixels(&form->grid, 0, 95, 200 - bar_width, 1);
                         }}),
              1);
    EXPECT_GT(bar_width, 0);
    EXPECT_EQ(bar_height, 0);
    EXPECT_EQ(columns, 1);
    ASSERT_FALSE(row.empty());
    EXPECT_EQ(cFormWindow::Runs(row).size(), 1u);
    EXPECT_EQ(row[0], cell_colour(3));
}

TEST_F(GridTest, GridInsertedWithoutWidthLaysOutOnceResized)
{
    // Full-width cells in a grid 0 wide, then 0 high too, then resized.
    cGridForm* form = new cGridForm(window, log, {0, 20, 0, 3}, {20, 20, 0, 80});
    std::vector<int32_t> columns;
    uint32_t shown = 0;
    EXPECT_EQ(window.Run(form, 300, 220,
                         {[&, form]() {
                              columns.push_back(form->grid.GetColumns());
                              form->GetClientPanel()->AddChild(&form->grid, 20, 20, 0, 0);
                              form->grid.SetSelection(1, false);
                              columns.push_back(form->grid.GetColumns());
                              form->grid.Redraw(nullptr);
                          },
                          [&, form]() {
                              form->GetClientPanel()->AddChild(&form->grid, 20, 20, 150, 80);
                              columns.push_back(form->grid.GetColumns());
                          },
                          [&, form]() { shown = cFormWindow::PixelAt(&form->grid, 75, 30); }}),
              1);
    // The selection made while the grid had no columns shows once it has.
    EXPECT_EQ(columns, (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(shown, selected_colour);
}

TEST_F(GridTest, ClicksAndKeysSelectAndActivateCells)
{
    // Cells 40 x 20, gaps 10, in a view 150 wide: three columns, cells at
    // x 5, 55, 105 and y 5, 35.
    cGridForm* form = new cGridForm(window, log, {40, 20, 10, 5}, {20, 20, 150, 100});
    auto click = [form](int32_t x, int32_t y) { return [form, x, y]() { cFormWindow::ClickAt(&form->grid, x, y); }; };
    auto press = [](WORD key) { return [key]() { cFormWindow::Press(key); }; };
    std::vector<int32_t> cells;
    int32_t selected_at_end = -2;
    uint32_t selected_shown = 0;
    EXPECT_EQ(window.Run(form, 300, 220,
                         {click(70, 10), press(VK_RIGHT), press(VK_RIGHT), press(VK_DOWN), press(VK_LEFT),
                          press(VK_DOWN), press(VK_UP), press(VK_RETURN), press(VK_HOME), press(VK_END),
                          click(52, 10), click(20, 40),
                          // The second press of a double click is still down
                          // when the window reads it.
                          [form]() {
                              cFormWindow::MoveTo(&form->grid, 20, 40);
                              send_mouse_button(true, false);
                          },
                          []() { send_mouse_button(true, true); },
                          [&, form]() {
                              cells = form->cells;
                              selected_at_end = form->grid.GetSelection();
                              selected_shown = cFormWindow::PixelAt(&form->grid, 20, 40);
                          }}),
              1);
    // Right stops at the row's end, Down at the last cell; Enter activates
    // (code 7); the click between cells clears the selection; the double
    // click selects cell 3 and activates it.
    EXPECT_EQ(cells, (std::vector<int32_t>{1, 2, 1, 4, 1, 1, 0, 4, -1, 3, 3}));
    EXPECT_EQ(log, (std::vector<uint32_t>{6, 6, 6, 6, 6, 7, 6, 6, 6, 6, 7}));
    EXPECT_EQ(selected_at_end, 3);
    EXPECT_EQ(selected_shown, selected_colour);
}

}  // namespace
