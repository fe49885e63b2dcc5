#ifndef BASE_CASE_MAP_H
#define BASE_CASE_MAP_H

// Per-character case mapping and whitespace tests.

// The simple one-to-one case pairs of the Basic Multilingual Plane as of
// Unicode 5.1 whose mapping goes both ways (973 of them); any other unit
// maps to itself. Any thread, no loading.
wchar_t wchar_to_lower(wchar_t unit);
wchar_t wchar_to_upper(wchar_t unit);

// The upper case Windows gives the unit when it compares file names
// without regard to case; any thread, no loading.
wchar_t wchar_to_name_upper(wchar_t unit);

// True exactly for tab, line feed, carriage return and space (9, 10, 13, 32);
// vertical tab and form feed are not spaces here.
bool wchar_is_space(wchar_t unit);
bool char_is_space(char byte);

#endif
