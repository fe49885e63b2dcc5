#ifndef BASE_BYTE_ORDER_H
#define BASE_BYTE_ORDER_H

#include <stdint.h>

// Multi-byte numbers in byte buffers, read and written at any alignment in
// the byte order each file format defines.

inline uint16_t read_u16_le(const uint8_t* bytes)
{
    return uint16_t(bytes[0] | bytes[1] << 8);
}

inline uint32_t read_u32_le(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

inline uint64_t read_u64_le(const uint8_t* bytes)
{
    return read_u32_le(bytes) | uint64_t(read_u32_le(bytes + 4)) << 32;
}

inline uint16_t read_u16_be(const uint8_t* bytes)
{
    return uint16_t(bytes[0] << 8 | bytes[1]);
}

inline uint32_t read_u32_be(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

inline void write_u16_le(uint8_t* bytes, uint32_t value)
{
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}

inline void write_u32_le(uint8_t* bytes, uint32_t value)
{
    write_u16_le(bytes, value);
    write_u16_le(bytes + 2, value >> 16);
}

#endif
