#include "base/decompress_io_target.h"

#include <string.h>

cDecompressIOTarget::cDecompressIOTarget()
    : view_size(0), view_fill(0), view_start(0), position(0), size(0), source(nullptr), owned_source(nullptr)
{
}

cDecompressIOTarget::~cDecompressIOTarget()
{
    DeleteOwnedSource();
}

void cDecompressIOTarget::DeleteOwnedSource()
{
    delete owned_source;
    owned_source = nullptr;
}

bool cDecompressIOTarget::InView(uint64_t p) const
{
    return p >= view_start && p - view_start < uint64_t(view_fill);
}

uint64_t cDecompressIOTarget::GetSize()
{
    return size;
}

int32_t cDecompressIOTarget::Read(void* buffer, uint32_t count)
{
    if (!source || !buffer || position >= size)
        return 0;
    uint64_t left = size - position;
    uint32_t wanted = io_clamp_count(count < left ? count : left);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < wanted) {
        if (!InView(position)) {
            uint32_t direct = wanted - done >= uint32_t(view_size) ? ReadPastView(out + done, wanted - done) : 0;
            if (direct) {
                done += direct;
                position += direct;
                continue;
            }
            if (!Seek(position) || !InView(position))
                break;
        }
        uint32_t offset = uint32_t(position - view_start);
        uint32_t piece = uint32_t(view_fill) - offset;
        if (piece > wanted - done)
            piece = wanted - done;
        if (piece == 1)
            out[done] = view[int32_t(offset)];
        else
            memcpy(out + done, view.Data() + offset, piece);
        done += piece;
        position += piece;
    }
    return int32_t(done);
}

bool cDecompressIOTarget::Seek(uint64_t target)
{
    if (!source)
        return false;
    if (target > size)
        target = size;
    if (InView(target)) {
        position = target;
        return true;
    }
    if (target < view_start && !Restart())
        return false;
    if (!FillWindow(target))
        return false;
    view_start = target;
    position = target;
    return true;
}

bool cDecompressIOTarget::SeekFromEnd(uint64_t distance)
{
    if (distance > size) {
        Seek(0);
        return false;
    }
    return Seek(size - distance);
}

bool cDecompressIOTarget::SetSize(uint64_t)
{
    return false;
}

void cDecompressIOTarget::Close()
{
    source = nullptr;
    view.Clear();
    view_size = 0;
    view_fill = 0;
    view_start = 0;
    position = 0;
    size = 0;
    DeleteOwnedSource();
}

bool cDecompressIOTarget::IsOpen()
{
    return source && size != 0;
}

uint32_t cDecompressIOTarget::ReadPastView(uint8_t*, uint32_t)
{
    return 0;
}

bool cDecompressIOTarget::QuerySize(cFileIOTarget*)
{
    return false;
}

bool cDecompressIOTarget::Attach(cFileIOTarget* new_source, uint64_t new_size, uint32_t new_view_size, bool own)
{
    source = nullptr;
    if (own) {
        if (owned_source != new_source)
            DeleteOwnedSource();
        owned_source = new_source;
    }
    if (!new_source || new_view_size == 0 || new_view_size > uint32_t(INT32_MAX))
        return false;
    size = new_size;
    if (size == 0 && !QuerySize(new_source))
        return false;
    if ((size >> 32) > 0x7FFFFFFF || size == 0)
        return false;
    view.Resize(int32_t(new_view_size));
    if (!view.Data())
        return false;
    view_size = int32_t(new_view_size);
    view_fill = 0;
    view_start = size;
    position = size;
    source = new_source;
    return Seek(0);
}
