#ifndef BASE_CODEPAGE_SB_H
#define BASE_CODEPAGE_SB_H

#include <stdint.h>

// The 30 single-byte code pages: 28591, 1250, 1251, 1255, 850, 866, 862, 37,
// 437, 500, 20866, 21866, 28592, 28593, 28595, 28596, 28597, 28598, 28599,
// 28605, 737, 852, 855, 858, 857, 870, 1252, 1254, 10007 and 10029. Code
// page 0 stands for the user's default ANSI code page; any code page not in
// the list uses the table of 28591 (ISO 8859-1). A length of -1 means: up to
// the NUL.

// Which of the tables belongs to the code page; -1 when none does.
int codepage_sb_table_index(int32_t codepage);

// The 256 units of the code page's bytes.
const wchar_t* codepage_sb_table(int32_t codepage);

// Units written, one per byte, until the count or the capacity is used up.
// A NUL byte writes a NUL unit (not counted) and ends the text.
int32_t codepage_sb_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                           int32_t codepage);

// The byte of the unit in the code page; 0 when the code page has none.
// Where several bytes give the unit, the lowest. The code page's reverse map
// is built on the first call and kept for the life of the process.
uint8_t codepage_sb_encode_char(wchar_t unit, int32_t codepage);

// Bytes written, one per unit ("?" for a unit the code page lacks), until
// the count or the capacity is used up. A NUL unit writes a NUL byte (not
// counted) and ends the text.
int32_t codepage_sb_encode(const wchar_t* text, int32_t length, char* out, int32_t capacity,
                           int32_t codepage);

#endif
