#include "base/format.h"

#include <stdio.h>
#include <wchar.h>

// mingw's bridges from a va_list to msvcrt's scanf family; its headers
// declare them only when mingw's own stdio is off.
extern "C" int __cdecl __ms_vsscanf(const char* text, const char* format, va_list args);
extern "C" int __cdecl __ms_vswscanf(const wchar_t* text, const wchar_t* format, va_list args);

namespace {

// The runtime writes at most size - 1 units and reports overflow as a
// negative count without terminating; the last unit is ours.
template <class T, class Formatter>
int32_t format_bounded(T* buffer, int32_t size, const T* format, va_list args, Formatter formatter)
{
    if (!buffer || size <= 0 || !format)
        return 0;
    int result = formatter(buffer, size_t(size - 1), format, args);
    if (result < 0 || result > size - 1) {
        buffer[size - 1] = 0;
        return -1;
    }
    buffer[result] = 0;
    return result;
}

}  // namespace

int32_t wstr_format_va(wchar_t* buffer, int32_t size, const wchar_t* format, va_list args)
{
    return format_bounded(buffer, size, format, args, _vsnwprintf);
}

int32_t wstr_format(wchar_t* buffer, int32_t size, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int32_t result = wstr_format_va(buffer, size, format, args);
    va_end(args);
    return result;
}

int32_t str_format_va(char* buffer, int32_t size, const char* format, va_list args)
{
    return format_bounded(buffer, size, format, args, _vsnprintf);
}

int32_t str_format(char* buffer, int32_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int32_t result = str_format_va(buffer, size, format, args);
    va_end(args);
    return result;
}

int32_t str_scan_va(const char* text, const char* format, va_list args)
{
    return __ms_vsscanf(text, format, args);
}

int32_t str_scan(const char* text, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int32_t result = str_scan_va(text, format, args);
    va_end(args);
    return result;
}

int32_t wstr_scan_va(const wchar_t* text, const wchar_t* format, va_list args)
{
    return __ms_vswscanf(text, format, args);
}

int32_t wstr_scan(const wchar_t* text, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int32_t result = wstr_scan_va(text, format, args);
    va_end(args);
    return result;
}
