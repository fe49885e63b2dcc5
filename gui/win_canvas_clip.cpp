#include "gui/win_canvas.h"

// Both clip changes: the rectangle, offset into device coordinates, is cut
// to the canvas and combined into the clip region. An origin beyond the
// right or bottom edge is refused; a rectangle wholly left of or above the
// canvas changes nothing, and so does one of no width or height (GDI would
// turn an inverted rectangle around and change the clip with that). The
// device context is left alone until ApplyClip.
bool cWinCanvas::ChangeClip(const cRect* rect, int mode)
{
    if (!rect || !clip)
        return false;
    int64_t left = int64_t(area.left) + rect->x;
    int64_t top = int64_t(area.top) + rect->y;
    if (left > area.right || top > area.bottom)
        return false;
    int64_t right = left + rect->width;
    int64_t bottom = top + rect->height;
    right = right < area.right ? right : area.right;
    bottom = bottom < area.bottom ? bottom : area.bottom;
    if (right < area.left || bottom < area.top || rect->width <= 0 || rect->height <= 0)
        return true;
    left = left > area.left ? left : area.left;
    top = top > area.top ? top : area.top;
    HRGN change = CreateRectRgn(int32_t(left), int32_t(top), int32_t(right), int32_t(bottom));
    if (!change)
        return false;
    bool combined = CombineRgn(clip, clip, change, mode) != ERROR;
    DeleteObject(change);
    return combined;
}

bool cWinCanvas::ExcludeClipRect(const cRect* rect) { return ChangeClip(rect, RGN_DIFF); }

bool cWinCanvas::IncludeClipRect(const cRect* rect) { return ChangeClip(rect, RGN_OR); }

// A sub-canvas never draws outside what its parent may draw.
bool cWinCanvas::ApplyClip()
{
    if (!dc || !clip)
        return false;
    if (!inherited)
        return SelectClipRgn(dc, clip) != ERROR;
    HRGN combined = CreateRectRgn(0, 0, 0, 0);
    if (!combined)
        return false;
    bool applied = CombineRgn(combined, clip, inherited, RGN_AND) != ERROR && SelectClipRgn(dc, combined) != ERROR;
    DeleteObject(combined);
    return applied;
}

bool cWinCanvas::IsRectVisible(const cRect* rect)
{
    if (!rect || !clip || !update)
        return false;
    int64_t left = int64_t(area.left) + rect->x;
    int64_t top = int64_t(area.top) + rect->y;
    int64_t right = left + rect->width;
    int64_t bottom = top + rect->height;
    RECT cut = {int32_t(left > area.left ? left : area.left), int32_t(top > area.top ? top : area.top),
                int32_t(right < area.right ? right : area.right),
                int32_t(bottom < area.bottom ? bottom : area.bottom)};
    if (cut.left >= cut.right || cut.top >= cut.bottom)
        return false;
    return RectInRegion(clip, &cut) && RectInRegion(update, &cut);
}
