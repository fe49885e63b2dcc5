#include <limits.h>

#include "gui/child_element.h"
#include "gui/element_limits.h"
#include "gui/element_registry.h"
#include "gui/request_target.h"
#include "gui/theme.h"

// Construction, destruction, membership of children and the two flag chains.

cChildElement::cChildElement()
    : tooltip(nullptr), string_entry(nullptr), request_target(nullptr), min_width(-1), min_height(-1),
      max_width(-1), max_height(-1), focused_child(nullptr), has_focus(false), saved_focus(nullptr),
      parent(nullptr), x(0), y(0), width(0), height(0), transparent(false), shown(true), tab_stop(false),
      arrow_focus(false), arrow_wrap(false), back_buffer(false), repaint_on_resize(false), paintable(true),
      created(false), focusable(true), self_capture(false), border(0), posts_double_clicks(false),
      capture_child(nullptr), hover_element(nullptr), fixed_vertically_against(nullptr),
      fixed_horizontally_against(nullptr), last_click_time(0), last_click_x(-1), last_click_y(-1),
      background_colour(0xFFFFFF), cursor_shape(0), serial(0)
{
    serial = element_registry_add(this);
}

cChildElement::~cChildElement()
{
    element_registry_remove(this);
    // A parent that outlives the child must not keep routing to it.
    if (parent && is_element_alive(parent))
        parent->cChildElement::RemoveChild(this);
    parent = nullptr;
    // Children outlive a destroyed parent only as roots of their own.
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (child->parent == this)
            child->parent = nullptr;
    }
    if (request_target)
        request_target->DestroyWindow();
    DiscardQueues();
    delete tooltip;
    tooltip = nullptr;
}

void cChildElement::InitDefaults()
{
    created = false;
    has_focus = false;
    focused_child = nullptr;
    transparent = false;
    capture_child = nullptr;
    self_capture = false;
    shown = true;
    tab_stop = DefaultTabStop();
    arrow_focus = tab_stop;
    arrow_wrap = DefaultArrowWrap();
    back_buffer = DefaultBackBuffer();
    repaint_on_resize = DefaultRepaintOnResize();
    focusable = DefaultFocusable();
    cursor_shape = DefaultCursor();
    border = DefaultBorder();
    posts_double_clicks = false;
    min_width = min_height = max_width = max_height = -1;
    last_click_time = 0;
    // Without a theme the constructor's white stays.
    if (cCITheme* theme = get_theme())
        SetBackgroundColour(theme->GetColour(14));
}

bool cChildElement::Create()
{
    const wchar_t* section = GetStringSection();
    if (section && request_target)
        string_entry = request_target->GetStringTable(section);
    OnCreate();
    created = true;
    return true;
}

bool cChildElement::InsertChild(cChildElement* child, int32_t child_x, int32_t child_y, int32_t child_width,
                                int32_t child_height, int32_t fix_mode)
{
    if (!child || child == this)
        return false;
    if (tree_find_node(child_set, AddressKey(child)))
        return child->SetBounds(child_x, child_y, child_width, child_height);
    // A destroyed child leaves only the parent its field names, so an
    // element has one parent at a time.
    if (child->parent)
        child->parent->RemoveChild(child);

    int32_t index = tree_next_free_int(order_map);
    int32_t* index_slot = tree_get_or_add(child_set, AddressKey(child));
    if (!index_slot)
        return false;
    cChildElement** order_slot = tree_get_or_add(order_map, index);
    if (!order_slot) {
        tree_erase_node(child_set, tree_find_node(child_set, AddressKey(child)));
        return false;
    }
    *index_slot = index;
    *order_slot = child;

    child->x = child_x;
    child->y = child_y;
    child->width = child_width < 0 ? 0 : child_width;
    child->height = child_height < 0 ? 0 : child_height;
    child->parent = this;

    const wchar_t* section = child->GetStringSection();
    if (section) {
        cWindowRequestTarget* target = GetRequestTarget();
        child->string_entry = target ? target->GetStringTable(section) : nullptr;
    }
    child->InitDefaults();
    child->OnCreate();

    child->fixed_vertically_against = (fix_mode == 1 || fix_mode == 2) ? this : nullptr;
    child->fixed_horizontally_against = (fix_mode == 1 || fix_mode == 3) ? this : nullptr;

    child->width = clamp_minimum_wins(child->width, child->min_width, child->max_width);
    child->height = clamp_minimum_wins(child->height, child->min_height, child->max_height);

    child->created = true;
    if (child->IsPaintable())
        child->Redraw(nullptr);
    return true;
}

