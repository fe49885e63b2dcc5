#include "gui/controls/simple_grid.h"

#include <windows.h>

#include "gui/canvas.h"
#include "gui/controls/focus_cue.h"
#include "gui/theme.h"

namespace {

const uint32_t selection_code = 6;
const uint32_t activation_code = 7;
// The theme's text colour draws the focus cue.
const uint32_t focus_colour = 4;

// The first row (or column) of cells of that pitch whose cell still shows
// below (or right of) the offset; lead is the gap before the first cell.
int32_t first_visible(int32_t offset, int32_t pitch, int32_t lead, int32_t extent)
{
    int32_t first = offset / pitch;
    if (first * pitch + lead + extent <= offset)
        ++first;
    return first;
}

}  // namespace

cSimpleGridChild::cSimpleGridChild()
    : columns(0), rows(0), count(0), selected(-1), horizontal_spacing(0), spacing(0), background(0xFFFFFF)
{
}

int32_t cSimpleGridChild::GetSpacing()
{
    return 0;
}

int32_t cSimpleGridChild::GetMaxSpacing()
{
    return INT32_MAX;
}

void cSimpleGridChild::InitDefaults()
{
    cScrollableElement::InitDefaults();
    columns = rows = count = horizontal_spacing = 0;
    selected = -1;
    spacing = GetSpacing();
    SetScrollSteps(spacing, GetCellHeight() + spacing);
    SetContentWidth(GetCellWidth());
    LayoutCells(false);
    background = 0xFFFFFF;
}

void cSimpleGridChild::Layout()
{
    cScrollableElement::Layout();
    LayoutCells(true);
}

// Setting the content size lays the grid out again inside this call; what
// this call computed is stored before, so that nothing stale is stored
// after it.
void cSimpleGridChild::LayoutCells(bool redraw)
{
    int32_t new_count = GetCellCount();
    if (new_count < 0)
        new_count = 0;
    bool changed = false;
    if (new_count != count) {
        count = new_count;
        selected = -1;
        changed = true;
    }
    if (count == 0) {
        columns = rows = 0;
        selected = -1;
        SetContentHeight(0);
        if (redraw && changed)
            Redraw(nullptr);
        return;
    }
    int32_t cell_width = GetCellWidth();
    SetContentWidth(cell_width);
    int32_t view_width = GetSize().width;
    int32_t pitch = cell_width + spacing;
    // A grid without room, or cells without width, has no columns: nothing
    // to divide by.
    if (cell_width <= 0 || pitch <= 0 || view_width <= 0 || view_width < cell_width) {
        columns = rows = 0;
        selected = -1;
        return;
    }
    int32_t new_columns = view_width / pitch;
    if ((2 * int64_t(new_columns) + 1) * cell_width <= view_width)
        ++new_columns;
    // Every column has its gap, half of it on each side of the cell, as
    // rows have theirs: the last column ends inside the view.
    int32_t new_spacing = 0;
    if (new_columns > 1) {
        new_spacing = int32_t((view_width - int64_t(new_columns) * cell_width) / new_columns);
        int32_t limit = GetMaxSpacing();
        if (new_spacing > limit)
            new_spacing = limit;
        if (new_spacing < 0)
            new_spacing = 0;
    }
    if (new_columns != columns || new_spacing != horizontal_spacing)
        changed = true;
    columns = new_columns;
    horizontal_spacing = new_spacing;
    int32_t new_rows = (count + columns - 1) / columns;
    if (new_rows != rows) {
        rows = new_rows;
        changed = true;
        SetContentHeight((GetCellHeight() + spacing) * rows);
    }
    if (redraw && changed)
        Redraw(nullptr);
}

bool cSimpleGridChild::GetCellRect(int32_t index, cRect* rect)
{
    if (columns <= 0 || index < 0 || index >= count)
        return false;
    int32_t cell_width = GetCellWidth();
    int32_t cell_height = GetCellHeight();
    *rect = cRect{(cell_width + horizontal_spacing) * (index % columns) + horizontal_spacing / 2,
                  (index / columns) * (spacing + cell_height) + spacing / 2, cell_width, cell_height};
    return true;
}

int32_t cSimpleGridChild::HitTest(int32_t px, int32_t py)
{
    if (columns <= 0)
        return -1;
    cPoint origin = GetScrollOrigin();
    int32_t cx = px - origin.x;
    int32_t cy = py - origin.y;
    int32_t cell_width = GetCellWidth();
    int32_t cell_height = GetCellHeight();
    int32_t pitch_x = cell_width + horizontal_spacing;
    int32_t pitch_y = cell_height + spacing;
    if (cx < 0 || cy < 0 || pitch_x <= 0 || pitch_y <= 0)
        return -1;
    int32_t column = cx / pitch_x;
    int32_t left = column * pitch_x + horizontal_spacing / 2;
    if (column >= columns || column >= count || cx < left || cx >= left + cell_width)
        return -1;
    int32_t row = cy / pitch_y;
    int32_t top = row * pitch_y + spacing / 2;
    if (cy < top || cy >= top + cell_height)
        return -1;
    int32_t index = columns * row + column;
    return index < count ? index : -1;
}

