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

// Renders the text black on white into a new mask as high as the text,
// with margin columns on both sides of its measured width.
bool render_text_mask(HDC dc, const wchar_t* text, int32_t length, cSize extent, int32_t margin, cDibSurface& mask)
{
    if (!mask.Create(dc, extent.width + 2 * margin, extent.height))
        return false;
    GdiFlush();
    memset(mask.bits, 0xFF, size_t(mask.width) * size_t(mask.height) * sizeof(uint32_t));
    // The font the text was measured in: the canvas's own, or the context's
    // default when none could be made.
    SelectObject(mask.dc, GetCurrentObject(dc, OBJ_FONT));
    SetBkMode(mask.dc, OPAQUE);
    SetTextColor(mask.dc, 0);
    SetBkColor(mask.dc, 0xFFFFFF);
    if (!TextOutW(mask.dc, margin, 0, text, length))
        return false;
    GdiFlush();
    return true;
}

// Ink in the mask's first or last column may go on beyond it.
bool ink_at_mask_side(cDibSurface& mask)
{
    for (int32_t y = 0; y < mask.height; ++y) {
        const uint32_t* row = mask.Row(y);
        if ((row[0] & 0xFFFFFF) != 0xFFFFFF || (row[mask.width - 1] & 0xFFFFFF) != 0xFFFFFF)
            return true;
    }
    return false;
}

}  // namespace

// Transparent text: the text is rendered black on white into a mask, and
// the mask mixes the text colour into a copy of the canvas under it. Ink
// reaches beyond the measured extent where glyphs overhang their advance
// (italics) or the glyphs are placed wider than they measure, so the mask
// has margins on both sides, doubled until no ink touches them; untouched
// mask pixels leave the canvas as it was.
bool cWinCanvas::BlendText(int32_t x, int32_t y, const wchar_t* text, int32_t length)
{
    cSize extent = {};
    if (!MeasureTextW(text, length, &extent))
        return false;
    if (extent.width <= 0 || extent.height <= 0)
        return true;
    for (int32_t margin = extent.height / 4 + 1;; margin *= 2) {
        cDibSurface mask;
        if (!render_text_mask(dc, text, length, extent, margin, mask))
            return false;
        // A bound: no ink lies further out than the text is wide and high.
        if (ink_at_mask_side(mask) && margin < extent.width + extent.height)
            continue;
        int32_t left = area.left + x - margin;
        int32_t top = area.top + y;
        cDibSurface background;
        if (!background.Create(dc, mask.width, mask.height) ||
            !BitBlt(background.dc, 0, 0, mask.width, mask.height, dc, left, top, SRCCOPY))
            return false;
        GdiFlush();
        size_t count = size_t(mask.width) * size_t(mask.height);
        for (size_t i = 0; i < count; ++i)
            background.bits[i] = mix_text_pixel(background.bits[i], mask.bits[i], text_colour);
        return BitBlt(dc, left, top, mask.width, mask.height, background.dc, 0, 0, SRCCOPY) != 0;
    }
}
