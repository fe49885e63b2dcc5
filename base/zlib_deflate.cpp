#include "base/zlib_deflate.h"

#include <string.h>

bool deflate_init_stream(z_stream& z, int level)
{
    memset(&z, 0, sizeof z);
    if (deflateInit2(&z, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK)
        return true;
    memset(&z, 0, sizeof z);
    return false;
}

bool deflate_buffer(const void* input, uint32_t size, int level, _typebuf<uint8_t>& output)
{
    output.Clear();
    z_stream z;
    if (!deflate_init_stream(z, level))
        return false;
    uint64_t bound = deflateBound(&z, size);
    bool done = false;
    if (bound <= INT32_MAX) {
        output.Resize(int32_t(bound));
        if (output.Data()) {
            z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
            z.avail_in = size;
            z.next_out = output.Data();
            z.avail_out = uInt(bound);
            done = deflate(&z, Z_FINISH) == Z_STREAM_END && output.Realloc(int32_t(z.total_out));
        }
    }
    deflateEnd(&z);
    if (!done)
        output.Clear();
    return done;
}
