#include "gui/controls/check_box.h"

#include "gui/theme.h"

void cCheckBoxChild::InitDefaults()
{
    cStaticElement::InitDefaults();
    checked = false;
    RefreshIcon();
}

void cCheckBoxChild::RefreshIcon()
{
    uint32_t image = IsVisible() ? (HasFocus() ? 32 : 30) : 34;
    SetIcon(theme_image(image + (checked ? 1 : 0)), true);
}

void cCheckBoxChild::SetChecked(bool flag, bool notify)
{
    if (flag == checked)
        return;
    checked = flag;
    RefreshIcon();
    if (notify)
        PostAction(nullptr);
}

void cCheckBoxChild::Toggle()
{
    SetChecked(!checked, true);
}

void cCheckBoxChild::OnMouseButton(int32_t, int32_t, int32_t button, bool pressed)
{
    if (button == 1 && !pressed)
        Toggle();
}

void cCheckBoxChild::OnKeyDown(uint32_t key, bool, bool, bool)
{
    if (key == 32)
        Toggle();
}

void cCheckBoxChild::OnShownChanged(bool)
{
    RefreshIcon();
}

void cCheckBoxChild::OnFocusChange(bool, bool)
{
    RefreshIcon();
}

void cCheckBoxChild::OnFocusLost(bool, bool)
{
    RefreshIcon();
}
