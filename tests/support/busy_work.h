#ifndef TESTS_SUPPORT_BUSY_WORK_H
#define TESTS_SUPPORT_BUSY_WORK_H

#include <windows.h>

#include <stdint.h>
#include <stdlib.h>

// Program code that never looks at a stop flag, working on memory as real
// work does: where a job's forced cancellation can reach a thread. Kept
// opaque to the optimiser: code it proves unable to fault (a loop over
// known addresses only) loses the exception paths in its callers, and a
// thread caught there is resumed and tried again later.
inline volatile uint32_t spin_counter;

__attribute__((noipa)) inline void spin_on(volatile uint32_t* counter)
{
    for (;;)
        *counter = *counter + 1;
}

[[noreturn]] inline void spin_forever()
{
    spin_on(&spin_counter);
    abort();
}

// Busy in program code, as real work is, for about ms milliseconds.
inline void spin_for_ms(uint32_t ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;)
        spin_counter = spin_counter + 1;
}

#endif
