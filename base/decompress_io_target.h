#ifndef BASE_DECOMPRESS_IO_TARGET_H
#define BASE_DECOMPRESS_IO_TARGET_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"

// A read-only, seekable stream over the decompressed form of a source
// stream. The bytes around the position are kept in a view; a seek outside
// it decompresses forward to the new position, and a seek back before the
// view restarts decompression from the source's first byte. The
// uncompressed size is given at Attach and trusted: data that ends early
// fails the seek (and the read) that needs the missing bytes.
class cDecompressIOTarget : public cFileIOTarget {
public:
    cDecompressIOTarget();
    ~cDecompressIOTarget() override;

    uint64_t GetSize() override;
    // Stops short, with what it copied, where the data cannot be decoded.
    int32_t Read(void* buffer, uint32_t count) override;
    // Beyond the end lands at the end. False when the data up to the
    // position cannot be decoded; the position then stays where it was.
    bool Seek(uint64_t position) override;
    // Further back than the start lands at 0 and answers false.
    bool SeekFromEnd(uint64_t distance) override;
    bool SetSize(uint64_t size) override;
    void Close() override;
    bool IsOpen() override;

    // Fills the view with the uncompressed bytes from position on (as many
    // as the view holds, fewer at the end). Called with positions at or
    // after the view start, or after Restart.
    virtual bool FillWindow(uint64_t position) = 0;
    // Starts decompressing again from the source's first byte.
    virtual bool Restart() = 0;
    // Sets the uncompressed size from the source when the format records
    // it; none of ours does, so the size must be given at Attach.
    virtual bool QuerySize(cFileIOTarget* source);
    // view_size bytes of uncompressed data are kept at a time. With own set
    // the source belongs to this stream from then on (even when Attach
    // fails) and is deleted by Close and the destructor. Decodes the first
    // view; false when that fails.
    virtual bool Attach(cFileIOTarget* source, uint64_t size, uint32_t view_size, bool own);

protected:
    _typebuf<uint8_t> view;
    int32_t view_size;
    uint64_t view_start;  // uncompressed offset of the view's first byte
    uint64_t position;
    uint64_t size;
    cFileIOTarget* source;
    cFileIOTarget* owned_source;

    void DeleteOwnedSource();
};

#endif
