#include "gui/canvas.h"
#include "gui/controls/canvas_clip.h"
#include "gui/controls/list_view.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// The list's row layout and painting. Every cell box (check box, icon,
// text) is drawn on an offscreen canvas of its own size and copied in, so
// nothing of a cell reaches past its box.

namespace {

// The height of a row without measured content, and what a measured cell
// adds to its content.
const int32_t empty_row_height = 13;
const int32_t cell_margin = 4;
const int32_t check_box_width = 14;
const int32_t frame_lines = 2;

// One box of a cell on its own offscreen canvas: filled, its grid lines
// drawn by the caller, then copied onto the list's canvas at (x, y).
class cCellBox {
public:
    cCellBox(cCanvas* target_canvas, int32_t at_x, int32_t at_y, int32_t box_width, int32_t box_height,
             uint32_t fill)
        : canvas(nullptr), target(target_canvas), x(at_x), y(at_y), width(box_width), height(box_height)
    {
        // A box squeezed to nothing by a narrow column is left out.
        if (box_width <= 0 || box_height <= 0)
            return;
        canvas = target->CreateOffscreen(box_width, box_height, -1, -1);
        cRect all{0, 0, box_width, box_height};
        if (canvas)
            canvas->FillRect(&all, fill, fill);
    }
    ~cCellBox()
    {
        if (!canvas)
            return;
        target->CopyArea(x, y, canvas, 0, 0, width, height);
        delete canvas;
    }
    cCellBox(const cCellBox&) = delete;
    cCellBox& operator=(const cCellBox&) = delete;

    // Top unless the row above was drawn selected (it drew the shared
    // line), left while the cell's left line is pending, always the
    // bottom, and the right edge when asked.
    void DrawLines(uint32_t pen, bool top, bool* left_pending, bool right)
    {
        canvas->SetLinePen(pen, 1);
        if (top)
            Line(0, 0, width, 0);
        if (*left_pending)
            Line(0, 0, 0, height);
        *left_pending = false;
        Line(0, height - 1, width, height - 1);
        if (right)
            Line(width - 1, 0, width - 1, height);
    }

    cCanvas* canvas;  // null: nothing to draw on

private:
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    {
        cPoint from{x1, y1}, to{x2, y2};
        canvas->DrawLine(&from, &to);
    }

