#include "gui/controls/tree_view.h"

#include "gui/canvas.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// The items, their rows and the layout.

namespace {

const int32_t indent = 16;
const int32_t expander_width = 16;
const int32_t row_gap = 0;
const int32_t label_margin = 0;
const int32_t horizontal_line_step = 5;
const uint32_t no_text_colour = 0xFFFFFFFF;
// The tree's wake-up for a pending layout, posted to itself.
const uint32_t layout_code = 11;

template <class V>
void erase_key(cTreeMap<uint32_t, V>& map, uint32_t key)
{
    tree_erase_node(map, tree_find_node(map, key));
}

cImageBuffer* cached_image(const cImageCache* cache, int32_t key)
{
    return cache ? cache->Get(key) : nullptr;
}

}  // namespace

cTreeViewChild::cTreeViewItem::cTreeViewItem()
    : label(nullptr), control(nullptr), data(nullptr), image(-1), collapsed(0), text_colour(no_text_colour),
      serial(0)
{
}

cTreeViewChild::cTreeViewItem::~cTreeViewItem()
{
    delete label;
    delete control;
}

cTreeViewChild::cTreeViewChild()
    : element_map(512), control_map(512), live_items(512), next_serial(1), caches(), layout_pending(false), current(nullptr),
      marked(nullptr), saved_colours()
{
}

cTreeViewChild::~cTreeViewChild()
{
    // The rows leave this element while it is still whole.
    treeitem_clear(items);
}

void cTreeViewChild::InitDefaults()
{
    cScrollableElement::InitDefaults();
    DropItems();
    layout_pending = false;
    for (const cImageCache*& cache : caches)
        cache = nullptr;
    SetPageSteps(width, height);
}

void cTreeViewChild::Layout()
{
    cScrollableElement::Layout();
    SetPageSteps(width, height);
}

void cTreeViewChild::PaintContent(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, GetBackgroundColour(), theme_colour(21));
}

cTreeItemElement* cTreeViewChild::CreateItemElement(cTreeViewItem*)
{
    return new cTreeItemElement;
}

cTreeViewControlElement* cTreeViewChild::CreateControlElement(cTreeViewItem*)
{
    return new cTreeViewControlElement;
}

void cTreeViewChild::OnItemElementsCreated(cTreeViewItem*, cTreeItemElement*) {}

bool cTreeViewChild::HasChildren(cTreeViewItem* item)
{
    return item && item->first_child;
}

void cTreeViewChild::OnExpand(cTreeViewItem*) {}

bool cTreeViewChild::AddItem(cTreeViewItem* parent, cTreeViewItem* item)
{
    if (!item || item->owner || (parent && parent->owner != &items))
        return false;
    cTreeViewItem** live = tree_get_or_add(live_items, next_serial);
    if (!live)
        return false;
    *live = item;
    item->serial = next_serial++;
    treeitem_add_child(items, parent, item);
    RequestLayout();
    return true;
}

void cTreeViewChild::ForgetRows(cTreeViewItem* item, bool with_item)
{
    for (cTreeItem* child = item->first_child; child; child = child->next)
        ForgetRows(AsRow(child), true);
    if (!with_item)
        return;
    // The item's destructor deletes the elements, which leave the view.
    erase_key(element_map, AddressKey(item->label));
    erase_key(control_map, AddressKey(item->control));
    erase_key(live_items, item->serial);
}

void cTreeViewChild::RemoveChildren(cTreeViewItem* item)
{
    if (!item) {
        Clear();
        return;
    }
    current = marked = nullptr;
    ForgetRows(item, false);
    treeitem_delete_children(item);
    RequestLayout();
}

void cTreeViewChild::DropItems()
{
    current = marked = nullptr;
    treeitem_clear(items);
    tree_clear(element_map);
    tree_clear(control_map);
    tree_clear(live_items);
}

void cTreeViewChild::Clear()
{
    DropItems();
    RequestLayout();
}

void cTreeViewChild::SetImageCaches(const cImageCache* normal, const cImageCache* hover,
                                    const cImageCache* selected)
{
    if (caches[0] == normal && caches[1] == hover && caches[2] == selected)
        return;
    caches[0] = normal;
    caches[1] = hover;
    caches[2] = selected;
    RequestLayout();
}

cTreeViewChild::cTreeViewItem* cTreeViewChild::FindItemByElement(cChildElement* label)
{
    cTreeViewItem** item = tree_find_value(element_map, AddressKey(label));
    return item ? *item : nullptr;
}

