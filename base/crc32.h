#ifndef BASE_CRC32_H
#define BASE_CRC32_H

#include <stdint.h>

// The reflected CRC-32 of ISO 3309 / IEEE 802.3 (polynomial 0xEDB88320,
// initial value and final complement all ones), as PNG chunks carry it.
// 0 for a null pointer or a length below 1.
uint32_t crc32_compute(const void* data, int32_t length);

#endif
