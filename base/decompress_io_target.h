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
// or is damaged fails the seek to the first byte it cannot give, and reads
// stop short there.
class cDecompressIOTarget : public cFileIOTarget {
public:
    cDecompressIOTarget();
    ~cDecompressIOTarget() override;

    uint64_t GetSize() override;
    // Stops short, with what it copied, where the data cannot be decoded.
    int32_t Read(void* buffer, uint32_t count) override;
    // Beyond the end lands at the end. False when the byte at the position
    // cannot be decoded; the position then stays where it was.
    bool Seek(uint64_t position) override;
    // Further back than the start lands at 0 and answers false.
    bool SeekFromEnd(uint64_t distance) override;
    bool SetSize(uint64_t size) override;
    void Close() override;
    bool IsOpen() override;

    // Places the uncompressed bytes from position on into the view, as many
    // as it holds or as the data gives, and sets view_fill to their count
    // (0 at the size). False, with the view untouched, when not even the
    // byte at position can be had. Seek calls Restart first for positions
    // before the view start.
    virtual bool FillWindow(uint64_t position) = 0;
    // Starts decompressing again from the source's first byte.
    virtual bool Restart() = 0;
    // Places up to count uncompressed bytes from the position on straight
    // into out, for a read of at least a view's worth that the view does not
    // hold, and answers how many (the position does not move); 0 when the
    // stream cannot do that from where it stands, and the read then goes
    // through the view. The base answers 0.
    virtual uint32_t ReadPastView(uint8_t* out, uint32_t count);
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
    int32_t view_fill;    // bytes valid in the view
    uint64_t view_start;  // uncompressed offset of the view's first byte
    uint64_t position;
    uint64_t size;
    cFileIOTarget* source;
    cFileIOTarget* owned_source;

    void DeleteOwnedSource();
    bool InView(uint64_t position) const;
};

#endif
