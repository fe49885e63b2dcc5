#include "gui/controls/button.h"

#include "gui/controls/setting.h"
#include "gui/theme.h"

// The button's state, setters and input; its painting is in button_paint.cpp.

namespace {

const uint32_t keep_colour = 0xFFFFFFFF;

}  // namespace

cButtonChild::cButtonChild()
    : font(nullptr), text_alignment(0), disabled_background(keep_colour), frame_style(0), image_placement(0),
      preferred_width(-1), face_images(512)
{
    for (int32_t state = 0; state < state_count; ++state)
        text_colours[state] = top_left_colours[state] = bottom_right_colours[state] = 0;
}

cButtonChild::~cButtonChild() {}

void cButtonChild::InitDefaults()
{
    cChildElement::InitDefaults();
    font = GetDefaultFont();
    text_alignment = 0;
    push.Reset();
    disabled_background = keep_colour;
    static const int32_t top_left[state_count] = {53, 55, 57, 57, 59};
    static const int32_t bottom_right[state_count] = {54, 56, 58, 58, 60};
    for (int32_t state = 0; state < state_count; ++state) {
        text_colours[state] = theme_colour(state == 4 ? 5 : 4);
        top_left_colours[state] = theme_colour(top_left[state]);
        bottom_right_colours[state] = theme_colour(bottom_right[state]);
    }
    frame_style = 0;
    image_placement = 0;
    preferred_width = -1;
}

const wchar_t* cButtonChild::GetTextPtr()
{
    return caption.IsEmpty() ? nullptr : caption.Text();
}

int32_t cButtonChild::VisualState()
{
    if (!IsVisible())
        return 4;
    if (push.pressed)
        return 3;
    if (push.hover)
        return 2;
    return HasFocus() ? 1 : 0;
}

void cButtonChild::OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed)
{
    push.MouseButton(this, px, py, button, pressed);
}

void cButtonChild::OnMouseEnter()
{
    cChildElement::OnMouseEnter();
    push.SetHover(this, true);
}

void cButtonChild::OnMouseLeave()
{
    cChildElement::OnMouseLeave();
    push.SetHover(this, false);
}

void cButtonChild::OnKeyDown(uint32_t key, bool, bool, bool)
{
    push.KeyDown(this, key);
}

void cButtonChild::OnFocusChange(bool, bool)
{
    push.Refresh(this);
}

void cButtonChild::OnFocusLost(bool flag1, bool flag2)
{
    OnFocusChange(flag1, flag2);
}

void cButtonChild::SetCaption(const wchar_t* text)
{
    caption.Assign(text);
    preferred_width = -1;
    Redraw(nullptr);
}

void cButtonChild::SetFont(cFontObject* new_font)
{
    if (new_font == font)
        return;
    font = new_font;
    preferred_width = -1;
    Redraw(nullptr);
}

void cButtonChild::SetTextAlignment(int32_t alignment, bool redraw)
{
    store_setting(this, &text_alignment, alignment, redraw);
}

void cButtonChild::SetImagePlacement(int32_t placement, bool redraw)
{
    if (store_setting(this, &image_placement, placement, redraw))
        preferred_width = -1;
}

void cButtonChild::SetFrameStyle(int32_t style, bool redraw)
{
    store_setting(this, &frame_style, style, redraw);
}

void cButtonChild::SetBackgroundColour(uint32_t colour, bool redraw)
{
    store_setting(this, &background_colour, colour & 0xFFFFFF, redraw);
}

void cButtonChild::SetTextColour(uint32_t colour, bool redraw)
{
    if (colour == text_colours[0])
        return;
    for (int32_t state = 0; state < 4; ++state)
        text_colours[state] = colour;
    if (redraw)
        Redraw(nullptr);
}

void cButtonChild::SetStateColour(int32_t state, uint32_t colour, bool redraw)
{
    if (state >= 0 && state < state_count)
        store_setting(this, &text_colours[state], colour, redraw);
}

void cButtonChild::SetInactiveTextColour(uint32_t colour, bool redraw)
{
    SetStateColour(4, colour, redraw);
}

void cButtonChild::SetStateFrameColours(int32_t state, uint32_t top_left, uint32_t bottom_right)
{
    if (state < 0 || state >= state_count)
        return;
    if (top_left != keep_colour)
        top_left_colours[state] = top_left;
    if (bottom_right != keep_colour)
        bottom_right_colours[state] = bottom_right;
}

cImageRef* cButtonChild::GetStateImageSlot(int32_t state)
{
    switch (state) {
    case 1:
    case 2:
        return &state_images[1];
    case 3:
        return &state_images[2];
    case 4:
        return &state_images[3];
    default:
        return &state_images[0];
    }
}

cImageBuffer* cButtonChild::GetStateImage(int32_t state)
{
    cImageBuffer* normal = state_images[0].Get();
    cImageBuffer* hover = state_images[1].Get();
    switch (state) {
    case 1:
    case 2:
        return hover ? hover : normal;
    case 3:
        if (cImageBuffer* pressed = state_images[2].Get())
            return pressed;
        return hover ? hover : normal;
    case 4:
        if (cImageBuffer* disabled = state_images[3].Get())
            return disabled;
        return normal;
    default:
        return normal;
    }
}

void cButtonChild::SetFaceImage(int32_t state, cImageBuffer* image)
{
    if (cImageBuffer** slot = tree_get_or_add(face_images, state))
        *slot = image;
}

cImageBuffer* cButtonChild::GetFaceImage(int32_t state)
{
    cImageBuffer** own = tree_find_value(face_images, state);
    if (own && *own)
        return *own;
    return state >= 0 && state < state_count ? theme_image(uint32_t(23 + state)) : nullptr;
}

int32_t cButtonChild::GetPreferredWidth()
{
    if (preferred_width < 0)
        preferred_width = MeasureWidth(this, caption.Text(), state_images[0].Get(), image_placement, font);
    return preferred_width;
}
