#ifndef BASE_CLOCK_H
#define BASE_CLOCK_H

#include <stdint.h>

// Microseconds of the performance counter (since system start); 0 on a
// system without one. Monotonic.
uint64_t clock_now_us();

// ticks × 1,000,000 / frequency without overflowing for any counter value
// (by quotient and remainder); 0 for frequency 0.
uint64_t clock_ticks_to_us(uint64_t ticks, uint64_t frequency);

#endif
