#ifndef GUI_CONTROLS_HINT_MASTER_H
#define GUI_CONTROLS_HINT_MASTER_H

#include <stdint.h>

#include "gui/child_element.h"

class cWindowHolder;

// A tooltip: one or more lines of text (split at line feeds) in a small
// popup window that does not take the activation. The tooltip is the
// popup's root element; it belongs to the element that opened it, which
// destroys it to close it. UI thread only.
class cHintMaster : public cChildElement {
public:
    // A colour argument that stands for the theme's tooltip colour.
    static const uint32_t default_colour = 0xFF000000;

    ~cHintMaster() override;

    void Paint(cCanvas* canvas) override;

    // Opens a tooltip for owner at the screen point (null: 2 pixels below
    // the owner's bottom-left corner, 2 to the right), sized to the text in
    // the owner's default font. Null for a null owner or text, an owner
    // without a font or window, a text without width, or a window that
    // could not be made.
    static cHintMaster* Open(cChildElement* owner, const wchar_t* text, const cPoint* at, uint32_t background,
                             uint32_t text_colour);

private:
    cHintMaster(uint32_t fill, uint32_t text, int32_t line);

    cWindowHolder* popup;  // owned; its root is this tooltip
    uint32_t fill_colour;
    uint32_t text_colour;
    int32_t line_height;
};

// The opener the element base calls for an element's hint text (a tooltip
// below the element, in the theme's colours); forms register it.
cChildElement* open_hint_tooltip(cChildElement* owner, const wchar_t* text);

#endif
