#include "gui/controls/push_state.h"

#include "gui/child_element.h"

void cPushState::MouseButton(cChildElement* button, int32_t x, int32_t y, int32_t which, bool down)
{
    if (!button->IsVisible() || which != 1)
        return;
    if (down) {
        pressed = true;
        button->Redraw(nullptr);
        button->StartMouseCapture(false);
        return;
    }
    if (!pressed)
        return;
    pressed = false;
    button->Redraw(nullptr);
    button->StopMouseCapture();
    if (button->ContainsPoint(x, y))
        button->PostAction(nullptr);
}

void cPushState::KeyDown(cChildElement* button, uint32_t key)
{
    if (!button->IsVisible() || (key != 13 && key != 32))
        return;
    pressed = true;
    button->Redraw(nullptr);
    button->PostAction(nullptr);
    pressed = false;
    button->Redraw(nullptr);
}

void cPushState::SetHover(cChildElement* button, bool over)
{
    hover = over;
    Refresh(button);
}

void cPushState::Refresh(cChildElement* button)
{
    if (button->IsVisible())
        button->Redraw(nullptr);
}
