#ifndef BASE_Z_STREAM_H
#define BASE_Z_STREAM_H

#include <stdint.h>
#include <zlib.h>

#include "base/buffers/typebuf.h"
#include "base/decompress_io_target.h"

// A seekable read-only stream over the inflated form of zlib-wrapped data
// read from a source stream. Decompression only goes forward: a seek within
// or after the view costs the bytes in between, a seek before the view
// inflates again from the source's start.
class cZStream : public cDecompressIOTarget {
public:
    cZStream();
    ~cZStream() override;

    // Reads view_size compressed bytes at a time (64 KiB at least) and keeps
    // twice view_size of inflated output. Closes what was attached before; a source this stream
    // owns already stays alive and owned when it is attached again.
    bool Attach(cFileIOTarget* source, uint64_t size, uint32_t view_size, bool own) override;
    bool Restart() override;
    bool FillWindow(uint64_t position) override;
    // Copies what the output buffer holds from the position on, and once
    // decompression stands at the position, inflates into out itself.
    uint32_t ReadPastView(uint8_t* out, uint32_t count) override;
    void Close() override;

private:
    _typebuf<uint8_t> input;
    _typebuf<uint8_t> output;
    // Uncompressed offset of the output buffer's first byte; all ones
    // before decompression has started.
    uint64_t output_offset;
    z_stream z;  // next_out and avail_out describe the output buffer

    // Makes zlib take more input or give more output, refilling the input
    // from the source and recycling the full output buffer as needed. False
    // when it can do neither: the data is damaged, cut short or has ended.
    bool InflateMore();
    // InflateMore into wherever next_out points, which has room.
    bool InflateInto();
};

#endif
