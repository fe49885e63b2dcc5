#include "gui/controls/focus_cue.h"

#include "gui/canvas.h"

namespace {

// The frame's pixels that lie on the even squares of a checkerboard whose
// origin is the rectangle's top left corner.
// A line of one pixel: its end point is not drawn.
void dot_if_even(cCanvas* canvas, int32_t x, int32_t y, const cRect& rect)
{
    if ((x - rect.x + y - rect.y) % 2 != 0)
        return;
    cPoint from{x, y}, to{x + 1, y};
    canvas->DrawLine(&from, &to);
}

}  // namespace

void draw_focus_cue(cCanvas* canvas, const cRect& rect, uint32_t colour)
{
    if (rect.width < 2 || rect.height < 2)
        return;
    int32_t right = rect.x + rect.width - 1;
    int32_t bottom = rect.y + rect.height - 1;
    canvas->SetLinePen(colour, 1);
    for (int32_t x = rect.x; x <= right; ++x) {
        dot_if_even(canvas, x, rect.y, rect);
        dot_if_even(canvas, x, bottom, rect);
    }
    for (int32_t y = rect.y + 1; y < bottom; ++y) {
        dot_if_even(canvas, rect.x, y, rect);
        dot_if_even(canvas, right, y, rect);
    }
}