bool cChildElement::RemoveChild(cChildElement* child)
{
    cTreeNode<uint32_t, int32_t>* member = child ? tree_find_node(child_set, AddressKey(child)) : nullptr;
    if (!member)
        return false;
    tree_erase_node(layout_specs, tree_find_node(layout_specs, AddressKey(child)));
    tree_erase_node(order_map, tree_find_node(order_map, member->value));
    tree_erase_node(child_set, member);
    ForgetElement(child);
    // A removed child climbs no more into this element (which may be freed
    // before the child posts or redraws again).
    if (child->parent == this)
        child->parent = nullptr;
    if (child->fixed_vertically_against == this)
        child->fixed_vertically_against = nullptr;
    if (child->fixed_horizontally_against == this)
        child->fixed_horizontally_against = nullptr;
    return true;
}

cChildElement* cChildElement::NextChild(const cChildElement* after)
{
    cTreeNode<uint32_t, int32_t>* node =
        after ? tree_find_greater(child_set, AddressKey(after)) : tree_first_node(child_set);
    return node ? reinterpret_cast<cChildElement*>(uintptr_t(node->key)) : nullptr;
}

cChildElement* cChildElement::NextInOrder(int32_t index, bool forward, int32_t* found)
{
    cTreeNode<int32_t, cChildElement*>* best = nullptr;
    if (forward) {
        best = index == INT32_MIN ? tree_first_node(order_map) : tree_find_greater(order_map, index);
    } else {
        // The entry with the largest index below index.
        for (cTreeNode<int32_t, cChildElement*>* node = order_map.root; node;) {
            if (index == INT32_MAX || node->key < index) {
                best = node;
                node = node->greater;
            } else {
                node = node->lesser;
            }
        }
    }
    if (!best)
        return nullptr;
    if (found)
        *found = best->key;
    return best->value;
}

int32_t cChildElement::OrderIndexOf(const cChildElement* child)
{
    int32_t* index = tree_find_value(child_set, AddressKey(child));
    return index ? *index : -1;
}

cChildElement* cChildElement::GetTopElement()
{
    cChildElement* top = this;
    while (top->parent)
        top = top->parent;
    return top;
}

bool cChildElement::IsDescendant(cChildElement* element)
{
    if (!element)
        return false;
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (child == element || child->IsDescendant(element))
            return true;
    }
    return false;
}

bool cChildElement::GetDescendantBounds(cChildElement* child, cRect* bounds)
{
    if (!child || !bounds || !IsDescendant(child))
        return false;
    cRect found = child->GetBounds();
    for (cChildElement* above = child->parent; above && above != this; above = above->parent) {
        found.x += above->x;
        found.y += above->y;
    }
    *bounds = found;
    return true;
}

void cChildElement::Show()
{
    if (shown)
        return;
    shown = true;
    if (!parent || parent->IsVisible()) {
        BroadcastShown(true);
        Redraw(nullptr);
    }
}

void cChildElement::Hide(bool redraw)
{
    if (shown && parent && !parent->IsVisible()) {
        shown = false;
        return;
    }
    shown = false;
    BroadcastShown(false);
    if (redraw)
        Redraw(nullptr);
}

bool cChildElement::IsVisible()
{
    for (cChildElement* element = this; element; element = element->parent) {
        if (!element->shown)
            return false;
    }
    return true;
}

void cChildElement::EnablePainting(bool redraw)
{
    paintable = true;
    if (redraw)
        Redraw(nullptr);
}

void cChildElement::DisablePainting(bool redraw)
{
    if (redraw)
        Redraw(nullptr);
    paintable = false;
}

bool cChildElement::IsPaintable()
{
    for (cChildElement* element = this; element; element = element->parent) {
        if (!element->paintable)
            return false;
    }
    return true;
}

void cChildElement::BroadcastShown(bool now_shown)
{
    OnShownChanged(now_shown);
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (child->shown)
            child->BroadcastShown(now_shown);
    }
}

bool cChildElement::QueryChildren()
{
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (child->QueryChildren())
            return true;
    }
    return false;
}

bool cChildElement::CanCloseTree()
{
    if (!CanClose())
        return false;
    for (cChildElement* child = NextChild(nullptr); child; child = NextChild(child)) {
        if (!child->CanCloseTree())
            return false;
    }
    return true;
}
