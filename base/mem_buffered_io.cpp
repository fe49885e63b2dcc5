#include "base/mem_buffered_io.h"

#include <string.h>

namespace {

const int32_t window_capacity = 4096;

}  // namespace

cMemBufferedIO::cMemBufferedIO()
    : source(nullptr), owned_source(nullptr), index(0), fill(0), position(0), source_size(0)
{
}

cMemBufferedIO::~cMemBufferedIO()
{
    DeleteOwnedSource();
}

void cMemBufferedIO::DeleteOwnedSource()
{
    delete owned_source;
    owned_source = nullptr;
}

void cMemBufferedIO::EmptyWindow()
{
    index = window.Count();
    fill = 0;
}

bool cMemBufferedIO::Attach(cFileIOTarget* new_source, bool own)
{
    if (owned_source != new_source)
        DeleteOwnedSource();
    source = new_source;
    if (own)
        owned_source = new_source;
    position = 0;
    source_size = 0;
    window.Resize(window_capacity);
    EmptyWindow();
    if (!source || !window.Data() || !source->Seek(0))
        return false;
    source_size = source->GetSize();
    return true;
}

uint64_t cMemBufferedIO::GetSize()
{
    return source ? source_size : 0;
}

int32_t cMemBufferedIO::Read(void* buffer, uint32_t count)
{
    if (count == 0 || !source || !buffer || !window.Data())
        return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t wanted = io_clamp_count(count);
    uint32_t done = 0;
    if (index < fill) {
        if (wanted == 1) {
            *out = window[index++];
            ++position;
            return 1;
        }
        uint32_t held = uint32_t(fill - index);
        done = wanted < held ? wanted : held;
        memcpy(out, window.Data() + index, done);
        index += int32_t(done);
        position += done;
        if (done == wanted)
            return int32_t(done);
    }

    uint32_t rest = wanted - done;
    if (rest > uint32_t(window.Count())) {
        EmptyWindow();
        if (!source->Seek(position))
            return int32_t(done);
        int32_t got = source->Read(out + done, rest);
        if (got > 0) {
            position += uint32_t(got);
            done += uint32_t(got);
        }
        return int32_t(done);
    }

    EmptyWindow();
    if (!source->Seek(position))
        return int32_t(done);
    int32_t got = source->Read(window.Data(), uint32_t(window.Count()));
    fill = got > 0 ? got : 0;
    uint32_t m = rest < uint32_t(fill) ? rest : uint32_t(fill);
    memcpy(out + done, window.Data(), m);
    index = int32_t(m);
    position += m;
    return int32_t(done + m);
}

int32_t cMemBufferedIO::Write(const void* buffer, uint32_t count)
{
    if (!source)
        return 0;
    EmptyWindow();
    if (!source->Seek(position))
        return 0;
    int32_t written = source->Write(buffer, count);
    if (written <= 0)
        return 0;
    position += uint32_t(written);
    if (position > source_size)
        source_size = position;
    return written;
}

bool cMemBufferedIO::Seek(uint64_t target)
{
    if (!source)
        return false;
    if (target == position)
        return true;
    // The window's first byte stays at position - index while index moves.
    int32_t capacity = window.Count();
    if (target < position) {
        uint64_t back = position - target;
        if (index < capacity && back <= uint64_t(index))
            index -= int32_t(back);
        else
            EmptyWindow();
    } else {
        uint64_t ahead = target - position;
        if (ahead < uint64_t(capacity - index))
            index += int32_t(ahead);
        else
            EmptyWindow();
    }
    position = target;
    return true;
}

bool cMemBufferedIO::SeekFromEnd(uint64_t distance)
{
    if (!source || distance > source_size)
        return false;
    position = source_size - distance;
    EmptyWindow();
    return true;
}

bool cMemBufferedIO::SetSize(uint64_t size)
{
    if (!source || !source->SetSize(size))
        return false;
    source_size = size;
    EmptyWindow();
    return true;
}

void cMemBufferedIO::Close()
{
    DeleteOwnedSource();
    source = nullptr;
    source_size = 0;
    window.Clear();
    index = 0;
    fill = 0;
    position = 0;
}

bool cMemBufferedIO::IsOpen()
{
    return source && source->IsOpen();
}

cJP2FileIOTarget::~cJP2FileIOTarget()
{
}
