#ifndef BASE_DECOMPRESS_H
#define BASE_DECOMPRESS_H

#include <stdint.h>
#include <zlib.h>

#include "base/buffers/typebuf.h"

// A one-shot decompressor of one memory block into a byte buffer.
class cDecompress {
public:
    cDecompress() = default;
    cDecompress(const cDecompress&) = delete;
    cDecompress& operator=(const cDecompress&) = delete;

    // 3 for zlib data; 0 for the base.
    virtual uint32_t GetKind();
    virtual bool Decompress(const _typebuf<uint8_t>& input, _typebuf<uint8_t>& output) = 0;
    virtual ~cDecompress();
};

// Inflates zlib-wrapped data (header and trailer, 15-bit window).
class cZDecompress : public cDecompress {
public:
    cZDecompress();
    ~cZDecompress() override;

    uint32_t GetKind() override;

    // Everything that decodes goes to output. False for damaged or cut data
    // (output then ends where decoding stopped) and when the output cannot
    // be stored.
    bool Decompress(const _typebuf<uint8_t>& input, _typebuf<uint8_t>& output) override;

    // As Decompress, on this object's own stream, which it resets first: a
    // stream fed through InflateStep is discarded. expected_size, when the
    // caller knows the inflated size, lets the data be inflated straight
    // into output; any other size still gives the whole stream.
    bool DecompressToBuffer(const void* input, uint32_t input_size, _typebuf<uint8_t>& output,
                            uint32_t expected_size = 0);

    // Discards any stream under way (and its pending input), so that the
    // next InflateStep starts a new one. False when zlib refuses.
    bool Reset();

    // One step of a stream fed piece by piece. input null continues with
    // what the previous steps left: unconsumed input and output that did not
    // fit (both counts 0 and true when there is none). On return
    // *input_count holds the bytes consumed and *output_count the bytes
    // produced. False on damaged data and when new input can make no
    // progress. Once the stream has ended, further steps answer true and
    // consume and produce nothing, and after damage they keep failing, until
    // Reset.
    bool InflateStep(const void* input, uint32_t* input_count, void* output, uint32_t* output_count);

private:
    uint8_t initialised;
    z_stream z;
};

#endif
