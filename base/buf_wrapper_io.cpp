#include "base/buf_wrapper_io.h"

#include <string.h>

cBufWrapperIO::cBufWrapperIO() : data(nullptr), size(0), position(0), read_only(false)
{
}

cBufWrapperIO::cBufWrapperIO(void* block, int32_t block_size, bool writable)
    : data(nullptr), size(0), position(0), read_only(false)
{
    Attach(block, block_size, writable);
}

cBufWrapperIO::~cBufWrapperIO()
{
}

bool cBufWrapperIO::Attach(void* block, int32_t block_size, bool writable)
{
    data = static_cast<uint8_t*>(block);
    size = block_size > 0 ? block_size : 0;
    position = 0;
    read_only = !writable;
    return IsOpen();
}

uint64_t cBufWrapperIO::GetSize()
{
    return uint64_t(size);
}

uint32_t cBufWrapperIO::Available(uint32_t count) const
{
    // Compared in 64 bits: the position may have any 64-bit value.
    if (position >= uint64_t(size))
        return 0;
    uint64_t left = uint64_t(size) - position;
    return count < left ? count : uint32_t(left);
}

int32_t cBufWrapperIO::Read(void* buffer, uint32_t count)
{
    if (!data || !buffer)
        return 0;
    uint32_t n = Available(count);
    if (n == 0)
        return 0;
    memcpy(buffer, data + position, n);
    position += n;
    return int32_t(n);
}

int32_t cBufWrapperIO::Write(const void* buffer, uint32_t count)
{
    if (!data || !buffer || read_only)
        return 0;
    uint32_t n = Available(count);
    if (n == 0)
        return 0;
    memcpy(data + position, buffer, n);
    position += n;
    return int32_t(n);
}

bool cBufWrapperIO::Seek(uint64_t target)
{
    if (target > uint64_t(size)) {
        position = uint64_t(size);
        return false;
    }
    position = target;
    return true;
}

bool cBufWrapperIO::SeekFromEnd(uint64_t distance)
{
    if (distance > uint64_t(size)) {
        position = 0;
        return false;
    }
    position = uint64_t(size) - distance;
    return true;
}

bool cBufWrapperIO::SetSize(uint64_t new_size)
{
    return new_size == uint64_t(size);
}

void cBufWrapperIO::Close()
{
    data = nullptr;
    size = 0;
    position = 0;
    read_only = false;
}

bool cBufWrapperIO::IsOpen()
{
    return data != nullptr;
}
