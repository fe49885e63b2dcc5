#include "gui/controls/list_view.h"

#include "gui/controls/list_view_sort.h"
#include "gui/controls/posted_value.h"
#include "gui/controls/setting.h"
#include "gui/theme.h"

// The list's model: columns, rows and cells, sorting, the update deferral
// and the setters. Input is in list_view_input.cpp, layout and painting in
// list_view_paint.cpp.

namespace {

// The wake-up that lays out what a worker thread changed.
const uint32_t layout_wake_code = 12;

// The frame's two lines, which the content size leaves room for.
const int32_t frame_lines = 2;

}  // namespace

cListViewChild::cColumn::~cColumn()
{
    delete provider;
}

cListViewChild::cListViewChild()
    : columns(512), display_order(512), row_index(512), row_layout(512), row_position(512), rows(512),
      sort_column(-1), frame_colour(0), text_colour(0), row_spacing(0), multi_select(false), updates_deferred(false),
      layout_pending(false), remeasure_pending(false), layout_posted(false), check_boxes(false),
      full_row_select(false), cell_padding(0), typed_length(0), typed_time(0), current_row(-1)
{
    for (int32_t i = 0; i < 3; ++i)
        icon_caches[i] = nullptr;
    for (int32_t i = 0; i < 2; ++i)
        selected_fill[i] = selected_text[i] = selected_line[i] = row_fill[i] = 0;
}

cListViewChild::~cListViewChild()
{
    cSafeCriticalSectionAccess hold(&lock);
    FreeRows();
}

void cListViewChild::InitDefaults()
{
    cScrollableElement::InitDefaults();
    // Fixed vertically: the header stays on top while the rows scroll.
    InsertChild(&header, 1, 1, width - frame_lines, theme_metric(23), 2);
    SetChildScrollOptions(&header, false, true);
    // A press on the header leaves the keyboard with the list.
    header.SetFocusable(false);
    header.SetWidth(width - frame_lines);
    SetScrollSteps(5, 1);
    SetContentHeight(header.GetHeight() + frame_lines);
    SetPageSteps(width, height);
    {
        cSafeCriticalSectionAccess hold(&lock);
        FreeRows();
        current_row = -1;
        updates_deferred = layout_pending = remeasure_pending = false;
    }
    sort_column = -1;
    for (int32_t i = 0; i < 3; ++i)
        icon_caches[i] = nullptr;
    frame_colour = theme_colour(21);
    text_colour = theme_colour(4);
    selected_fill[0] = row_fill[0] = theme_colour(16);
    selected_fill[1] = row_fill[1] = theme_colour(18);
    selected_text[0] = theme_colour(9);
    selected_text[1] = theme_colour(4);
    selected_line[0] = theme_colour(25);
    selected_line[1] = theme_colour(26);
    row_spacing = 0;
    multi_select = false;
    check_boxes = false;
    full_row_select = false;
    cell_padding = 0;
    typed_length = 0;
    typed_time = 0;
}

void cListViewChild::FreeRows()
{
    tree_clear(rows);
    tree_clear(display_order);
    tree_clear(row_index);
    tree_clear(row_layout);
    tree_clear(row_position);
}

bool cListViewChild::HeaderShown()
{
    return header.IsPaintable();
}

int32_t cListViewChild::HeaderHeight()
{
    return HeaderShown() ? header.GetHeight() : 0;
}

cRect cListViewChild::GetClientRect()
{
    cRect client = cScrollableElement::GetClientRect();
    int32_t above = HeaderHeight();
    client.y += above;
    client.height -= above;
    return client;
}

// The header spans the view inside the frame, and the content is as wide
// as the header.
void cListViewChild::Layout()
{
    cRect client = GetClientRect();
    header.SetWidth(client.width - frame_lines);
    SetContentWidth(header.GetWidth() + frame_lines);
    SetPageSteps(client.width, client.height);
    cScrollableElement::Layout();
}

