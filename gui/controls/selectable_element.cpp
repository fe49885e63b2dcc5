#include "gui/controls/selectable_element.h"

#include <windows.h>

#include "gui/theme.h"

namespace {

const uint32_t activate_code = 7;

// Nothing is posted when the action could not be made.
void post(cChildElement* element, cChildElement::cChildAction* action)
{
    if (action)
        element->PostAction(action);
}

}  // namespace

cSelectableElement::cSelectableElement() : looks(), images(), selected(false), hovered(false) {}

void cSelectableElement::InitDefaults()
{
    looks[look_normal] = cColours{theme_colour(4), theme_colour(14), theme_colour(20)};
    looks[look_hover] = cColours{theme_colour(4), theme_colour(15), theme_colour(22)};
    looks[look_selected] = cColours{theme_colour(9), theme_colour(16), theme_colour(25)};
    for (cImageBuffer*& image : images)
        image = nullptr;
    selected = hovered = false;
    cStaticElement::InitDefaults();
    ShowLook();
}

int32_t cSelectableElement::CurrentLook() const
{
    return selected ? look_selected : hovered ? look_hover : look_normal;
}

void cSelectableElement::ShowLook()
{
    const cColours& look = looks[CurrentLook()];
    SetColours(look.text, look.fill, look.frame);
    cImageBuffer* image = images[look_normal];
    if (hovered && images[look_hover])
        image = images[look_hover];
    if (selected && images[look_selected])
        image = images[look_selected];
    SetIcon(image, true);
}

void cSelectableElement::OnMouseEnter()
{
    cStaticElement::OnMouseEnter();
    hovered = true;
    ShowLook();
}

void cSelectableElement::OnMouseLeave()
{
    cStaticElement::OnMouseLeave();
    hovered = false;
    ShowLook();
}

void cSelectableElement::OnDoubleClick(int32_t, int32_t)
{
    post(this, new cChildAction(activate_code));
}

void cSelectableElement::OnKeyDown(uint32_t key, bool, bool, bool)
{
    if (key == VK_RETURN || key == VK_SPACE)
        post(this, new cChildAction(activate_code));
}

void cSelectableElement::OnFocusGained(int32_t reason, bool flag1, bool flag2)
{
    cStaticElement::OnFocusGained(reason, flag1, flag2);
    selected = true;
    ShowLook();
    // A focus set on purpose (reason 2) comes from Select or from the
    // owner, who knows of it already.
    if (reason != 2)
        post(this, new cSelectableSelectAction(flag1, flag2));
}

void cSelectableElement::OnFocusLost(bool flag1, bool flag2)
{
    cStaticElement::OnFocusLost(flag1, flag2);
    selected = false;
    ShowLook();
}

void cSelectableElement::Select(bool notify)
{
    if (!selected) {
        selected = true;
        ShowLook();
        if (notify)
            post(this, new cSelectableSelectAction(false, false));
    }
    if (notify)
        TakeFocus();
}

void cSelectableElement::SetNormalFillAndFrame(uint32_t fill, uint32_t frame)
{
    looks[look_normal].fill = fill;
    looks[look_normal].frame = frame;
    ShowLook();
}

void cSelectableElement::SetAllTextColours(uint32_t colour)
{
    for (cColours& look : looks)
        look.text = colour;
    ShowLook();
}

void cSelectableElement::SetNormalColours(const cColours& colours)
{
    looks[look_normal] = colours;
    ShowLook();
}

void cSelectableElement::SetImages(cImageBuffer* normal, cImageBuffer* hover, cImageBuffer* selected_image)
{
    images[look_normal] = normal;
    images[look_hover] = hover;
    images[look_selected] = selected_image;
    ShowLook();
}
