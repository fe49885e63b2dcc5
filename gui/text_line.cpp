#include "gui/canvas.h"

#include <wchar.h>

#include "base/buffers/guardchar.h"
#include "base/string_convert.h"

namespace {

// The text, or its leading characters that fit followed by "...", with its
// width. False when not even "..." fits.
bool fit_line(cCanvas* canvas, const wchar_t* text, int32_t length, int32_t available, int32_t text_width,
              _guardchar<wchar_t>& shortened, int32_t* width)
{
    if (text_width <= available) {
        shortened.AssignN(text, length);
        *width = text_width;
        return true;
    }
    cSize ellipsis = {};
    if (!canvas->MeasureTextA("...", 3, &ellipsis) || ellipsis.width > available)
        return false;
    _typebuf<int32_t> extents;
    int32_t kept = 0;
    if (canvas->FitTextW(text, length, extents))
        while (kept < length && extents[kept] + ellipsis.width <= available)
            ++kept;
    shortened.Allocate(kept + 4);
    if (!shortened.Buffer())
        return false;
    wchar_t* out = shortened.Buffer();
    wmemcpy(out, text, size_t(kept));
    wmemcpy(out + kept, L"...", 3);
    *width = (kept > 0 ? extents[kept - 1] : 0) + ellipsis.width;
    return true;
}

}  // namespace

// One line in the box between the margins; see the declaration. The
// vertical centring uses the height of the whole text.
int32_t cCanvas::DrawTextLine(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                              bool transparent, int32_t left_margin, int32_t right_margin, const wchar_t* text,
                              int32_t length, int32_t* drawn_width, bool fill_margins)
{
    if (!text || width < 1 || left_margin < 0 || right_margin < 0 ||
        int64_t(width) <= int64_t(left_margin) + right_margin)
        return -1;
    if (length < 0)
        length = int32_t(wcslen(text));
    cSize measured = {};
    if (!MeasureTextW(text, length, &measured))
        return -1;
    int32_t available = width - left_margin - right_margin;
    _guardchar<wchar_t> shown;
    int32_t shown_width = 0;
    if (!fit_line(this, text, length, available, measured.width, shown, &shown_width))
        return -1;

    int32_t text_x = x + left_margin;
    if (alignment == 1)
        text_x += (available - shown_width) / 2;
    else if (alignment == 2)
        text_x += available - shown_width - 1;
    int32_t text_y = y + (height - measured.height) / 2;
    if (!DrawTextColoured(text_x, text_y, transparent, shown.Text() ? shown.Text() : L"", -1))
        return -1;

    if (fill_margins && !transparent) {
        uint32_t colour = GetBackgroundColour();
        int32_t box_left = x + left_margin;
        int32_t box_right = x + width - right_margin;
        int32_t text_right = text_x + shown_width;
        const cRect strips[4] = {
            {box_left, y, text_x - box_left, height},
            {text_x, y, shown_width, text_y - y},
            {text_x, text_y + measured.height, shown_width, y + height - text_y - measured.height},
            {text_right, y, box_right - text_right, height},
        };
        for (const cRect& strip : strips)
            if (strip.width > 0 && strip.height > 0)
                FillRect(&strip, colour, colour);
    }
    if (drawn_width)
        *drawn_width = shown_width;
    return text_x;
}

// A text that converts to nothing draws nothing and answers 0.
int32_t cCanvas::DrawTextLineUtf8(int32_t x, int32_t y, int32_t width, int32_t height, int32_t alignment,
                                  bool transparent, int32_t left_margin, int32_t right_margin, const char* text,
                                  int32_t length, int32_t* drawn_width, bool fill_margins)
{
    if (!text)
        return -1;
    _guardchar<wchar_t> wide;
    wstr_from_utf8(length, text, wide);
    if (wide.IsEmpty())
        return 0;
    return DrawTextLine(x, y, width, height, alignment, transparent, left_margin, right_margin, wide.Text(), -1,
                        drawn_width, fill_margins);
}
