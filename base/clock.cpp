#include "base/clock.h"

#include <windows.h>

namespace {

// Fixed at boot; read once for the whole run.
uint64_t counter_frequency()
{
    static const uint64_t frequency = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) ? uint64_t(f.QuadPart) : 0;
    }();
    return frequency;
}

}  // namespace

uint64_t clock_ticks_to_us(uint64_t ticks, uint64_t frequency)
{
    if (!frequency)
        return 0;
    // The remainder is below the frequency, so its product stays in 64 bits
    // for any counter rate below 18 THz.
    return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

uint64_t clock_now_us()
{
    uint64_t frequency = counter_frequency();
    if (!frequency)
        return 0;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return clock_ticks_to_us(uint64_t(counter.QuadPart), frequency);
}
