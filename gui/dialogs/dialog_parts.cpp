#include "gui/dialogs/dialog_parts.h"

#include "gui/controls/popup_list.h"
#include "gui/theme.h"

void add_dialog_buttons(cChildElement* form, cToolBarChild* row, cImageCache* cache, const cDialogButton* buttons,
                        int32_t count)
{
    form->AddChild(row, 0, 0, 1, 24);
    row->SetTransparent(true);
    row->SetStateImageCache(0, cache);
    for (int32_t i = 0; i < count; ++i)
        row->SetButton(buttons[i].id, form->LookupString(buttons[i].caption), buttons[i].image);
    int32_t row_width = row->GetTotalButtonsWidth();
    int32_t row_height = theme_metric(7);
    form->AddChild(row, -(theme_metric(9) + row_width), -(1 + theme_metric(8) + row_height), row_width, row_height);
}

void add_dialog_tool_row(cChildElement* form, cToolBarChild* row, cImageCache* cache)
{
    int32_t side = theme_metric(4);
    form->AddChild(row, side, theme_metric(3), -1 - 2 * side, theme_metric(5));
    row->SetTransparent(true);
    row->SetStateImageCache(0, cache);
}

void answer_dialog_button(cCustomForm* form, cToolBarChild* row, cChildElement* sender,
                          cChildElement::cChildAction* action)
{
    if (sender != row || action->code != 6)
        return;
    int32_t id = static_cast<cToolBarChild::cTbButtonAction*>(action)->id;
    if (id == dialog_accept_button)
        form->OnAccept();
    else if (id == dialog_cancel_button)
        form->OnCancel();
}

bool choose_menu_entry(cChildElement* owner, const wchar_t* text, int32_t x, int32_t y)
{
    cPopupItems items(512);
    cPopupItem* entry = tree_get_or_add(items, 1);
    cPoint at{0, 0};
    if (!entry || !owner->GetScreenPosition(&at))
        return false;
    entry->text.Assign(text);
    return open_popup_fitted(owner, &items, at.x + x, at.y + y, 100, nullptr, -1, 0xFFFFFF, 0, popup_no_colour,
                             nullptr, popup_no_colour, popup_no_colour, popup_no_colour, popup_no_colour) == 1;
}
