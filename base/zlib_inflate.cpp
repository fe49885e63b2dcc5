#include "base/zlib_inflate.h"

#include <string.h>

void zlib_inflate_init(z_stream& z)
{
    memset(&z, 0, sizeof z);
    // The interface version the program was written against; zlib accepts
    // any 1.x text with its own stream structure's size.
    inflateInit_(&z, "1.2.5", int(sizeof(z_stream)));
}

void zlib_inflate_release(z_stream& z)
{
    inflateEnd(&z);
    memset(&z, 0, sizeof z);
}

uint32_t inflate_buffer(const void* input, uint32_t input_size, void* output, uint32_t output_size)
{
    z_stream z;
    zlib_inflate_init(z);
    z.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(input));
    z.avail_in = input_size;
    z.next_out = static_cast<Bytef*>(output);
    z.avail_out = output_size;
    bool whole = inflate(&z, Z_FINISH) == Z_STREAM_END && z.avail_out == 0;
    zlib_inflate_release(z);
    return whole ? output_size : 0;
}
