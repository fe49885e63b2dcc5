#include "gui/controls/popup_list.h"
#include "gui/image_cache.h"
#include "gui/theme.h"

// Measuring, placing and running popup lists.

namespace {

const int32_t item_padding = 7;
const int32_t list_frame = 2;
const int32_t default_frame_colour_index = 21;

const cImageBuffer* item_icon(const cPopupItem* item, const cImageCache* icons)
{
    return icons && item->image_id >= 0 ? icons->Get(item->image_id) : nullptr;
}

}  // namespace

cPopupStyle* init_popup_style(cPopupStyle* style)
{
    if (!style)
        return nullptr;
    style->min_width = 0;
    style->icons = nullptr;
    style->current_id = -1;
    style->background = theme_colour(14);
    style->text_colour = theme_colour(4);
    style->hover_face = popup_no_colour;
    style->hover_text = popup_no_colour;
    style->pressed_face = popup_no_colour;
    style->pressed_text = popup_no_colour;
    style->frame = theme_colour(default_frame_colour_index);
    style->font = nullptr;
    return style;
}

bool measure_popup_item(cChildElement* owner, const cPopupItem* item, const cImageCache* icons, cFontObject* font,
                        cSize* size)
{
    const cImageBuffer* icon = item_icon(item, icons);
    if (!owner || (item->text.IsEmpty() && !icon))
        return false;
    cSize text{0, 0};
    if (!item->text.IsEmpty() && !owner->MeasureText(item->text.Text(), &text, font))
        return false;
    size->width = cButtonChild::MeasureWidth(owner, item->text.Text(), icon, 0, font);
    if (item->height > 0) {
        size->height = item->height;
    } else {
        int32_t icon_height = icon ? icon->GetHeight() : 0;
        size->height = (text.height > icon_height ? text.height : icon_height) + item_padding;
    }
    return true;
}

bool measure_popup(cChildElement* owner, const cPopupItems* items, const cImageCache* icons, cSize* size,
                   cFontObject* font)
{
    if (!owner || !items || !size)
        return false;
    if (!font)
        font = owner->GetDefaultFont();
    if (!font)
        return false;
    cSize total{0, 0};
    for (cTreeNode<int32_t, cPopupItem>* node = tree_first_node(*items); node; node = tree_next_node(node)) {
        cSize button;
        if (!measure_popup_item(owner, &node->value, icons, font, &button))
            continue;
        if (button.width > total.width)
            total.width = button.width;
        total.height += button.height;
    }
    *size = cSize{total.width + list_frame, total.height};
    return true;
}

int32_t open_popup_with_style(cChildElement* owner, const cPopupItems* items, int32_t x, int32_t y,
                              const cPopupStyle* style)
{
    if (style)
        return open_popup_fitted(owner, items, x, y, style->min_width, style->icons, style->current_id,
                                 style->background, style->text_colour, style->frame, style->font, style->hover_face,
                                 style->hover_text, style->pressed_face, style->pressed_text);
    cSize size;
    if (!measure_popup(owner, items, nullptr, &size, nullptr))
        return -1;
    return open_popup(owner, items, nullptr, x, y, size.width, size.height, -1, 0xFFFFFF, 0, popup_no_colour, nullptr,
                      popup_no_colour, popup_no_colour, popup_no_colour, popup_no_colour);
}

int32_t open_popup_fitted(cChildElement* owner, const cPopupItems* items, int32_t x, int32_t y, int32_t min_width,
                          cImageCache* icons, int32_t current_id, uint32_t background, uint32_t text_colour,
                          uint32_t frame, cFontObject* font, uint32_t hover_face, uint32_t hover_text,
                          uint32_t pressed_face, uint32_t pressed_text)
{
    cSize size;
    if (!measure_popup(owner, items, icons, &size, font))
        return -1;
    int32_t width = size.width > min_width ? size.width : min_width;
    return open_popup(owner, items, icons, x, y, width, size.height, current_id, background, text_colour, frame, font,
                      hover_face, hover_text, pressed_face, pressed_text);
}

int32_t open_popup(cChildElement* owner, const cPopupItems* items, cImageCache* icons, int32_t x, int32_t y,
                   int32_t width, int32_t height, int32_t current_id, uint32_t background, uint32_t text_colour,
                   uint32_t frame, cFontObject* font, uint32_t hover_face, uint32_t hover_text, uint32_t pressed_face,
                   uint32_t pressed_text)
{
    if (!owner || !items || !items->root)
        return -1;
    cSize work{0, 0};
    if (owner->GetWorkArea(&work) && work.width > 0 && work.height > 0) {
        if (x + width > work.width)
            x = width >= work.width ? 0 : work.width - width;
        if (y + height > work.height) {
            int32_t below = work.height - y;
            if (y > below) {
                if (height > y)
                    height = y;
                y -= height;
            } else {
                height = below;
            }
        }
    }
    cPopupStyle style = {0,           icons,          current_id, background,   text_colour, hover_face,
                         hover_text,  pressed_face,   pressed_text, frame == popup_no_colour ? theme_colour(21) : frame,
                         font};
    cPopupMaster* popup = new cPopupMaster(items, style);
    if (!popup)
        return -1;
    // The run owns the popup from here and destroys it.
    return int32_t(owner->RunPopupModal(x, y, width, height + list_frame, popup));
}
