#include "gui/win_canvas.h"

#include <string.h>
#include <wchar.h>

#include "base/buffers/guardchar.h"
#include "base/string_convert.h"
#include "gui/dib_section.h"
#include "gui/font.h"
#include "gui/text_extent.h"

bool cWinCanvas::SelectFont(cFontObject* new_font)
{
    cWinFont* gdi_font = dynamic_cast<cWinFont*>(new_font);
    if (!gdi_font || !gdi_font->GetHandle())
        return false;
    font = gdi_font;
    if (dc)
        SelectObject(dc, font->GetHandle());
    return true;
}

bool cWinCanvas::SelectFontBy(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                              bool italic)
{
    cFontObject* found = GetFont(width, height, face, bold, underline, italic);
    return found && SelectFont(found);
}

cFontObject* cWinCanvas::GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                                 bool italic)
{
    return font_get_cached(width, height, face, bold, underline, italic);
}

// Sub-canvases share the device context, so the canvas's own font is put
// back before every text operation.
void cWinCanvas::ReselectFont()
{
    if (dc && font)
        SelectObject(dc, font->GetHandle());
}

bool cWinCanvas::SetTextColours(uint32_t new_text_colour, uint32_t new_background_colour)
{
    text_colour = new_text_colour;
    background_colour = new_background_colour;
    return true;
}

uint32_t cWinCanvas::GetBackgroundColour() { return background_colour; }

bool cWinCanvas::MeasureTextW(const wchar_t* text, int32_t length, cSize* size)
{
    ReselectFont();
    return text_extent(dc, text, length, size);
}

bool cWinCanvas::MeasureTextA(const char* text, int32_t length, cSize* size)
{
    ReselectFont();
    return text_extent(dc, text, length, size);
}

bool cWinCanvas::FitTextW(const wchar_t* text, int32_t length, _typebuf<int32_t>& extents)
{
    ReselectFont();
    return text_extents(dc, text, length, extents);
}

bool cWinCanvas::FitTextA(const char* text, int32_t length, _typebuf<int32_t>& extents)
{
    ReselectFont();
    return text_extents(dc, text, length, extents);
}

bool cWinCanvas::DrawTextColoured(int32_t x, int32_t y, bool transparent, const wchar_t* text, int32_t length)
{
    if (!text || !dc)
        return false;
    if (length < 0)
        length = int32_t(wcslen(text));
    ReselectFont();
    if (transparent)
        return BlendText(x, y, text, length);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, background_colour);
    SetTextColor(dc, text_colour);
    return TextOutW(dc, area.left + x, area.top + y, text, length) != 0;
}

bool cWinCanvas::DrawTextUtf8(int32_t x, int32_t y, bool transparent, const char* text, int32_t length)
{
    if (!text)
        return false;
    _guardchar<wchar_t> wide;
    wstr_from_utf8(length, text, wide);
    return DrawTextColoured(x, y, transparent, wide.Text() ? wide.Text() : L"", -1);
}

namespace {

// The mask's brightness says how much of the background shows: white
// (untouched) keeps it exactly, black (fully inked) gives exactly the text
// colour. The background's alpha byte is left.
uint32_t mix_text_pixel(uint32_t background, uint32_t mask, uint32_t colour)
{
    double shown = ((mask & 0xFF) + ((mask >> 8) & 0xFF) + ((mask >> 16) & 0xFF)) / 765.0;
    uint32_t result = background & 0xFF000000u;
    const uint32_t text_channels[3] = {(colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF};  // B, G, R
    for (int channel = 0; channel < 3; ++channel) {
        uint32_t under = (background >> (8 * channel)) & 0xFF;
        result |= uint32_t(under * shown + text_channels[channel] * (1.0 - shown)) << (8 * channel);
    }
    return result;
}

}  // namespace

// Transparent text: the text is rendered black on white into a mask one
// pixel wider on each side than its extent (room for overhanging glyphs),
// and the mask mixes the text colour into a copy of the canvas under it.
// The mask's text sits one pixel in, so the copy starts one pixel left of x
// and the glyphs land where opaque text would.
bool cWinCanvas::BlendText(int32_t x, int32_t y, const wchar_t* text, int32_t length)
{
    cSize extent = {};
    if (!MeasureTextW(text, length, &extent))
        return false;
    if (extent.width <= 0 || extent.height <= 0)
        return true;
    int32_t width = extent.width + 2;
    int32_t height = extent.height;
    int32_t left = area.left + x - 1;
    int32_t top = area.top + y;
    cDibSurface background;
    cDibSurface mask;
    if (!background.Create(dc, width, height) || !mask.Create(dc, width, height) ||
        !BitBlt(background.dc, 0, 0, width, height, dc, left, top, SRCCOPY))
        return false;
    GdiFlush();
    memset(mask.bits, 0xFF, size_t(width) * size_t(height) * sizeof(uint32_t));
    // The font the text was measured in: the canvas's own, or the context's
    // default when none could be made.
    SelectObject(mask.dc, GetCurrentObject(dc, OBJ_FONT));
    SetBkMode(mask.dc, OPAQUE);
    SetTextColor(mask.dc, 0);
    SetBkColor(mask.dc, 0xFFFFFF);
    if (!TextOutW(mask.dc, 1, 0, text, length))
        return false;
    GdiFlush();
    size_t count = size_t(width) * size_t(height);
    for (size_t i = 0; i < count; ++i)
        background.bits[i] = mix_text_pixel(background.bits[i], mask.bits[i], text_colour);
    return BitBlt(dc, left, top, width, height, background.dc, 0, 0, SRCCOPY) != 0;
}
