#ifndef TOOLS_PACKAGE_PACKAGE_BLOCK_H
#define TOOLS_PACKAGE_PACKAGE_BLOCK_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/tree_map.h"

class cFileIOTarget;

// A run of the record block's bytes, held elsewhere.
struct cBlockSegment {
    const uint8_t* data;
    uint32_t size;
};

// A package's record block deflated at level 9 into one zlib stream: in
// 1 MiB pieces on every processor, each piece primed with the 32 KiB
// before it and ended by a sync flush (the last one by the stream's end),
// so that the stream is the same whatever the number of threads.
class cDeflatedBlock {
public:
    cDeflatedBlock();

    // The block is the segments one after another; false when it reaches
    // 2 GiB or zlib or memory fail.
    bool Deflate(const cBlockSegment* segments, uint32_t count);
    // The zlib stream: its header, the pieces, the checksum.
    bool WriteTo(cFileIOTarget* output) const;

    uint32_t unpacked_size;
    uint32_t packed_size;
    uint8_t digest[32];  // SHA-256 of the block

private:
    cTreeMap<int32_t, _typebuf<uint8_t>> pieces;  // piece index -> deflated bytes
    uint32_t checksum;                            // Adler-32 of the block
};

#endif
