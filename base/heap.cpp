#include "base/heap.h"

#include <new>
#include <windows.h>

#include "base/dynamic_import.h"

namespace {

// Set by the export and by heap_alloc's lookup; no lock: the first
// allocation happens on the main thread before any worker exists.
HANDLE shared_heap = nullptr;

}  // namespace

extern "C" __declspec(dllexport) HANDLE __get_process_shared_heap()
{
    if (!shared_heap)
        shared_heap = HeapCreate(0, 1024, 0);
    return shared_heap;
}

HANDLE heap_get_shared()
{
    typedef HANDLE (*get_heap_fn)();
    get_heap_fn get_heap = dynamic_import<get_heap_fn>(GetModuleHandleW(nullptr), "__get_process_shared_heap");
    return get_heap ? get_heap() : nullptr;
}

void* heap_alloc(size_t size)
{
    if (!shared_heap)
        shared_heap = heap_get_shared();
    if (!shared_heap)
        return nullptr;
    return HeapAlloc(shared_heap, 0, size);
}

namespace {

// A product beyond 32 bits saturates so that the heap refuses it.
size_t array_bytes(uint64_t count, size_t element_size)
{
    uint64_t bytes = count * element_size;
    return size_t(bytes > 0xFFFFFFFFull ? 0xFFFFFFFFull : bytes);
}

}  // namespace

void* heap_alloc_array(uint64_t count, size_t element_size)
{
    return heap_alloc(array_bytes(count, element_size));
}

void* heap_realloc_array(void* p, uint64_t count, size_t element_size)
{
    if (!p)
        return heap_alloc_array(count, element_size);
    return shared_heap ? HeapReAlloc(shared_heap, 0, p, array_bytes(count, element_size)) : nullptr;
}

void heap_free(void* p)
{
    if (shared_heap)
        HeapFree(shared_heap, 0, p);
}

// Every new and delete of the process goes to the shared heap. new answers
// null instead of throwing; the program is built with -fcheck-new so that a
// null result skips the constructor.
void* operator new(size_t size) { return heap_alloc(size); }
void* operator new[](size_t size) { return heap_alloc(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return heap_alloc(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return heap_alloc(size); }

void operator delete(void* p) noexcept
{
    if (p)
        heap_free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }
