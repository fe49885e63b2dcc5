#ifndef BASE_SYSTEM_INFO_H
#define BASE_SYSTEM_INFO_H

#include <stdint.h>

// The major version of Windows as the kernel reports it (RtlGetVersion,
// which compatibility settings do not lower), 4 when it cannot be asked.
// Asked once; later calls answer the stored value.
uint32_t os_major_version();

bool os_is_win10_or_later();

// True when this 32-bit process runs on 64-bit Windows; false also when
// that cannot be asked.
bool os_is_wow64();

#endif
