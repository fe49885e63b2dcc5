#ifndef GUI_CONTROLS_TOOLBAR_H
#define GUI_CONTROLS_TOOLBAR_H

#include <stdint.h>

#include "base/tree_map.h"
#include "gui/child_element.h"
#include "gui/controls/button.h"
#include "gui/controls/popup_list.h"

class cFontObject;
class cImageCache;

// A horizontal bar of push buttons identified by caller-chosen ids, laid out
// left to right in id order and sized from their captions and images. With
// an overflow mode the buttons that do not fit go into a popup list opened
// by a small "more" button. A click on a button, or the choice of an entry
// of the popup, reaches the owner as a cTbButtonAction with the button's id.
// The toolbar owns its buttons, not the state image caches. UI thread only.
class cToolBarChild : public cChildElement {
public:
    // Code 6; posted by the toolbar to itself, so it travels on to the owner.
    class cTbButtonAction : public cChildAction {
    public:
        explicit cTbButtonAction(int32_t button_id) : cChildAction(6), id(button_id) {}
        int32_t id;
    };

    // 0 none: buttons that do not fit are cut off at the edge; 1 the last
    // buttons stay, after the pinned ones and the more button; 2 the bar is
    // cut at the end.
    enum { overflow_none = 0, overflow_keep_last = 1, overflow_cut_end = 2 };

    cToolBarChild();
    ~cToolBarChild() override;

    void Paint(cCanvas* canvas) override;
    void Layout() override;
    // A left press on the bar itself posts a plain code-7 action.
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void SetTransparent(bool transparent) override;
    void InitDefaults() override;
    // A new button; a subclass may make its own kind. Null on failure.
    virtual cButtonChild* CreateButton();
    // False makes SetButton remove the new button again. Base: true.
    virtual bool OnButtonAdded(int32_t id, cButtonChild* button);

    // Adds the button or changes its caption and image index (an index into
    // the state image caches, -1 none). A null caption with a negative index
    // removes the button. False when a new button could not be added.
    bool SetButton(int32_t id, const wchar_t* caption, int32_t image_index);
    bool RemoveButton(int32_t id);
    // The image indexes stay recorded.
    void RemoveAllButtons(bool redraw);
    // Input on or off for the button (off gives it the disabled look);
    // false for an unknown id.
    bool SetButtonEnabled(int32_t id, bool enabled);
    bool SetButtonsFocusable(bool flag);
    // The images of a visual state (0-4, as the buttons'); not owned.
    void SetStateImageCache(int32_t state, cImageCache* cache);
    void SetOverflowMode(int32_t mode);
    // In mode 1 buttons with an id below the limit always stay at the left.
    void SetPinnedIdLimit(int32_t limit);
    // The width the buttons that are not hidden by id need together.
    int32_t GetTotalButtonsWidth();

protected:
    // How the bar's buttons look; a subclass sets them before adding
    // buttons.
    int32_t fixed_button_width;  // 0: each button measured
    int32_t button_frame_style;  // used with framed buttons
    uint32_t frame_colour;       // the bar's outline with framed buttons
    uint32_t text_colour;
    cFontObject* font;  // null: the default font
    bool framed_buttons;
    bool outline;
    int32_t image_placement;  // 0 image left of the caption, 1 above it (centred)
    int32_t min_button_width;
    uint32_t normal_top_left;  // frame colours of state 0; 0xFFFFFFFF keeps
    uint32_t normal_bottom_right;
    int32_t popup_height_limit;

private:
    // Places the buttons and the more button and lists what overflows.
    void ArrangeButtons();
    // The width a button gets.
    int32_t ButtonWidth(cButtonChild* button, bool measure);
    void PlaceButton(cButtonChild* button, int32_t x, int32_t button_width);
    void AddOverflowEntry(int32_t id, cButtonChild* button, int32_t button_width);
    // Gives the button the caches' images of the index.
    void ApplyImages(cButtonChild* button, int32_t image_index);
    bool IsHiddenId(int32_t id) const { return tree_find_node(hidden_ids, id) != nullptr; }
    void OpenOverflowPopup();
    void StoreOverflowSetting(int32_t* field, int32_t value);

    cTreeMap<int32_t, int32_t> image_indexes;
    cTreeMap<int32_t, cButtonChild*> buttons;  // owned
    cTreeMap<int32_t, uint8_t> hidden_ids;     // never displayed
    cTreeMap<int32_t, cImageCache*> state_caches;
    int32_t pinned_id_limit;
    int32_t overflow_mode;
    cButtonChild more_button;
    bool more_displayed;
    cPopupItems overflow_entries;  // rebuilt by every layout
    int32_t widest_overflow_entry;
    int32_t overflow_entries_height;
    bool buttons_focusable;
};

#endif
