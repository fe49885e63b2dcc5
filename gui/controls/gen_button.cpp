#include "gui/controls/gen_button.h"

#include "gui/controls/setting.h"

void cGenButtonChild::InitDefaults()
{
    cChildElement::InitDefaults();
    push.Reset();
    selected = false;
}

void cGenButtonChild::OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed)
{
    if (!selected)
        push.MouseButton(this, px, py, button, pressed);
}

void cGenButtonChild::OnMouseEnter()
{
    cChildElement::OnMouseEnter();
    push.SetHover(this, true);
}

void cGenButtonChild::OnMouseLeave()
{
    cChildElement::OnMouseLeave();
    push.SetHover(this, false);
}

void cGenButtonChild::OnKeyDown(uint32_t key, bool, bool, bool)
{
    if (!selected)
        push.KeyDown(this, key);
}

void cGenButtonChild::OnFocusChange(bool, bool)
{
    push.Refresh(this);
}

void cGenButtonChild::OnFocusLost(bool flag1, bool flag2)
{
    OnFocusChange(flag1, flag2);
}

void cGenButtonChild::SetSelected(bool flag, bool redraw)
{
    store_setting(this, &selected, flag, redraw);
}
