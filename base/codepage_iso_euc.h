#ifndef BASE_CODEPAGE_ISO_EUC_H
#define BASE_CODEPAGE_ISO_EUC_H

#include <stdint.h>

// The ISO-2022 and EUC code pages: 50221 (ISO-2022-JP), 50227 (ISO-2022-CN),
// 51932 (EUC-JP) and 51936 (EUC-CN). A length of -1 means: up to the NUL.
//
// Every decoder stops at the capacity and at the first byte or sequence it
// cannot decode (an unknown escape, a truncated sequence, a cell without a
// character), returning what it produced. A NUL byte, or a NUL that cuts a
// sequence off, writes a NUL unit when room remains and ends the text; the
// result is then the units written including that NUL. The counting twins
// follow the same rules without output and count characters, NUL excluded.

// Dispatch on the code page; any other code page gives 0.
int32_t iso_euc_char_count(const char* bytes, int32_t length, int32_t codepage);
int32_t iso_euc_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                       int32_t codepage);

// EUC-CN: bytes below 0x80 as they are; 0xA1-0xFE pairs from GB 2312.
int32_t euc_cn_char_count(const char* bytes, int32_t length);
int32_t euc_cn_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity);

// EUC-JP: bytes below 0x80 as they are; 0xA1-0xFE pairs from JIS X 0208
// (leads 0xF5-0xFE private use from U+E000); 0x8E and a half-width katakana
// byte; 0x8F and a pair from JIS X 0212 (0xF5-0xFE private use from U+E3AC).
int32_t euc_jp_char_count(const char* bytes, int32_t length);
int32_t euc_jp_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity);

// ISO-2022-JP: ASCII, JIS X 0201 Roman and katakana, JIS X 0208 and JIS X 0212
// chosen by escape sequences; starts in ASCII.
int32_t iso2022_jp_char_count(const char* bytes, int32_t length);
int32_t iso2022_jp_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity);

// ISO-2022-CN: GB 2312 or CNS 11643 plane 1 as G1 (SO/SI), CNS 11643 plane 2
// as G2 (single shift ESC N).
int32_t iso2022_cn_char_count(const char* bytes, int32_t length);
int32_t iso2022_cn_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity);

#endif