void cSimpleGridChild::PostCellAction(uint32_t code, int32_t index)
{
    // Without memory for the action a plain code-0 action goes instead.
    PostAction(new cCellAction(code, index));
}

void cSimpleGridChild::ChangeSelection(int32_t index)
{
    selected = index;
    PostCellAction(selection_code, index);
    Redraw(nullptr);
}

void cSimpleGridChild::SetSelection(int32_t index, bool post)
{
    if (index < 0 || index >= count || index == selected)
        return;
    selected = index;
    cRect cell;
    if (post)
        PostCellAction(selection_code, index);
    else if (GetCellRect(index, &cell))
        ScrollRectIntoView(cell, false, false);
    Redraw(nullptr);
}

void cSimpleGridChild::OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed)
{
    if (button != 1 || !pressed)
        return;
    int32_t index = HitTest(px, py);
    if (index != selected)
        ChangeSelection(index);
}

void cSimpleGridChild::OnDoubleClick(int32_t px, int32_t py)
{
    int32_t index = HitTest(px, py);
    if (index < 0)
        return;
    PostCellAction(activation_code, index);
    if (index != selected) {
        selected = index;
        Redraw(nullptr);
    }
}

void cSimpleGridChild::OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (shift || ctrl || alt || columns <= 0 || count <= 0)
        return;
    int32_t target = selected;
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        if (selected >= 0)
            PostCellAction(activation_code, selected);
        return;
    case VK_PRIOR:
    case VK_HOME:
        if (selected >= 1)
            target = 0;
        break;
    case VK_NEXT:
    case VK_END:
        if (selected + 1 < count)
            target = count - 1;
        break;
    case VK_LEFT:
        if (selected >= 0 && selected % columns != 0)
            target = selected - 1;
        break;
    case VK_UP:
        if (selected >= columns)
            target = selected - columns;
        break;
    case VK_RIGHT:
        if (selected < 0)
            target = 0;
        else if (selected % columns != columns - 1 && selected + 1 < count)
            target = selected + 1;
        break;
    case VK_DOWN:
        if (selected < 0)
            target = 0;
        else if (selected + columns < count)
            target = selected + columns;
        break;
    default:
        return;
    }
    if (target != selected)
        ChangeSelection(target);
}

bool cSimpleGridChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == selection_code) {
        cRect cell;
        if (GetCellRect(static_cast<cCellAction*>(action)->index, &cell))
            ScrollRectIntoView(cell, false, false);
    }
    return cScrollableElement::HandleAction(sender, action);
}

void cSimpleGridChild::OnFocusChange(bool, bool)
{
    Redraw(nullptr);
}

void cSimpleGridChild::OnFocusLost(bool flag1, bool flag2)
{
    OnFocusChange(flag1, flag2);
}

void cSimpleGridChild::PaintContent(cCanvas* canvas)
{
    cRect client = GetClientRect();
    int32_t cell_width = GetCellWidth();
    int32_t cell_height = GetCellHeight();
    int32_t pitch_x = cell_width + horizontal_spacing;
    int32_t pitch_y = cell_height + spacing;
    if (count <= 0 || columns <= 0 || cell_height <= 0 || pitch_x <= 0 || pitch_y <= 0) {
        canvas->FillRect(&client, background, background);
        return;
    }
    int32_t offset_x = GetScrollOffsetX();
    int32_t offset_y = GetScrollOffsetY();
    int32_t first_row = first_visible(offset_y, pitch_y, spacing / 2, cell_height);
    int32_t first_column = first_visible(offset_x, pitch_x, horizontal_spacing / 2, cell_width);
    // Visits the cells that show, with their rectangles in view coordinates.
    auto for_each_visible_cell = [&](auto&& visit) {
        for (int32_t row = first_row; row < rows && row * pitch_y + spacing / 2 - offset_y < client.height; ++row) {
            for (int32_t column = first_column;
                 column < columns && column * pitch_x + horizontal_spacing / 2 - offset_x < client.width; ++column) {
                cRect cell;
                if (!GetCellRect(row * columns + column, &cell))
                    continue;
                cell.x -= offset_x;
                cell.y -= offset_y;
                visit(row * columns + column, cell);
            }
        }
    };
    for_each_visible_cell([canvas](int32_t, cRect& cell) { canvas->ExcludeClipRect(&cell); });
    canvas->ApplyClip();
    canvas->FillRect(&client, background, background);
    canvas->IncludeClipRect(&client);
    canvas->ApplyClip();
    cCanvas* offscreen = canvas->CreateOffscreen(cell_width, cell_height, -1, -1);
    if (!offscreen)
        return;
    for_each_visible_cell([&](int32_t index, cRect& cell) {
        PaintCell(offscreen, index, index == selected);
        canvas->CopyArea(cell.x, cell.y, offscreen, 0, 0, -1, -1);
        if (index == selected && HasFocus())
            draw_focus_cue(canvas, cRect{cell.x + 2, cell.y + 2, cell.width - 4, cell.height - 4},
                           theme_colour(focus_colour));
    });
    delete offscreen;
}
