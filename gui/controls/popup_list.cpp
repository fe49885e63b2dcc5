#include "gui/controls/popup_list.h"

#include <windows.h>

#include "gui/canvas.h"
#include "gui/image_cache.h"

// The popup list element: its item buttons and how its modal run ends.

namespace {

const int32_t horizontal_line_step = 5;

// A one-pixel opaque face of a colour given as 0x00BBGGRR.
void make_face(cImageBuffer* face, uint32_t colour)
{
    uint32_t pixel = 0xFF000000u | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    face->Fill(pixel, 1, 1);
}

}  // namespace

cPopupMaster::cPopupMaster(const cPopupItems* list_items, const cPopupStyle& style)
    : items(list_items), look(style), closed(false)
{
}

cPopupMaster::~cPopupMaster()
{
    objlist_clear(buttons);
}

void cPopupMaster::OnCreate()
{
    InitDefaults();
}

cButtonChild* cPopupMaster::AddButton(int32_t id, const cPopupItem* item, cFontObject* item_font, int32_t top,
                                      int32_t button_width, int32_t button_height)
{
    cBtnListItem* entry = new cBtnListItem(id, item);
    if (!entry)
        return nullptr;
    objlist_append(buttons, entry);
    cButtonChild& button = entry->button;
    AddChild(&button, 1, top, button_width, button_height);
    button.SetTransparent(true);
    button.SetCaption(item->text.Text());
    button.SetFrameStyle(1, false);
    button.SetBackgroundColour(look.background, false);
    button.SetTextColour(look.text_colour, false);
    if (hover_face.GetPixels())
        button.SetFaceImage(2, &hover_face);
    if (pressed_face.GetPixels())
        button.SetFaceImage(3, &pressed_face);
    if (look.hover_text != popup_no_colour)
        button.SetStateColour(2, look.hover_text, false);
    if (look.pressed_text != popup_no_colour)
        button.SetStateColour(3, look.pressed_text, false);
    button.SetHintText(item->hint.Text());
    button.SetFont(item_font);
    button.GetStateImageSlot(0)->SetImage(look.icons && item->image_id >= 0 ? look.icons->Get(item->image_id)
                                                                               : nullptr);
    return &button;
}

void cPopupMaster::InitDefaults()
{
    cScrollableElement::InitDefaults();
    objlist_clear(buttons);
    cFontObject* item_font = look.font ? look.font : GetDefaultFont();
    cSize measured{0, 0};
    if (!items || !measure_popup(this, items, look.icons, &measured, item_font))
        return;
    SetContentHeight(measured.height);
    // The vertical bar, when the items need one, takes its room from the
    // view and not from the items' width.
    int32_t view_width = width - GetVBarWidth();
    int32_t content_width = measured.width > view_width ? measured.width : view_width;
    SetContentWidth(content_width);
    int32_t button_width = content_width - 2;

    if (look.hover_face != popup_no_colour)
        make_face(&hover_face, look.hover_face);
    if (look.pressed_face != popup_no_colour)
        make_face(&pressed_face, look.pressed_face);

    cChildElement* current = nullptr;
    int32_t top = 1;
    int32_t shown = 0;
    for (cTreeNode<int32_t, cPopupItem>* node = tree_first_node(*items); node; node = tree_next_node(node)) {
        cSize size;
        if (!measure_popup_item(this, &node->value, look.icons, item_font, &size))
            continue;
        cButtonChild* button = AddButton(node->key, &node->value, item_font, top, button_width, size.height);
        if (button && node->key == look.current_id)
            current = button;
        top += size.height;
        ++shown;
    }
    int32_t average = shown > 0 ? measured.height / shown : 1;
    if (average < 1)
        average = 1;
    SetScrollSteps(horizontal_line_step, average);
    SetPageSteps(horizontal_line_step, height / average * average);
    if (current)
        current->TakeFocus();
}

bool cPopupMaster::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (key == VK_ESCAPE) {
        Close(-1);
        return true;
    }
    return cScrollableElement::DispatchKeyDown(key, shift, ctrl, alt);
}

void cPopupMaster::OnMouseButton(int32_t px, int32_t py, int32_t, bool pressed)
{
    if (pressed && (px < 0 || px > width || py < 0 || py > height))
        Close(-1);
}

bool cPopupMaster::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (action->code == 0) {
        for (cListItem* entry = buttons.first; entry; entry = entry->next) {
            cBtnListItem* item = static_cast<cBtnListItem*>(entry);
            if (sender == &item->button) {
                Close(item->id);
                return true;
            }
        }
    }
    return cScrollableElement::HandleAction(sender, action);
}

void cPopupMaster::OnFocusLost(bool flag1, bool flag2)
{
    cScrollableElement::OnFocusLost(flag1, flag2);
    Close(-1);
}

void cPopupMaster::OnWindowDeactivated()
{
    Close(-1);
}

void cPopupMaster::Close(intptr_t result)
{
    // Ending the run deactivates the window, which must not change the
    // result.
    if (closed)
        return;
    closed = true;
    StopMouseCapture();
    EndModal(result);
}

// Under a transparent item button: the canvas is the button's.
bool cPopupMaster::PaintBackground(cCanvas* canvas, const cRect*)
{
    cRect whole{0, 0, canvas->GetWidth(), canvas->GetHeight()};
    canvas->FillRect(&whole, look.background, look.background);
    return true;
}

void cPopupMaster::PaintContent(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, look.background, look.frame);
    // Clicks outside the list come here while they still reach the item
    // buttons; a child that holds the mouse keeps it.
    if (!capture_child && !closed)
        StartMouseCapture(true);
}
