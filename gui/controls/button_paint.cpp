#include "gui/canvas.h"
#include "gui/controls/button.h"
#include "gui/controls/canvas_clip.h"
#include "gui/controls/focus_cue.h"
#include "gui/image_buffer.h"
#include "gui/theme.h"

// The button's painting and the width measurement of button-like cells.

namespace {

// The focus cue lies inside the frames of every style.
const int32_t focus_cue_inset = 2;

void line(cCanvas* canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    cPoint from{x0, y0};
    cPoint to{x1, y1};
    canvas->DrawLine(&from, &to);
}

// A frame of two colours: top and left lines, then bottom and right ones
// (end points excluded, as lines are drawn).
void two_colour_frame(cCanvas* canvas, int32_t w, int32_t h, uint32_t top_left, uint32_t bottom_right)
{
    canvas->SetLinePen(top_left, 1);
    line(canvas, 0, 0, w, 0);
    line(canvas, 0, 0, 0, h);
    canvas->SetLinePen(bottom_right, 1);
    line(canvas, w - 1, h - 1, 0, h - 1);
    line(canvas, w - 1, h - 1, w - 1, 0);
}

void draw_face(cCanvas* canvas, const cImageBuffer* face, int32_t x, int32_t y, int32_t w, int32_t h)
{
    // DrawImage takes a size below 1 as the image's own size.
    if (face && w >= 1 && h >= 1)
        canvas->DrawImage(x, y, face, w, h);
}

void fill(cCanvas* canvas, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour)
{
    cRect area{x, y, w, h};
    canvas->FillRect(&area, colour, colour);
}

// Halfway towards grey, each channel truncated towards zero.
uint32_t greyed(uint32_t colour)
{
    uint32_t result = 0;
    for (int32_t shift = 0; shift < 24; shift += 8) {
        int32_t channel = int32_t((colour >> shift) & 0xFF);
        result |= uint32_t((channel - 128) / 2 + 128) << shift;
    }
    return result;
}

}  // namespace

void cButtonChild::Paint(cCanvas* canvas)
{
    int32_t state = VisualState();
    if ((state >= 1 && state <= 3) || !transparent)
        PaintFrame(canvas, state);
    PaintCaptionAndImage(canvas, state);
    // The focus shows also under the pointer and while pressed.
    if (HasFocus() && state != 4)
        draw_focus_cue(canvas, cRect{focus_cue_inset, focus_cue_inset, width - 2 * focus_cue_inset,
                                     height - 2 * focus_cue_inset},
                       text_colours[state]);
}

void cButtonChild::PaintFrame(cCanvas* canvas, int32_t state)
{
    int32_t w = width;
    int32_t h = height;
    uint32_t top_left = top_left_colours[state];
    uint32_t bottom_right = bottom_right_colours[state];
    cImageBuffer* face = GetFaceImage(state);
    bool plain_state = state == 0 || state == 4;
    switch (frame_style) {
    case 0: {
        two_colour_frame(canvas, w, h, top_left, bottom_right);
        canvas->SetLinePen(theme_colour(52), 1);
        line(canvas, 1, 1, w - 1, 1);
        line(canvas, 1, 1, 1, h - 1);
        line(canvas, w - 2, h - 2, 1, h - 2);
        line(canvas, w - 2, h - 2, w - 2, 1);
        draw_face(canvas, face, 2, 2, w - 4, h - 4);
        break;
    }
    case 1:
        draw_face(canvas, face, 0, 0, w, h);
        break;
    case 2:
        two_colour_frame(canvas, w, h, bottom_right, bottom_right);
        draw_face(canvas, face, 1, 1, w - 2, h - 2);
        break;
    case 4:
        two_colour_frame(canvas, w, h, top_left, bottom_right);
        if (state == 0)
            fill(canvas, 1, 1, w - 2, h - 2, background_colour);
        else if (state == 4)
            fill(canvas, 1, 1, w - 2, h - 2,
                 disabled_background != 0xFFFFFFFF ? disabled_background : greyed(background_colour));
        else
            draw_face(canvas, face, 1, 1, w - 2, h - 2);
        break;
    case 5:
        if (plain_state) {
            fill(canvas, 0, 0, w, h, background_colour);
            break;
        }
        two_colour_frame(canvas, w, h, top_left, bottom_right);
        draw_face(canvas, face, 1, 1, w - 2, h - 2);
        break;
    case 6:
        fill(canvas, 0, 0, w, h, background_colour);
        break;
    default:
        two_colour_frame(canvas, w, h, top_left, bottom_right);
        draw_face(canvas, face, 1, 1, w - 2, h - 2);
        break;
    }
}

void cButtonChild::PaintCaptionAndImage(cCanvas* canvas, int32_t state)
{
    int32_t w = width;
    int32_t h = height;
    int32_t down = push.pressed ? 1 : 0;
    cImageBuffer* image = GetStateImage(state);
    int32_t image_width = image ? image->GetWidth() : 0;
    int32_t image_height = image ? image->GetHeight() : 0;
    if (frame_style == 6 && image) {
        cPoint at{(w - image_width) / 2, (h - image_height) / 2 + down};
        canvas->DrawImageScaled(&at, image, nullptr);
    }

    cFontObject* caption_font = font ? font : GetDefaultFont();
    if (caption_font)
        canvas->SelectFont(caption_font);
    canvas->SetTextColours(text_colours[state], 0);
    bool has_caption = !caption.IsEmpty();
    cSize measured{0, 0};
    if (has_caption)
        canvas->MeasureTextW(caption.Text(), -1, &measured);
    int32_t left = 3;
    int32_t top = 3;
    if (image_placement == 0) {
        if (image)
            left = image_width + 8;
        if (has_caption)
            top = (h - measured.height) / 2;
    } else if (image_placement == 1 && image) {
        top = image_height + 5;
    }
    int32_t caption_x = -1;
    if (has_caption)
        caption_x = canvas->DrawTextLine(2, top + down, w - 4, measured.height, text_alignment, true, left, 3,
                                         caption.Text(), -1, nullptr, false);

    if (!image || frame_style == 6)
        return;
    cPoint at{0, 0};
    if (image_placement == 0) {
        int32_t caption_left = caption_x >= 0 ? caption_x : w;
        at = cPoint{(caption_left - image_width) / 2, (h - image_height) / 2};
    } else if (image_placement == 1) {
        at.y = has_caption ? 3 : (h - image_height) / 2;
        at.x = text_alignment == 1 ? (w - image_width) / 2 : text_alignment == 2 ? w - 3 - image_width : 3;
    }
    at.y += down;
    clip_canvas_to(canvas, cRect{at.x, 2, image_width, h - 4});
    canvas->DrawImageScaled(&at, image, nullptr);
    unclip_canvas(canvas);
}

int32_t cButtonChild::MeasureWidth(cChildElement* element, const wchar_t* caption_text, const cImageBuffer* image,
                                   int32_t placement, cFontObject* measure_font)
{
    bool has_caption = caption_text && caption_text[0];
    int32_t pad = 5;
    if (image && placement == 0)
        pad = image->GetWidth() + 6 + (has_caption ? 5 : 0);
    cSize measured{0, 0};
    if (element && has_caption)
        element->MeasureText(caption_text, &measured, measure_font ? measure_font : element->GetDefaultFont());
    int32_t result = measured.width + pad + 5;
    if (placement == 1 && image && result < image->GetWidth() + 6)
        result = image->GetWidth() + 6;
    return result;
}
