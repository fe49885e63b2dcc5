#ifndef TESTS_SUPPORT_CRT_HEAP_PROBE_H
#define TESTS_SUPPORT_CRT_HEAP_PROBE_H

#include <malloc.h>

// Busy blocks of the C runtime's heap, where zlib's default allocator puts
// its state and window: equal counts around a piece of work show that the
// work gave back what zlib took. -1 when the heap cannot be walked.
inline int crt_busy_blocks()
{
    _HEAPINFO info = {};
    int busy = 0;
    int status;
    while ((status = _heapwalk(&info)) == _HEAPOK)
        busy += info._useflag == _USEDENTRY;
    return status == _HEAPEND ? busy : -1;
}

#endif
