#ifndef GUI_CONTROLS_COMBO_BOX_H
#define GUI_CONTROLS_COMBO_BOX_H

#include <stdint.h>

#include "gui/controls/button.h"
#include "gui/controls/edit_child.h"
#include "gui/controls/popup_list.h"

// A text field with a drop button and a list of items to choose from in a
// popup list. It posts plain actions to itself: 6 when the selection changed
// or Enter was pressed in the field, 7 for Escape in the field. The field is
// the Tab stop. UI thread only.
class cComboBoxChild : public cChildElement {
public:
    cComboBoxChild();
    ~cComboBoxChild() override;

    void DispatchMouseButton(int32_t x, int32_t y, int32_t button, bool pressed, bool ctrl, bool shift) override;
    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    int32_t GetText(wchar_t* buffer, int32_t max) override;
    const wchar_t* GetTextPtr() override;
    void TakeFocus() override;
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void InitDefaults() override;
    // Up and Down choose items, also while the drop button holds the focus.
    bool ConsumesArrowKeys() override { return true; }

    // False for a negative id. The selected item's new text shows at once.
    bool SetItem(int32_t id, const wchar_t* item_text, uint32_t data, int32_t image_id);
    // 0 for an unknown id.
    uint32_t GetItemData(int32_t id);
    // A negative id empties the field and selects nothing; else false for an
    // unknown id. With post, a code-6 action follows.
    bool Select(int32_t id, bool post);
    int32_t GetSelection() const { return selection; }
    void SetEditText(const wchar_t* new_text, int32_t length);
    void ClearItems();
    // A read-only field takes no typing; a click anywhere on the combo then
    // opens the list.
    void SetReadOnly(bool flag) { edit.SetReadOnly(flag); }
    // Runs the list under the combo; false when it was dismissed.
    bool OpenList();

private:
    bool SelectNeighbour(bool forward);

    cEditChild edit;
    cButtonChild drop;
    cPopupItems items;
    int32_t selection;
    int32_t max_popup_height;
    bool pressed_inside;
};

#endif
