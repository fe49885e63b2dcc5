#include "base/case_map.h"

#include <windows.h>
#include "gui/controls/list_view.h"
#include "gui/element_clock.h"

// Selection, row clicks, keys and type-ahead search of the list.

namespace {

// A typed search goes on while characters come this close together.
const uint32_t type_ahead_pause_ms = 400;
const int32_t typed_capacity = 10;
const int32_t check_zone_width = 14;

}  // namespace

int32_t cListViewChild::RowAtIndex(int32_t index)
{
    int32_t* row = tree_find_value(display_order, index);
    return row ? *row : -1;
}

int32_t cListViewChild::IndexOfRow(int32_t row)
{
    int32_t* index = tree_find_value(row_index, row);
    return index ? *index : -1;
}

int32_t cListViewChild::RowHeight(int32_t row)
{
    int32_t* top = tree_find_value(row_position, row);
    cRowSpan* span = top ? tree_find_value(row_layout, *top) : nullptr;
    return span ? span->height : 0;
}

cListViewChild::cRowSpan* cListViewChild::SpanAt(int32_t content_y)
{
    cTreeNode<int32_t, cRowSpan>* node = tree_find_not_greater(row_layout, content_y);
    return node && node->value.top + node->value.height >= content_y ? &node->value : nullptr;
}

bool cListViewChild::InCheckBoxZone(int32_t x)
{
    int32_t content_x = x - 1 - GetScrollOrigin().x;
    return check_boxes && content_x >= 0 && content_x < check_zone_width;
}

void cListViewChild::PostChange(int32_t new_row, int32_t old_row, bool ctrl, bool shift)
{
    // Without memory a plain code-0 action goes in its place.
    PostAction(new cListViewItemChangeAction(new_row, old_row, ctrl, shift));
}

void cListViewChild::ClearSelection(int32_t keep)
{
    for (cTreeNode<int32_t, cCellMap>* node = tree_first_node(rows); node; node = tree_next_node(node)) {
        cTreeNode<int32_t, cCell>* first = tree_first_node(node->value);
        if (first && node->key != keep)
            first->value.flags &= uint16_t(~cell_selected);
    }
}

void cListViewChild::DropCurrentRow(bool ctrl, bool shift)
{
    int32_t old_row = current_row;
    ClearSelection(-1);
    current_row = -1;
    PostChange(-1, old_row, ctrl, shift);
    Redraw(nullptr);
}

void cListViewChild::ToggleChecked(int32_t row)
{
    cCell* first = FirstCell(row);
    if (!first)
        return;
    first->flags ^= cell_checked;
    PostAction(new cListViewItemChecked(row));
    Redraw(nullptr);
}

void cListViewChild::SelectRow(int32_t row, int32_t anchor, bool ctrl, bool shift, bool select)
{
    if (row != current_row)
        PostChange(row, current_row, ctrl, shift);
    current_row = row;
    if (!multi_select || (!ctrl && !shift)) {
        ClearSelection(row);
    } else if (shift && anchor >= 0 && anchor != row) {
        int32_t from = IndexOfRow(anchor), to = IndexOfRow(row);
        if (from > to) {
            int32_t swap = from;
            from = to;
            to = swap;
        }
        for (int32_t index = from; index >= 0 && index <= to; ++index) {
            if (cCell* first = FirstCell(RowAtIndex(index)))
                first->flags |= cell_selected;
        }
    }
    cCell* first = FirstCell(row);
    if (select && first)
        first->flags |= cell_selected;
    ScrollRowIntoView(row);
    Redraw(nullptr);
}

bool cListViewChild::SetCurrentRow(int32_t row)
{
    cSafeCriticalSectionAccess hold(&lock);
    if (!FirstCell(row))
        return false;
    SelectRow(row, -1, false, false, true);
    return true;
}

// Moves the vertical bar (whose position leads the painted offset until
// its scroll action arrives) so that the row shows whole inside the frame
// below the header.
void cListViewChild::ScrollRowIntoView(int32_t row)
{
    int32_t* top = tree_find_value(row_position, row);
    cVScroll* bar = GetVScroll();
    if (!top || !bar->IsDisplayed())
        return;
    cRect client = GetClientRect();
    int32_t offset = int32_t(bar->GetPosition());
    int32_t shown_top = *top + 1 - offset;
    int32_t shown_bottom = shown_top + RowHeight(row);
    int32_t view_top = client.y + 1, view_bottom = client.y + client.height - 1;
    int32_t shift = shown_bottom > view_bottom ? shown_bottom - view_bottom : 0;
    if (shown_top - shift < view_top)
        shift = shown_top - view_top;
    if (shift != 0)
        bar->MoveTo(offset + shift < 0 ? 0 : uint64_t(offset + shift), true);
}

void cListViewChild::DispatchMouseButton(int32_t x, int32_t y, int32_t button, bool pressed, bool ctrl, bool shift)
{
    cScrollableElement::DispatchMouseButton(x, y, button, pressed, ctrl, shift);
    if (!pressed || (button != 1 && button != 2) || capture_child || !IsVisible() || !IsPaintable())
        return;
    cRect client = GetClientRect();
    if (x < client.x || x >= client.x + client.width || y < client.y || y >= client.y + client.height)
        return;
    HandleRowPress(x, y, button, ctrl, shift);
}

