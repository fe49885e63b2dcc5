#include "base/crc32.h"

#include <zlib.h>

uint32_t crc32_compute(const void* data, int32_t length)
{
    if (!data || length < 1)
        return 0;
    // zlib, linked for inflating anyway, computes this same CRC several
    // bytes per step.
    return uint32_t(crc32(0, static_cast<const Bytef*>(data), uInt(length)));
}
