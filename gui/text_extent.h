#ifndef GUI_TEXT_EXTENT_H
#define GUI_TEXT_EXTENT_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/typebuf.h"
#include "gui/geometry.h"

// GDI's text measuring in the font selected into the device context, for
// wide and 8-bit text alike. A length of -1 means: up to the NUL.

// A null or empty text measures (0, 0) and succeeds.
bool text_extent(HDC dc, const wchar_t* text, int32_t length, cSize* size);
bool text_extent(HDC dc, const char* text, int32_t length, cSize* size);

// extents[i] = width of the first i + 1 characters; false for a null or
// empty text.
bool text_extents(HDC dc, const wchar_t* text, int32_t length, _typebuf<int32_t>& extents);
bool text_extents(HDC dc, const char* text, int32_t length, _typebuf<int32_t>& extents);

#endif
