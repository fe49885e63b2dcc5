#ifndef BASE_STRING_UTILS_H
#define BASE_STRING_UTILS_H

#include <stdint.h>

// Small functions over NUL-terminated wide (UTF-16) texts.

// -1, 0 or 1, unit by unit as unsigned values; a text that ends first is
// smaller. 1 when either text is null.
int wstr_compare(const wchar_t* a, const wchar_t* b);

// Units before the NUL; 0 for null.
int32_t wstr_length(const wchar_t* text);

// The first occurrence of unit, never the terminator; null when absent.
const wchar_t* wstr_find_char(const wchar_t* text, wchar_t unit);

// The last occurrence of unit; unit 0 finds the terminator. Null when absent
// or for a null text.
const wchar_t* wstr_find_last_char(const wchar_t* text, wchar_t unit);

// Copies up to and including the NUL, at most n units (n >= 1); a text cut
// by n keeps n - 1 units and a NUL. Nothing when either pointer is null.
int wstr_copy_bounded(wchar_t* destination, int32_t n, const wchar_t* source);

// Case-insensitive comparisons through the program's own lower-case map.

// -1, 0 or 1 over the lowered units, compared as unsigned values; -1 when
// either text is null.
int wstr_compare_nocase(const wchar_t* a, const wchar_t* b);
// The same over at most the first five units.
int wstr_compare_nocase_n5(const wchar_t* a, const wchar_t* b);
// The texts are one name as Windows compares names without regard to case
// (wchar_to_name_upper unit by unit), as it finds files and registry keys;
// false when either is null.
bool wstr_equal_as_names(const wchar_t* a, const wchar_t* b);

// Narrow texts: each byte widened with its sign and lowered, the low bytes
// of the results compared as unsigned; at most n bytes, stopping at a NUL.
// -1 when either text is null, 0 when n < 1.
int str_compare_nocase_n(const char* a, const char* b, int32_t n);
// Exactly four bytes (a NUL does not stop it), compared as signed; 1 when
// either text is null.
int str_compare_nocase_n4(const char* a, const char* b);
// 0 exactly when the text is "Content-Length" in any case.
int str_is_content_length(const char* text);

#endif