void cListViewChild::HandleRowPress(int32_t x, int32_t y, int32_t button, bool ctrl, bool shift)
{
    cSafeCriticalSectionAccess hold(&lock);
    cRowSpan* span = SpanAt(y - 1 - GetScrollOrigin().y);
    if (!span) {
        if (button == 1 && current_row >= 0)
            DropCurrentRow(ctrl, shift);
        return;
    }
    cCell* first = FirstCell(span->row);
    if (!first)
        return;
    if (button == 1 && InCheckBoxZone(x))
        ToggleChecked(span->row);
    else
        OnRowClick(span->row, first, ctrl, shift, button);
}

void cListViewChild::OnRowClick(int32_t row, cCell* first_cell, bool ctrl, bool shift, int32_t button)
{
    if (!(first_cell->flags & cell_selected)) {
        SelectRow(row, current_row, ctrl, shift, true);
        return;
    }
    if (button != 1 || (shift && !ctrl))
        return;
    if (ctrl) {
        first_cell->flags &= uint16_t(~cell_selected);
        if (current_row == row)
            current_row = -1;
    } else {
        ClearSelection(row);
        current_row = row;
    }
    Redraw(nullptr);
}

void cListViewChild::OnDoubleClick(int32_t x, int32_t y)
{
    cRect client = GetClientRect();
    if (x < client.x || x >= client.x + client.width || y < client.y || y >= client.y + client.height)
        return;
    cSafeCriticalSectionAccess hold(&lock);
    cRowSpan* span = SpanAt(y - 1 - GetScrollOrigin().y);
    if (span) {
        if (!InCheckBoxZone(x))
            PostItem(6, span->row);
    } else if (current_row >= 0) {
        DropCurrentRow(false, false);
    }
}

bool cListViewChild::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (!focused_child && HasFocus() && IsVisible() && IsPaintable() && HandleKey(key, shift, ctrl))
        return true;
    return cScrollableElement::DispatchKeyDown(key, shift, ctrl, alt);
}

bool cListViewChild::HandleKey(uint32_t key, bool shift, bool ctrl)
{
    cSafeCriticalSectionAccess hold(&lock);
    int32_t last = tree_next_free_int(display_order) - 1;
    int32_t current = IndexOfRow(current_row);
    int32_t target = -1;
    switch (key) {
    case VK_BACK:
        PostAction(new cChildAction(9));
        return true;
    case VK_RETURN:
        if (current_row >= 0)
            PostItem(6, current_row);
        return true;
    case VK_ESCAPE:
        if (current_row >= 0)
            DropCurrentRow(ctrl, shift);
        return true;
    case VK_SPACE:
        if (check_boxes && current_row >= 0)
            ToggleChecked(current_row);
        return true;
    case VK_PRIOR:
    case VK_NEXT:
        target = PageTarget(key == VK_NEXT);
        ctrl = false;
        break;
    case VK_END:
    case VK_HOME:
        target = RowAtIndex(key == VK_HOME ? 0 : last);
        ctrl = false;
        break;
    case VK_UP:
    case VK_DOWN:
        if (current < 0)
            target = RowAtIndex(0);
        else
            target = RowAtIndex(key == VK_UP ? (current > 0 ? current - 1 : 0) : (current < last ? current + 1 : last));
        break;
    case 'A':
        if (ctrl && multi_select && last >= 0)
            SelectRow(RowAtIndex(0), RowAtIndex(last), false, true, true);
        return true;
    case VK_F5:
        PostAction(new cChildAction(8));
        return true;
    default:
        return false;
    }
    if (target >= 0)
        SelectRow(target, current_row, ctrl, shift, true);
    return true;
}

// From the current row, rows are passed while the client height still
// holds more than each one; no current row goes to the first or last row.
int32_t cListViewChild::PageTarget(bool down)
{
    int32_t index = IndexOfRow(current_row);
    if (index < 0)
        return RowAtIndex(down ? tree_next_free_int(display_order) - 1 : 0);
    int32_t rest = GetClientRect().height;
    for (;;) {
        int32_t row = RowAtIndex(index);
        int32_t row_height = RowHeight(row);
        int32_t next = down ? index + 1 : index - 1;
        if (rest <= row_height || RowAtIndex(next) < 0)
            return row;
        rest -= row_height;
        index = next;
    }
}

bool cListViewChild::DispatchChar(wchar_t character, bool shift, bool ctrl, bool alt)
{
    if (!focused_child && HasFocus() && IsVisible() && IsPaintable())
        TypeAhead(character);
    return cScrollableElement::DispatchChar(character, shift, ctrl, alt);
}

// A fresh search starts after the current row, so that typing the same
// letter again moves on; without a current row it starts at the first row.
void cListViewChild::TypeAhead(wchar_t character)
{
    uint32_t now = element_tick_count();
    bool fresh = now - typed_time > type_ahead_pause_ms;
    if (fresh)
        typed_length = 0;
    if (typed_length < typed_capacity)
        typed[typed_length++] = character;
    typed_time = now;
    cSafeCriticalSectionAccess hold(&lock);
    int32_t start = current_row >= 0 ? IndexOfRow(current_row) + (fresh ? 1 : 0) : 0;
    for (int32_t index = start > 0 ? start : 0;; ++index) {
        int32_t row = RowAtIndex(index);
        if (row < 0)
            return;
        cCell* first = FirstCell(row);
        const wchar_t* text = first ? first->text.Text() : nullptr;
        int32_t matched = 0;
        while (text && matched < typed_length && text[matched] &&
               wchar_to_lower(text[matched]) == wchar_to_lower(typed[matched]))
            ++matched;
        if (matched == typed_length) {
            SelectRow(row, current_row, false, false, true);
            return;
        }
    }
}
