#include "gui/controls/canvas_clip.h"

#include "gui/canvas.h"

void clip_canvas_to(cCanvas* canvas, const cRect& keep)
{
    int32_t width = canvas->GetWidth();
    int32_t height = canvas->GetHeight();
    const cRect strips[4] = {
        {0, 0, width, keep.y},
        {0, keep.y + keep.height, width, height - keep.y - keep.height},
        {0, 0, keep.x, height},
        {keep.x + keep.width, 0, width - keep.x - keep.width, height},
    };
    for (const cRect& strip : strips)
        canvas->ExcludeClipRect(&strip);
    canvas->ApplyClip();
}

void unclip_canvas(cCanvas* canvas)
{
    cRect whole{0, 0, canvas->GetWidth(), canvas->GetHeight()};
    canvas->IncludeClipRect(&whole);
    canvas->ApplyClip();
}
