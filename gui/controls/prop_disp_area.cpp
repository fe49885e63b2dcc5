#include "gui/controls/prop_disp_area.h"

#include "gui/canvas.h"
#include "gui/controls/canvas_clip.h"
#include "gui/theme.h"
#include "gui/ui_font.h"

namespace {

const int32_t text_margin = 5;
// The texts leave room for the vertical bar whether it shows or not, so
// that showing it does not wrap them again.
const int32_t text_width_reserve = 25;
const int32_t block_gap = 10;

}  // namespace

cPropDispAreaChild::cPropDispAreaChild() : frame_colour(0), fill_colour(0), text_colour(0), text_spacing(0) {}

void cPropDispAreaChild::InitDefaults()
{
    cScrollableElement::InitDefaults();
    frame_colour = theme_colour(44);
    fill_colour = theme_colour(45);
    text_colour = theme_colour(4);
    text_spacing = 0;
}

void cPropDispAreaChild::SetTexts(const wchar_t* title_text, const wchar_t* body_text)
{
    title.Assign(title_text);
    SetText(body_text, -1, true);
}

void cPropDispAreaChild::SetColours(uint32_t frame, uint32_t background, uint32_t text)
{
    frame_colour = frame;
    fill_colour = background;
    text_colour = text;
    Redraw(nullptr);
}

void cPropDispAreaChild::SetTextSpacing(int32_t spacing)
{
    if (spacing >= 0)
        text_spacing = spacing;
}

void cPropDispAreaChild::PaintContent(cCanvas* canvas)
{
    int32_t offset = GetScrollOffsetY();
    int32_t inset = int32_t(border);
    cRect client = GetClientRect();
    clip_canvas_to(canvas, cRect{client.x + inset, client.y + inset, client.width - 2 * inset,
                                 client.height - 2 * inset});
    if (!transparent) {
        cSize content = GetSize();
        cRect fill{0, -offset, content.width, content.height};
        canvas->FillRect(&fill, fill_colour, fill_colour);
    }
    canvas->SetTextColours(text_colour, fill_colour);
    int32_t text_width = width - text_width_reserve;
    int32_t measured = block_gap;
    int32_t title_bottom = 0;
    if (!title.IsEmpty()) {
        canvas->SelectFont(GetFont(6, 13, get_ui_font_face_name(), true, false, false));
        cSize used{0, 0};
        canvas->DrawTextWrapped(text_margin, text_margin - offset, text_width, 0x7FFF, 0, title.Text(), &used,
                                transparent, 0.0);
        title_bottom = used.height + text_spacing;
        measured = title_bottom + block_gap;
    }
    if (!text.IsEmpty()) {
        canvas->SelectFont(GetDefaultFont());
        cSize used{0, 0};
        canvas->DrawTextWrapped(text_margin, title_bottom - offset + text_margin, text_width, 0x7FFFFFFF, 3,
                                text.Text(), &used, transparent, 0.0);
        measured += used.height;
    }
    unclip_canvas(canvas);
    if (measured != GetContentHeight()) {
        if (cPropDispResizeAction* resize = new cPropDispResizeAction(measured))
            PostAction(resize);
    }
    if (!transparent) {
        canvas->SetLinePen(frame_colour, 1);
        const cPoint corners[5] = {{0, 0}, {width - 1, 0}, {width - 1, height - 1}, {0, height - 1}, {0, 0}};
        for (int32_t i = 0; i < 4; ++i)
            canvas->DrawLine(&corners[i], &corners[i + 1]);
    }
}

bool cPropDispAreaChild::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == 6) {
        // The owner hears of it too.
        SetContentHeight(static_cast<cPropDispResizeAction*>(action)->height);
        return false;
    }
    return cScrollableElement::HandleAction(sender, action);
}