bool cTreeViewChild::MakeRowElements(cTreeViewItem* item)
{
    cTreeItemElement* label = CreateItemElement(item);
    cTreeViewControlElement* control = label ? CreateControlElement(item) : nullptr;
    cTreeViewItem** label_entry = control ? tree_get_or_add(element_map, AddressKey(label)) : nullptr;
    cTreeViewItem** control_entry = label_entry ? tree_get_or_add(control_map, AddressKey(control)) : nullptr;
    if (!control_entry) {
        erase_key(element_map, AddressKey(label));
        delete label;
        delete control;
        return false;
    }
    *label_entry = item;
    *control_entry = item;
    item->label = label;
    item->control = control;
    InsertChild(label, 0, 0, 1, 1, 0);
    label->SetWantsArrowKeys(true);
    label->SetBackBuffer(true);
    InsertChild(control, 0, 0, 1, 1, 0);
    control->SetBackBuffer(true);
    OnItemElementsCreated(item, label);
    return true;
}

void cTreeViewChild::RequestLayout()
{
    if (layout_pending)
        return;
    layout_pending = true;
    // Without a window to wake, now.
    cChildAction* wake = new cChildAction(layout_code);
    if (!wake || !PostAction(wake))
        FlushLayout();
}

void cTreeViewChild::FlushLayout()
{
    if (!layout_pending)
        return;
    layout_pending = false;
    Relayout();
}

bool cTreeViewChild::TakeLayoutWake(cChildElement* sender, cChildAction* action)
{
    if (sender != this || action->code != layout_code)
        return false;
    FlushLayout();
    return true;
}

void cTreeViewChild::Relayout()
{
    layout_pending = false;
    int32_t widest = 0;
    int32_t smallest_row = height;
    int32_t bottom = LayOutSiblings(AsRow(items.first_root), 0, true, 1, &widest, &smallest_row);
    SetContentHeight(bottom);
    SetContentWidth(widest);
    SetScrollSteps(horizontal_line_step, row_gap + smallest_row);
    Redraw(nullptr);
}

void cTreeViewChild::PlaceRow(cTreeViewItem* item, int32_t depth, int32_t y)
{
    cTreeItemElement* label = item->label;
    cSize size{0, 0};
    label->GetPreferredSize(&size);
    size = cSize{size.width + label_margin, size.height + label_margin};
    int32_t x = indent * depth + expander_width + 1;
    label->SetBounds(x, y, size.width, size.height);
    item->control->SetBounds(x - expander_width, y, expander_width, size.height);
    item->control->SetTextIndent(label_margin / 2);
    uint32_t background = GetBackgroundColour();
    // The marked row keeps its marked look through a new layout.
    if (item == marked)
        label->SetNormalFillAndFrame(MarkLook().fill, MarkLook().frame);
    else
        label->SetNormalFillAndFrame(background, background);
    item->control->SetFillColour(background);
    item->control->SetFrameColour(background);
    if (item->text_colour != no_text_colour)
        label->SetAllTextColours(item->text_colour);
}

int32_t cTreeViewChild::LayOutSiblings(cTreeViewItem* first, int32_t depth, bool visible, int32_t y,
                                       int32_t* widest, int32_t* smallest_row)
{
    for (cTreeViewItem* item = first; item; item = AsRow(item->next)) {
        if (!item->label && !MakeRowElements(item))
            continue;
        cTreeItemElement* label = item->label;
        label->SetTextEx(item->text.Text(), 0, false);
        if (item->image >= 0)
            label->SetImages(cached_image(caches[0], item->image), cached_image(caches[1], item->image),
                             cached_image(caches[2], item->image));
        if (visible) {
            PlaceRow(item, depth, y);
            cRect bounds = label->GetBounds();
            y += row_gap + bounds.height;
            if (bounds.x + bounds.width > *widest)
                *widest = bounds.x + bounds.width;
            if (bounds.height < *smallest_row)
                *smallest_row = bounds.height;
            label->EnablePainting(false);
            item->control->EnablePainting(false);
        } else {
            label->DisablePainting(false);
            item->control->DisablePainting(false);
        }
        uint32_t state;
        if (HasChildren(item)) {
            y = LayOutSiblings(AsRow(item->first_child), depth + 1, visible && !item->collapsed, y, widest,
                               smallest_row);
            state = item->collapsed ? cTreeViewControlElement::state_collapsed_box
                                    : cTreeViewControlElement::state_expanded_box;
        } else {
            state = item->next ? cTreeViewControlElement::state_line_to_sibling
                               : cTreeViewControlElement::state_line_of_last;
        }
        item->control->SetState(state);
    }
    return y;
}
