#ifndef BASE_STRING_CONVERT_H
#define BASE_STRING_CONVERT_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"

// Conversions between wide text and UTF-8 into the program's strings and
// buffers. A length of -1 means: up to the NUL. A null or empty text leaves
// the output empty.

// `AssignN` with the length (-1: the text's own length).
int wstr_assign_text(const wchar_t* text, int32_t length, _guardchar<wchar_t>& out);

// The source's text, lowered by the program's case map. False when the copy
// cannot be allocated.
bool wstr_assign_lower(_guardchar<wchar_t>& out, const _guardchar<wchar_t>& source);

void wstr_from_utf8(int32_t length, const char* text, _guardchar<wchar_t>& out);

// Bytes written, terminator not counted.
int32_t str_from_wstr_utf8(const wchar_t* text, int32_t length, _guardchar<char>& out);

// Units or bytes without a terminator.
void wbuf_from_wstr(const wchar_t* text, int32_t length, _typebuf<wchar_t>& out);
void wbuf_from_utf8(const char* text, int32_t length, _typebuf<wchar_t>& out);
void utf8buf_from_wstr(const wchar_t* text, int32_t length, _typebuf<uint8_t>& out);

#endif
