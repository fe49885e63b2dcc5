#ifndef GUI_CONTROLS_TREE_ROW_ELEMENTS_H
#define GUI_CONTROLS_TREE_ROW_ELEMENTS_H

#include <stdint.h>

#include "gui/controls/selectable_element.h"
#include "gui/controls/static_element.h"

// The two elements of a tree view's row. UI thread only.

// The label: a selectable text that also asks to expand ("+" or the
// numeric pad's plus: a plain code-8 action) and to collapse ("-" or the
// numeric pad's minus: code 9) its item.
class cTreeItemElement : public cSelectableElement {
public:
    void OnChar(wchar_t character, bool shift, bool ctrl, bool alt) override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
};

// Left of the label: the tree line, or the box that expands or collapses the
// item; a left press on a box posts a plain code-0 action.
class cTreeViewControlElement : public cStaticElement {
public:
    enum {
        state_none,
        state_line_to_sibling,
        state_line_of_last,
        state_expanded_box,
        state_collapsed_box,
    };

    cTreeViewControlElement() : state(state_none) {}

    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;

    uint32_t GetState() const { return state; }
    // The state's theme image, and the hand cursor over a box.
    void SetState(uint32_t new_state);

private:
    uint32_t state;
};

#endif
