#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// The toolbar's layout: buttons in id order, and in the overflow modes the
// more button and the entries of its popup.

namespace {

const uint32_t more_image = 72;
// Room of the popup's vertical scroll bar.
const int32_t popup_bar_room = 16;

}  // namespace

void cToolBarChild::Layout()
{
    if (overflow_mode != overflow_none && (more_displayed || GetTotalButtonsWidth() > width))
        ArrangeButtons();
}

int32_t cToolBarChild::ButtonWidth(cButtonChild* button, bool measure)
{
    if (fixed_button_width != 0 && !measure)
        return fixed_button_width;
    int32_t measured =
        cButtonChild::MeasureWidth(this, button->GetTextPtr(), button->GetStateImage(0), image_placement, font);
    return measured > min_button_width ? measured : min_button_width;
}

int32_t cToolBarChild::GetTotalButtonsWidth()
{
    int32_t total = 0;
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        if (!IsHiddenId(node->key))
            total += ButtonWidth(node->value, false);
    }
    return total;
}

void cToolBarChild::PlaceButton(cButtonChild* button, int32_t x, int32_t button_width)
{
    button->SetBounds(x, 0, button_width, height);
    button->SetFrameStyle(framed_buttons ? button_frame_style : 5, false);
    button->SetStateFrameColours(0, normal_top_left, normal_bottom_right);
    button->SetBackgroundColour(background_colour, false);
    button->EnablePainting(false);
}

void cToolBarChild::AddOverflowEntry(int32_t id, cButtonChild* button, int32_t button_width)
{
    button->DisablePainting(false);
    if (!button->IsVisible() || IsHiddenId(id))
        return;
    cPopupItem* entry = tree_get_or_add(overflow_entries, id);
    if (!entry)
        return;
    entry->text.Assign(button->GetTextPtr());
    entry->hint.Assign(button->GetHintText());
    int32_t* index = tree_find_value(image_indexes, id);
    entry->image_id = index ? *index : -1;
    entry->height = height;
    if (button_width > widest_overflow_entry)
        widest_overflow_entry = button_width;
    overflow_entries_height += height;
}

void cToolBarChild::ArrangeButtons()
{
    tree_clear(overflow_entries);
    widest_overflow_entry = 0;
    overflow_entries_height = 0;
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        node->value->SetImagePlacement(image_placement, false);
        node->value->SetTextAlignment(image_placement == 1 ? 1 : 0, false);
    }
    bool overflowing = overflow_mode != overflow_none && GetTotalButtonsWidth() > width;
    more_displayed = overflowing;
    if (overflowing)
        more_button.EnablePainting(false);
    else
        more_button.DisablePainting(false);
    int32_t more_width =
        overflowing ? cButtonChild::MeasureWidth(this, nullptr, theme_image(more_image), image_placement, font) : 0;
    bool keep_last = overflowing && overflow_mode == overflow_keep_last;

    // Mode 1: the pinned buttons, then the more button, then as many of the
    // last buttons as fit; the unpinned ones before them overflow. Found by
    // dropping buttons from the front until the rest fits.
    int32_t x = 0;
    int32_t overflow_width = 0;
    if (keep_last) {
        int32_t unpinned_width = 0;
        for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
            if (IsHiddenId(node->key))
                continue;
            int32_t button_width = ButtonWidth(node->value, true);
            if (node->key < pinned_id_limit) {
                PlaceButton(node->value, x, button_width);
                x += button_width;
            } else {
                unpinned_width += button_width;
            }
        }
        more_button.SetBounds(x, 0, more_width, height);
        x += more_width;
        overflow_width = unpinned_width - (width - x);
    }

    bool cut = false;
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        cButtonChild* button = node->value;
        if (IsHiddenId(node->key) && !cut) {
            button->DisablePainting(false);
            continue;
        }
        int32_t button_width = ButtonWidth(button, keep_last);
        if (keep_last) {
            if (node->key < pinned_id_limit)
                continue;
            if (overflow_width > 0) {
                overflow_width -= button_width;
                AddOverflowEntry(node->key, button, button_width);
                continue;
            }
        } else if (overflowing && !cut && x + button_width + more_width > width) {
            more_button.SetBounds(x, 0, more_width, height);
            cut = true;
        }
        if (cut) {
            AddOverflowEntry(node->key, button, button_width);
            continue;
        }
        PlaceButton(button, x, button_width);
        x += button_width;
    }
    if (overflowing && !keep_last && !cut)
        more_button.SetBounds(x, 0, more_width, height);
    Redraw(nullptr);
}

void cToolBarChild::OpenOverflowPopup()
{
    cPoint at{0, 0};
    if (!overflow_entries.root || !more_button.GetScreenPosition(&at))
        return;
    int32_t list_width = widest_overflow_entry;
    if (overflow_entries_height > popup_height_limit)
        list_width += popup_bar_room;
    list_width = int32_t(1.1 * list_width);
    int32_t list_height =
        overflow_entries_height < popup_height_limit ? overflow_entries_height : popup_height_limit;
    // A layout while the list runs rebuilds the entries: the list keeps its
    // own.
    cPopupItems entries(512);
    tree_move(entries, overflow_entries);
    cImageCache** normal_images = tree_find_value(state_caches, 0);
    int32_t chosen = open_popup(this, &entries, normal_images ? *normal_images : nullptr, at.x,
                                at.y + more_button.GetHeight() + 1, list_width, list_height, -1, background_colour,
                                text_colour, popup_no_colour, font, popup_no_colour, popup_no_colour, popup_no_colour,
                                popup_no_colour);
    if (!overflow_entries.root)
        tree_move(overflow_entries, entries);
    if (chosen < 0)
        return;
    // Without memory for it a plain click goes on instead.
    PostAction(new cTbButtonAction(chosen));
}
