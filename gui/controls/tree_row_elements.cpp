#include "gui/controls/tree_row_elements.h"

#include "gui/theme.h"

namespace {

const uint32_t expand_code = 8;
const uint32_t collapse_code = 9;
const uint32_t numeric_pad_plus = 107;
const uint32_t numeric_pad_minus = 109;

void post_code(cChildElement* element, uint32_t code)
{
    if (cChildElement::cChildAction* action = new cChildElement::cChildAction(code))
        element->PostAction(action);
}

bool is_box(uint32_t state)
{
    return state == cTreeViewControlElement::state_expanded_box || state == cTreeViewControlElement::state_collapsed_box;
}

}  // namespace

void cTreeItemElement::OnChar(wchar_t character, bool shift, bool ctrl, bool alt)
{
    if (character == L'+')
        post_code(this, expand_code);
    else if (character == L'-')
        post_code(this, collapse_code);
    else
        cSelectableElement::OnChar(character, shift, ctrl, alt);
}

void cTreeItemElement::OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (key == numeric_pad_plus)
        post_code(this, expand_code);
    else if (key == numeric_pad_minus)
        post_code(this, collapse_code);
    else
        cSelectableElement::OnKeyDown(key, shift, ctrl, alt);
}

void cTreeViewControlElement::SetState(uint32_t new_state)
{
    if (new_state == state)
        return;
    state = new_state;
    static const uint32_t images[] = {0, 70, 71, 69, 68};
    SetIcon(state == state_none ? nullptr : theme_image(images[state]), true);
    SetCursorShape(is_box(state) ? 3 : 0);
    Redraw(nullptr);
}

void cTreeViewControlElement::OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed)
{
    if (button == 1 && pressed && is_box(state))
        PostAction(nullptr);
    cStaticElement::OnMouseButton(x, y, button, pressed);
}
