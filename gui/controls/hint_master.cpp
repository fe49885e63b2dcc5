#include "gui/controls/hint_master.h"

#include <wchar.h>

#include "base/buffers/guardchar.h"
#include "gui/canvas.h"
#include "gui/theme.h"
#include "gui/window_maker.h"

namespace {

const int32_t text_left = 4;
const int32_t text_top = 2;

// The length of the line at line (up to the next line feed); the start of
// the next line, or null after the last one.
const wchar_t* split_line(const wchar_t* line, int32_t* length)
{
    const wchar_t* end = wcschr(line, L'\n');
    *length = end ? int32_t(end - line) : int32_t(wcslen(line));
    return end ? end + 1 : nullptr;
}

uint32_t colour_or_theme(uint32_t colour, int32_t theme_index)
{
    return colour == cHintMaster::default_colour ? theme_colour(theme_index) : colour;
}

}  // namespace

cHintMaster::cHintMaster(uint32_t fill, uint32_t text, int32_t line)
    : popup(nullptr), fill_colour(fill), text_colour(text), line_height(line)
{
}

cHintMaster::~cHintMaster()
{
    // The window goes first; this element, its root, is being destroyed.
    if (popup)
        popup->Release(true);
}

cHintMaster* cHintMaster::Open(cChildElement* owner, const wchar_t* text, const cPoint* at, uint32_t background,
                               uint32_t text_colour)
{
    // Without a window nobody would take the tooltip over.
    if (!owner || !text || !owner->GetRequestTarget())
        return nullptr;
    cFontObject* font = owner->GetDefaultFont();
    if (!font)
        return nullptr;
    cSize widest{0, 0};
    int32_t lines = 0;
    _guardchar<wchar_t> line;
    for (const wchar_t* rest = text; rest; ++lines) {
        int32_t length = 0;
        const wchar_t* start = rest;
        rest = split_line(start, &length);
        if (length == 0)
            continue;
        cSize measured{0, 0};
        line.AssignN(start, length);
        if (!owner->MeasureText(line.Text(), &measured, font))
            return nullptr;
        if (measured.width > widest.width)
            widest.width = measured.width;
        if (measured.height > widest.height)
            widest.height = measured.height;
    }
    if (widest.width == 0)
        return nullptr;
    cPoint place{0, 0};
    if (at) {
        place = *at;
    } else {
        if (!owner->GetScreenPosition(&place))
            return nullptr;
        place = cPoint{place.x + 2, place.y + owner->GetHeight() + 2};
    }
    cHintMaster* hint =
        new cHintMaster(colour_or_theme(background, 11), colour_or_theme(text_colour, 13), widest.height);
    if (!hint)
        return nullptr;
    hint->SetText(text, -1, false);
    // The window takes the tooltip as its root and destroys it when the
    // window cannot be made.
    cWindowHolder* window = owner->ShowPopup(place.x, place.y, widest.width + 2 * text_left,
                                             widest.height * lines + 2 * text_top, hint, false);
    if (!window)
        return nullptr;
    hint->popup = window;
    return hint;
}

void cHintMaster::Paint(cCanvas* canvas)
{
    if (cFontObject* font = GetDefaultFont())
        canvas->SelectFont(font);
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, fill_colour, theme_colour(12));
    if (text.IsEmpty())
        return;
    canvas->SetTextColours(text_colour, fill_colour);
    int32_t y = text_top;
    for (const wchar_t* rest = text.Text(); rest; y += line_height) {
        int32_t length = 0;
        const wchar_t* start = rest;
        rest = split_line(start, &length);
        canvas->DrawTextColoured(text_left, y, true, start, length);
    }
}

cChildElement* open_hint_tooltip(cChildElement* owner, const wchar_t* text)
{
    return cHintMaster::Open(owner, text, nullptr, cHintMaster::default_colour, cHintMaster::default_colour);
}
