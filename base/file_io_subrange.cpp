#include "base/file_io_subrange.h"

cFileIOSubRange::cFileIOSubRange(cFileIOTarget* source, uint64_t window_offset, uint64_t window_length)
    : parent(nullptr), offset(0), length(0), position(0)
{
    Attach(source, window_offset, window_length);
}

bool cFileIOSubRange::Attach(cFileIOTarget* source, uint64_t window_offset, uint64_t window_length)
{
    parent = source;
    offset = 0;
    length = 0;
    position = 0;
    if (parent) {
        uint64_t total = parent->GetSize();
        offset = window_offset < total ? window_offset : total;
        length = window_length < total - offset ? window_length : total - offset;
    }
    return IsOpen();
}

uint64_t cFileIOSubRange::GetSize()
{
    return length;
}

uint32_t cFileIOSubRange::PrepareTransfer(uint32_t count)
{
    if (!parent || position >= length)
        return 0;
    uint64_t left = length - position;
    uint32_t n = io_clamp_count(count < left ? count : left);
    if (n == 0 || !parent->Seek(offset + position))
        return 0;
    return n;
}

int32_t cFileIOSubRange::Advance(int32_t moved)
{
    if (moved <= 0)
        return 0;
    position += uint32_t(moved);
    return moved;
}

int32_t cFileIOSubRange::Read(void* buffer, uint32_t count)
{
    uint32_t n = PrepareTransfer(count);
    return n ? Advance(parent->Read(buffer, n)) : 0;
}

int32_t cFileIOSubRange::Write(const void* buffer, uint32_t count)
{
    uint32_t n = PrepareTransfer(count);
    return n ? Advance(parent->Write(buffer, n)) : 0;
}

bool cFileIOSubRange::Seek(uint64_t target)
{
    if (!parent)
        return false;
    if (target > length) {
        position = length;
        parent->Seek(offset + length);
        return false;
    }
    position = target;
    return parent->Seek(offset + position);
}

bool cFileIOSubRange::SeekFromEnd(uint64_t distance)
{
    if (!parent)
        return false;
    if (distance > length) {
        position = 0;
        parent->Seek(offset);
        return false;
    }
    position = length - distance;
    return parent->Seek(offset + position);
}

bool cFileIOSubRange::SetSize(uint64_t)
{
    return false;
}

void cFileIOSubRange::Close()
{
}

bool cFileIOSubRange::IsOpen()
{
    return parent && length != 0;
}
