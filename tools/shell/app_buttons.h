#ifndef TOOLS_SHELL_APP_BUTTONS_H
#define TOOLS_SHELL_APP_BUTTONS_H

#include <stdint.h>

#include "gui/controls/gen_button.h"

// The application's flat button (wizard, language form and the other
// forms): a face with a frame and the element's text centred on it in the
// interface face 6 x 14 bold, a dotted frame inside while it holds the
// focus. Hover, press and click come from the generic button; a hidden
// button (or one under a hidden parent) paints greyed.
class cWZIButton : public cGenButtonChild {
public:
    void Paint(cCanvas* canvas) override;
    void InitDefaults() override;

    // Colours 0x00BBGGRR; the highlight is what hover and press blend the
    // face towards.
    void SetColours(uint32_t frame, uint32_t face, uint32_t text, uint32_t highlight);

    // The colours the button paints with in its present state.
    uint32_t FaceColour();
    uint32_t TextColour();

private:
    uint32_t frame_colour;
    uint32_t face_colour;
    uint32_t text_colour;
    uint32_t highlight_colour;
};

// The main window's selectable tab-like button: its text in the interface
// face 6 x 17 on white, a hand cursor unless it is selected. Too small a
// button (37 x 23 or less) paints nothing.
class cWZISelButton : public cGenButtonChild {
public:
    void Paint(cCanvas* canvas) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    void InitDefaults() override;
};

// a * part_a / 255 + b * part_b / 255 for each colour channel, each term
// rounded down.
uint32_t blend_colours(uint32_t a, uint32_t part_a, uint32_t b, uint32_t part_b);

#endif
