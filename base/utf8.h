#ifndef BASE_UTF8_H
#define BASE_UTF8_H

#include <stdint.h>

// UTF-8 as the program writes it: every UTF-16 unit, a surrogate too, is one
// to three bytes; there are no four-byte forms. Decoding accepts overlong
// forms and passes every invalid byte through as a unit of its own value,
// so the encoder's output always decodes back to the units it came from.
// A length of -1 means: up to the NUL.

// Bytes that utf8_encode makes of the units, terminator not counted.
int32_t utf8_length_of_wstr(const wchar_t* units, int32_t length);

// Units that utf8_decode makes of the bytes, terminator not counted.
int32_t utf8_char_count(const char* bytes, int32_t length);

// Bytes written. With length -1 a NUL byte follows when room remains (not
// counted). Output cut by the capacity may end inside a sequence.
int32_t utf8_encode(int32_t capacity, char* out, int32_t length, const wchar_t* units);

// Units written. With length -1 a NUL unit follows when room remains (not
// counted); a counted input decodes NUL bytes as units. A sequence cut off
// by the end of the input gives each of its bytes as a unit.
int32_t utf8_decode(int32_t length, const char* bytes, wchar_t* out, int32_t capacity);

// Standard UTF-8 (no overlong forms, no encoded surrogates, nothing above
// U+10FFFF, four-byte forms as surrogate pairs), for text that comes from
// other programs: the length in bytes of the longest well-formed start of
// the counted bytes, so length itself when all of them are. *units gets
// the UTF-16 units of that start; with an output (room for *units, as a
// call without one counts them) they are written there. Null bytes: 0.
int32_t utf8_standard_prefix(const char* bytes, int32_t length, wchar_t* out, int32_t* units);

#endif
