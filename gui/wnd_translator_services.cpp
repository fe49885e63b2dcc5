#include "gui/catalog.h"
#include "gui/clipboard.h"
#include "gui/font.h"
#include "gui/screen_area.h"
#include "gui/wnd_translator.h"

// The platform services a host window gives its tree: clipboard, screen,
// power, fonts, text measuring and string tables.

bool cWndTranslator::ClipboardPutText(const wchar_t* text, uint32_t size_in_bytes)
{
    return clipboard_put_text(GetHandle(), text, size_in_bytes);
}

bool cWndTranslator::ClipboardGetText(_typebuf<uint8_t>& out)
{
    return clipboard_get_text(GetHandle(), out);
}

bool cWndTranslator::ClipboardPutBytes(const void* bytes, uint32_t size)
{
    return clipboard_put_bytes(GetHandle(), bytes, size);
}

bool cWndTranslator::ClipboardGetBytes(_typebuf<uint8_t>& out)
{
    return clipboard_get_bytes(GetHandle(), out);
}

bool cWndTranslator::ClipboardHasData(bool text_only)
{
    return clipboard_has_data(GetHandle(), text_only);
}

bool cWndTranslator::GetWindowBounds(cRect* bounds)
{
    return window_bounds(GetHandle(), bounds);
}

bool cWndTranslator::GetWorkArea(cSize* size)
{
    return window_work_area(GetHandle(), size);
}

bool cWndTranslator::GetScreenArea(cSize* size)
{
    return window_screen_area(GetHandle(), size);
}

int32_t cWndTranslator::GetDpi()
{
    return screen_dpi();
}

bool cWndTranslator::KeepAwake()
{
    return system_keep_awake();
}

bool cWndTranslator::AllowSleep()
{
    return system_allow_sleep();
}

cFontObject* cWndTranslator::GetFont(int32_t width, int32_t height, const wchar_t* face, bool bold, bool underline,
                                     bool italic)
{
    return font_get_cached(width, height, face, bold, underline, italic);
}

const cStringArray* cWndTranslator::GetStringTable(const wchar_t* section)
{
    return catalog ? catalog_find_section(catalog, section) : nullptr;
}

bool cWndTranslator::MeasureText(cFontObject* font, const wchar_t* text, cSize* size)
{
    *size = cSize{0, 0};
    HDC dc = GetDC(GetHandle());
    if (!dc)
        return false;
    // Every font of the cache is a GDI font.
    HFONT handle = font ? static_cast<cWinFont*>(font)->GetHandle() : nullptr;
    bool measured = measure_text_on_dc(dc, handle, text, -1, size);
    ReleaseDC(GetHandle(), dc);
    if (!measured)
        *size = cSize{0, 0};
    return measured;
}
