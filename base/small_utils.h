#ifndef BASE_SMALL_UTILS_H
#define BASE_SMALL_UTILS_H

#include <stddef.h>
#include <stdint.h>

// False for a null pointer; true when all length bytes are 0.
bool mem_is_zero(const void* data, size_t length);

// Set bits of value.
uint8_t count_bits64(uint64_t value);

// The first two units as hexadecimal digits (high nibble first), 0..255;
// 0xFFFFFFFF for a null text or when either unit is no hex digit.
uint32_t parse_hex_byte_w(const wchar_t* text);

// Copies count units of source (-1: up to its NUL), at most capacity - 1,
// and a NUL; returns the units copied. A null source empties the
// destination; a null destination or a capacity below 1 writes nothing and
// returns 0.
int32_t wstr_copy_to_capacity(const wchar_t* source, int32_t count, wchar_t* destination, int32_t capacity);

// The character widened with its sign (bytes from 0x80 become 0xFF80 and
// above), then lowered by the program's wide lower-casing.
wchar_t char_lower_a(char c);

// A 64-bit number from text: leading tabs, line breaks and blanks are
// skipped; "0x" or "0X" starts hexadecimal, anything else is signed
// decimal. 0 for a null, empty or all-blank text; -1 when no number can be
// read.
int64_t parse_int64_w(const wchar_t* text);
int64_t parse_int64_a(const char* text);

#endif
