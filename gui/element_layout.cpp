#include "gui/child_element.h"
#include "gui/element_limits.h"
#include "gui/request_target.h"

// Placement of children: anchored specs resolved against the parent's box,
// size limits, and the redraw of what a move or resize uncovers.

namespace {

cRect resolve_spec(const cRect& spec, int32_t box_width, int32_t box_height)
{
    return cRect{resolve_anchor(spec.x, box_width), resolve_anchor(spec.y, box_height),
                 resolve_anchor(spec.width, box_width), resolve_anchor(spec.height, box_height)};
}

bool same_rect(const cRect& a, const cRect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

cSize cChildElement::GetSize()
{
    int32_t inset = int32_t(border) * 2;
    cSize size{width - inset, height - inset};
    if (size.width < 0)
        size.width = 0;
    if (size.height < 0)
        size.height = 0;
    return size;
}

cPoint cChildElement::GetScrollOrigin()
{
    return cPoint{0, 0};
}

cRect cChildElement::GetClientRect()
{
    return cRect{0, 0, width, height};
}

cSize cChildElement::LayoutBox(const cChildElement* child, bool child_known)
{
    cSize box = GetSize();
    if (child_known && FixedHorizontallyHere(child))
        box.width = width;
    if (child_known && FixedVerticallyHere(child))
        box.height = height;
    return box;
}

bool cChildElement::AddChild(cChildElement* child, int32_t child_x, int32_t child_y, int32_t child_width,
                             int32_t child_height)
{
    if (!child)
        return false;
    cRect spec{child_x, child_y, child_width, child_height};
    if (!tree_find_node(child_set, AddressKey(child))) {
        cRect first = spec;
        if (child_x < 0 || child_y < 0 || child_width < 0 || child_height < 0) {
            cSize box = LayoutBox(child, false);
            first = resolve_spec(spec, box.width, box.height);
        }
        if (!InsertChild(child, first.x, first.y, first.width, first.height, 0))
            return false;
    }
    cRect* stored = tree_get_or_add(layout_specs, AddressKey(child));
    if (!stored)
        return false;
    *stored = spec;

    cSize box = LayoutBox(child, true);
    cRect target = resolve_spec(spec, box.width, box.height);
    target.width = clamp_maximum_wins(target.width, child->min_width, child->max_width);
    target.height = clamp_maximum_wins(target.height, child->min_height, child->max_height);
    if (!same_rect(target, child->GetBounds()))
        ApplyChildBounds(child, target, false);
    return true;
}

void cChildElement::SetSize(int32_t new_width, int32_t new_height, bool force)
{
    if (!force && new_width == width && new_height == height)
        return;
    width = new_width;
    height = new_height;
    cSize box{new_width, new_height};
    if (parent) {
        box = GetSize();
    } else {
        cPoint origin{0, 0};
        if (ClientToScreen(&origin)) {
            x = origin.x;
            y = origin.y;
        }
    }
    box.width = clamp_maximum_wins(box.width, min_width, max_width);
    box.height = clamp_maximum_wins(box.height, min_height, max_height);

    // A child's own layout may change this element's specs: the walk goes on
    // by key.
    for (cTreeNode<uint32_t, cRect>* node = tree_first_node(layout_specs); node;) {
        uint32_t key = node->key;
        cChildElement* child = reinterpret_cast<cChildElement*>(uintptr_t(key));
        // A fixed axis does not follow this element's limits.
        int32_t box_width = FixedHorizontallyHere(child) ? new_width : box.width;
        int32_t box_height = FixedVerticallyHere(child) ? new_height : box.height;
        cRect target = resolve_spec(node->value, box_width, box_height);
        target.width = clamp_maximum_wins(target.width, child->min_width, child->max_width);
        target.height = clamp_maximum_wins(target.height, child->min_height, child->max_height);
        if (!same_rect(target, child->GetBounds()))
            ApplyChildBounds(child, target, child->repaint_on_resize);
        node = tree_find_greater(layout_specs, key);
    }
    Layout();
}

void cChildElement::ApplyChildBounds(cChildElement* child, const cRect& target, bool repaint_whole)
{
    cRect old = child->GetBounds();
    child->SetSize(target.width, target.height, false);
    if (repaint_whole) {
        RedrawChildArea(child, old);
        child->x = target.x;
        child->y = target.y;
        child->width = target.width;
        child->height = target.height;
        RedrawChildArea(child, target);
    } else {
        child->x = target.x;
        child->y = target.y;
        child->width = target.width;
        child->height = target.height;
        if (old.x != target.x || old.y != target.y) {
            RedrawChildArea(child, old);
            RedrawChildArea(child, target);
        } else {
            // Only the strips that the resize uncovered or newly covered.
            int32_t wide = old.width > target.width ? old.width : target.width;
            int32_t tall = old.height > target.height ? old.height : target.height;
            if (old.width != target.width) {
                int32_t narrow = old.width < target.width ? old.width : target.width;
                RedrawChildArea(child, cRect{target.x + narrow, target.y, wide - narrow, tall});
            }
            if (old.height != target.height) {
                int32_t low = old.height < target.height ? old.height : target.height;
                RedrawChildArea(child, cRect{target.x, target.y + low, wide, tall - low});
            }
        }
    }
    child->Layout();
}

void cChildElement::RedrawChildArea(const cChildElement* child, const cRect& area)
{
    cPoint origin = GetScrollOrigin();
    cRect shown_area = area;
    if (!FixedHorizontallyHere(child))
        shown_area.x += origin.x;
    if (!FixedVerticallyHere(child))
        shown_area.y += origin.y;
    Redraw(&shown_area);
}

bool cChildElement::SetBounds(int32_t new_x, int32_t new_y, int32_t new_width, int32_t new_height)
{
    if (!parent)
        return request_target ? request_target->MoveWindow(new_x, new_y, new_width, new_height) : false;
    if (new_x == x && new_y == y && new_width == width && new_height == height)
        return true;
    x = new_x;
    y = new_y;
    SetSize(new_width, new_height, false);
    return true;
}

bool cChildElement::SetMinSize(int32_t min_w, int32_t min_h)
{
    if (parent) {
        min_width = min_w;
        min_height = min_h;
        return false;
    }
    return request_target ? request_target->SetMinClientSize(min_w, min_h) : false;
}

bool cChildElement::SetMaxSize(int32_t max_w, int32_t max_h)
{
    if (parent) {
        max_width = max_w;
        max_height = max_h;
        return false;
    }
    return request_target ? request_target->SetMaxClientSize(max_w, max_h) : false;
}
