#include "gui/controls/panel.h"

#include "gui/canvas.h"
#include "gui/theme.h"

namespace {

const uint32_t same_as_background = 0xFFFFFFFF;

// Where a caption of a length starts in an extent.
int32_t caption_start(int32_t placement, int32_t offset, int32_t extent, int32_t length)
{
    if (placement == 0)
        return offset;
    if (placement == 1)
        return extent - offset - length;
    return (extent - length) / 2 + offset;
}

}  // namespace

cPanelChild::cPanelChild()
    : frame_colour(same_as_background), vertical_offset(0), horizontal_offset(0), horizontal_placement(2),
      vertical_placement(2)
{
}

void cPanelChild::InitDefaults()
{
    cChildElement::InitDefaults();
    cChildElement::SetBackgroundColour(theme_colour(0));
    frame_colour = same_as_background;
    vertical_offset = horizontal_offset = 0;
    horizontal_placement = vertical_placement = 2;
}

void cPanelChild::SetCaptionPlacement(int32_t horizontal, int32_t vertical, int32_t offset_x, int32_t offset_y)
{
    horizontal_placement = horizontal;
    vertical_placement = vertical;
    horizontal_offset = offset_x;
    vertical_offset = offset_y;
}

void cPanelChild::Fill(cCanvas* canvas, int32_t w, int32_t h, uint32_t outline)
{
    cRect area{0, 0, w, h};
    canvas->FillRect(&area, GetBackgroundColour(), outline);
}

void cPanelChild::Paint(cCanvas* canvas)
{
    Fill(canvas, width, height, frame_colour == same_as_background ? GetBackgroundColour() : frame_colour);
    if (text.IsEmpty())
        return;
    if (cFontObject* font = GetDefaultFont())
        canvas->SelectFont(font);
    cSize measured{0, 0};
    canvas->MeasureTextW(text.Text(), -1, &measured);
    int32_t x = caption_start(horizontal_placement, horizontal_offset, width, measured.width);
    int32_t y = caption_start(vertical_placement, vertical_offset, height, measured.height);
    canvas->SetTextColours(theme_colour(4), GetBackgroundColour());
    canvas->DrawTextColoured(x, y, false, text.Text(), -1);
}

bool cPanelChild::PaintBackground(cCanvas* canvas, const cRect*)
{
    Fill(canvas, canvas->GetWidth(), canvas->GetHeight(), GetBackgroundColour());
    return true;
}
