#include "gui/controls/scroll_bar.h"

#include <windows.h>

#include "gui/image_cache.h"
#include "gui/theme.h"

// The bar's position, steps and input; the two bar classes.

namespace {

cImageCache* horizontal_caches()
{
    static cImageCache caches[3];
    return caches;
}

cImageCache* vertical_caches()
{
    static cImageCache caches[3];
    return caches;
}

}  // namespace

cScrollBar::cScrollBar(bool is_vertical, cImageCache* state_caches)
    : vertical(is_vertical), caches(state_caches), position(0), range(100), line_step(1), page_step(10),
      drag_start_coordinate(0), drag_start_position(0), dragging(false), back_pressed(false),
      forward_pressed(false), track_before_pressed(false), track_after_pressed(false),
      track_state(0), thumb_state(0), back_state(0), forward_state(0)
{
}

void cScrollBar::SetLineStep(int32_t step)
{
    if (step != 0)
        line_step = step;
}

void cScrollBar::SetPageStep(int32_t step)
{
    if (step != 0)
        page_step = step;
}

void cScrollBar::PostScroll()
{
    if (cScrollAction* action = NewScrollAction())
        PostAction(action);
}

void cScrollBar::StoreRange(uint64_t new_range)
{
    if (new_range == range)
        return;
    range = new_range;
    if (position > range) {
        position = range;
        PostScroll();
    }
    Redraw(nullptr);
}

void cScrollBar::MoveTo(uint64_t new_position, bool notify)
{
    if (new_position > range)
        new_position = range;
    if (new_position == position)
        return;
    position = new_position;
    if (notify)
        PostScroll();
    Redraw(nullptr);
}

// Within 0..range; no redraw.
void cScrollBar::MoveBy(int64_t delta)
{
    uint64_t moved;
    if (delta < 0)
        moved = uint64_t(-delta) > position ? 0 : position - uint64_t(-delta);
    else
        moved = uint64_t(delta) > range - position ? range : position + uint64_t(delta);
    if (moved == position)
        return;
    position = moved;
    PostScroll();
}

void cScrollBar::LineBack()
{
    MoveBy(-int64_t(line_step));
}

void cScrollBar::LineForward()
{
    MoveBy(line_step);
}

void cScrollBar::PageBack()
{
    MoveBy(-int64_t(page_step));
}

void cScrollBar::PageForward()
{
    MoveBy(page_step);
}

void cScrollBar::SetStates(int32_t track, int32_t thumb, int32_t back, int32_t forward)
{
    track_state = track;
    thumb_state = thumb;
    back_state = back;
    forward_state = forward;
}

void cScrollBar::ClearPressFlags()
{
    back_pressed = forward_pressed = track_before_pressed = track_after_pressed = false;
}

void cScrollBar::OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed)
{
    if (button != 1)
        return;
    int32_t along = vertical ? py : px;
    if (pressed)
        Press(along);
    else
        Release(along, vertical ? px : py);
}

int32_t* cScrollBar::StateOfPart(int32_t part)
{
    switch (part) {
    case part_track_before:
    case part_track_after:
        return &track_state;
    case part_thumb:
        return &thumb_state;
    case part_back:
        return &back_state;
    case part_forward:
        return &forward_state;
    default:
        return nullptr;
    }
}

void cScrollBar::Press(int32_t along)
{
    StartMouseCapture(false);
    int32_t part = HitTest(along);
    int32_t* pressed = StateOfPart(part);
    if (!pressed && !AnyStateSet())
        return;
    SetStates(0, 0, 0, 0);
    if (pressed)
        *pressed = 2;
    track_before_pressed = part == part_track_before;
    track_after_pressed = part == part_track_after;
    back_pressed = part == part_back;
    forward_pressed = part == part_forward;
    if (part == part_thumb) {
        drag_start_coordinate = along;
        drag_start_position = position;
        dragging = true;
    }
    Redraw(nullptr);
}

void cScrollBar::Release(int32_t along, int32_t across)
{
    StopMouseCapture();
    dragging = false;
    if (across < 0 || across > theme_metric(19)) {
        SetStates(0, 0, 0, 0);
        Redraw(nullptr);
        ClearPressFlags();
        return;
    }
    // A step only where the press began; the part under the pointer stays
    // lit.
    int32_t part = HitTest(along);
    if (part == part_track_before && track_before_pressed)
        PageBack();
    else if (part == part_track_after && track_after_pressed)
        PageForward();
    else if (part == part_back && back_pressed)
        LineBack();
    else if (part == part_forward && forward_pressed)
        LineForward();
    ClearPressFlags();
    int32_t* lit = StateOfPart(part);
    if (!lit && !AnyStateSet())
        return;
    SetStates(0, 0, 0, 0);
    if (lit)
        *lit = 1;
    Redraw(nullptr);
}

void cScrollBar::OnMouseMove(int32_t px, int32_t py)
{
    cChildElement::OnMouseMove(px, py);
    if (dragging)
        Drag(vertical ? py : px);
    else
        Hover(vertical ? py : px);
}

// The drag scale is that of the whole track, whatever the thumb's place.
void cScrollBar::Drag(int32_t along)
{
    cThumb thumb = ThumbOnTrack(FullTrackLength());
    int64_t moved = int64_t(thumb.scale * double(along - drag_start_coordinate) + 0.5);
    int64_t target = int64_t(drag_start_position) + moved;
    MoveTo(target < 0 ? 0 : uint64_t(target), true);
}

void cScrollBar::Hover(int32_t along)
{
    int32_t* lit = StateOfPart(HitTest(along));
    if (lit ? *lit != 0 : !AnyStateSet())
        return;
    SetStates(0, 0, 0, 0);
    if (lit)
        *lit = 1;
    Redraw(nullptr);
}

void cScrollBar::OnMouseLeave()
{
    cChildElement::OnMouseLeave();
    if (dragging || back_pressed || forward_pressed || track_before_pressed || track_after_pressed)
        return;
    SetStates(0, 0, 0, 0);
    Redraw(nullptr);
}

void cScrollBar::OnKeyDown(uint32_t key, bool, bool, bool)
{
    uint64_t before = position;
    switch (key) {
    case VK_PRIOR:
        PageBack();
        break;
    case VK_NEXT:
        PageForward();
        break;
    case VK_END:
        MoveTo(range, true);
        break;
    case VK_HOME:
        MoveTo(0, true);
        break;
    case VK_LEFT:
    case VK_UP:
        LineBack();
        break;
    case VK_RIGHT:
    case VK_DOWN:
        LineForward();
        break;
    default:
        return;
    }
    if ((key != 35 && key != 36) || position != before)
        Redraw(nullptr);
}

cHScroll::cHScroll() : cScrollBar(false, horizontal_caches()) {}

void cHScroll::SetRange(uint64_t new_range)
{
    if (new_range != 0)
        StoreRange(new_range);
}

void cHScroll::SetPosition(uint64_t new_position)
{
    MoveTo(new_position, true);
}

cScrollBar::cScrollAction* cHScroll::NewScrollAction()
{
    return new cHScrollAction(GetPosition());
}

cVScroll::cVScroll() : cScrollBar(true, vertical_caches()) {}

void cVScroll::SetRange(uint64_t new_range)
{
    StoreRange(new_range);
}

void cVScroll::SetPosition(uint64_t new_position, bool notify)
{
    MoveTo(new_position, notify);
}

cScrollBar::cScrollAction* cVScroll::NewScrollAction()
{
    return new cVScrollAction(GetPosition());
}
