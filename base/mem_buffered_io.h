#ifndef BASE_MEM_BUFFERED_IO_H
#define BASE_MEM_BUFFERED_IO_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"

// Read-ahead over another stream: reads are served from a 4096-byte window
// that is refilled from the source at the logical position; one-byte reads
// and short seeks stay inside the window. A read larger than the window
// goes straight to the caller's buffer. The source's size is taken once, at
// Attach: the source must not change size behind this stream.
class cMemBufferedIO : public cFileIOTarget {
public:
    cMemBufferedIO();
    ~cMemBufferedIO() override;

    // Replaces the source (deleting one that is owned) and starts at 0. With
    // own set, the source is deleted with this stream. False for a null
    // source, one that cannot seek to 0, or when the window cannot be had.
    bool Attach(cFileIOTarget* source, bool own = false);

    uint64_t GetSize() override;
    int32_t Read(void* buffer, uint32_t count) override;
    // Writes through at the logical position; the window is dropped.
    int32_t Write(const void* buffer, uint32_t count) override;
    // Any position is accepted; reading past the source's end gives 0.
    bool Seek(uint64_t position) override;
    // False further back than the start.
    bool SeekFromEnd(uint64_t distance) override;
    bool SetSize(uint64_t size) override;
    void Close() override;
    bool IsOpen() override;

private:
    cFileIOTarget* source;
    cFileIOTarget* owned_source;
    _typebuf<uint8_t> window;
    int32_t index;  // next byte to take; the capacity when the window is empty
    int32_t fill;   // bytes valid in the window
    uint64_t position;
    uint64_t source_size;

    void EmptyWindow();
    void DeleteOwnedSource();
};

// The buffered stream the picture library's JPEG 2000 front ends read.
class cJP2FileIOTarget : public cMemBufferedIO {
public:
    ~cJP2FileIOTarget() override;
};

#endif
