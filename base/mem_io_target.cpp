#include "base/mem_io_target.h"

#include <string.h>

cMemIOTarget::cMemIOTarget() : position(0), chunk_size(0x10000), size(0), chunks(512)
{
}

cMemIOTarget::~cMemIOTarget()
{
}

uint64_t cMemIOTarget::GetSize()
{
    return uint64_t(size);
}

void cMemIOTarget::CopyOut(uint8_t* out, int32_t from, int32_t count)
{
    while (count > 0) {
        int32_t index = from / chunk_size;
        int32_t offset = from % chunk_size;
        int32_t piece = chunk_size - offset < count ? chunk_size - offset : count;
        _typebuf<uint8_t>* chunk = tree_find_value(chunks, index);
        if (chunk && chunk->Data())
            memcpy(out, chunk->Data() + offset, size_t(piece));
        else
            memset(out, 0, size_t(piece));
        out += piece;
        from += piece;
        count -= piece;
    }
}

int32_t cMemIOTarget::Read(void* buffer, uint32_t count)
{
    if (!buffer || count == 0 || position >= size)
        return 0;
    int32_t n = uint64_t(count) < uint64_t(size - position) ? int32_t(count) : size - position;
    if (n == 1) {
        _typebuf<uint8_t>* chunk = tree_find_value(chunks, position / chunk_size);
        *static_cast<uint8_t*>(buffer) = chunk && chunk->Data() ? chunk->Data()[position % chunk_size] : 0;
    } else {
        CopyOut(static_cast<uint8_t*>(buffer), position, n);
    }
    position += n;
    return n;
}

uint8_t* cMemIOTarget::WritableChunk(int32_t index)
{
    _typebuf<uint8_t>* chunk = tree_get_or_add(chunks, index);
    if (!chunk)
        return nullptr;
    if (!chunk->Data()) {
        chunk->Resize(chunk_size);
        if (!chunk->Data())
            return nullptr;
        memset(chunk->Data(), 0, size_t(chunk_size));
    }
    return chunk->Data();
}

int32_t cMemIOTarget::Write(const void* buffer, uint32_t count)
{
    if (!buffer || count == 0)
        return 0;
    uint32_t room = uint32_t(INT32_MAX - position);
    int32_t n = int32_t(count < room ? count : room);
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    int32_t written = 0;
    while (written < n) {
        int32_t offset = position % chunk_size;
        uint8_t* chunk = WritableChunk(position / chunk_size);
        if (!chunk)
            break;
        int32_t piece = chunk_size - offset < n - written ? chunk_size - offset : n - written;
        if (piece == 1)
            chunk[offset] = in[written];
        else
            memcpy(chunk + offset, in + written, size_t(piece));
        written += piece;
        position += piece;
    }
    if (position > size)
        size = position;
    return written;
}

bool cMemIOTarget::Seek(uint64_t target)
{
    if (target > uint64_t(size)) {
        position = size;
        return false;
    }
    position = int32_t(target);
    return true;
}

bool cMemIOTarget::SeekFromEnd(uint64_t distance)
{
    if (distance > uint64_t(size)) {
        position = 0;
        return false;
    }
    position = size - int32_t(distance);
    return true;
}

bool cMemIOTarget::SetSize(uint64_t new_size)
{
    if (new_size > uint64_t(INT32_MAX))
        return false;
    int32_t n = int32_t(new_size);
    int32_t kept_chunks = int32_t((int64_t(n) + chunk_size - 1) / chunk_size);
    if (kept_chunks == 0)
        tree_clear(chunks);
    // Chunks past the new end go from the largest index down.
    for (;;) {
        cTreeNode<int32_t, _typebuf<uint8_t>>* last = chunks.root;
        while (last && last->greater)
            last = last->greater;
        if (!last || last->key < kept_chunks)
            break;
        tree_erase_node(chunks, last);
    }
    int32_t tail = n % chunk_size;
    if (tail != 0) {
        _typebuf<uint8_t>* chunk = tree_find_value(chunks, kept_chunks - 1);
        if (chunk && chunk->Data())
            memset(chunk->Data() + tail, 0, size_t(chunk_size - tail));
    }
    size = n;
    if (position > size)
        position = size;
    return true;
}

void cMemIOTarget::Close()
{
    tree_clear(chunks);
    position = 0;
    size = 0;
}

bool cMemIOTarget::IsOpen()
{
    return true;
}

uint32_t cMemIOTarget::GetKind()
{
    return 2;
}

bool cMemIOTarget::CopyTo(_typebuf<uint8_t>& out)
{
    out.Resize(size);
    if (size == 0)
        return true;
    if (!out.Data())
        return false;
    CopyOut(out.Data(), 0, size);
    return true;
}
