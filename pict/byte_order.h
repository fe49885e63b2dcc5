#ifndef PICT_BYTE_ORDER_H
#define PICT_BYTE_ORDER_H

#include <stdint.h>

// Multi-byte numbers of file formats, read from unaligned bytes.
inline uint16_t read_be16(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

inline uint32_t read_be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

inline uint16_t read_le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t read_le32(const uint8_t* p)
{
    return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t read_le64(const uint8_t* p)
{
    return read_le32(p) | uint64_t(read_le32(p + 4)) << 32;
}

#endif
