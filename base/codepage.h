#ifndef BASE_CODEPAGE_H
#define BASE_CODEPAGE_H

#include <stdint.h>

// Conversions between the program's UTF-16 text and 8-bit text, with the
// program's own tables. A code page is a Windows code-page number: 0 stands
// for the user's default ANSI code page, 65001 for UTF-8. Text is decoded
// from UTF-8, the single-byte, the double-byte (932, 936, 949, 950) and the
// ISO-2022/EUC code pages (50221, 50227, 51932, 51936), and encoded to UTF-8
// and the single-byte code pages only. A length of -1 means: up to the NUL.
// Every converter gives 0 for a null text, a zero length, a zero capacity or
// a code page it does not handle.

// The user's default ANSI code page; 0 when the system does not answer.
int32_t codepage_default_ansi();

// Bytes needed for the text in the code page, plus 1 for the terminator with
// length -1. Only UTF-8 and the single-byte code pages count.
int32_t mb_length_of_wstr(const wchar_t* text, int32_t length, int32_t codepage);

// Units needed for the bytes in the code page, plus 1 for the terminator
// with length -1.
int32_t wstr_length_of_mb(const char* bytes, int32_t length, int32_t codepage);

// Units written by the code page's decoder; with a null output, the units
// needed (as wstr_length_of_mb).
int32_t mb_to_wstr(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                   int32_t codepage);

// Bytes written by the UTF-8 encoder; with a null output, the bytes needed
// (as mb_length_of_wstr with 65001).
int32_t wstr_to_utf8(const wchar_t* text, char* out, int32_t length, int32_t capacity);

// The single-byte code pages that have a table of their own, and 0.
bool codepage_is_single_byte(int32_t codepage);
// 932, 936, 949 and 950.
bool codepage_is_double_byte(int32_t codepage);
// 50221, 50227, 51932 and 51936.
bool codepage_is_iso2022_euc(int32_t codepage);

#endif
