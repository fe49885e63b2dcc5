#ifndef BASE_BUF_WRAPPER_IO_H
#define BASE_BUF_WRAPPER_IO_H

#include <stdint.h>

#include "base/file_io_target.h"

// A stream over a fixed block of bytes that the caller owns and keeps alive
// while the stream uses it. The block never changes size.
class cBufWrapperIO : public cFileIOTarget {
public:
    cBufWrapperIO();
    cBufWrapperIO(void* data, int32_t size, bool writable);
    ~cBufWrapperIO() override;

    // Answers IsOpen(): false for null data.
    bool Attach(void* data, int32_t size, bool writable);

    uint64_t GetSize() override;
    int32_t Read(void* buffer, uint32_t count) override;
    // 0 on a stream that is not writable.
    int32_t Write(const void* buffer, uint32_t count) override;
    // Past the end: the position goes to the size, false.
    bool Seek(uint64_t position) override;
    // Further back than the start: the position goes to 0, false.
    bool SeekFromEnd(uint64_t distance) override;
    // True only for the size the block already has.
    bool SetSize(uint64_t size) override;
    // Forgets the block; frees nothing.
    void Close() override;
    bool IsOpen() override;

private:
    uint8_t* data;
    int32_t size;
    uint64_t position;
    bool read_only;

    // Bytes that a transfer of count may move from the position.
    uint32_t Available(uint32_t count) const;
};

#endif
