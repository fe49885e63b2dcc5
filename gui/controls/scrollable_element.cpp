#include "gui/controls/scrollable_element.h"

#include "gui/canvas.h"
#include "gui/theme.h"

namespace {

// The scroll bar corner's theme image.
const uint32_t corner_image = 86;

// How much of the content lies beyond the visible length.
uint64_t excess(int32_t content, int32_t visible)
{
    return content > visible ? uint64_t(content - visible) : 0;
}

}  // namespace

cScrollableElement::cScrollableElement()
    : content_width(0), content_height(0), offset_x(0), offset_y(0), child_options(512)
{
}

void cScrollableElement::InitDefaults()
{
    cChildElement::InitDefaults();
    // Fixed: the bars stay at the view's edges whatever the scroll origin.
    InsertChild(&horizontal_bar, 0, 0, 1, 1, 1);
    InsertChild(&vertical_bar, 0, 0, 1, 1, 1);
    horizontal_bar.DisablePainting(true);
    vertical_bar.DisablePainting(true);
    content_width = content_height = 0;
    offset_x = offset_y = 0;
}

cSize cScrollableElement::GetSize()
{
    int32_t view_width = width - GetVBarWidth();
    int32_t view_height = height - GetHBarHeight();
    return cSize{view_width > content_width ? view_width : content_width,
                 view_height > content_height ? view_height : content_height};
}

cPoint cScrollableElement::GetScrollOrigin()
{
    return cPoint{-offset_x, -offset_y};
}

cRect cScrollableElement::GetClientRect()
{
    return cRect{0, 0, width - GetVBarWidth(), height - GetHBarHeight()};
}

int32_t cScrollableElement::GetHBarHeight()
{
    return horizontal_bar.IsDisplayed() ? horizontal_bar.GetHeight() : 0;
}

int32_t cScrollableElement::GetVBarWidth()
{
    return vertical_bar.IsDisplayed() ? vertical_bar.GetWidth() : 0;
}

int32_t cScrollableElement::GetViewWidthFor(int32_t content)
{
    return content > height ? width - theme_metric(19) : width;
}

void cScrollableElement::PaintContent(cCanvas*) {}

void cScrollableElement::Paint(cCanvas* canvas)
{
    if (!horizontal_bar.IsDisplayed() || !vertical_bar.IsDisplayed()) {
        PaintContent(canvas);
        return;
    }
    int32_t thickness = theme_metric(19);
    int32_t inset = int32_t(border);
    cRect corner{width - thickness - inset, height - thickness - inset, thickness, thickness};
    canvas->ExcludeClipRect(&corner);
    canvas->ApplyClip();
    PaintContent(canvas);
    canvas->IncludeClipRect(&corner);
    canvas->ApplyClip();
    cCITheme* theme = get_theme();
    if (cImageBuffer* image = theme ? theme->GetImage(corner_image) : nullptr) {
        canvas->DrawImage(corner.x, corner.y, image, thickness, thickness);
        return;
    }
    const uint32_t* pixel = theme ? theme->GetPixels(corner_image, nullptr) : nullptr;
    uint32_t colour = pixel ? *pixel : theme_colour(14);
    canvas->FillRect(&corner, colour, colour);
}

void cScrollableElement::Layout()
{
    cChildElement::Layout();
    UpdateScrollBars();
}

void cScrollableElement::SetContentWidth(int32_t content)
{
    StoreContentSize(&content_width, content);
}

void cScrollableElement::SetContentHeight(int32_t content)
{
    StoreContentSize(&content_height, content);
}

// The bars follow, then the children are laid out again.
void cScrollableElement::StoreContentSize(int32_t* field, int32_t content)
{
    if (content < 0 || content == *field)
        return;
    *field = content;
    UpdateScrollBars();
    SetSize(width, height, true);
}

