#ifndef TESTS_SUPPORT_HEAP_PROBE_H
#define TESTS_SUPPORT_HEAP_PROBE_H

#include <gtest/gtest.h>
#include <windows.h>

#include "base/heap.h"

// Busy blocks of the shared heap: equal counts before and after a piece of
// work show that it gave back everything it took.
inline int heap_busy_blocks()
{
    HANDLE heap = heap_get_shared();
    PROCESS_HEAP_ENTRY entry = {};
    int busy = 0;
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(heap);
    return busy;
}

// Declared before the objects of a piece of work, expects as many busy
// blocks when it goes as when it was made: the work gave back all it took.
class cHeapBalance {
public:
    cHeapBalance() : before(heap_busy_blocks()) {}
    ~cHeapBalance() { EXPECT_EQ(Change(), 0) << "shared-heap blocks left busy"; }
    // Blocks taken and not given back so far.
    int Change() const { return heap_busy_blocks() - before; }
    cHeapBalance(const cHeapBalance&) = delete;
    cHeapBalance& operator=(const cHeapBalance&) = delete;

private:
    int before;
};

// Bytes of the shared-heap block at p.
inline size_t heap_block_size(const void* p)
{
    return HeapSize(heap_get_shared(), 0, p);
}

#endif
