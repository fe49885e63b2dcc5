#ifndef BASE_BYTE_ORDER_H
#define BASE_BYTE_ORDER_H

#include <stdint.h>

// Little-endian numbers in byte buffers, as the program's file formats
// store them.

inline uint16_t read_u16_le(const uint8_t* bytes)
{
    return uint16_t(bytes[0] | bytes[1] << 8);
}

inline uint32_t read_u32_le(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
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
