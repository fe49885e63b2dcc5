#include <stdlib.h>

#include "gui/child_element.h"
#include "gui/element_clock.h"
#include "gui/element_registry.h"
#include "gui/request_target.h"

// Mouse and keyboard routing down the tree: to the child holding the mouse
// capture, to the first child under the point in ascending address order, or
// along the focus path.

bool cChildElement::PointToChild(const cChildElement* child, int32_t px, int32_t py, bool client_test, cPoint* local,
                                 bool* contains)
{
    cRect client = GetClientRect();
    cPoint origin = GetScrollOrigin();
    if (!FixedHorizontallyHere(child)) {
        if (client_test && (px < client.x || px > client.x + client.width))
            return false;
        px -= origin.x;
    }
    if (!FixedVerticallyHere(child)) {
        if (client_test && (py < client.y || py > client.y + client.height))
            return false;
        py -= origin.y;
    }
    *local = cPoint{px - child->x, py - child->y};
    *contains = px >= child->x && px < child->x + child->width && py >= child->y && py < child->y + child->height;
    return true;
}

cChildElement* cChildElement::NextChildAt(const cChildElement* after, int32_t px, int32_t py, bool need_visible,
                                          cPoint* local)
{
    for (cChildElement* child = NextChild(after); child; child = NextChild(child)) {
        bool contains;
        if (child->IsPaintable() && (!need_visible || child->IsVisible()) &&
            PointToChild(child, px, py, true, local, &contains) && contains)
            return child;
    }
    return nullptr;
}

cPoint cChildElement::CaptureToChild(const cChildElement* child, int32_t px, int32_t py)
{
    cPoint origin = GetScrollOrigin();
    if (!FixedHorizontallyHere(child))
        px -= origin.x;
    if (!FixedVerticallyHere(child))
        py -= origin.y;
    return cPoint{px - child->x, py - child->y};
}

void cChildElement::DispatchMouseButton(int32_t px, int32_t py, int32_t button, bool pressed, bool ctrl, bool shift)
{
    if (!shown || (parent && !parent->IsVisible()))
        return;
    if (capture_child) {
        cPoint local = CaptureToChild(capture_child, px, py);
        capture_child->DispatchMouseButton(local.x, local.y, button, pressed, ctrl, shift);
        return;
    }
    cPoint local;
    bool to_children = !self_capture && AcceptsPoint(px, py);
    cChildElement* child = to_children ? NextChildAt(nullptr, px, py, true, &local) : nullptr;
    if (child) {
        child->DispatchMouseButton(local.x, local.y, button, pressed, ctrl, shift);
        return;
    }
    if (!IsPaintable())
        return;
    if (button == 2 && !pressed) {
        cChildAction* request = new cCtxRequestAction(px, py, ctrl, shift, false);
        if (request)
            PostAction(request);
    }
    uint32_t own_serial = serial;
    OnMouseButton(px, py, button, pressed);
    // The hook may have destroyed this element.
    if (button == 1 && pressed && element_registry_holds(this, own_serial))
        TrackLeftPress(px, py);
}

void cChildElement::TrackLeftPress(int32_t px, int32_t py)
{
    uint32_t now = element_tick_count();
    if (now > last_click_time && now - last_click_time < 500 && abs(px - last_click_x) < 3 &&
        abs(py - last_click_y) < 3) {
        // The first press stays the reference of the next one.
        OnDoubleClick(px, py);
        return;
    }
    last_click_time = now;
    last_click_x = px;
    last_click_y = py;
}

void cChildElement::DispatchMouseMove(int32_t px, int32_t py)
{
    if (capture_child) {
        cPoint local = CaptureToChild(capture_child, px, py);
        capture_child->DispatchMouseMove(local.x, local.y);
        return;
    }
    cPoint local;
    bool to_children = !self_capture && AcceptsPoint(px, py);
    cChildElement* child = to_children ? NextChildAt(nullptr, px, py, false, &local) : nullptr;
    if (child) {
        child->DispatchMouseMove(local.x, local.y);
        return;
    }
    if (!IsPaintable())
        return;
    SetCursor(cursor_shape);
    SetHoverElement(this);
    OnMouseMove(px, py);
}

