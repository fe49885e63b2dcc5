#ifndef GUI_CONTROLS_TREE_VIEW_H
#define GUI_CONTROLS_TREE_VIEW_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/tree_item.h"
#include "base/tree_map.h"
#include "gui/controls/scrollable_element.h"
#include "gui/controls/tree_row_elements.h"

class cImageCache;

// A scrolling forest of items, one row each: a box or tree line, then a
// selectable label with an optional image, indented by depth; children of a
// collapsed item are hidden. The label with the focus is the current item;
// while the focus is elsewhere the current item keeps a marked look. Arrow
// keys walk the tree. The tree reports to its parent with actions posted on
// itself: cTreeItemAction code 7 when the current item changed, 6 when an
// item was activated (double click, Enter, Space), 9 when one was expanded
// or collapsed by the user, and cTreeItemCtxAction (code 8) for a context
// request. An action whose item was removed before it was delivered is
// dropped. Items are added by the owner, which may fill them lazily; an
// item's row elements exist from the layout after its addition (SelectItem
// and Expand lay out what is pending first). UI thread only.
class cTreeViewChild : public cScrollableElement {
public:
    class cTreeViewItem : public cTreeItem {
    public:
        cTreeViewItem();
        // Deletes the row's elements.
        ~cTreeViewItem() override;

        cTreeItemElement* label;            // made at the first layout, owned
        cTreeViewControlElement* control;  // made with the label, owned
        void* data;                         // the owner's
        _guardchar<wchar_t> text;
        int32_t image;  // key in the tree's image caches; -1 = none
        uint8_t collapsed;
        uint32_t text_colour;  // 0xFFFFFFFF = the label's default
        uint32_t serial;       // given by AddItem; names it in queued actions
    };

    class cTreeItemAction : public cChildAction {
    public:
        cTreeItemAction(uint32_t action_code, cTreeViewItem* tree_item)
            : cChildAction(action_code), item(tree_item), serial(tree_item->serial)
        {
        }
        cTreeViewItem* item;
        uint32_t serial;
    };

    class cTreeItemCtxAction : public cTreeItemAction {
    public:
        cTreeItemCtxAction(cTreeViewItem* tree_item, int32_t at_x, int32_t at_y)
            : cTreeItemAction(8, tree_item), x(at_x), y(at_y)
        {
        }
        // In the tree's view (the scrolling taken off).
        int32_t x;
        int32_t y;
    };

    cTreeViewChild();
    ~cTreeViewChild() override;

    void FocusAtPoint(int32_t x, int32_t y, int32_t reason, bool flag1, bool flag2) override;
    void SetFocusTo(cChildElement* target) override;
    void KillFocus(bool flag1, bool flag2) override;
    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void Layout() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void OnFocusChange(bool flag1, bool flag2) override;
    bool DefaultTabStop() override { return true; }
    bool ConsumesArrowKeys() override { return true; }
    uint32_t DefaultBorder() override { return 1; }
    void InitDefaults() override;
    void PaintContent(cCanvas* canvas) override;

    virtual cTreeItemElement* CreateItemElement(cTreeViewItem* item);
    virtual cTreeViewControlElement* CreateControlElement(cTreeViewItem* item);
    virtual void OnItemElementsCreated(cTreeViewItem* item, cTreeItemElement* label);
    virtual bool HasChildren(cTreeViewItem* item);
    // Before the user expands the item.
    virtual void OnExpand(cTreeViewItem* item);

    // The tree owns the item from here on (not when the answer is false):
    // the last child of parent, or the last root item for null.
    bool AddItem(cTreeViewItem* parent, cTreeViewItem* item);
    // Deletes the item's descendants; null clears the tree.
    void RemoveChildren(cTreeViewItem* item);
    void Clear();
    // False when the item has no row yet. The item becomes current; with
    // take_focus its label takes the focus (no code-7 action follows),
    // else it is marked and scrolled into view.
    bool SelectItem(cTreeViewItem* item, bool take_focus);
    // Scrolls the item's row into view together with as many of its shown
    // descendants below it as fit, the row never leaving the view. False
    // when the item has no row or the view did not move.
    bool ScrollItemIntoView(cTreeViewItem* item);
    // Expands a collapsed item with children; notify posts code 9.
    bool Expand(cTreeViewItem* item, bool notify);
    // Not owned; null for none.
    void SetImageCaches(const cImageCache* normal, const cImageCache* hover, const cImageCache* selected);
    cTreeViewItem* FindItemByElement(cChildElement* label);

private:
    // The maps' key of an element.
    static uint32_t AddressKey(const cChildElement* element) { return uint32_t(uintptr_t(element)); }
    // Every item of the tree is one of its rows.
    static cTreeViewItem* AsRow(cTreeItem* item) { return static_cast<cTreeViewItem*>(item); }

    // Lays the rows out again, sizes the content and redraws.
    void Relayout();
    // The owner's changes come in bursts (a folder's rows added one by
    // one): they are laid out once, on the next drain, or as soon as an
    // operation needs the rows (FlushLayout).
    void RequestLayout();
    void FlushLayout();
    // True for the pending layout's wake-up action, after running it.
    bool TakeLayoutWake(cChildElement* sender, cChildAction* action);
    // Deletes every item, without a layout.
    void DropItems();
    // Returns the next row's y.
    int32_t LayOutSiblings(cTreeViewItem* first, int32_t depth, bool visible, int32_t y, int32_t* widest,
                           int32_t* smallest_row);
    bool MakeRowElements(cTreeViewItem* item);
    void PlaceRow(cTreeViewItem* item, int32_t depth, int32_t y);
    // Takes the rows of the item's subtree (with the item's own when
    // with_item) out of the view and the maps.
    void ForgetRows(cTreeViewItem* item, bool with_item);

    // Text, fill and frame of the marked item's label.
    static cSelectableElement::cColours MarkLook();
    void Mark(cTreeViewItem* item);
    void Unmark();
    void UnmarkCurrent();
    // Posts the item's action, a plain code-0 one when it cannot be made.
    void PostItemAction(uint32_t code, cTreeViewItem* item);
    // Selects the item's label with notification and focus.
    void MoveTo(cTreeViewItem* item);
    cTreeViewItem* KeyTarget(uint32_t key, bool ctrl);
    bool HandleLabelAction(cTreeViewItem* item, cChildElement* label, cChildAction* action);
    void ToggleFromBox(cTreeViewItem* item);
    // True for an action of this tree's own whose item no longer exists.
    bool IsStale(cChildAction* action);

    cTreeMap<uint32_t, cTreeViewItem*> element_map;  // label address -> item
    cTreeMap<uint32_t, cTreeViewItem*> control_map;  // control element address -> item
    cTreeMap<uint32_t, cTreeViewItem*> live_items;   // serial -> item
    cItemTree items;
    uint32_t next_serial;
    const cImageCache* caches[3];  // normal, hover, selected
    bool layout_pending;
    cTreeViewItem* current;
    cTreeViewItem* marked;
    cSelectableElement::cColours saved_colours;  // the marked label's normal look
};

#endif
