#ifndef BASE_ARENA_H
#define BASE_ARENA_H

#include <stdint.h>

// A bump allocator over zero-filled 64 KiB chunks of virtual memory, for
// thousands of tiny allocations that die together. No per-object free, no
// alignment: a small allocation starts where the previous one ended.
class cArena {
public:
    cArena();
    ~cArena();
    cArena(const cArena&) = delete;
    cArena& operator=(const cArena&) = delete;

    // n < chunk size: from the current chunk (zero-filled); larger requests
    // are separate shared-heap blocks (not zeroed). Null on failure or n < 0.
    void* Alloc(int32_t n);

    // Frees everything at once; the arena can allocate again afterwards.
    void Release();

    // Slots per directory page (slot 0 links the next page). A field so that
    // a test can reach the page boundary without committing a gigabyte.
    int32_t entries_per_page;
    int32_t chunk_size;

private:
    void** chunk_first_page;
    void** chunk_page;
    int32_t chunk_index;
    int32_t chunk_used;
    void** large_first_page;
    void** large_page;
    int32_t large_index;

    void** NewPageAfter(void** page);
};

// VirtualAlloc'd, zero-filled block; null on failure.
void* arena_page_alloc(int32_t size);
void arena_page_free(void* p);

#endif
