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

    // Everything that decodes goes to output. Damaged or truncated data is
    // not reported: output ends where decoding stopped, so callers check
    // the length they expect. False only when the output cannot be stored.
    bool Decompress(const _typebuf<uint8_t>& input, _typebuf<uint8_t>& output) override;

    // As Decompress on this object's own stream, fresh for every call; false
    // unless the data ends properly (the bytes decoded are still in output).
    bool DecompressToBuffer(const void* input, uint32_t input_size, _typebuf<uint8_t>& output);

    // One step of a stream fed piece by piece. input null continues with
    // what the previous steps left: unconsumed input and output that did not
    // fit (both counts 0 and true when there is none). On return
    // *input_count holds the bytes consumed and *output_count the bytes
    // produced. False on damaged data and when new input can make no
    // progress. After the end of a stream (or a failure) the next step with
    // new input starts a new stream.
    bool InflateStep(const void* input, uint32_t* input_count, void* output, uint32_t* output_count);

private:
    uint8_t initialised;
    bool stepping;  // a stream fed through InflateStep is under way
    z_stream z;

    // Sets the stream up on first use and resets it; false when zlib refuses.
    bool StartStream();
};

#endif
