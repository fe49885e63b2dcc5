#ifndef BASE_FORMAT_H
#define BASE_FORMAT_H

#include <stdarg.h>
#include <stdint.h>

// printf- and scanf-style formatting over the system C runtime (msvcrt):
// "%s" in a wide format takes a wide string, "%I64d" and "%lld" take 64-bit
// integers. One runtime for the whole program, so that a format means the
// same everywhere.

// Units written, without the terminator. The buffer always ends in a NUL;
// output that does not fit is cut there and the result is -1. 0 without
// writing when the buffer, the size or the format is null or 0.
int32_t wstr_format(wchar_t* buffer, int32_t size, const wchar_t* format, ...);
int32_t wstr_format_va(wchar_t* buffer, int32_t size, const wchar_t* format, va_list args);
int32_t str_format(char* buffer, int32_t size, const char* format, ...)
    __attribute__((format(ms_printf, 3, 4)));
int32_t str_format_va(char* buffer, int32_t size, const char* format, va_list args)
    __attribute__((format(ms_printf, 3, 0)));

// Fields assigned, as the runtime's scanf counts them (-1 at the end of the
// input before the first conversion).
int32_t str_scan(const char* text, const char* format, ...) __attribute__((format(ms_scanf, 2, 3)));
int32_t str_scan_va(const char* text, const char* format, va_list args);
int32_t wstr_scan(const wchar_t* text, const wchar_t* format, ...);
int32_t wstr_scan_va(const wchar_t* text, const wchar_t* format, va_list args);

#endif
