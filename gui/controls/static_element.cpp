#include "gui/controls/static_element.h"

#include "gui/canvas.h"
#include "gui/controls/canvas_clip.h"
#include "gui/controls/setting.h"
#include "gui/image_buffer.h"
#include "gui/theme.h"
#include "gui/ui_font.h"

namespace {

// The wake-up of a text posted from another thread.
const uint32_t text_arrived_code = 12;
const double wrapped_line_spacing = 1.2;

// Halfway towards a light grey, for the text of an element whose input is
// off.
uint32_t faded(uint32_t colour)
{
    uint32_t result = 0;
    for (int32_t shift = 0; shift < 24; shift += 8)
        result |= ((((colour >> shift) & 0xFF) + 196) / 2) << shift;
    return result;
}

}  // namespace

void cStaticElement::cPostedText::Swap(cPostedText& other)
{
    text.Swap(other.text);
    int32_t kept_alignment = alignment;
    alignment = other.alignment;
    other.alignment = kept_alignment;
    bool kept_redraw = redraw;
    redraw = other.redraw;
    other.redraw = kept_redraw;
}

cStaticElement::cStaticElement()
    : icon(nullptr), text_colour(0), fill_colour(0), frame_colour(0), font(nullptr), text_mode(0), alignment(0),
      text_indent(0), posted_text(text_arrived_code)
{
}

void cStaticElement::InitDefaults()
{
    cChildElement::InitDefaults();
    text_colour = theme_colour(4);
    fill_colour = theme_colour(14);
    frame_colour = theme_colour(20);
    font = GetDefaultFont();
}

void cStaticElement::SetText(const wchar_t* new_text, int32_t length, bool redraw)
{
    PostText(new_text, length, -1, redraw);
}

void cStaticElement::SetTextEx(const wchar_t* new_text, int32_t new_alignment, bool redraw)
{
    PostText(new_text, -1, new_alignment, redraw);
}

void cStaticElement::PostText(const wchar_t* new_text, int32_t length, int32_t new_alignment, bool redraw)
{
    if (element_on_ui_thread(this)) {
        posted_text.Drop();
        if (new_alignment >= 0)
            alignment = new_alignment;
        cChildElement::SetText(new_text, length, redraw);
        return;
    }
    cPostedText value;
    if (new_text && length < 0)
        value.text.Assign(new_text);
    else if (new_text)
        value.text.AssignN(new_text, length);
    value.alignment = new_alignment;
    value.redraw = redraw;
    posted_text.Post(this, value);
}

bool cStaticElement::HandleAction(cChildElement* sender, cChildAction* action)
{
    cPostedText arrived;
    bool has_value;
    if (!posted_text.Receive(this, sender, action, arrived, &has_value))
        return cChildElement::HandleAction(sender, action);
    if (has_value) {
        if (arrived.alignment >= 0)
            alignment = arrived.alignment;
        text.Swap(arrived.text);
        if (arrived.redraw)
            Redraw(nullptr);
    }
    return true;
}

void cStaticElement::SetIcon(cImageBuffer* image, bool redraw)
{
    store_setting(this, &icon, image, redraw);
}

void cStaticElement::SetAlignment(int32_t new_alignment)
{
    store_setting(this, &alignment, new_alignment, true);
}

void cStaticElement::SetFont(cFontObject* new_font)
{
    store_setting(this, &font, new_font ? new_font : GetDefaultFont(), true);
}

void cStaticElement::SetTextColour(uint32_t colour)
{
    store_setting(this, &text_colour, colour, true);
}

void cStaticElement::SetFillColour(uint32_t colour)
{
    store_setting(this, &fill_colour, colour, true);
}

void cStaticElement::SetFrameColour(uint32_t colour)
{
    store_setting(this, &frame_colour, colour, true);
}

