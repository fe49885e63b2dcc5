#include <limits.h>

#include "gui/child_element.h"
#include "gui/element_registry.h"

// The keyboard focus: a path of focused children from the root down to the
// one element whose has-focus flag is set. Tab and arrow keys walk children
// in insertion order; mouse presses in ascending address order.

void cChildElement::FocusAtPoint(int32_t px, int32_t py, int32_t reason, bool flag1, bool flag2)
{
    if (AcceptsPoint(px, py) || reason == -1) {
        cChildElement* previous = focused_child;
        cChildElement* taker = nullptr;
        for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
            cPoint local;
            bool contains;
            if (!child->IsPaintable() || !PointToChild(child, px, py, reason != -1, &local, &contains))
                continue;
            bool visible = child->IsVisible();
            if (!taker && contains && child->focusable && visible) {
                taker = child;
                focused_child = child;
                child->FocusAtPoint(local.x, local.y, reason, flag1, flag2);
            } else if (!contains || visible) {
                child->KillFocus(flag1, flag2);
            }
        }
        if (taker) {
            // The walk skips an unpainted child, which would keep a focus
            // that no path leads to any more (if it is still a child).
            if (previous && previous != taker && OrderIndexOf(previous) >= 0)
                previous->KillFocus(flag1, flag2);
            if (has_focus) {
                has_focus = false;
                OnFocusLost(flag1, flag2);
            }
            return;
        }
    }
    if (has_focus || !IsPaintable())
        return;
    // The old path ends here now; nothing below keeps a focus flag.
    if (focused_child)
        focused_child->KillFocus(flag1, flag2);
    has_focus = true;
    focused_child = nullptr;
    OnFocusGained(reason >= 1 ? 1 : 0, flag1, flag2);
    cChildAction* gained = new cFocusAction(reason > 0 ? 1 : 0);
    if (gained)
        PostAction(gained);
}

void cChildElement::SetFocusTo(cChildElement* target)
{
    focused_child = nullptr;
    if (target == this) {
        has_focus = true;
        for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child))
            child->KillFocus(false, false);
        OnFocusGained(2, false, false);
        cChildAction* gained = new cFocusAction(2);
        if (gained)
            PostAction(gained);
        return;
    }
    has_focus = false;
    if (!IsDescendant(target))
        return;
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (child == target || child->IsDescendant(target)) {
            focused_child = child;
            child->SetFocusTo(target);
        } else {
            child->KillFocus(false, false);
        }
    }
}

void cChildElement::KillFocus(bool flag1, bool flag2)
{
    // Hooks may destroy elements: each element settles its own state before
    // it hands on, and reaches a child only while that is still on the path.
    if (focused_child) {
        cChildElement* child = focused_child;
        OnFocusReleased(child, flag1, flag2);
        bool still_here = focused_child == child;
        focused_child = nullptr;
        has_focus = false;
        if (still_here)
            child->KillFocus(flag1, flag2);
    } else if (has_focus) {
        has_focus = false;
        OnFocusLost(flag1, flag2);
    }
}

bool cChildElement::FocusNextFrom(int32_t index, bool forward)
{
    int32_t at = index;
    for (cChildElement* child = NextInOrder(at, forward, &at); child; child = NextInOrder(at, forward, &at)) {
        if (child->IsPaintable() && child->FocusNext(forward)) {
            focused_child = child;
            return true;
        }
    }
    return false;
}

bool cChildElement::FocusNext(bool forward)
{
    if (focused_child) {
        cChildElement* child = focused_child;
        int32_t index = OrderIndexOf(child);
        if (child->FocusNext(forward))
            return true;
        // Losing the focus may have removed or destroyed the child: the walk
        // goes on from its place.
        if (focused_child == child)
            child->KillFocus(false, false);
        focused_child = nullptr;
        return FocusNextFrom(index, forward);
    }
    if (!has_focus && IsVisible() && IsPaintable() && IsEnabled()) {
        SetFocusTo(this);
        return true;
    }
    uint32_t own_serial = serial;
    KillFocus(false, false);
    // Losing the focus may have destroyed this element.
    if (!element_registry_holds(this, own_serial))
        return false;
    return FocusNextFrom(forward ? INT32_MIN : INT32_MAX, forward);
}