void cListViewChild::SetText(const wchar_t* new_text, int32_t length, bool redraw)
{
    cScrollableElement::SetText(new_text, length, redraw);
    if (redraw)
        Redraw(nullptr);
}

void cListViewChild::OnFocusChange(bool flag1, bool flag2)
{
    cScrollableElement::OnFocusChange(flag1, flag2);
    Redraw(nullptr);
}

void cListViewChild::OnFocusLost(bool flag1, bool flag2)
{
    cScrollableElement::OnFocusLost(flag1, flag2);
    Redraw(nullptr);
}

bool cListViewChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &header) {
        if (action->code == 6) {
            SetContentWidth(static_cast<cSplitterChild::cResizeRequestAction*>(action)->width + frame_lines);
            header.SetWidth(GetClientRect().width - frame_lines);
            return true;
        }
        if (action->code == 8) {
            OnHeaderAction(action);
            return true;
        }
        if (action->code == 7)
            RequestLayout(false);
        return cScrollableElement::HandleAction(sender, action);
    }
    if (sender == this && action->code == layout_wake_code) {
        cSafeCriticalSectionAccess hold(&lock);
        layout_posted = false;
        if (layout_pending && !updates_deferred)
            Relayout(remeasure_pending);
        return true;
    }
    return cScrollableElement::HandleAction(sender, action);
}

void cListViewChild::OnHeaderAction(cChildAction* action)
{
    int32_t id = static_cast<cHeaderChild::cColumnClickAction*>(action)->column;
    cColumn* column = tree_find_value(columns, id);
    if (!column || !column->provider)
        return;
    SortByColumn(id, sort_column == id ? !column->ascending : true);
    PostItem(11, id);
}

void cListViewChild::PostItem(uint32_t code, int32_t id)
{
    // Without memory a plain code-0 action goes in its place.
    PostAction(new cListViewItemAction(code, id));
}

void cListViewChild::RequestLayout(bool remeasure)
{
    cSafeCriticalSectionAccess hold(&lock);
    bool on_ui_thread = element_on_ui_thread(this);
    if (!updates_deferred && on_ui_thread) {
        Relayout(remeasure);
        return;
    }
    layout_pending = true;
    remeasure_pending = remeasure_pending || remeasure;
    if (updates_deferred || layout_posted)
        return;
    // A worker's change without a deferral: the UI thread lays it out.
    layout_posted = true;
    if (!PostAction(new cChildAction(layout_wake_code)))
        layout_posted = false;
}

void cListViewChild::BeginUpdate()
{
    cSafeCriticalSectionAccess hold(&lock);
    updates_deferred = true;
}

bool cListViewChild::EndUpdate(bool remeasure)
{
    cSafeCriticalSectionAccess hold(&lock);
    updates_deferred = false;
    if (!layout_pending)
        return false;
    Relayout(remeasure || remeasure_pending);
    return true;
}

bool cListViewChild::SetColumn(int32_t id, const wchar_t* title, int32_t column_width, int32_t alignment)
{
    if (!header.SetColumn(id, title, column_width, alignment))
        return false;
    cColumn* column = tree_get_or_add(columns, id);
    if (!column)
        return false;
    column->alignment = alignment;
    RequestLayout(false);
    return true;
}

bool cListViewChild::SetColumnFont(int32_t id, cFontObject* font)
{
    cColumn* column = tree_find_value(columns, id);
    if (!column)
        return false;
    column->font = font;
    RequestLayout(false);
    return true;
}

bool cListViewChild::SetColumnTextColour(int32_t id, uint32_t colour, bool redraw)
{
    cColumn* column = tree_find_value(columns, id);
    if (!column)
        return false;
    store_setting(this, &column->text_colour, colour, redraw);
    return true;
}

bool cListViewChild::SetSortProvider(int32_t id, cListViewSortProvider* provider)
{
    cColumn* column = tree_find_value(columns, id);
    if (!column)
        return false;
    if (column->provider != provider)
        delete column->provider;
    column->provider = provider;
    if (id == sort_column)
        RequestLayout(false);
    return true;
}