bool cChildElement::DispatchMouseWheel(int32_t px, int32_t py, bool up, bool ctrl, int32_t steps)
{
    if (capture_child) {
        cPoint local = CaptureToChild(capture_child, px, py);
        return capture_child->DispatchMouseWheel(local.x, local.y, up, ctrl, steps);
    }
    cPoint local;
    for (cChildElement* child = NextChildAt(nullptr, px, py, true, &local); child;
         child = NextChildAt(child, px, py, true, &local)) {
        if (child->DispatchMouseWheel(local.x, local.y, up, ctrl, steps))
            return true;
    }
    return IsPaintable() ? OnMouseWheel(px, py, up, ctrl, steps) : false;
}

void cChildElement::SetHoverElement(cChildElement* element)
{
    if (parent) {
        parent->SetHoverElement(element);
        return;
    }
    if (hover_element == element)
        return;
    cChildElement* previous = hover_element;
    hover_element = element;
    if (previous)
        previous->OnMouseLeave();
    if (element)
        element->OnMouseEnter();
}

bool cChildElement::CaptureMouse(cChildElement* child, bool on)
{
    capture_child = nullptr;
    bool answer;
    if (parent)
        answer = parent->CaptureMouse(this, on);
    else
        answer = request_target ? request_target->SetMouseCapture(on) : false;
    if (answer && on)
        capture_child = child;
    return answer;
}

void cChildElement::StartMouseCapture(bool to_children)
{
    if (to_children) {
        self_capture = false;
        CaptureMouse(nullptr, true);
    } else {
        self_capture = CaptureMouse(nullptr, true);
    }
}

void cChildElement::StopMouseCapture()
{
    self_capture = false;
    CaptureMouse(nullptr, false);
}

void cChildElement::DropMouseCapture()
{
    for (cChildElement* element = this; element;) {
        cChildElement* next = element->capture_child;
        element->capture_child = nullptr;
        element->self_capture = false;
        element = next;
    }
}

bool cChildElement::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (key == 9 && !ctrl) {
        // A walk that ran out at the end clears the path, so the second
        // call starts again from the first child: Tab wraps around.
        if (FocusNext(!shift) || FocusNext(!shift))
            return true;
    }
    if (!ctrl && !alt) {
        if ((key == 0x25 || key == 0x26) && FocusByArrow(false, false, shift))
            return true;
        if ((key == 0x27 || key == 0x28) && FocusByArrow(true, false, shift))
            return true;
    }
    // A focused child that cannot take the key now drops it.
    if (focused_child)
        return !FocusedChildTakesKeys() || focused_child->DispatchKeyDown(key, shift, ctrl, alt);
    if (!has_focus)
        return false;
    if (IsVisible() && IsPaintable()) {
        if (key == 0x5D || (key == 0x79 && shift && !ctrl && !alt)) {
            cChildAction* request = new cCtxRequestAction(0, 0, ctrl, shift, alt);
            if (request)
                PostAction(request);
        }
        OnKeyDown(key, shift, ctrl, alt);
    }
    return true;
}

bool cChildElement::FocusedChildTakesKeys()
{
    return focused_child->shown && IsVisible() && focused_child->IsPaintable();
}

bool cChildElement::DispatchChar(wchar_t character, bool shift, bool ctrl, bool alt)
{
    if (focused_child)
        return !FocusedChildTakesKeys() || focused_child->DispatchChar(character, shift, ctrl, alt);
    if (!has_focus)
        return false;
    if (IsVisible() && IsPaintable())
        OnChar(character, shift, ctrl, alt);
    return true;
}
