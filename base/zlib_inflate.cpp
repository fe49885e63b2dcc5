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
