#include "gui/controls/toolbar.h"

#include <wchar.h>

#include "gui/canvas.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// The toolbar's buttons, setters, input and painting; the layout and the
// overflow popup are in toolbar_layout.cpp.

namespace {

const uint32_t click_code = 0;
const uint32_t bar_press_code = 7;
const uint32_t more_image = 72;
const uint32_t keep_colour = 0xFFFFFFFF;

}  // namespace

cToolBarChild::cToolBarChild()
    : fixed_button_width(0), button_frame_style(3), frame_colour(0), text_colour(0), font(nullptr),
      framed_buttons(false), outline(true), image_placement(0), min_button_width(0), normal_top_left(keep_colour),
      normal_bottom_right(keep_colour), popup_height_limit(200), image_indexes(512), buttons(512), hidden_ids(512),
      state_caches(512), pinned_id_limit(0), overflow_mode(overflow_none), more_displayed(false),
      overflow_entries(512), widest_overflow_entry(0), overflow_entries_height(0), buttons_focusable(true)
{
}

cToolBarChild::~cToolBarChild()
{
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node))
        delete node->value;
}

void cToolBarChild::InitDefaults()
{
    cChildElement::InitDefaults();
    frame_colour = theme_colour(21);
    text_colour = theme_colour(4);
    buttons_focusable = DefaultFocusable();
    InsertChild(&more_button, 0, 0, 1, 1, 0);
    more_button.DisablePainting(false);
    more_displayed = false;
    more_button.SetFocusable(false);
    more_button.SetFrameStyle(2, false);
    more_button.GetStateImageSlot(0)->SetImage(theme_image(more_image));
}

cButtonChild* cToolBarChild::CreateButton()
{
    return new cButtonChild;
}

bool cToolBarChild::OnButtonAdded(int32_t, cButtonChild*)
{
    return true;
}

void cToolBarChild::ApplyImages(cButtonChild* button, int32_t image_index)
{
    for (cTreeNode<int32_t, cImageCache*>* node = tree_first_node(state_caches); node; node = tree_next_node(node))
        button->GetStateImageSlot(node->key)->SetFromCache(node->value, image_index);
}

bool cToolBarChild::SetButton(int32_t id, const wchar_t* caption, int32_t image_index)
{
    if (!caption && image_index < 0)
        return RemoveButton(id);
    cButtonChild** existing = tree_find_value(buttons, id);
    if (!existing) {
        cButtonChild* button = CreateButton();
        cButtonChild** slot = button ? tree_get_or_add(buttons, id) : nullptr;
        if (!slot) {
            delete button;
            return false;
        }
        *slot = button;
        InsertChild(button, 0, 0, 1, 1, 1);
        button->SetTransparent(transparent);
        button->SetCaption(caption);
        button->SetFocusable(buttons_focusable);
        button->SetFrameStyle(button_frame_style, true);
        button->SetTextColour(text_colour, true);
        if (font)
            button->SetFont(font);
        ApplyImages(button, image_index);
        if (!tree_find_node(image_indexes, id)) {
            if (int32_t* recorded = tree_get_or_add(image_indexes, id))
                *recorded = image_index;
        }
        if (!OnButtonAdded(id, button)) {
            RemoveButton(id);
            return false;
        }
        ArrangeButtons();
        return true;
    }
    cButtonChild* button = *existing;
    const wchar_t* shown = button->GetTextPtr();
    bool caption_changed = !shown || !caption || wcscmp(shown, caption) != 0;
    if (caption_changed)
        button->SetCaption(caption);
    int32_t* recorded = tree_find_value(image_indexes, id);
    if (!recorded || *recorded != image_index) {
        ApplyImages(button, image_index);
        if (!recorded)
            recorded = tree_get_or_add(image_indexes, id);
        if (recorded)
            *recorded = image_index;
        ArrangeButtons();
    } else if (caption_changed) {
        ArrangeButtons();
    }
    return true;
}

bool cToolBarChild::RemoveButton(int32_t id)
{
    cTreeNode<int32_t, cButtonChild*>* node = tree_find_node(buttons, id);
    if (!node)
        return false;
    cButtonChild* button = node->value;
    tree_erase_node(buttons, node);
    RemoveChild(button);
    delete button;
    tree_erase_node(image_indexes, tree_find_node(image_indexes, id));
    tree_erase_node(hidden_ids, tree_find_node(hidden_ids, id));
    ArrangeButtons();
    return true;
}

void cToolBarChild::RemoveAllButtons(bool redraw)
{
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        RemoveChild(node->value);
        delete node->value;
    }
    tree_clear(buttons);
    tree_clear(hidden_ids);
    if (redraw)
        Redraw(nullptr);
}

bool cToolBarChild::SetButtonEnabled(int32_t id, bool enabled)
{
    cButtonChild** found = tree_find_value(buttons, id);
    if (!found)
        return false;
    cButtonChild* button = *found;
    // Under a bar whose own input is on, the button's visibility is its own
    // shown flag.
    if (IsVisible() && button->IsVisible() == enabled)
        return true;
    if (enabled)
        button->Show();
    else
        button->Hide(true);
    button->Redraw(nullptr);
    return true;
}

bool cToolBarChild::SetButtonsFocusable(bool flag)
{
    buttons_focusable = flag;
    bool focus_inside = false;
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        node->value->SetFocusable(flag);
        focus_inside = focus_inside || node->value->HasFocus();
    }
    if (!flag && focus_inside)
        TakeFocus();
    return true;
}

void cToolBarChild::SetStateImageCache(int32_t state, cImageCache* cache)
{
    cImageCache** slot = tree_get_or_add(state_caches, state);
    if (!slot)
        return;
    *slot = cache;
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        int32_t* index = tree_find_value(image_indexes, node->key);
        if (index && *index >= 0)
            node->value->GetStateImageSlot(state)->SetFromCache(cache, *index);
    }
    ArrangeButtons();
}

void cToolBarChild::SetOverflowMode(int32_t mode)
{
    StoreOverflowSetting(&overflow_mode, mode);
}

void cToolBarChild::SetPinnedIdLimit(int32_t limit)
{
    StoreOverflowSetting(&pinned_id_limit, limit < 0 ? 0 : limit);
}

// Only a bar whose buttons do not fit is laid out differently.
void cToolBarChild::StoreOverflowSetting(int32_t* field, int32_t value)
{
    if (*field == value)
        return;
    *field = value;
    if (GetTotalButtonsWidth() > width)
        ArrangeButtons();
}

void cToolBarChild::SetTransparent(bool on)
{
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node))
        node->value->SetTransparent(on);
    more_button.SetTransparent(on);
    cChildElement::SetTransparent(on);
}

void cToolBarChild::OnMouseButton(int32_t, int32_t, int32_t button, bool pressed)
{
    if (button != 1 || !pressed)
        return;
    if (cChildAction* press = new cChildAction(bar_press_code))
        PostAction(press);
}

bool cToolBarChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (action->code != click_code)
        return cChildElement::HandleAction(sender, action);
    if (sender == &more_button) {
        OpenOverflowPopup();
        return true;
    }
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        if (node->value == sender) {
            // Without memory for it a plain click goes on instead.
            PostAction(new cTbButtonAction(node->key));
            return true;
        }
    }
    return cChildElement::HandleAction(sender, action);
}

void cToolBarChild::Paint(cCanvas* canvas)
{
    if (transparent)
        return;
    cRect area = GetClientRect();
    canvas->FillRect(&area, background_colour, framed_buttons && outline ? frame_colour : background_colour);
}
