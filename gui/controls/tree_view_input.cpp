#include "gui/controls/tree_view.h"

#include <windows.h>

#include "gui/theme.h"

// Focus and the mark, the keyboard walk, and the actions of the rows.

namespace {

// What a label posts.
const uint32_t label_context_code = 2;
const uint32_t label_selected_code = 6;
const uint32_t label_activated_code = 7;
const uint32_t label_expand_code = 8;
const uint32_t label_collapse_code = 9;

// What the tree posts.
const uint32_t item_activated_code = 6;
const uint32_t selection_changed_code = 7;
const uint32_t expansion_changed_code = 9;

}  // namespace

cSelectableElement::cColours cTreeViewChild::MarkLook()
{
    return cSelectableElement::cColours{theme_colour(4), theme_colour(18), theme_colour(26)};
}

void cTreeViewChild::Mark(cTreeViewItem* item)
{
    if (!item || !item->label || marked)
        return;
    saved_colours = item->label->GetNormalColours();
    item->label->SetNormalColours(MarkLook());
    marked = item;
}

// The marked item is always a live one: removing items clears the mark.
void cTreeViewChild::Unmark()
{
    if (marked)
        marked->label->SetNormalColours(saved_colours);
    marked = nullptr;
}

void cTreeViewChild::UnmarkCurrent()
{
    if (current && current->label)
        Unmark();
}

void cTreeViewChild::FocusAtPoint(int32_t px, int32_t py, int32_t reason, bool flag1, bool flag2)
{
    cScrollableElement::FocusAtPoint(px, py, reason, flag1, flag2);
    UnmarkCurrent();
}

void cTreeViewChild::SetFocusTo(cChildElement* target)
{
    cScrollableElement::SetFocusTo(target);
    UnmarkCurrent();
}

void cTreeViewChild::KillFocus(bool flag1, bool flag2)
{
    cScrollableElement::KillFocus(flag1, flag2);
    Mark(current);
}

void cTreeViewChild::OnFocusChange(bool, bool)
{
    FlushLayout();
    cTreeViewItem* item = current ? current : AsRow(items.first_root);
    if (item && item->label)
        item->label->Select(true);
}

bool cTreeViewChild::SelectItem(cTreeViewItem* item, bool take_focus)
{
    FlushLayout();
    if (!item || !item->label)
        return false;
    current = item;
    if (take_focus) {
        item->label->TakeFocus();
        return true;
    }
    Unmark();
    Mark(item);
    ScrollChildIntoView(item->label);
    return true;
}

bool cTreeViewChild::ScrollItemIntoView(cTreeViewItem* item)
{
    FlushLayout();
    if (!item || !item->label)
        return false;
    cRect shown = item->label->GetBounds();
    cTreeViewItem* last = item;
    while (!last->collapsed && HasChildren(last))
        last = AsRow(treeitem_last_child(last));
    if (last != item && last->label) {
        cRect bottom = last->label->GetBounds();
        shown.height = bottom.y + bottom.height - shown.y;
    }
    return ScrollRectIntoView(shown, false, false);
}

bool cTreeViewChild::Expand(cTreeViewItem* item, bool notify)
{
    FlushLayout();
    if (!item || !item->label || !item->collapsed || !HasChildren(item))
        return false;
    item->collapsed = 0;
    OnExpand(item);
    Relayout();
    if (notify)
        PostItemAction(expansion_changed_code, item);
    return true;
}

void cTreeViewChild::PostItemAction(uint32_t code, cTreeViewItem* item)
{
    PostAction(new cTreeItemAction(code, item));
}

void cTreeViewChild::MoveTo(cTreeViewItem* item)
{
    if (item && item->label)
        item->label->Select(true);
}

cTreeViewChild::cTreeViewItem* cTreeViewChild::KeyTarget(uint32_t key, bool ctrl)
{
    cTreeViewItem* item = current;
    if (ctrl)
        return AsRow(key == VK_UP ? item->prev : item->next);
    if (key == VK_LEFT)
        return AsRow(item->parent);
    if (key == VK_UP) {
        if (!item->prev)
            return AsRow(item->parent);
        item = AsRow(item->prev);
        while (!item->collapsed && HasChildren(item))
            item = AsRow(treeitem_last_child(item));
        return item;
    }
    if (key == VK_RIGHT) {
        if (!HasChildren(item))
            return nullptr;
        Expand(item, false);
        return AsRow(item->first_child);
    }
    if (!item->collapsed && HasChildren(item))
        return AsRow(item->first_child);
    for (cTreeItem* up = item; up; up = up->parent) {
        if (up->next)
            return AsRow(up->next);
    }
    return nullptr;
}

bool cTreeViewChild::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    bool walk = !shift && !alt && (ctrl ? key == VK_UP || key == VK_DOWN : key >= VK_LEFT && key <= VK_DOWN);
    if (!walk)
        return cScrollableElement::DispatchKeyDown(key, shift, ctrl, alt);
    FlushLayout();
    MoveTo(current ? KeyTarget(key, ctrl) : AsRow(items.first_root));
    return true;
}

bool cTreeViewChild::IsStale(cChildAction* action)
{
    cTreeItemAction* item_action = static_cast<cTreeItemAction*>(action);
    cTreeViewItem** live = tree_find_value(live_items, item_action->serial);
    return !live || *live != item_action->item;
}

void cTreeViewChild::ToggleFromBox(cTreeViewItem* item)
{
    OnExpand(item);
    if (!HasChildren(item))
        return;
    item->collapsed = !item->collapsed;
    item->label->Select(true);
    Relayout();
    PostItemAction(expansion_changed_code, item);
}

bool cTreeViewChild::HandleLabelAction(cTreeViewItem* item, cChildElement* label, cChildAction* action)
{
    switch (action->code) {
    case label_context_code: {
        cCtxRequestAction* request = static_cast<cCtxRequestAction*>(action);
        cRect bounds = label->GetBounds();
        PostAction(new cTreeItemCtxAction(item, bounds.x + request->x - GetScrollOffsetX(),
                                          bounds.y + request->y - GetScrollOffsetY()));
        return true;
    }
    case label_selected_code:
        if (item != current) {
            current = item;
            PostItemAction(selection_changed_code, item);
        }
        return true;
    case label_activated_code:
        PostItemAction(item_activated_code, item);
        return true;
    case label_expand_code:
        if (item->collapsed) {
            item->collapsed = 0;
            OnExpand(item);
            Relayout();
            PostItemAction(expansion_changed_code, item);
        }
        return true;
    case label_collapse_code:
        if (!item->collapsed) {
            item->collapsed = 1;
            Relayout();
            PostItemAction(expansion_changed_code, item);
        }
        return true;
    default:
        return cScrollableElement::HandleAction(label, action);
    }
}

bool cTreeViewChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    // The tree's own item actions on their way to the parent: one whose
    // item was removed since it was queued ends here.
    if (sender == this && action->code >= item_activated_code && action->code <= expansion_changed_code)
        return IsStale(action);
    if (TakeLayoutWake(sender, action))
        return true;
    // The rows' actions see them laid out.
    FlushLayout();
    if (cTreeViewItem** item = tree_find_value(element_map, AddressKey(sender)))
        return HandleLabelAction(*item, sender, action);
    if (cTreeViewItem** item = tree_find_value(control_map, AddressKey(sender))) {
        ToggleFromBox(*item);
        return true;
    }
    return cScrollableElement::HandleAction(sender, action);
}
