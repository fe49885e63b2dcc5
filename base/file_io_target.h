#ifndef BASE_FILE_IO_TARGET_H
#define BASE_FILE_IO_TARGET_H

#include <stdint.h>

// The stream every reader and writer moves bytes through. Sizes and
// positions are unsigned 64-bit; one transfer moves at most 2^31 - 1 bytes
// and answers the count it moved (0 on failure, short at the end). No
// operation throws. A stream belongs to one thread at a time.
class cFileIOTarget {
public:
    cFileIOTarget() = default;
    cFileIOTarget(const cFileIOTarget&) = delete;
    cFileIOTarget& operator=(const cFileIOTarget&) = delete;

    virtual uint64_t GetSize() = 0;
    virtual int32_t Read(void* buffer, uint32_t count) = 0;
    // Streams that only read answer 0.
    virtual int32_t Write(const void* buffer, uint32_t count);
    // True when exactly count bytes moved.
    virtual bool ReadExact(void* buffer, uint32_t count);
    virtual bool WriteExact(const void* buffer, uint32_t count);
    // Position from the start. A position the stream cannot reach answers
    // false; where the position then stands is each stream's own rule.
    virtual bool Seek(uint64_t position) = 0;
    // Position `distance` bytes before the end.
    virtual bool SeekFromEnd(uint64_t distance) = 0;
    virtual bool SetSize(uint64_t size) = 0;
    virtual void Close() = 0;
    // Creation and last-write time, UTC; false where the stream has no times.
    virtual bool SetTime(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
                         uint16_t second);
    virtual bool IsOpen();
    virtual ~cFileIOTarget();
    // 1 for a file (cFileIO), 2 for a memory stream (cMemIOTarget), 0 otherwise.
    virtual uint32_t GetKind();
};

// Counts are limited to what a 32-bit signed result can report.
inline uint32_t io_clamp_count(uint64_t count)
{
    return count > INT32_MAX ? uint32_t(INT32_MAX) : uint32_t(count);
}

#endif
