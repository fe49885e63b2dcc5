#include "tools/shell/app_buttons.h"

#include "gui/canvas.h"
#include "gui/controls/canvas_clip.h"
#include "gui/controls/focus_cue.h"
#include "gui/ui_font.h"

namespace {

const uint32_t white = 0xFFFFFF;
// The focus cue, inside the frame.
const int32_t focus_cue_inset = 3;

// Text centred on the element, clipped to it.
void draw_centred_text(cCanvas* canvas, cChildElement* element, const wchar_t* text, uint32_t colour)
{
    if (!text || !text[0])
        return;
    canvas->SetTextColours(colour, 0);
    cSize size{0, 0};
    canvas->MeasureTextW(text, -1, &size);
    clip_canvas_to(canvas, cRect{0, 0, element->GetWidth(), element->GetHeight()});
    canvas->DrawTextColoured((element->GetWidth() - size.width) / 2, (element->GetHeight() - size.height) / 2, true,
                             text, -1);
    unclip_canvas(canvas);
}

}  // namespace

uint32_t blend_colours(uint32_t a, uint32_t part_a, uint32_t b, uint32_t part_b)
{
    uint32_t result = 0;
    for (uint32_t shift = 0; shift < 24; shift += 8)
        result |= (((a >> shift) & 0xFF) * part_a / 255 + ((b >> shift) & 0xFF) * part_b / 255) << shift;
    return result;
}

void cWZIButton::InitDefaults()
{
    cGenButtonChild::InitDefaults();
    SetColours(0xA79997, 0xE7E7E7, 0x655654, 0xFFFFFF);
}

void cWZIButton::SetColours(uint32_t frame, uint32_t face, uint32_t text, uint32_t highlight)
{
    frame_colour = frame;
    face_colour = face;
    text_colour = text;
    highlight_colour = highlight;
}

uint32_t cWZIButton::FaceColour()
{
    if (!IsVisible() || (IsHovered() && !IsPressed()))
        return blend_colours(face_colour, 159, highlight_colour, 96);
    if (IsPressed())
        return blend_colours(face_colour, 63, highlight_colour, 192);
    return face_colour;
}

uint32_t cWZIButton::TextColour()
{
    return IsVisible() ? text_colour : blend_colours(text_colour, 127, face_colour, 128);
}

void cWZIButton::Paint(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, FaceColour(), frame_colour);
    canvas->SelectFontBy(6, 14, get_ui_font_face_name(), true, false, false);
    draw_centred_text(canvas, this, GetTextPtr(), TextColour());
    if (HasFocus() && IsVisible())
        draw_focus_cue(canvas, cRect{focus_cue_inset, focus_cue_inset, width - 2 * focus_cue_inset,
                                     height - 2 * focus_cue_inset},
                       TextColour());
}

void cWZISelButton::InitDefaults()
{
    cGenButtonChild::InitDefaults();
    SetCursorShape(3);
}

void cWZISelButton::OnMouseMove(int32_t x, int32_t y)
{
    uint32_t shape = IsSelected() ? 0 : 3;
    SetCursorShape(shape);
    SetCursor(shape);
    cGenButtonChild::OnMouseMove(x, y);
}

void cWZISelButton::Paint(cCanvas* canvas)
{
    if (width <= 37 || height <= 23)
        return;
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, white, 0xEBEBEB);
    if (!canvas->SelectFontBy(6, 17, get_ui_font_face_name(), false, false, false))
        canvas->SelectFontBy(5, 13, get_ui_font_face_name(), false, false, false);
    uint32_t colour = IsSelected() ? 0x5C5CDA : IsHovered() || IsPressed() ? 0xA29389 : 0x9A8A7E;
    draw_centred_text(canvas, this, GetTextPtr(), colour);
}