bool cListViewChild::SortByColumn(int32_t id, bool ascending)
{
    cColumn* column = tree_find_value(columns, id);
    if (!column)
        return false;
    column->ascending = ascending;
    return SortByColumn(id);
}

bool cListViewChild::SortByColumn(int32_t id)
{
    cColumn* column = tree_find_value(columns, id);
    cListViewSortProvider* provider = column ? column->provider : nullptr;
    if (!provider || !provider->Clear())
        return false;
    cSafeCriticalSectionAccess hold(&lock);
    cTreeMap<int32_t, int32_t> old_order;
    tree_move(old_order, display_order);
    tree_clear(row_index);
    // By old display index, so that they keep their order.
    cTreeMap<int32_t, int32_t> unkeyed;
    for (cTreeNode<int32_t, int32_t>* node = tree_first_node(old_order); node; node = tree_next_node(node)) {
        cCellMap* cells = FindRow(node->value);
        cCell* cell = cells ? tree_find_value(*cells, id) : nullptr;
        if (!cell || !provider->Add(cell)) {
            if (int32_t* slot = tree_get_or_add(unkeyed, node->key))
                *slot = node->value;
        }
    }
    int32_t next_index = 0;
    auto place = [this, &next_index](int32_t row) {
        int32_t* slot = tree_get_or_add(display_order, next_index);
        int32_t* back = tree_get_or_add(row_index, row);
        if (slot && back) {
            *slot = row;
            *back = next_index++;
        }
    };
    auto place_unkeyed = [&unkeyed, &place]() {
        for (cTreeNode<int32_t, int32_t>* node = tree_first_node(unkeyed); node; node = tree_next_node(node))
            place(node->value);
    };
    if (column->ascending)
        place_unkeyed();
    const cCell* cell = nullptr;
    for (void* at = column->ascending ? provider->NextAscending(nullptr, &cell)
                                      : provider->NextDescending(nullptr, &cell);
         at; at = column->ascending ? provider->NextAscending(at, &cell) : provider->NextDescending(at, &cell))
        place(cell->row);
    if (!column->ascending)
        place_unkeyed();
    provider->Clear();
    sort_column = id;
    RequestLayout(false);
    return true;
}

cListViewChild::cCellMap* cListViewChild::FindRow(int32_t row)
{
    return tree_find_value(rows, row);
}

cListViewChild::cCell* cListViewChild::FirstCell(int32_t row)
{
    cCellMap* cells = FindRow(row);
    cTreeNode<int32_t, cCell>* first = cells ? tree_first_node(*cells) : nullptr;
    return first ? &first->value : nullptr;
}

bool cListViewChild::SetCell(int32_t row, int32_t column, const wchar_t* text, int16_t image, uint32_t data)
{
    if (row < 0)
        return false;
    cSafeCriticalSectionAccess hold(&lock);
    bool changed = false;
    cCellMap* cells = FindRow(row);
    if (!cells) {
        int32_t index = tree_next_free_int(display_order);
        cells = tree_get_or_add(rows, row);
        int32_t* slot = cells ? tree_get_or_add(display_order, index) : nullptr;
        int32_t* back = slot ? tree_get_or_add(row_index, row) : nullptr;
        if (!back) {
            tree_erase_node(display_order, tree_find_node(display_order, index));
            tree_erase_node(rows, tree_find_node(rows, row));
            return false;
        }
        *slot = row;
        *back = index;
        changed = true;
    }
    cCell* cell = tree_find_value(*cells, column);
    if (!cell) {
        cell = tree_get_or_add(*cells, column);
        if (!cell)
            return false;
        cell->row = row;
        changed = true;
    }
    if (data != 0)
        cell->data = data;
    if (cell->image != image) {
        cell->image = image;
        changed = true;
    }
    if (text) {
        cell->text.Assign(text);
        changed = true;
    }
    if (changed) {
        cell->cached_height = 0;
        RequestLayout(false);
    }
    return true;
}

