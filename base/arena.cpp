#include "base/arena.h"

#include <string.h>
#include <windows.h>

#include "base/heap.h"

void* arena_page_alloc(int32_t size)
{
    void* p = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (p)
        memset(p, 0, size);
    return p;
}

void arena_page_free(void* p)
{
    VirtualFree(p, 0, MEM_RELEASE);
}

cArena::cArena()
    : entries_per_page(16384), chunk_size(0x10000),
      chunk_first_page(nullptr), chunk_page(nullptr), chunk_index(0), chunk_used(0),
      large_first_page(nullptr), large_page(nullptr), large_index(0)
{
}

cArena::~cArena()
{
    Release();
}

// A fresh directory page linked from slot 0 of `page` (or standing alone
// when page is null).
void** cArena::NewPageAfter(void** page)
{
    void** fresh = static_cast<void**>(arena_page_alloc(chunk_size));
    if (fresh && page)
        page[0] = fresh;
    return fresh;
}

void* cArena::Alloc(int32_t n)
{
    if (n < 0)
        return nullptr;

    if (n < chunk_size) {
        if (!chunk_first_page) {
            chunk_page = NewPageAfter(nullptr);
            if (!chunk_page)
                return nullptr;
            chunk_first_page = chunk_page;
            chunk_index = 1;
            chunk_used = 0;
            chunk_page[1] = arena_page_alloc(chunk_size);
        }
        char* chunk = static_cast<char*>(chunk_page[chunk_index]);
        if (chunk && chunk_used + n <= chunk_size) {
            void* result = chunk + chunk_used;
            chunk_used += n;
            return result;
        }
        // A chunk that could not be obtained is retried in its own slot;
        // a full one is abandoned for the next slot.
        if (chunk) {
            if (chunk_index + 1 >= entries_per_page) {
                void** page = NewPageAfter(chunk_page);
                if (!page)
                    return nullptr;
                chunk_page = page;
                chunk_index = 1;
            } else {
                ++chunk_index;
            }
        }
        chunk = static_cast<char*>(arena_page_alloc(chunk_size));
        chunk_page[chunk_index] = chunk;
        if (!chunk)
            return nullptr;
        chunk_used = n;
        return chunk;
    }

    if (!large_first_page) {
        large_page = NewPageAfter(nullptr);
        if (!large_page)
            return nullptr;
        large_first_page = large_page;
        large_index = 1;
    }
    if (large_index >= entries_per_page) {
        void** page = NewPageAfter(large_page);
        if (!page)
            return nullptr;
        large_page = page;
        large_index = 1;
    }
    void* block = heap_alloc(n);
    if (!block)
        return nullptr;
    large_page[large_index++] = block;
    return block;
}

void cArena::Release()
{
    for (void** page = large_first_page; page;) {
        int32_t end = page == large_page ? large_index : entries_per_page;
        for (int32_t i = 1; i < end; ++i)
            if (page[i])
                heap_free(page[i]);
        void** next = static_cast<void**>(page[0]);
        arena_page_free(page);
        page = next;
    }
    large_first_page = nullptr;

    for (void** page = chunk_first_page; page;) {
        int32_t end = page == chunk_page ? chunk_index + 1 : entries_per_page;
        for (int32_t i = 1; i < end; ++i)
            if (page[i])
                arena_page_free(page[i]);
        void** next = static_cast<void**>(page[0]);
        arena_page_free(page);
        page = next;
    }
    chunk_first_page = nullptr;
}
