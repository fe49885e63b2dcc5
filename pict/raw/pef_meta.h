#ifndef PICT_RAW_PEF_META_H
#define PICT_RAW_PEF_META_H

#include <stdint.h>

#include "base/buffers/typebuf.h"

// What the PEF maker-note reader finds: the maker note's block of values,
// the white-balance multipliers and two tables of levels.
class cPefMeta {
public:
    static const int32_t block_size = 8194;

    cPefMeta();
    // Back to nothing found: the block cleared, the multipliers 1.0, the
    // tables freed.
    void Reset();

    uint8_t block[block_size];
    double multipliers[4];
    _typebuf<uint16_t> tables[2];
};

#endif
