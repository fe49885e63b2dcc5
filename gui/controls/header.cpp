#include "gui/controls/header.h"

#include <stdint.h>
#include <wchar.h>

#include "gui/theme.h"

cHeaderChild::cHeaderChild() : buttons(512) {}

cHeaderChild::~cHeaderChild()
{
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node))
        delete node->value;
    tree_clear(buttons);
}

void cHeaderChild::InitDefaults()
{
    cSplitterChild::InitDefaults();
    int32_t row = theme_metric(23);
    SetMinSize(1, row);
    SetMaxSize(INT32_MAX, row);
    SetProportional(false);
    InsertChild(&filler, width, 0, 1, 1, 0);
    filler.SetFrameStyle(3, true);
    // Painted greyed, and deaf to the mouse.
    filler.Hide(true);
}

bool cHeaderChild::SetColumn(int32_t id, const wchar_t* title, int32_t column_width, int32_t alignment)
{
    cButtonChild* button = GetColumnButton(id);
    if (!button) {
        cButtonChild** slot = tree_get_or_add(buttons, id);
        button = slot ? new cButtonChild : nullptr;
        if (button)
            *slot = button;
        if (!button || !AddPane(id, button, column_width)) {
            tree_erase_node(buttons, tree_find_node(buttons, id));
            delete button;
            return false;
        }
        button->SetFrameStyle(3, true);
        button->SetFocusable(false);
    }
    const wchar_t* caption = button->GetTextPtr();
    if (title && wcscmp(title, caption ? caption : L"") != 0)
        button->SetCaption(title);
    if (button->GetTextAlignment() != alignment)
        button->SetTextAlignment(alignment, true);
    SetPaneWidth(id, column_width);
    return true;
}

int32_t cHeaderChild::GetColumnWidth(int32_t id)
{
    cButtonChild* button = GetColumnButton(id);
    return button ? button->GetWidth() : 0;
}

void cHeaderChild::SetWidth(int32_t header_width)
{
    SetContentWidth(header_width, &filler);
}

cButtonChild* cHeaderChild::GetColumnButton(int32_t id)
{
    cButtonChild** button = tree_find_value(buttons, id);
    return button ? *button : nullptr;
}

bool cHeaderChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (action->code != 0)
        return false;
    for (cTreeNode<int32_t, cButtonChild*>* node = tree_first_node(buttons); node; node = tree_next_node(node)) {
        if (node->value == sender) {
            PostAction(new cColumnClickAction(node->key));
            return true;
        }
    }
    return false;
}
