#ifndef GUI_CONTROLS_BUTTON_H
#define GUI_CONTROLS_BUTTON_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/tree_map.h"
#include "gui/child_element.h"
#include "gui/controls/push_state.h"
#include "gui/image_cache.h"

class cFontObject;
struct cImageBuffer;

// The framework's painted push button: a caption, an optional image per
// visual state, a face of theme images in one of seven frame styles, and a
// click reported as a plain code-0 action posted to itself. Visual states:
// 0 normal, 1 focused, 2 hover, 3 pressed, 4 disabled (its input is off,
// IsVisible false). Setters with a redraw flag redraw only when the value
// changed and the flag asks for it. UI thread only.
class cButtonChild : public cChildElement {
public:
    enum { state_count = 5 };

    cButtonChild();
    ~cButtonChild() override;

    // The caption.
    const wchar_t* GetTextPtr() override;
    void Paint(cCanvas* canvas) override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnFocusChange(bool flag1, bool flag2) override;
    void OnFocusLost(bool flag1, bool flag2) override;
    bool DefaultBackBuffer() override { return true; }
    bool DefaultTabStop() override { return true; }
    bool DefaultRepaintOnResize() override { return true; }
    void InitDefaults() override;

    void SetCaption(const wchar_t* text);
    void SetFont(cFontObject* new_font);
    // 0 left, 1 centre, 2 right; also places an image above the caption.
    void SetTextAlignment(int32_t alignment, bool redraw);
    int32_t GetTextAlignment() const { return text_alignment; }
    // 0 image left of the caption, 1 above it.
    void SetImagePlacement(int32_t placement, bool redraw);
    // 0 double frame, 1 face only, 2 single frame, 3 two-colour frame, 4 and
    // 5 filled with the background colour in the normal and disabled
    // states, 6 flat.
    void SetFrameStyle(int32_t style, bool redraw);
    void SetBackgroundColour(uint32_t colour, bool redraw);
    // The text colour of states 0 to 3.
    void SetTextColour(uint32_t colour, bool redraw);
    void SetStateColour(int32_t state, uint32_t colour, bool redraw);
    void SetInactiveTextColour(uint32_t colour, bool redraw);
    // Ignored for a state of 5 or more; 0xFFFFFFFF keeps that colour. No
    // redraw.
    void SetStateFrameColours(int32_t state, uint32_t top_left, uint32_t bottom_right);
    // The slot whose image the state shows (1 and 2 share the hover slot);
    // the caller fills it.
    cImageRef* GetStateImageSlot(int32_t state);
    // What a state draws: its own slot's image, else the one it falls back
    // to (pressed to hover to normal, the others to normal); null for none.
    cImageBuffer* GetStateImage(int32_t state);
    // A face image (not owned) in place of the theme's for the state.
    void SetFaceImage(int32_t state, cImageBuffer* image);
    cImageBuffer* GetFaceImage(int32_t state);
    int32_t GetPreferredWidth();
    // The width a button-like cell needs for the caption and the image
    // (either may be null); a null font is the element's default font, a
    // null element measures no text.
    static int32_t MeasureWidth(cChildElement* element, const wchar_t* caption, const cImageBuffer* image,
                                int32_t placement, cFontObject* font);

private:
    int32_t VisualState();
    void PaintFrame(cCanvas* canvas, int32_t state);
    void PaintCaptionAndImage(cCanvas* canvas, int32_t state);

    cImageRef state_images[4];  // normal, hover, pressed, disabled
    cFontObject* font;
    int32_t text_alignment;
    _guardchar<wchar_t> caption;
    cPushState push;
    uint32_t disabled_background;  // 0xFFFFFFFF: derived from the background
    uint32_t text_colours[state_count];
    uint32_t top_left_colours[state_count];
    uint32_t bottom_right_colours[state_count];
    int32_t frame_style;
    int32_t image_placement;
    int32_t preferred_width;  // -1: measure again
    cTreeMap<int32_t, cImageBuffer*> face_images;
};

#endif
