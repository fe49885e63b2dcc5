#ifndef BASE_CODEPAGE_DBCS_H
#define BASE_CODEPAGE_DBCS_H

#include <stdint.h>

// The double-byte code pages 932, 936, 949 and 950. A length of -1 means:
// up to the NUL. Any other code page gives 0.

// Units that dbcs_decode makes of the bytes, terminator not counted; the
// count follows the decoder step by step, so it always sizes its output.
int32_t dbcs_char_count(const char* bytes, int32_t length, int32_t codepage);

// Units written. A single byte gives its unit. A lead byte with a mapped row
// takes the next byte with it: a trail byte 0x40-0xFF gives the pair's unit
// ("?" without a mapping); the end of the input there ends the decoding, and
// a NUL there drops the lead byte. A lead byte without a row, or followed by
// a byte below 0x40, gives "?" and uses only itself. A NUL byte writes a NUL
// unit (not counted) when room remains and ends the text.
int32_t dbcs_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                    int32_t codepage);

#endif