void cScrollableElement::SetScrollSteps(int32_t horizontal, int32_t vertical)
{
    cScrollBar* bars[2] = {&horizontal_bar, &vertical_bar};
    int32_t steps[2] = {horizontal, vertical};
    for (int32_t i = 0; i < 2; ++i) {
        if (steps[i] == 0 || steps[i] == bars[i]->GetLineStep())
            continue;
        bars[i]->SetLineStep(steps[i]);
        bars[i]->Redraw(nullptr);
    }
}

void cScrollableElement::SetPageSteps(int32_t horizontal, int32_t vertical)
{
    horizontal_bar.SetPageStep(horizontal);
    vertical_bar.SetPageStep(vertical);
}

void cScrollableElement::SetChildScrollOptions(cChildElement* child, bool no_horizontal, bool no_vertical)
{
    if (cScrollOptions* options = tree_get_or_add(child_options, uint32_t(uintptr_t(child))))
        *options = cScrollOptions{no_horizontal, no_vertical};
}

// The bar's position moved by delta within 0..range, posted.
void cScrollableElement::ShiftBy(cScrollBar* bar, int64_t delta)
{
    int64_t target = int64_t(bar->GetPosition()) + delta;
    bar->MoveTo(target < 0 ? 0 : uint64_t(target), true);
}

bool cScrollableElement::OnMouseWheel(int32_t, int32_t, bool up, bool ctrl, int32_t steps)
{
    cScrollBar* bar = ctrl ? static_cast<cScrollBar*>(&horizontal_bar) : &vertical_bar;
    if (bar->IsDisplayed()) {
        int64_t step = int64_t(bar->GetLineStep()) * steps;
        ShiftBy(bar, up ? -step : step);
    }
    return true;
}

bool cScrollableElement::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &horizontal_bar || sender == &vertical_bar) {
        cScrollBar* bar = static_cast<cScrollBar*>(sender);
        int32_t& offset = sender == &horizontal_bar ? offset_x : offset_y;
        if (action->code == 6) {
            uint64_t position = static_cast<cScrollBar::cScrollAction*>(action)->position;
            if (position <= bar->GetRange() && int32_t(position) != offset) {
                offset = int32_t(position);
                Redraw(nullptr);
            }
        }
        return true;
    }
    // A focus notice may arrive after the focus moved on (a walk through
    // several children before a drain): only the holder is scrolled to.
    if (action->code == 1 && sender != this && IsDescendant(sender)) {
        if (sender->HasFocus())
            ScrollChildIntoView(sender);
        return false;
    }
    return cChildElement::HandleAction(sender, action);
}

bool cScrollableElement::ScrollChildIntoView(cChildElement* child)
{
    cRect bounds;
    if (!GetDescendantBounds(child, &bounds))
        return false;
    cScrollOptions* options = tree_find_value(child_options, uint32_t(uintptr_t(child)));
    return ScrollRectIntoView(bounds, options && options->no_horizontal, options && options->no_vertical);
}

namespace {

// How far the view moves along one axis so that [near, far) shows in a view
// of that extent starting at origin.
int32_t shift_into_view(int32_t near_edge, int32_t far_edge, int32_t origin, int32_t extent)
{
    int32_t shift = 0;
    if (far_edge > extent && near_edge >= 1)
        shift = far_edge - extent < near_edge ? far_edge - extent : near_edge;
    if (near_edge < origin)
        shift = near_edge - origin;
    return shift;
}

}  // namespace