uint32_t cListViewChild::GetCell(int32_t row, int32_t column)
{
    cSafeCriticalSectionAccess hold(&lock);
    cCell* cell = GetCellRecord(row, column);
    return cell ? cell->data : 0;
}

cListViewChild::cCell* cListViewChild::GetCellRecord(int32_t row, int32_t column)
{
    cSafeCriticalSectionAccess hold(&lock);
    cCellMap* cells = FindRow(row);
    return cells ? tree_find_value(*cells, column) : nullptr;
}

bool cListViewChild::Clear()
{
    cSafeCriticalSectionAccess hold(&lock);
    FreeRows();
    current_row = -1;
    RequestLayout(false);
    return true;
}

int32_t cListViewChild::GetCurrentRow()
{
    return current_row;
}

int32_t cListViewChild::GetNextSelectedRow(int32_t after)
{
    cSafeCriticalSectionAccess hold(&lock);
    for (cTreeNode<int32_t, cCellMap>* node = tree_find_greater(rows, after); node; node = tree_next_node(node)) {
        cTreeNode<int32_t, cCell>* first = tree_first_node(node->value);
        if (first && (first->value.flags & cell_selected))
            return node->key;
    }
    return -1;
}

bool cListViewChild::IsChecked(int32_t row)
{
    cSafeCriticalSectionAccess hold(&lock);
    cCell* first = FirstCell(row);
    return first && (first->flags & cell_checked);
}

bool cListViewChild::SetChecked(int32_t row, bool state, bool post)
{
    cSafeCriticalSectionAccess hold(&lock);
    cCell* first = FirstCell(row);
    if (!first)
        return false;
    uint16_t flags = state ? uint16_t(first->flags | cell_checked) : uint16_t(first->flags & ~cell_checked);
    if (flags != first->flags) {
        first->flags = flags;
        if (post)
            PostAction(new cListViewItemChecked(row));
    }
    if (!updates_deferred)
        Redraw(nullptr);
    return true;
}

void cListViewChild::SetMultiSelect(bool flag)
{
    if (flag == multi_select)
        return;
    multi_select = flag;
    cSafeCriticalSectionAccess hold(&lock);
    ClearSelection(-1);
    current_row = -1;
    Redraw(nullptr);
}

bool cListViewChild::ShowHeader(bool flag)
{
    if (HeaderShown() == flag)
        return true;
    if (flag)
        header.EnablePainting(true);
    else
        header.DisablePainting(true);
    RequestLayout(false);
    return true;
}

void cListViewChild::SetIconCaches(cImageCache* normal, cImageCache* alternate, cImageCache* selected)
{
    if (icon_caches[0] == normal && icon_caches[1] == alternate && icon_caches[2] == selected)
        return;
    icon_caches[0] = normal;
    icon_caches[1] = alternate;
    icon_caches[2] = selected;
    RequestLayout(true);
}

void cListViewChild::SetRowSpacing(int32_t pixels)
{
    if (pixels == row_spacing)
        return;
    row_spacing = pixels;
    RequestLayout(false);
}

void cListViewChild::SetCellPadding(int32_t pixels, bool redraw)
{
    store_setting(this, &cell_padding, pixels, redraw);
}

void cListViewChild::SetFrameColour(uint32_t colour, bool redraw)
{
    store_setting(this, &frame_colour, colour, redraw);
}

void cListViewChild::SetFullRowSelect(bool flag, bool redraw)
{
    store_setting(this, &full_row_select, flag, redraw);
}

void cListViewChild::SetRowColours(uint32_t focused_fill, uint32_t unfocused_fill, bool redraw)
{
    bool changed = store_setting(this, &row_fill[0], focused_fill, false);
    changed = store_setting(this, &row_fill[1], unfocused_fill, false) || changed;
    if (changed && redraw)
        Redraw(nullptr);
}

void cListViewChild::ShowCheckBoxes(bool flag)
{
    check_boxes = flag;
    Redraw(nullptr);
}
