#include "gui/controls/splitter.h"

#include "gui/canvas.h"
#include "gui/theme.h"

cSplitterChild::cSplitterChild()
    : panes(512), pane_sizes(512), pixel_mode(false), drag_x(-1), dragged_pane(0), drag_minimum(0),
      content_width(0), filler(nullptr), fill_colour(0), line_colour(0)
{
}

void cSplitterChild::InitDefaults()
{
    cChildElement::InitDefaults();
    drag_x = -1;
    dragged_pane = 0;
    drag_minimum = 0;
    content_width = 0;
    filler = nullptr;
    fill_colour = theme_colour(42);
    line_colour = theme_colour(43);
}

cChildElement* cSplitterChild::FindPane(int32_t id)
{
    cChildElement** pane = tree_find_value(panes, id);
    return pane ? *pane : nullptr;
}

bool cSplitterChild::AddPane(int32_t id, cChildElement* element, int32_t pane_width)
{
    if (id < 0 || !element)
        return false;
    cChildElement* earlier = FindPane(id);
    if (earlier && earlier != element)
        RemoveChild(earlier);
    cChildElement** slot = InsertChild(element, 0, 0, pane_width, 1, 0) ? tree_get_or_add(panes, id) : nullptr;
    double* size = slot ? tree_get_or_add(pane_sizes, id) : nullptr;
    if (!size) {
        if (slot)
            RemoveChild(element);
        tree_erase_node(panes, tree_find_node(panes, id));
        tree_erase_node(pane_sizes, tree_find_node(pane_sizes, id));
        Layout();
        return false;
    }
    *slot = element;
    *size = pane_width;
    Layout();
    PostPaneChange();
    return true;
}

bool cSplitterChild::SetPaneWidth(int32_t id, int32_t pane_width)
{
    if (id < 0 || pane_width < 0 || !FindPane(id))
        return false;
    double* size = tree_get_or_add(pane_sizes, id);
    if (!size || *size == pane_width)
        return size != nullptr;
    *size = pane_width;
    if (pixel_mode)
        LayoutPanes(id);
    else
        LayoutProportional();
    return true;
}

void cSplitterChild::SetProportional(bool flag)
{
    if (pixel_mode == !flag) {
        Layout();
        return;
    }
    pixel_mode = !flag;
    // Either mode reads the panes' present widths as its sizes.
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        if (double* size = tree_get_or_add(pane_sizes, pane->key))
            *size = pane->value->GetWidth();
    }
    Layout();
}

void cSplitterChild::SetContentWidth(int32_t content, cChildElement* new_filler)
{
    bool had_filler = filler != nullptr;
    content_width = content;
    filler = new_filler;
    if (had_filler || new_filler)
        Layout();
}

void cSplitterChild::SetColours(uint32_t line, uint32_t fill)
{
    if (line == line_colour && fill == fill_colour)
        return;
    line_colour = line;
    fill_colour = fill;
    Redraw(nullptr);
}

void cSplitterChild::PostPaneChange()
{
    // Without memory a plain code-0 action goes in its place.
    PostAction(new cChildAction(7));
}

void cSplitterChild::Layout()
{
    if (pixel_mode)
        LayoutPanes(0);
    else
        LayoutProportional();
}

int32_t cSplitterChild::PixelWidth(cTreeNode<int32_t, cChildElement*>* pane)
{
    double* size = tree_find_value(pane_sizes, pane->key);
    int32_t pane_width = size ? int32_t(*size) : pane->value->GetWidth();
    int32_t minimum = pane->value->GetMinWidth();
    return pane_width > minimum ? pane_width : minimum;
}

// The splitter's own bounds change through its parent's layout call, which
// lays the panes out again (unchanged) before this layout goes on.
void cSplitterChild::ResizeTo(int32_t new_width)
{
    SetBounds(x, y, new_width, height);
    PostAction(new cResizeRequestAction(new_width));
}

void cSplitterChild::LayoutPanes(int32_t from_id)
{
    if (width == 0)
        return;
    int32_t minimum_sum = 0, minimum_height = 0;
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        minimum_sum += pane->value->GetMinWidth();
        if (pane->value->GetMinHeight() > minimum_height)
            minimum_height = pane->value->GetMinHeight();
    }
    if (minimum_sum != 0 || minimum_height != 0)
        SetMinSize(minimum_sum, minimum_height > GetMinHeight() ? minimum_height : GetMinHeight());

    int32_t at = 0;
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        int32_t pane_width = PixelWidth(pane);
        if (pane->key >= from_id)
            pane->value->SetBounds(at, 0, pane_width, height);
        at += pane_width + bar_width;
    }
    int32_t total = at;
    if (total < content_width && filler) {
        if (width != content_width)
            ResizeTo(content_width);
        filler->SetBounds(total, 0, content_width - total, height);
    } else {
        if (filler)
            filler->SetBounds(total, 0, 0, 0);
        if (total != 0 && total != width)
            ResizeTo(total);
    }
    Redraw(nullptr);
}

