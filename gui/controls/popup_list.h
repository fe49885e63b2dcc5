#ifndef GUI_CONTROLS_POPUP_LIST_H
#define GUI_CONTROLS_POPUP_LIST_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/owned_list.h"
#include "base/tree_map.h"
#include "gui/controls/button.h"
#include "gui/controls/scrollable_element.h"
#include "gui/image_buffer.h"

class cFontObject;
class cImageCache;

// One entry of a popup list. An item shows when it has a text or an icon in
// the list's icon cache.
struct cPopupItem {
    cPopupItem() : data(0), image_id(-1), height(0) {}

    _guardchar<wchar_t> text;
    _guardchar<wchar_t> hint;
    uint32_t data;     // the caller's word
    int32_t image_id;  // in the icon cache; negative = none
    int32_t height;    // < 1: as the text and icon need
};

// Items by id, shown in ascending id order.
typedef cTreeMap<int32_t, cPopupItem> cPopupItems;

// How a popup list looks; colours 0x00BBGGRR, and 0xFFFFFFFF in the hover and
// pressed colours leaves the button's own.
struct cPopupStyle {
    int32_t min_width;
    cImageCache* icons;  // not owned; null = none
    int32_t current_id;  // its button takes the focus; -1 = none
    uint32_t background;
    uint32_t text_colour;
    uint32_t hover_face;
    uint32_t hover_text;
    uint32_t pressed_face;
    uint32_t pressed_text;
    uint32_t frame;     // 0xFFFFFFFF: theme colour 21
    cFontObject* font;  // null: the owner's default font
};

const uint32_t popup_no_colour = 0xFFFFFFFF;

// Fills the style with the defaults and answers it.
cPopupStyle* init_popup_style(cPopupStyle* style);
// Width (widest button + 2) and height (the sum of the item heights) of a
// list of the items; a null font is the owner's default font. False
// without an owner or any font.
bool measure_popup(cChildElement* owner, const cPopupItems* items, const cImageCache* icons, cSize* size,
                   cFontObject* font);
// The button an item needs: the width of its caption and icon, and its own
// height or the taller of text and icon plus 7. False when the item does not
// show (neither a text nor an icon in the cache) or the owner cannot measure.
bool measure_popup_item(cChildElement* owner, const cPopupItem* item, const cImageCache* icons, cFontObject* font,
                        cSize* size);
// The chosen item's id, or -1 when the list was dismissed, is empty or
// could not be run. The list opens at the screen point (x, y), moved to stay
// inside the work area: left from the right edge, and upward (ending at y)
// when there is more room above than below. Without a style: the owner's
// default font on white, no icons, no current item.
int32_t open_popup_with_style(cChildElement* owner, const cPopupItems* items, int32_t x, int32_t y,
                              const cPopupStyle* style);
// Measures the items and opens a list at least min_width wide.
int32_t open_popup_fitted(cChildElement* owner, const cPopupItems* items, int32_t x, int32_t y, int32_t min_width,
                          cImageCache* icons, int32_t current_id, uint32_t background, uint32_t text_colour,
                          uint32_t frame, cFontObject* font, uint32_t hover_face, uint32_t hover_text,
                          uint32_t pressed_face, uint32_t pressed_text);
int32_t open_popup(cChildElement* owner, const cPopupItems* items, cImageCache* icons, int32_t x, int32_t y,
                   int32_t width, int32_t height, int32_t current_id, uint32_t background, uint32_t text_colour,
                   uint32_t frame, cFontObject* font, uint32_t hover_face, uint32_t hover_text, uint32_t pressed_face,
                   uint32_t pressed_text);

// The modal drop-down list: a scrolling column of buttons, one per item. A
// click on an item ends the run with its id; Escape, a press outside, the
// loss of the focus or of the window's activation end it with -1. It exists
// only for its run, as the root of the popup window.
class cPopupMaster : public cScrollableElement {
public:
    // An item's button in the list.
    class cBtnListItem : public cListItem {
    public:
        cBtnListItem(int32_t item_id, const cPopupItem* record) : id(item_id), item(record) {}

        cButtonChild button;
        int32_t id;
        const cPopupItem* item;
    };

    // Items and the style's icon cache and font are the caller's and must
    // outlive the popup.
    cPopupMaster(const cPopupItems* items, const cPopupStyle& style);
    ~cPopupMaster() override;

    void RestoreFocus() override {}
    void SaveFocus() override {}
    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnCreate() override;
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    void OnWindowDeactivated() override;
    bool DefaultBackBuffer() override { return true; }
    uint32_t DefaultBorder() override { return 1; }
    void InitDefaults() override;
    void PaintContent(cCanvas* canvas) override;

private:
    void Close(intptr_t result);
    cButtonChild* AddButton(int32_t id, const cPopupItem* item, cFontObject* item_font, int32_t top,
                            int32_t button_width, int32_t button_height);

    const cPopupItems* items;
    cPopupStyle look;
    cImageBuffer hover_face;
    cImageBuffer pressed_face;
    cOwnedList buttons;  // cBtnListItem
    bool closed;
};

#endif
