#include "gui/controls/combo_box.h"

#include <limits.h>
#include <windows.h>

#include "gui/canvas.h"
#include "gui/theme.h"

// The combo box: field, drop button, items and the list that chooses one.

namespace {

const int32_t default_popup_height = 100;
const int32_t drop_button_room = 20;
const uint32_t changed_code = 6;
const uint32_t escape_code = 7;
const uint32_t drop_image = 28;
const int32_t inactive_frame_colour_index = 21;

}  // namespace

cComboBoxChild::cComboBoxChild()
    : selection(-1), max_popup_height(default_popup_height), pressed_inside(false)
{
}

cComboBoxChild::~cComboBoxChild()
{
    tree_clear(items);
}

void cComboBoxChild::InitDefaults()
{
    cChildElement::InitDefaults();
    selection = -1;
    max_popup_height = default_popup_height;
    pressed_inside = false;
    SetMinSize(20, 19);
    SetMaxSize(INT32_MAX, 38);
    AddChild(&edit, 0, 0, -drop_button_room, -1);
    AddChild(&drop, -drop_button_room, 0, drop_button_room - 1, -1);
    edit.SetCaretWhenReadOnly(false);
    edit.SetStateFrame(cEditChild::state_inactive, theme_colour(inactive_frame_colour_index));
    drop.SetEnabled(false);
    drop.SetTransparent(true);
    drop.GetStateImageSlot(0)->SetImage(theme_image(drop_image));
    drop.SetFrameStyle(3, true);
}

void cComboBoxChild::DispatchMouseButton(int32_t px, int32_t py, int32_t button, bool pressed, bool ctrl, bool shift)
{
    if (!edit.IsReadOnly() || !IsVisible()) {
        cChildElement::DispatchMouseButton(px, py, button, pressed, ctrl, shift);
        return;
    }
    if (button != 1)
        return;
    if (pressed) {
        // The release comes back here wherever it happens.
        pressed_inside = true;
        StartMouseCapture(false);
        return;
    }
    bool open = pressed_inside && ContainsPoint(px, py);
    pressed_inside = false;
    StopMouseCapture();
    if (open)
        OpenList();
}

bool cComboBoxChild::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (IsVisible() && !shift && !ctrl) {
        if (!alt && (key == VK_UP || key == VK_DOWN)) {
            SelectNeighbour(key == VK_DOWN);
            return true;
        }
        if ((alt && key == VK_DOWN) || (!alt && key == VK_F4)) {
            OpenList();
            return true;
        }
    }
    return cChildElement::DispatchKeyDown(key, shift, ctrl, alt);
}

bool cComboBoxChild::SelectNeighbour(bool forward)
{
    if (selection < 0)
        return false;
    cTreeNode<int32_t, cPopupItem>* neighbour = nullptr;
    if (forward) {
        neighbour = tree_find_greater(items, selection);
    } else {
        for (cTreeNode<int32_t, cPopupItem>* node = tree_first_node(items); node && node->key < selection;
             node = tree_next_node(node))
            neighbour = node;
    }
    return neighbour && Select(neighbour->key, true);
}

int32_t cComboBoxChild::GetText(wchar_t* out, int32_t max)
{
    return edit.GetText(out, max);
}

const wchar_t* cComboBoxChild::GetTextPtr()
{
    return edit.GetTextPtr();
}

void cComboBoxChild::TakeFocus()
{
    edit.TakeFocus();
}

// Behind the transparent drop button the combo looks like the field, frame
// included.
bool cComboBoxChild::PaintBackground(cCanvas* canvas, const cRect* rect)
{
    if (!rect || rect->y != 0 || rect->height != height)
        return cChildElement::PaintBackground(canvas, rect);
    cRect field{-1, 0, rect->width + 1, height};
    canvas->FillRect(&field, edit.GetStateBackground(0), edit.GetStateFrame(0));
    return true;
}

bool cComboBoxChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &drop && action->code == 0) {
        OpenList();
        return true;
    }
    if (sender == &edit && (action->code == changed_code || action->code == escape_code)) {
        PostAction(new cChildAction(action->code));
        return true;
    }
    return cChildElement::HandleAction(sender, action);
}

bool cComboBoxChild::SetItem(int32_t id, const wchar_t* item_text, uint32_t data, int32_t image_id)
{
    if (id < 0)
        return false;
    cPopupItem* item = tree_get_or_add(items, id);
    if (!item)
        return false;
    item->text.Assign(item_text);
    item->data = data;
    item->image_id = image_id;
    if (id == selection)
        edit.SetText(item->text.Text(), -1);
    return true;
}

uint32_t cComboBoxChild::GetItemData(int32_t id)
{
    cPopupItem* item = tree_find_value(items, id);
    return item ? item->data : 0;
}

bool cComboBoxChild::Select(int32_t id, bool post)
{
    if (id < 0) {
        edit.ClearText();
        selection = -1;
    } else {
        cPopupItem* item = tree_find_value(items, id);
        if (!item)
            return false;
        edit.SetText(item->text.Text(), -1);
        selection = id;
    }
    if (post)
        PostAction(new cChildAction(changed_code));
    return true;
}

void cComboBoxChild::SetEditText(const wchar_t* new_text, int32_t length)
{
    edit.SetText(new_text, length);
}

void cComboBoxChild::ClearItems()
{
    edit.ClearText();
    selection = -1;
    tree_clear(items);
}

bool cComboBoxChild::OpenList()
{
    cSize size;
    cPoint at{0, 0};
    if (!measure_popup(this, &items, nullptr, &size, nullptr) || !GetScreenPosition(&at))
        return false;
    int32_t list_height = size.height < max_popup_height ? size.height : max_popup_height;
    int32_t chosen = open_popup(this, &items, nullptr, at.x, at.y + height, width, list_height, selection, 0xFFFFFF, 0,
                                popup_no_colour, nullptr, popup_no_colour, popup_no_colour, popup_no_colour,
                                popup_no_colour);
    return chosen >= 0 && Select(chosen, true);
}
