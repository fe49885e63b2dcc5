#ifndef GUI_CONTROLS_CHECK_BOX_H
#define GUI_CONTROLS_CHECK_BOX_H

#include <stdint.h>

#include "gui/controls/static_element.h"

// A static text whose icon shows a check state. The release of the left
// button on it, or Space, toggles the state and posts a plain code-0 action
// to it (the owner reads IsChecked). The icon also shows the focus and the
// disabled look (input off). UI thread only.
class cCheckBoxChild : public cStaticElement {
public:
    cCheckBoxChild() : checked(false) {}

    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnShownChanged(bool shown) override;
    void OnFocusChange(bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    bool DefaultFocusable() override { return true; }
    bool DefaultTabStop() override { return true; }
    void InitDefaults() override;
    // The theme's check box image for the state, focus and input flag.
    virtual void RefreshIcon();

    // Nothing when unchanged; notify posts the code-0 action.
    void SetChecked(bool flag, bool notify);
    bool IsChecked() const { return checked; }

private:
    void Toggle();

    bool checked;
};

#endif
