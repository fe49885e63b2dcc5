#include "gui/text_extent.h"

#include <string.h>
#include <wchar.h>

namespace {

int32_t own_length(const wchar_t* text) { return int32_t(wcslen(text)); }
int32_t own_length(const char* text) { return int32_t(strlen(text)); }

BOOL extent_point(HDC dc, const wchar_t* text, int32_t length, SIZE* size)
{
    return GetTextExtentPoint32W(dc, text, length, size);
}

BOOL extent_point(HDC dc, const char* text, int32_t length, SIZE* size)
{
    return GetTextExtentPoint32A(dc, text, length, size);
}

// Widths of every prefix: no maximum extent stops the count.
BOOL extent_ex_point(HDC dc, const wchar_t* text, int32_t length, INT* widths, SIZE* size)
{
    INT fitted = 0;
    return GetTextExtentExPointW(dc, text, length, 0x7FFFFFFF, &fitted, widths, size);
}

BOOL extent_ex_point(HDC dc, const char* text, int32_t length, INT* widths, SIZE* size)
{
    INT fitted = 0;
    return GetTextExtentExPointA(dc, text, length, 0x7FFFFFFF, &fitted, widths, size);
}

template <class T>
bool measure(HDC dc, const T* text, int32_t length, cSize* size)
{
    if (!size)
        return false;
    *size = {0, 0};
    if (text && length < 0)
        length = own_length(text);
    if (!text || length == 0)
        return true;
    SIZE extent = {};
    if (!dc || !extent_point(dc, text, length, &extent))
        return false;
    *size = {extent.cx, extent.cy};
    return true;
}

template <class T>
bool measure_prefixes(HDC dc, const T* text, int32_t length, _typebuf<int32_t>& extents)
{
    if (text && length < 0)
        length = own_length(text);
    if (!dc || !text || length == 0)
        return false;
    extents.Resize(length);
    SIZE extent = {};
    return extents.Data() && extent_ex_point(dc, text, length, extents.Data(), &extent);
}

}  // namespace

bool text_extent(HDC dc, const wchar_t* text, int32_t length, cSize* size) { return measure(dc, text, length, size); }

bool text_extent(HDC dc, const char* text, int32_t length, cSize* size) { return measure(dc, text, length, size); }

bool text_extents(HDC dc, const wchar_t* text, int32_t length, _typebuf<int32_t>& extents)
{
    return measure_prefixes(dc, text, length, extents);
}

bool text_extents(HDC dc, const char* text, int32_t length, _typebuf<int32_t>& extents)
{
    return measure_prefixes(dc, text, length, extents);
}
