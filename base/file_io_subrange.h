#ifndef BASE_FILE_IO_SUBRANGE_H
#define BASE_FILE_IO_SUBRANGE_H

#include <stdint.h>

#include "base/file_io_target.h"

// A window [offset, offset + length) onto a parent stream, which the caller
// owns and keeps alive. Every transfer seeks the parent first, so several
// windows may share one parent.
class cFileIOSubRange : public cFileIOTarget {
public:
    cFileIOSubRange(cFileIOTarget* parent, uint64_t offset, uint64_t length);

    // Clamps the window to the parent's size; without a parent the window
    // is empty. Answers IsOpen().
    bool Attach(cFileIOTarget* parent, uint64_t offset, uint64_t length);

    uint64_t GetSize() override;
    int32_t Read(void* buffer, uint32_t count) override;
    int32_t Write(const void* buffer, uint32_t count) override;
    // Past the end: the position goes to the length, false. Also false when
    // the parent cannot reach the position.
    bool Seek(uint64_t position) override;
    bool SeekFromEnd(uint64_t distance) override;
    // The window never changes size: false.
    bool SetSize(uint64_t size) override;
    // The parent is not the window's to close.
    void Close() override;
    bool IsOpen() override;

private:
    cFileIOTarget* parent;
    uint64_t offset;
    uint64_t length;
    uint64_t position;

    // How many of count bytes the window still holds, after the parent has
    // been placed at the position; 0 when it could not be placed.
    uint32_t PrepareTransfer(uint32_t count);
    // Moves the position past what the parent transferred; answers that.
    int32_t Advance(int32_t moved);
};

#endif
