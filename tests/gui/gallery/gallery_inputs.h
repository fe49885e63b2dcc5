#ifndef TESTS_GUI_GALLERY_GALLERY_INPUTS_H
#define TESTS_GUI_GALLERY_GALLERY_INPUTS_H

#include "gui/controls/combo_box.h"
#include "gui/controls/edit_child.h"
#include "gui/controls/panel.h"
#include "gui/theme.h"

// The text fields and combo boxes of the framework, on a panel of their
// own: a field with text, an empty one showing its cue text, an editable
// combo with an item chosen and a read-only one.
class cGalleryInputs : public cPanelChild {
public:
    static const int32_t width_needed = 390;
    static const int32_t height_needed = 82;

    void OnCreate() override
    {
        SetFrameColour(theme_colour(25));
        SetBackgroundColour(0xFFFFFF);
        AddChild(&filled, 10, 12, 180, 22);
        AddChild(&cued, 200, 12, 180, 22);
        AddChild(&editable, 10, 48, 180, 22);
        AddChild(&fixed, 200, 48, 180, 22);
        filled.SetText(L"Text typed into a field", -1);
        cued.SetCueText(L"A cue while it is empty");
        const wchar_t* const items[] = {L"First item", L"Second item", L"Third item"};
        for (int32_t i = 0; i < 3; ++i) {
            editable.SetItem(i, items[i], 0, -1);
            fixed.SetItem(i, items[i], 0, -1);
        }
        editable.Select(1, false);
        fixed.Select(2, false);
        fixed.SetReadOnly(true);
    }

private:
    cEditChild filled;
    cEditChild cued;
    cComboBoxChild editable;
    cComboBoxChild fixed;
};

#endif
