#include "gui/child_element.h"
#include "gui/tooltip_opener.h"

// The base behaviour of the hooks and defaults that classes override.

void cChildElement::OnCreate() {}
void cChildElement::Paint(cCanvas*) {}
bool cChildElement::PaintBackground(cCanvas*, const cRect*) { return false; }
void cChildElement::Layout() {}
void cChildElement::OnMouseButton(int32_t, int32_t, int32_t, bool) {}
bool cChildElement::OnMouseWheel(int32_t, int32_t, bool, bool, int32_t) { return false; }
void cChildElement::OnChar(wchar_t, bool, bool, bool) {}
void cChildElement::OnKeyDown(uint32_t, bool, bool, bool) {}
bool cChildElement::CanClose() { return true; }
void cChildElement::OnShownChanged(bool) {}
void cChildElement::OnFocusChange(bool, bool) {}
void cChildElement::OnFocusLost(bool, bool) {}
void cChildElement::OnFocusReleased(cChildElement*, bool, bool) {}
bool cChildElement::DefaultBackBuffer() { return false; }
bool cChildElement::DefaultTabStop() { return false; }
bool cChildElement::DefaultRepaintOnResize() { return false; }
bool cChildElement::ConsumesArrowKeys() { return false; }
bool cChildElement::DefaultFocusable() { return true; }
bool cChildElement::DefaultArrowWrap() { return false; }
uint32_t cChildElement::DefaultBorder() { return 0; }
const wchar_t* cChildElement::GetStringSection() { return nullptr; }
uint32_t cChildElement::DefaultCursor() { return 0; }
void cChildElement::OnWindowDeactivated() {}

namespace {

cTooltipOpener tooltip_opener = nullptr;

}  // namespace

void set_tooltip_opener(cTooltipOpener opener)
{
    tooltip_opener = opener;
}

cTooltipOpener get_tooltip_opener()
{
    return tooltip_opener;
}

// The new tooltip replaces the open one only once it is open.
void cChildElement::OpenTooltip()
{
    if (hint_text.IsEmpty() || !tooltip_opener)
        return;
    cChildElement* opened = tooltip_opener(this, hint_text.Text());
    if (!opened)
        return;
    delete tooltip;
    tooltip = opened;
}

void cChildElement::OnMouseEnter()
{
    OpenTooltip();
}

void cChildElement::OnMouseMove(int32_t, int32_t)
{
    if (!tooltip)
        OpenTooltip();
}

void cChildElement::OnMouseLeave()
{
    delete tooltip;
    tooltip = nullptr;
}

void cChildElement::OnDoubleClick(int32_t px, int32_t py)
{
    if (!posts_double_clicks)
        return;
    cChildAction* action = new cDoubleClickAction(px, py);
    if (action)
        PostAction(action);
}

void cChildElement::OnFocusGained(int32_t, bool flag1, bool flag2)
{
    OnFocusChange(flag1, flag2);
}

bool cChildElement::IsEnabled()
{
    return tab_stop && focusable;
}

void cChildElement::SetEnabled(bool enabled)
{
    tab_stop = enabled;
}

bool cChildElement::WantsArrowKeys()
{
    return arrow_focus;
}

void cChildElement::SetWantsArrowKeys(bool wants)
{
    arrow_focus = wants;
}
