#ifndef PICT_CODECS_LZW_H
#define PICT_CODECS_LZW_H

#include <stdint.h>

#include "base/arena.h"
#include "base/decompress.h"

struct cLZWString;

// TIFF's LZW: codes of 9 to 12 bits taken from the high bit of each byte
// on, 256 clears the table, 257 ends the data, and the code width grows one
// code early (with 511, 1023 and 2047 codes defined). The string table lives
// in an arena, released with the object or by Reset.
class cLZWDecompress : public cDecompress {
public:
    cLZWDecompress();
    ~cLZWDecompress() override;

    // 5, TIFF's number for LZW.
    uint32_t GetKind() override;
    // output's count on entry is the most bytes wanted (a strip's size) and
    // must be at least 1. Decoding ends at the end code, when output is
    // full or when the input runs out; output is then cut to the bytes
    // decoded. False, output empty, for a code not defined yet (a first
    // code after a clear that is not a byte, a code past the next free
    // one) or a table that cannot be had; the bytes decoded before such a
    // code are lost with it.
    bool Decompress(const _typebuf<uint8_t>& input, _typebuf<uint8_t>& output) override;
    // The same from and into caller memory; *produced gets the bytes
    // decoded, also on failure.
    bool DecompressTo(const uint8_t* input, uint32_t input_size, uint8_t* out, uint32_t capacity,
                      uint32_t* produced);
    // Gives the string table back to the system.
    void Reset();

private:
    cArena arena;
    cLZWString* table;  // 4096 entries from the arena; null until first use
};

#endif