// The view is the client rectangle, which already leaves out the displayed
// bars. It is where the bars are headed: a move whose scroll action is still
// queued counts, so that several requests before a drain end at the last.
bool cScrollableElement::ScrollRectIntoView(const cRect& rect, bool no_horizontal, bool no_vertical)
{
    cRect view = GetClientRect();
    int32_t view_width = view.width < 0 ? 0 : view.width;
    int32_t view_height = view.height < 0 ? 0 : view.height;
    int32_t inset = int32_t(border);
    int32_t to_y = vertical_bar.IsDisplayed() ? int32_t(vertical_bar.GetPosition()) : offset_y;
    int32_t to_x = horizontal_bar.IsDisplayed() ? int32_t(horizontal_bar.GetPosition()) : offset_x;
    int32_t dy = shift_into_view(rect.y - to_y + inset, rect.y + rect.height - to_y - inset, view.y, view_height);
    int32_t dx = shift_into_view(rect.x - to_x + inset, rect.x + rect.width - to_x - inset, view.x, view_width);
    bool moved = false;
    if (dy != 0 && vertical_bar.IsDisplayed() && !no_vertical) {
        uint64_t before = vertical_bar.GetPosition();
        ShiftBy(&vertical_bar, dy);
        moved = vertical_bar.GetPosition() != before;
    }
    if (dx != 0 && horizontal_bar.IsDisplayed() && !no_horizontal) {
        uint64_t before = horizontal_bar.GetPosition();
        ShiftBy(&horizontal_bar, dx);
        moved = moved || horizontal_bar.GetPosition() != before;
    }
    return moved;
}

void cScrollableElement::PlaceHorizontal(bool shortened)
{
    int32_t thickness = theme_metric(19);
    int32_t inset = int32_t(border);
    AddChild(&horizontal_bar, inset, -thickness - inset - 1, -2 * inset - (shortened ? thickness : 0) - 1,
             thickness);
}

void cScrollableElement::PlaceVertical(bool shortened)
{
    int32_t thickness = theme_metric(19);
    int32_t inset = int32_t(border);
    AddChild(&vertical_bar, -thickness - inset - 1, inset, thickness,
             -2 * inset - (shortened ? thickness : 0) - 1);
}

bool cScrollableElement::Display(cScrollBar* bar, bool on)
{
    if (bar->IsDisplayed() == on)
        return false;
    bar->MoveTo(0, true);
    if (on)
        bar->EnablePainting(true);
    else
        bar->DisablePainting(true);
    return true;
}

void cScrollableElement::UpdateScrollBars()
{
    int32_t thickness = theme_metric(19);
    cRect before[2] = {horizontal_bar.GetBounds(), vertical_bar.GetBounds()};
    int32_t offsets_before[2] = {offset_x, offset_y};
    bool switched = false;
    if (width >= content_width && height >= content_height) {
        offset_x = offset_y = 0;
        switched = Display(&horizontal_bar, false);
        switched = Display(&vertical_bar, false) || switched;
    } else {
        // The bar the content needs first takes room from the view, which
        // may make it need the other one too.
        bool horizontal_first = width < content_width;
        bool other_needed = horizontal_first ? height - thickness < content_height : width - thickness < content_width;
        bool horizontal = horizontal_first || other_needed;
        bool vertical = !horizontal_first || other_needed;
        if (horizontal)
            PlaceHorizontal(vertical);
        if (vertical)
            PlaceVertical(horizontal);
        switched = Display(&horizontal_bar, horizontal);
        switched = Display(&vertical_bar, vertical) || switched;
    }
    if (horizontal_bar.IsDisplayed()) {
        int32_t visible = width - GetVBarWidth();
        horizontal_bar.SetRange(excess(content_width, visible));
        horizontal_bar.SetPageStep(visible > 0 ? visible : 0);
    }
    if (vertical_bar.IsDisplayed()) {
        int32_t visible = height - GetHBarHeight();
        vertical_bar.SetRange(excess(content_height, visible));
        vertical_bar.SetPageStep(visible > 0 ? visible : 0);
    }
    if (switched) {
        SetSize(width, height, true);
        Redraw(nullptr);
        return;
    }
    cRect after[2] = {horizontal_bar.GetBounds(), vertical_bar.GetBounds()};
    bool placed = false;
    for (int32_t i = 0; i < 2; ++i)
        placed = placed || before[i].x != after[i].x || before[i].y != after[i].y ||
                 before[i].width != after[i].width || before[i].height != after[i].height;
    if (placed || offsets_before[0] != offset_x || offsets_before[1] != offset_y)
        Redraw(nullptr);
}
