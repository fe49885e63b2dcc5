#ifndef BASE_PARALLEL_FOR_H
#define BASE_PARALLEL_FOR_H

#include <stdint.h>

// Processors the system reports, at least 1.
uint32_t processor_count();

// Calls work(context, index) once for every index below count, on up to
// one thread per processor (the calling thread among them), and returns
// when every call has returned. Calls for different indices run at the
// same time: work must allow that. The indices are handed out in rising
// order, so that work put first starts first. Where no thread can be
// started the calling thread does all of it. When the calling thread is a
// job that is cancelled while it works on an index, the cancellation goes
// on only once the other threads have ended: they take no further index,
// and each finishes the call it is in.
void parallel_for(uint32_t count, void (*work)(void* context, uint32_t index), void* context);

// The same for work that mostly waits (network exchanges) rather than
// computes: one thread per index whatever the processors, up to 64 at once,
// so that up to 64 waits overlap. The calling thread only waits for them
// (it does the work itself only when no thread can be started).
void parallel_for_waits(uint32_t count, void (*work)(void* context, uint32_t index), void* context);

#endif
