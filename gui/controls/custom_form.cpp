#include "gui/controls/custom_form.h"

#include <windows.h>

#include "gui/canvas.h"
#include "gui/controls/hint_master.h"
#include "gui/image_buffer.h"
#include "gui/request_target.h"
#include "gui/theme.h"
#include "gui/tooltip_opener.h"

namespace {

// The form's start, posted to itself once its window is up.
const uint32_t start_code = 6;
const uint32_t size_grip_image = 85;

cSize image_size(const cImageBuffer* image)
{
    return image ? cSize{image->GetWidth(), image->GetHeight()} : cSize{0, 0};
}

void fill(cCanvas* canvas, int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour_index)
{
    uint32_t colour = theme_colour(colour_index);
    cRect area{x, y, w, h};
    canvas->FillRect(&area, colour, colour);
}

// The image stretched over the band; what it leaves across the band (or
// the whole band without an image) is filled with the colour.
void band(cCanvas* canvas, const cImageBuffer* image, int32_t x, int32_t y, int32_t w, int32_t h,
          bool vertical_band, int32_t colour_index)
{
    if (!image) {
        fill(canvas, x, y, w, h, colour_index);
        return;
    }
    cSize size = image_size(image);
    if (vertical_band) {
        canvas->DrawThemeImage(image, size.width, h, x, y, 0);
        if (size.width < w)
            fill(canvas, x + size.width, y, w - size.width, h, colour_index);
    } else {
        canvas->DrawThemeImage(image, w, size.height, x, y, 0);
        if (size.height < h)
            fill(canvas, x, y + size.height, w, h - size.height, colour_index);
    }
}

}  // namespace

cCustomForm::cCustomForm() : top_band(0), bottom_band(0), frame_flags(0)
{
    // Every window of the program is a form: from the first one on, the
    // elements' hint texts open as tooltips (an opener set before stays).
    if (!get_tooltip_opener())
        set_tooltip_opener(open_hint_tooltip);
}

void cCustomForm::OnCreate()
{
    top_band = theme_metric(0);
    bottom_band = theme_metric(2);
    int32_t side = theme_metric(1);
    AddChild(&client_panel, side, top_band, -2 * side - 1, -bottom_band - top_band - 1);
    client_panel.SetBackgroundColour(theme_colour(0));
    SetBackgroundColour(theme_colour(0));
    PostAction(new cChildAction(start_code));
}

bool cCustomForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == start_code && OnStarted())
        return true;
    return cChildElement::HandleAction(sender, action);
}

bool cCustomForm::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (!shift && !ctrl && !alt) {
        if (key == VK_RETURN && OnAccept())
            return true;
        if (key == VK_ESCAPE && OnCancel())
            return true;
    }
    return cChildElement::DispatchKeyDown(key, shift, ctrl, alt);
}

bool cCustomForm::OnStarted()
{
    return false;
}

bool cCustomForm::OnCancel()
{
    return false;
}

bool cCustomForm::OnAccept()
{
    return false;
}

void cCustomForm::Paint(cCanvas* canvas)
{
    DrawFrame(canvas, 0, 0);
}

bool cCustomForm::PaintBackground(cCanvas* canvas, const cRect* rect)
{
    if (!canvas || !rect)
        return false;
    DrawFrame(canvas, -rect->x, -rect->y);
    return true;
}

void cCustomForm::Layout()
{
    Redraw(nullptr);
}

void cCustomForm::DrawFrame(cCanvas* canvas, int32_t x, int32_t y)
{
    const cImageBuffer* images[8];
    cSize sizes[8];
    for (uint32_t i = 0; i < 8; ++i) {
        images[i] = theme_image(i);
        sizes[i] = image_size(images[i]);
    }
    int32_t w = width;
    int32_t h = height;
    int32_t side = theme_metric(1);
    if (!(frame_flags & frame_no_top)) {
        if (images[0])
            canvas->DrawImage(x, y, images[0], -1, -1);
        if (images[2])
            canvas->DrawImage(x + w - sizes[2].width, y, images[2], -1, -1);
        band(canvas, images[1], x + sizes[0].width, y, w - sizes[0].width - sizes[2].width, top_band, false, 1);
    }
    if (!(frame_flags & frame_no_left)) {
        if (images[5])
            canvas->DrawImage(x, y + h - sizes[5].height, images[5], -1, -1);
        band(canvas, images[3], x, y + sizes[0].height, side, h - sizes[0].height - sizes[5].height, true, 3);
        if (images[7])
            canvas->DrawImage(x + w - sizes[7].width, y + h - sizes[7].height, images[7], -1, -1);
    }
    if (!(frame_flags & frame_no_right)) {
        int32_t right_top = y + sizes[2].height;
        int32_t right_height = h - sizes[2].height - sizes[7].height;
        if (images[4]) {
            canvas->DrawThemeImage(images[4], sizes[4].width, right_height, x + w - sizes[4].width, right_top, 0);
            if (sizes[4].width < side)
                fill(canvas, x + w - side, right_top, side - sizes[4].width, right_height, 3);
        } else {
            fill(canvas, x + w - side, right_top, side, right_height, 3);
        }
        band(canvas, images[6], x + sizes[5].width, y + h - bottom_band, w - sizes[5].width - sizes[7].width,
             bottom_band, false, 2);
    }
    // Only a frame the user can drag shows the grip, over the corner and the
    // end of the bottom band.
    cWindowRequestTarget* target = GetRequestTarget();
    const cImageBuffer* grip = theme_image(size_grip_image);
    if (!(frame_flags & frame_no_left) && grip && target && target->IsResizable()) {
        cPoint at{x + w - grip->GetWidth(), y + h - grip->GetHeight()};
        canvas->DrawImageScaled(&at, grip, nullptr);
    }
}