void cStaticElement::SetColours(uint32_t text_colour_value, uint32_t fill, uint32_t frame)
{
    if (text_colour == text_colour_value && fill_colour == fill && frame_colour == frame)
        return;
    text_colour = text_colour_value;
    fill_colour = fill;
    frame_colour = frame;
    Redraw(nullptr);
}

void cStaticElement::SetTextMode(int32_t mode)
{
    store_setting(this, &text_mode, mode, true);
}

void cStaticElement::SetTextIndent(int32_t indent)
{
    store_setting(this, &text_indent, indent, true);
}

cFontObject* cStaticElement::UsedFont()
{
    return font ? font : GetDefaultFont();
}

bool cStaticElement::GetPreferredSize(cSize* size)
{
    if (!size)
        return false;
    cSize preferred{icon ? icon->GetWidth() + 11 : 6, icon ? icon->GetHeight() + 4 : 0};
    cSize measured{0, 0};
    if (!text.IsEmpty() && MeasureText(text.Text(), &measured, UsedFont())) {
        preferred.width += measured.width;
        if (measured.height + 2 > preferred.height)
            preferred.height = measured.height + 2;
    }
    preferred.width += text_indent;
    *size = preferred;
    return true;
}

void cStaticElement::Paint(cCanvas* canvas)
{
    if (!transparent) {
        cRect box{0, 0, width, height};
        canvas->FillRect(&box, fill_colour, frame_colour);
    }
    int32_t text_left = icon ? icon->GetWidth() + 8 : 3;
    if (!text.IsEmpty())
        text_left = PaintText(canvas, text_left);
    if (icon) {
        cPoint at{text_left - icon->GetWidth() - 5, (height - icon->GetHeight() + 1) / 2};
        canvas->DrawImageScaled(&at, icon, nullptr);
    }
}

int32_t cStaticElement::PaintText(cCanvas* canvas, int32_t text_left)
{
    if (cFontObject* used = UsedFont())
        canvas->SelectFont(used);
    canvas->SetTextColours(IsVisible() ? text_colour : faded(text_colour), fill_colour);
    const wchar_t* shown = text.Text();
    if (text_mode == 0) {
        int32_t drawn = canvas->DrawTextLine(text_indent + text_left, 1, width - text_indent - text_left - 2,
                                             height - 2, alignment, transparent, 0, 0, shown, -1, nullptr, false);
        return drawn >= 0 ? drawn - text_indent : text_left;
    }
    if (text_mode == 1) {
        int32_t room = width - text_left - 3;
        // The clip stays for the rest of the painting: an icon left of the
        // text does not show in this mode.
        clip_canvas_to(canvas, cRect{text_left, 1, room, height - 2});
        cSize measured{0, 0};
        canvas->MeasureTextW(shown, -1, &measured);
        int32_t y = (height - measured.height) / 2;
        if (measured.width >= room) {
            canvas->DrawTextColoured(text_left, y, false, shown, -1);
            return text_left;
        }
        int32_t x = text_indent + text_left;
        if (alignment == 1)
            x = text_left + text_indent + (room - measured.width) / 2;
        else if (alignment == 2)
            x = text_left + (room - measured.width) - text_indent;
        canvas->DrawTextColoured(x, y, transparent, shown, -1);
        return text_left;
    }
    if (height > 6 && text_left + 3 < width) {
        cSize used{0, 0};
        canvas->DrawTextWrapped(text_left, 3, width - text_left - 3, height - 6, alignment, shown, &used,
                                transparent, wrapped_line_spacing);
    }
    return text_left;
}

void cLinkElement::InitDefaults()
{
    cStaticElement::InitDefaults();
    SetTextColour(theme_colour(7));
    SetFont(GetFont(5, 13, get_ui_font_face_name(), false, true, false));
}

void cLinkElement::OnMouseButton(int32_t px, int32_t py, int32_t button, bool pressed)
{
    if (button == 1 && !pressed)
        PostAction(nullptr);
    cStaticElement::OnMouseButton(px, py, button, pressed);
}
