#ifndef GUI_CLIPBOARD_H
#define GUI_CLIPBOARD_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/typebuf.h"

// The clipboard as a host window uses it. Every operation opens the
// clipboard for owner and closes it again on every path; each answers false
// when the clipboard cannot be opened.

// Replaces the clipboard's contents with the UTF-16 text (size in bytes);
// the block always ends with a NUL, also when the text did not.
bool clipboard_put_text(HWND owner, const wchar_t* text, uint32_t size_in_bytes);
// Replaces the clipboard's contents with the bytes under the private format
// "CI Raw bytes".
bool clipboard_put_bytes(HWND owner, const void* bytes, uint32_t size);
// The CF_UNICODETEXT block, as many bytes as the block holds.
bool clipboard_get_text(HWND owner, _typebuf<uint8_t>& out);
// The block of the first format on the clipboard that is held in global
// memory and has data; bitmaps, palettes, metafile handles and other GDI
// objects are skipped.
bool clipboard_get_bytes(HWND owner, _typebuf<uint8_t>& out);
// text_only: CF_UNICODETEXT is offered; else clipboard_get_bytes would find
// a non-empty block.
bool clipboard_has_data(HWND owner, bool text_only);
// The id of "CI Raw bytes", registered on first use; 0 when that fails.
UINT clipboard_raw_format();
// True for the formats whose data handle is a global memory block.
bool clipboard_format_is_global(UINT format);

#endif
