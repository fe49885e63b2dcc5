#ifndef BASE_UTF8_H
#define BASE_UTF8_H

#include <stdint.h>

// UTF-8 as the program writes it: a UTF-16 surrogate pair is the four-byte
// form of its character, every other unit one to three bytes. A surrogate
// that is no half of a pair (Windows names may hold one) keeps its
// three-byte form, so that the encoder's output always decodes back to the
// units it came from. Decoding reads a four-byte form of U+10000 to
// U+10FFFF as a surrogate pair and the three-byte form of a surrogate as
// that unit, so that a character that earlier versions wrote as its two
// halves, three bytes each, reads back as the same pair. It accepts
// overlong two- and three-byte forms and passes every other invalid byte
// through as a unit of its own value. A length of -1 means: up to the NUL.

// Bytes that utf8_encode makes of the units, terminator not counted.
int32_t utf8_length_of_wstr(const wchar_t* units, int32_t length);

// Units that utf8_decode makes of the bytes, terminator not counted.
int32_t utf8_char_count(const char* bytes, int32_t length);

// Bytes written. With length -1 a NUL byte follows when room remains (not
// counted). Output cut by the capacity may end inside a sequence. A
// counted length that ends between the halves of a pair ends with a lone
// surrogate.
int32_t utf8_encode(int32_t capacity, char* out, int32_t length, const wchar_t* units);

// Units written. With length -1 a NUL unit follows when room remains (not
// counted); a counted input decodes NUL bytes as units. A sequence cut off
// by the end of the input gives each of its bytes as a unit. Output cut by
// the capacity may end between the halves of a pair.
int32_t utf8_decode(int32_t length, const char* bytes, wchar_t* out, int32_t capacity);

// Standard UTF-8 (no overlong forms, no encoded surrogates, nothing above
// U+10FFFF, four-byte forms as surrogate pairs), for text that comes from
// other programs: the length in bytes of the longest well-formed start of
// the counted bytes, so length itself when all of them are. *units gets
// the UTF-16 units of that start; with an output (room for *units, as a
// call without one counts them) they are written there. Null bytes: 0.
int32_t utf8_standard_prefix(const char* bytes, int32_t length, wchar_t* out, int32_t* units);

// Rewrites the counted bytes in place: each high surrogate's three-byte
// form directly followed by a low surrogate's (a character beyond U+FFFF
// as earlier versions wrote it) becomes the character's four-byte form;
// every other byte stays. The new length, at most the old one.
int32_t utf8_join_split_pairs(char* bytes, int32_t length);

#endif
