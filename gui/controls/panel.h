#ifndef GUI_CONTROLS_PANEL_H
#define GUI_CONTROLS_PANEL_H

#include <stdint.h>

#include "gui/child_element.h"

// A filled, outlined rectangle with an optional caption (the element's
// text), centred unless placed otherwise: the client area of forms and
// wizard pages. Its background (theme colour 0) is the element's
// background colour, which transparent children show too. UI thread only.
class cPanelChild : public cChildElement {
public:
    cPanelChild();

    void Paint(cCanvas* canvas) override;
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    void InitDefaults() override;

    // Both store without a redraw. A frame colour of 0xFFFFFFFF is the
    // background colour.
    void SetBackgroundColour(uint32_t colour) { cChildElement::SetBackgroundColour(colour); }
    void SetFrameColour(uint32_t colour) { frame_colour = colour; }
    // Placements: 0 near edge, 1 far edge, 2 centred; the offsets move the
    // caption from there. No redraw.
    void SetCaptionPlacement(int32_t horizontal, int32_t vertical, int32_t offset_x, int32_t offset_y);

private:
    void Fill(cCanvas* canvas, int32_t w, int32_t h, uint32_t outline);

    uint32_t frame_colour;
    int32_t vertical_offset;
    int32_t horizontal_offset;
    int32_t horizontal_placement;
    int32_t vertical_placement;
};

#endif