// Each pane gets its share of the width left between the bars; the last
// one ends at the splitter's right edge.
void cSplitterChild::LayoutProportional()
{
    int32_t count = 0;
    double total = 0;
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        double* size = tree_find_value(pane_sizes, pane->key);
        total += size && *size > 0 ? *size : 0;
        ++count;
    }
    if (count == 0)
        return;
    int32_t available = width - bar_width * (count - 1);
    if (available < 0)
        available = 0;
    double covered = 0;
    int32_t shared = 0, index = 0;  // the width given to the panes so far
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        double* size = tree_find_value(pane_sizes, pane->key);
        covered += total > 0 ? (size && *size > 0 ? *size : 0) : 1;
        int32_t edge = int32_t(available * covered / (total > 0 ? total : count) + 0.5);
        pane->value->SetBounds(shared + bar_width * index, 0, edge - shared, height);
        shared = edge;
        ++index;
    }
    Redraw(nullptr);
}

void cSplitterChild::Paint(cCanvas* canvas)
{
    int32_t at = 0;
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        at += pane->value->GetWidth();
        if (at >= 0 && at < width) {
            const uint32_t colours[bar_width] = {fill_colour, line_colour, fill_colour};
            for (int32_t line = 0; line < bar_width; ++line) {
                cPoint top{at + line, 0}, bottom{at + line, height};
                canvas->SetLinePen(colours[line], 1);
                canvas->DrawLine(&top, &bottom);
            }
        }
        at += bar_width;
    }
}

void cSplitterChild::OnMouseButton(int32_t px, int32_t, int32_t button, bool pressed)
{
    if (button != 1)
        return;
    if (!pressed) {
        StopMouseCapture();
        drag_x = -1;
        return;
    }
    StartMouseCapture(false);
    drag_x = -1;
    int32_t left = 0;
    for (cTreeNode<int32_t, cChildElement*>* pane = tree_first_node(panes); pane; pane = tree_next_node(pane)) {
        int32_t bar = left + pane->value->GetWidth();
        if (px >= bar && px <= bar + bar_width) {
            // In proportional mode the last bar has no neighbour to give to.
            if (pane->key >= 0 && (pixel_mode || tree_next_node(pane))) {
                drag_x = px;
                dragged_pane = pane->key;
                drag_minimum = left;
            }
            return;
        }
        left = bar + bar_width;
    }
}

void cSplitterChild::OnMouseMove(int32_t px, int32_t)
{
    if (drag_x < 0)
        return;
    if (px < drag_minimum)
        px = drag_minimum;
    int32_t pane_width = px - drag_minimum;
    if (!pixel_mode) {
        DragProportional(pane_width);
        return;
    }
    double* size = tree_get_or_add(pane_sizes, dragged_pane);
    if (!size || *size == pane_width)
        return;
    *size = pane_width;
    LayoutPanes(dragged_pane);
    PostPaneChange();
}

void cSplitterChild::DragProportional(int32_t pane_width)
{
    cTreeNode<int32_t, cChildElement*>* pane = tree_find_node(panes, dragged_pane);
    cTreeNode<int32_t, cChildElement*>* right = tree_next_node(pane);
    if (!pane || !right)
        return;
    // Neither pane of the pair goes below its minimum width; a pair too
    // narrow for both minima stays as it is.
    int32_t pair = pane->value->GetWidth() + right->value->GetWidth();
    int32_t least = pane->value->GetMinWidth();
    int32_t most = pair - right->value->GetMinWidth();
    if (most < least)
        return;
    pane_width = pane_width < least ? least : pane_width > most ? most : pane_width;
    if (pane_width == pane->value->GetWidth())
        return;
    for (cTreeNode<int32_t, cChildElement*>* each = tree_first_node(panes); each; each = tree_next_node(each)) {
        if (double* size = tree_get_or_add(pane_sizes, each->key))
            *size = each == pane ? pane_width : each == right ? pair - pane_width : each->value->GetWidth();
    }
    LayoutProportional();
    PostPaneChange();
}