    cCanvas* target;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

}  // namespace

void cListViewChild::Relayout(bool remeasure)
{
    int32_t y = HeaderHeight();
    int32_t smallest = height;
    {
        cSafeCriticalSectionAccess hold(&lock);
        layout_pending = remeasure_pending = false;
        tree_clear(row_layout);
        tree_clear(row_position);
        for (cTreeNode<int32_t, int32_t>* node = tree_first_node(display_order); node; node = tree_next_node(node)) {
            cCellMap* cells = FindRow(node->value);
            int32_t row_height = cells ? MeasureRow(cells, remeasure) : 0;
            if (row_height == 0) {
                // Neither drawn nor clickable, but it takes its room.
                y += empty_row_height;
                continue;
            }
            row_height += row_spacing;
            smallest = row_height < smallest ? row_height : smallest;
            cRowSpan* span = tree_get_or_add(row_layout, y);
            int32_t* position = tree_get_or_add(row_position, node->value);
            if (span)
                *span = cRowSpan{y, node->value, row_height};
            if (position)
                *position = y;
            y += row_height;
        }
    }
    SetScrollSteps(5, smallest);
    SetContentHeight(y + frame_lines);
    Redraw(nullptr);
}

int32_t cListViewChild::MeasureRow(cCellMap* cells, bool remeasure)
{
    int32_t row_height = empty_row_height;
    bool found = false;
    for (cTreeNode<int32_t, cColumn>* column = tree_first_node(columns); column; column = tree_next_node(column)) {
        cCell* cell = tree_find_value(*cells, column->key);
        if (!cell)
            continue;
        found = true;
        if (remeasure || cell->cached_height == 0)
            cell->cached_height = int16_t(MeasureCell(*cell));
        row_height = cell->cached_height > row_height ? cell->cached_height : row_height;
    }
    return found ? row_height : 0;
}

// The text in the default font (not the column's), or the tallest icon the
// caches hold for the id, whichever is higher, plus the margin.
int32_t cListViewChild::MeasureCell(const cCell& cell)
{
    int32_t content = 0;
    cSize size{0, 0};
    if (!cell.text.IsEmpty() && MeasureText(cell.text.Text(), &size, GetDefaultFont()))
        content = size.height;
    for (int32_t i = 0; i < 3 && cell.image >= 0; ++i) {
        cImageBuffer* image = icon_caches[i] ? icon_caches[i]->Get(cell.image) : nullptr;
        if (image && image->GetHeight() > content)
            content = image->GetHeight();
    }
    return content + cell_margin;
}

void cListViewChild::PaintContent(cCanvas* canvas)
{
    int32_t right = width - 1, bottom = height - 1;
    cRect client = GetClientRect();
    int32_t inset = int32_t(border);
    clip_canvas_to(canvas, cRect{client.x + inset, client.y + inset, client.width - 2 * inset,
                                 client.height - 2 * inset});
    cPoint origin = GetScrollOrigin();
    bool drawn = false;
    {
        cSafeCriticalSectionAccess hold(&lock);
        int32_t line = 1 - origin.y;
        cTreeNode<int32_t, cRowSpan>* node = tree_find_not_greater(row_layout, line);
        if (!node)
            node = tree_first_node(row_layout);
        if (node && node->value.top + node->value.height <= line)
            node = nullptr;
        int32_t y = node ? node->value.top + 1 + origin.y : 1;
        bool above_selected = false;
        for (; node && y < bottom; node = tree_next_node(node)) {
            PaintRow(canvas, node->value, y, above_selected, &above_selected);
            y += node->value.height;
            drawn = true;
        }
        if (y < bottom) {
            cRect rest{1, y, right - 1, bottom - y};
            canvas->FillRect(&rest, background_colour, background_colour);
        }
    }
    unclip_canvas(canvas);
    if (!drawn)
        PaintEmptyText(canvas);
    canvas->SetLinePen(frame_colour, 1);
    const cPoint corners[5] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}, {0, 0}};
    for (int32_t i = 0; i < 4; ++i)
        canvas->DrawLine(&corners[i], &corners[i + 1]);
}

void cListViewChild::PaintEmptyText(cCanvas* canvas)
{
    const wchar_t* shown = GetTextPtr();
    if (!shown || !shown[0])
        return;
    canvas->SelectFont(GetDefaultFont());
    canvas->SetTextColours(theme_colour(5), background_colour);
    canvas->DrawTextLine(5, HeaderHeight() + 10, width - 11, 20, 1, false, 0, 0, shown, -1, nullptr, false);
}

cListViewChild::cCellLook cListViewChild::CellLook(bool selected)
{
    int32_t focus = HasFocus() ? 0 : 1;
    if (!selected)
        return cCellLook{background_colour, background_colour, text_colour};
    if (full_row_select)
        return cCellLook{row_fill[focus], row_fill[focus], selected_text[focus]};
    return cCellLook{selected_fill[focus], selected_line[focus], selected_text[focus]};
}

uint32_t cListViewChild::RowFill(cCellMap* cells)
{
    cTreeNode<int32_t, cCell>* first = tree_first_node(*cells);
    bool selected = first && (first->value.flags & cell_selected);
    return selected && full_row_select ? row_fill[HasFocus() ? 0 : 1] : background_colour;
}

