#ifndef TESTS_SUPPORT_MESSAGE_FORM_SIZE_H
#define TESTS_SUPPORT_MESSAGE_FORM_SIZE_H

// The client size the framework's message form must take for a text, from
// its lines' extents measured by GDI in the form's fonts: the first line
// bold beside the icon (37 pixels), 30 added to the widest line, and 1.5
// line heights per further line added to 115.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/font.h"
#include "gui/ui_font.h"

// Width and height of the text in a font of the cache, measured by GDI.
inline SIZE gdi_extent(const std::wstring& text, bool bold)
{
    cWinFont* font = dynamic_cast<cWinFont*>(
        font_get_cached(bold ? 6 : 5, 13, get_ui_font_face_name(), bold, false, false));
    SIZE size = {0, 0};
    if (!font)
        return size;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->GetHandle());
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

// The size for the message as the form cuts it into lines.
inline SIZE message_form_size(const std::vector<std::wstring>& lines)
{
    int widest = 0, tallest = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        SIZE extent = gdi_extent(lines[n], n == 0);
        widest = std::max(widest, int(extent.cx) + (n == 0 ? 37 : 0));
        tallest = std::max(tallest, int(extent.cy));
    }
    return SIZE{widest + 30, 115 + int(1.5 * double(lines.size() - 1) * tallest)};
}

// The lines of a message's text as the form cuts them: at each line feed,
// one that ends the text adding none.
inline std::vector<std::wstring> message_lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    for (size_t start = 0;;) {
        size_t end = text.find(L'\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos || end + 1 == text.size())
            return lines;
        start = end + 1;
    }
}

#endif