bool cChildElement::FocusByArrow(bool forward, bool flag1, bool flag2)
{
    if (ConsumesArrowKeys())
        return false;
    if (!focused_child) {
        int32_t at = forward ? INT32_MIN : INT32_MAX;
        for (cChildElement* child = NextInOrder(at, forward, &at); child; child = NextInOrder(at, forward, &at)) {
            if (!child->has_focus && child->shown && child->IsVisible() && child->IsPaintable() &&
                child->arrow_focus) {
                child->SetFocusTo(child);
                focused_child = child;
                // The path goes on to the child: this element would else
                // be saved, and restored, as the holder.
                if (has_focus) {
                    has_focus = false;
                    OnFocusLost(flag1, flag2);
                }
                return true;
            }
        }
        return false;
    }
    cChildElement* current = focused_child;
    if (current->ConsumesArrowKeys())
        return false;
    if (current->focused_child)
        return current->FocusByArrow(forward, flag1, flag2);
    if (current->arrow_focus && current->FocusByArrow(forward, flag1, flag2))
        return true;
    return MoveArrowFocus(forward, flag1, flag2);
}

bool cChildElement::MoveArrowFocus(bool forward, bool flag1, bool flag2)
{
    cChildElement* current = focused_child;
    int32_t start = OrderIndexOf(current);
    if (start < 0) {
        current->KillFocus(flag1, flag2);
        focused_child = nullptr;
        return false;
    }
    int32_t at = start;
    bool wrapped = false;
    for (;;) {
        cChildElement* candidate = NextInOrder(at, forward, &at);
        if (!candidate) {
            if (!arrow_wrap || wrapped)
                return true;
            wrapped = true;
            at = forward ? INT32_MIN : INT32_MAX;
            continue;
        }
        if (candidate == current)
            return true;
        if (!candidate->has_focus && candidate->shown && candidate->IsVisible() && candidate->IsPaintable() &&
            candidate->arrow_focus) {
            current->KillFocus(flag1, flag2);
            candidate->SetFocusTo(candidate);
            focused_child = candidate;
            return true;
        }
    }
}

void cChildElement::TakeFocus()
{
    if (focusable)
        RequestFocus(this, false, false);
    else if (parent)
        parent->TakeFocus();
}

void cChildElement::RequestFocus(cChildElement* element, bool, bool)
{
    if (element) {
        cChildAction* request = new cChildAction(4);
        if (request)
            element->PostAction(request);
    }
    RequestWindowFocus();
}

void cChildElement::SaveFocus()
{
    if (!saved_focus) {
        if (has_focus) {
            saved_focus = this;
        } else if (focused_child) {
            cChildElement* deepest = focused_child;
            while (deepest->focused_child)
                deepest = deepest->focused_child;
            saved_focus = deepest;
        }
    }
    KillFocus(false, false);
}

void cChildElement::RestoreFocus()
{
    if (!focused_child && saved_focus) {
        cChildElement* saved = saved_focus;
        saved_focus = nullptr;
        SetFocusTo(saved);
    } else {
        SetFocusTo(this);
    }
}

void cChildElement::ForgetHere(cChildElement* element)
{
    auto inside = [element](cChildElement* reference) {
        return reference && (reference == element || element->IsDescendant(reference));
    };
    if (inside(focused_child))
        focused_child = nullptr;
    if (inside(capture_child))
        CaptureMouse(capture_child, false);
    if (inside(hover_element))
        hover_element = nullptr;
    // A saved focus inside a removed subtree would be restored into it.
    if (inside(saved_focus))
        saved_focus = nullptr;
}

void cChildElement::ForgetElement(cChildElement* element)
{
    if (!element)
        return;
    ForgetHere(element);
    if (parent)
        parent->ForgetElement(element);
}
