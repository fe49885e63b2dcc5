#ifndef TOOLS_PACKAGE_PACKAGE_BLOCK_H
#define TOOLS_PACKAGE_PACKAGE_BLOCK_H

#include <stdint.h>

class cFileIOTarget;

// A run of the record block's bytes, held elsewhere.
struct cBlockSegment {
    const uint8_t* data;
    uint32_t size;
};

// A package's record block deflated at level 9 into one zlib stream: in
// 1 MiB pieces on every processor, each piece primed with the 32 KiB
// before it and ended by a sync flush (the last one by the stream's end),
// so that the stream is the same whatever the number of threads. Each piece
// is written as soon as it and every piece before it are done: only pieces
// that wait for an earlier one are held in memory.
class cDeflatedBlock {
public:
    cDeflatedBlock();

    // Deflates the block, the segments one after another, and writes the
    // zlib stream (its header, the pieces, the checksum) to the output;
    // false when the block reaches 2 GiB, or zlib, memory or a write fail.
    bool Write(const cBlockSegment* segments, uint32_t count, cFileIOTarget* output);

    uint32_t unpacked_size;
    uint32_t packed_size;  // of the zlib stream
    uint8_t digest[32];    // SHA-256 of the block
};

#endif
