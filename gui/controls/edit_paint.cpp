#include "gui/canvas.h"
#include "gui/controls/edit_child.h"
#include "gui/theme.h"

// The field's picture: frame, text runs with the selection, cue text and
// caret; and the hit test over the character edges measured while painting.

namespace {

const int32_t text_left = 2;
const int32_t cue_colour_index = 8;
const int32_t selected_text_colour_index = 10;

}  // namespace

int32_t cEditChild::ColourState()
{
    if (!IsVisible())
        return state_inactive;
    if (has_focus)
        return state_focused;
    return hovered ? state_hovered : state_normal;
}

int32_t cEditChild::FrameState()
{
    if (!IsVisible())
        return state_inactive;
    if (hovered)
        return state_hovered;
    return has_focus ? state_focused : state_normal;
}

int32_t cEditChild::Extent(int32_t count) const
{
    if (count <= 0 || positions.Count() == 0)
        return 0;
    if (count > positions.Count())
        count = positions.Count();
    return positions.Data()[count - 1];
}

int32_t cEditChild::HitTest(int32_t px) const
{
    int32_t offset = px - scroll;
    int32_t length = Length();
    if (length > positions.Count())
        length = positions.Count();
    int32_t previous = 0;
    for (int32_t i = 0; i < length; ++i) {
        int32_t edge = positions.Data()[i];
        if (edge > offset)
            return offset - previous <= edge - offset ? i : i + 1;
        previous = edge;
    }
    return Length();
}

void cEditChild::ScrollToCaret(cCanvas* canvas)
{
    auto caret_x = [this, canvas]() {
        cSize size{0, 0};
        canvas->MeasureTextW(buffer.Data(), caret, &size);
        return scroll + 1 + size.width;
    };
    int32_t cx;
    if (caret == 0) {
        scroll = 0;
        cx = 1;
    } else {
        cx = caret_x();
    }
    if (cx > width - 2) {
        scroll -= cx - (width - 2);
        cx = caret_x();
    }
    if (cx < width / 8) {
        int32_t step = 1 - cx > width / 4 ? 1 - cx : width / 4;
        scroll += step;
        if (scroll > 0)
            scroll = 0;
    }
}

void cEditChild::DrawRun(cCanvas* canvas, int32_t from, int32_t to, int32_t y, uint32_t text_colour,
                         uint32_t background)
{
    if (to <= from)
        return;
    canvas->SetTextColours(text_colour, background);
    canvas->DrawTextColoured(scroll + text_left + Extent(from), y, false, buffer.Data() + from, to - from);
}

void cEditChild::Paint(cCanvas* canvas)
{
    if (!font || !cue_font)
        FetchFonts();
    int32_t state = ColourState();
    const cStateColours& look = colours[state];
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, look.background, colours[FrameState()].frame);
    cRect inside{1, 1, width - 2, height - 2};
    canvas->ExcludeClipRect(&all);
    canvas->IncludeClipRect(&inside);
    canvas->ApplyClip();

    int32_t length = Length();
    cSize line{0, 0};
    if (!has_focus && length == 0) {
        if (!cue_text.IsEmpty() && !read_only) {
            canvas->SelectFont(cue_font);
            canvas->MeasureTextW(L"W", 1, &line);
            canvas->SetTextColours(theme_colour(cue_colour_index), look.background);
            canvas->DrawTextColoured(text_left, (height - line.height) / 2, false, cue_text.Text(), -1);
        }
        return;
    }
    canvas->SelectFont(font);
    canvas->MeasureTextW(L"W", 1, &line);
    int32_t y = (height - line.height) / 2;
    ScrollToCaret(canvas);
    positions.Clear();
    if (length > 0)
        canvas->FitTextW(buffer.Data(), length, positions);

    bool selected = HasSelection() && selection_start <= length && selection_end < length &&
                    selection_start <= selection_end;
    if (!selected) {
        DrawRun(canvas, 0, length, y, look.text, look.background);
    } else {
        DrawRun(canvas, 0, selection_start, y, look.text, look.background);
        DrawRun(canvas, selection_start, selection_end + 1, y, theme_colour(selected_text_colour_index),
                has_focus ? selection_focused : selection_unfocused);
        DrawRun(canvas, selection_end + 1, length, y, look.text, look.background);
    }

    if (has_focus && state != state_inactive && (!read_only || caret_when_read_only)) {
        cSize before{0, 0};
        if (caret > 0)
            canvas->MeasureTextW(buffer.Data(), caret, &before);
        cPoint top{scroll + 1 + before.width, y};
        cPoint bottom{top.x, y + line.height};
        canvas->SetLinePen(look.text, 1);
        canvas->DrawLine(&top, &bottom);
    }
}