void cListViewChild::PaintRow(cCanvas* canvas, const cRowSpan& span, int32_t y, bool above_selected,
                              bool* drawn_selected)
{
    cCellMap* cells = FindRow(span.row);
    int32_t right = width - 1;
    int32_t x = GetScrollOrigin().x + 1;
    *drawn_selected = false;
    if (!cells)
        return;
    uint32_t fill = RowFill(cells);
    bool first_column = true, selected = false;
    for (cTreeNode<int32_t, cColumn>* column = tree_first_node(columns); column && x < right;
         column = tree_next_node(column)) {
        // A column dragged to nothing keeps its bar, as in the header.
        int32_t column_width = header.GetColumnWidth(column->key);
        if (column_width > 0 && x + column_width > 0) {
            cCell* cell = tree_find_value(*cells, column->key);
            if (cell) {
                selected = (cell->flags & cell_selected) || (full_row_select && selected);
                *drawn_selected = *drawn_selected || selected;
                PaintCell(canvas, cell, column->value, first_column, selected, above_selected, x, y, column_width,
                          span.height);
            } else {
                cRect empty{x, y, column_width, span.height};
                canvas->FillRect(&empty, fill, fill);
            }
        }
        first_column = false;
        x += column_width > 0 ? column_width : 0;
        cRect gap{x, y, cSplitterChild::bar_width, span.height};
        canvas->FillRect(&gap, fill, fill);
        x += cSplitterChild::bar_width;
    }
    if (x < right) {
        cRect rest{x, y, right - x, span.height};
        canvas->FillRect(&rest, fill, fill);
    }
}

cImageBuffer* cListViewChild::CellIcon(const cCell* cell, bool selected)
{
    cImageBuffer* image = icon_caches[0] ? icon_caches[0]->Get(cell->image) : nullptr;
    cImageCache* preferred = selected ? icon_caches[2] : (cell->flags & cell_alternate_icon) ? icon_caches[1] : nullptr;
    cImageBuffer* other = preferred ? preferred->Get(cell->image) : nullptr;
    return other ? other : image;
}

void cListViewChild::PaintCell(cCanvas* canvas, cCell* cell, const cColumn& column, bool first_column,
                               bool selected, bool above_selected, int32_t x, int32_t y, int32_t column_width,
                               int32_t row_height)
{
    cCellLook look = CellLook(selected);
    bool top = !above_selected;
    bool left_pending = true;
    int32_t remaining = column_width;
    if (first_column && check_boxes) {
        int32_t box_width = remaining < check_box_width ? remaining : check_box_width;
        cCellBox box(canvas, x, y, box_width, row_height, look.fill);
        if (box.canvas) {
            box.DrawLines(look.pen, top, &left_pending, false);
            if (cImageBuffer* image = theme_image((cell->flags & cell_checked) ? 31 : 30))
                box.canvas->DrawImage((check_box_width - image->GetWidth()) / 2,
                                      (row_height - image->GetHeight()) / 2, image, -1, -1);
        }
        x += box_width;
        remaining -= box_width;
    }
    cImageBuffer* icon = cell->image >= 0 ? CellIcon(cell, selected) : nullptr;
    if (icon && remaining > 0) {
        int32_t box_width = icon->GetWidth() + 4 < remaining ? icon->GetWidth() + 4 : remaining;
        cCellBox box(canvas, x, y, box_width, row_height, look.fill);
        if (box.canvas) {
            box.DrawLines(look.pen, top, &left_pending, false);
            cPoint at{2, (row_height - icon->GetHeight()) / 2};
            box.canvas->DrawImageScaled(&at, icon, nullptr);
        }
        x += box_width;
        remaining -= box_width;
    }
    if (remaining <= 0)
        return;
    cCellBox box(canvas, x, y, remaining, row_height, look.fill);
    if (!box.canvas)
        return;
    if (!cell->text.IsEmpty()) {
        if (column.font)
            box.canvas->SelectFont(column.font);
        uint32_t colour = cell->text_colour != no_colour     ? cell->text_colour
                          : column.text_colour != no_colour ? column.text_colour
                                                            : look.text;
        box.canvas->SetTextColours(colour, look.fill);
        box.canvas->DrawTextLine(cell_padding, 0, remaining - cell_padding, row_height, column.alignment, false, 2,
                                 0, cell->text.Text(), -1, nullptr, false);
    }
    box.DrawLines(look.pen, top, &left_pending, true);
}
