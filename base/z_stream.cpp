#include "base/z_stream.h"

#include <string.h>

#include "base/zlib_inflate.h"

namespace {

const uint64_t not_started = ~uint64_t(0);
// The output buffer holds twice the view and its size must fit zlib's counts.
const uint32_t largest_view = 0x3FFFFFFF;
// Compressed bytes read from the source at a time, at least. zlib copies
// the output of every call into its 32 KiB window, so a call should give
// well beyond that much.
const uint32_t least_input = 0x10000;

}  // namespace

cZStream::cZStream() : output_offset(not_started)
{
    memset(&z, 0, sizeof z);
}

cZStream::~cZStream()
{
    zlib_inflate_release(z);
}

bool cZStream::Attach(cFileIOTarget* new_source, uint64_t new_size, uint32_t new_view_size, bool own)
{
    // Close deletes the owned source, which may be the one attached again.
    bool again = new_source && new_source == owned_source;
    if (again)
        owned_source = nullptr;
    Close();
    if (new_source && new_view_size != 0 && new_view_size <= largest_view) {
        input.Resize(int32_t(new_view_size < least_input ? least_input : new_view_size));
        output.Resize(int32_t(new_view_size * 2));
    }
    output_offset = not_started;
    zlib_inflate_init(z);
    // Without buffers the base refuses the (then empty) view, but still
    // takes ownership of the source when asked.
    bool buffered = input.Data() && output.Data();
    return cDecompressIOTarget::Attach(new_source, new_size, buffered ? new_view_size : 0, own || again);
}

bool cZStream::Restart()
{
    output_offset = not_started;
    return inflateReset(&z) == Z_OK;
}

bool cZStream::InflateMore()
{
    if (z.avail_out == 0) {
        output_offset += uint32_t(output.Count());
        z.next_out = output.Data();
        z.avail_out = uint32_t(output.Count());
    }
    return InflateInto();
}

bool cZStream::InflateInto()
{
    if (z.avail_in == 0) {
        int32_t got = source->Read(input.Data(), uint32_t(input.Count()));
        z.next_in = input.Data();
        z.avail_in = got > 0 ? uint32_t(got) : 0;
    }
    uint32_t in_before = z.avail_in;
    uint32_t out_before = z.avail_out;
    // Output that comes with an error answer was decoded before the damage
    // and counts. zlib keeps answering the error, or Z_STREAM_END after the
    // end, without moving; that ends the filling.
    inflate(&z, Z_FULL_FLUSH);
    return z.avail_in != in_before || z.avail_out != out_before;
}

bool cZStream::FillWindow(uint64_t p)
{
    if (!source || !input.Data() || !output.Data() || !view.Data() || p > size)
        return false;
    // A failed fill may have carried decompression past positions that are
    // still after the view; those need a restart too.
    if (output_offset != not_started && p < output_offset && !Restart())
        return false;
    if (output_offset == not_started) {
        if (!source->Seek(0))
            return false;
        z.next_in = input.Data();
        z.avail_in = 0;
        z.next_out = output.Data();
        z.avail_out = uint32_t(output.Count());
        output_offset = 0;
    }
    uint32_t wanted = uint32_t(size - p < uint64_t(view_size) ? size - p : uint64_t(view_size));
    uint32_t placed = 0;
    while (placed < wanted) {
        uint64_t produced_end = output_offset + (uint32_t(output.Count()) - z.avail_out);
        if (p >= produced_end) {
            if (InflateMore())
                continue;
            if (placed == 0)
                return false;
            break;
        }
        uint64_t available = produced_end - p;
        uint32_t piece = available < wanted - placed ? uint32_t(available) : wanted - placed;
        memcpy(view.Data() + placed, output.Data() + (p - output_offset), piece);
        placed += piece;
        p += piece;
    }
    view_fill = int32_t(placed);
    return true;
}

uint32_t cZStream::ReadPastView(uint8_t* out, uint32_t count)
{
    if (output_offset == not_started || position < output_offset)
        return 0;
    uint32_t held = uint32_t(output.Count()) - z.avail_out;
    uint64_t produced_end = output_offset + held;
    if (position > produced_end)
        return 0;
    if (position < produced_end) {
        uint32_t piece = produced_end - position < uint64_t(count) ? uint32_t(produced_end - position) : count;
        memcpy(out, output.Data() + (position - output_offset), piece);
        return piece;
    }
    // The output buffer is bypassed, and starts empty at the new position.
    z.next_out = out;
    z.avail_out = count;
    while (z.avail_out != 0 && InflateInto()) {
    }
    uint32_t placed = count - z.avail_out;
    output_offset = position + placed;
    z.next_out = output.Data();
    z.avail_out = uint32_t(output.Count());
    return placed;
}

void cZStream::Close()
{
    zlib_inflate_release(z);
    output_offset = not_started;
    input.Clear();
    output.Clear();
    cDecompressIOTarget::Close();
}
