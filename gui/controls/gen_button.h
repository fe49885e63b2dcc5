#ifndef GUI_CONTROLS_GEN_BUTTON_H
#define GUI_CONTROLS_GEN_BUTTON_H

#include <stdint.h>

#include "gui/child_element.h"
#include "gui/controls/push_state.h"

// The base of buttons that paint themselves: the push button's hover,
// press and click behaviour (a click posts a plain code-0 action to the
// button) and a selected state, during which mouse buttons and Enter or
// Space are ignored. It paints nothing; subclasses read the three flags.
// UI thread only.
class cGenButtonChild : public cChildElement {
public:
    cGenButtonChild() : selected(false) {}

    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnFocusChange(bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    bool DefaultTabStop() override { return true; }
    bool DefaultRepaintOnResize() override { return true; }
    void InitDefaults() override;

    void SetSelected(bool flag, bool redraw);
    bool IsSelected() const { return selected; }
    bool IsHovered() const { return push.hover; }
    bool IsPressed() const { return push.pressed; }

private:
    cPushState push;
    bool selected;
};

#endif
