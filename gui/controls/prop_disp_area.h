#ifndef GUI_CONTROLS_PROP_DISP_AREA_H
#define GUI_CONTROLS_PROP_DISP_AREA_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/controls/scrollable_element.h"

// A framed, scrolling box that shows a bold title over a justified body
// text, both wrapped. The body is the element's text. It measures its
// content while it paints; a changed content height reaches the area on its
// next drain, which takes it as its own (the scroll bar follows) and lets
// the cPropDispResizeAction go on to its owner. UI thread only.
class cPropDispAreaChild : public cScrollableElement {
public:
    class cPropDispResizeAction : public cChildAction {
    public:
        explicit cPropDispResizeAction(int32_t content_height) : cChildAction(6), height(content_height) {}
        int32_t height;
    };

    cPropDispAreaChild();

    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    bool DefaultBackBuffer() override { return true; }
    uint32_t DefaultBorder() override { return 1; }
    void InitDefaults() override;
    void PaintContent(cCanvas* canvas) override;

    // Either text may be null (empty).
    void SetTexts(const wchar_t* title_text, const wchar_t* body_text);
    void SetColours(uint32_t frame, uint32_t background, uint32_t text);
    // The extra gap between title and body; a negative one is ignored.
    void SetTextSpacing(int32_t spacing);

private:
    _guardchar<wchar_t> title;
    uint32_t frame_colour;
    uint32_t fill_colour;
    uint32_t text_colour;
    int32_t text_spacing;
};

#endif
