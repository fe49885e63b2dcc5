#ifndef BASE_HEAP_H
#define BASE_HEAP_H

#include <stddef.h>
#include <stdint.h>

typedef void* HANDLE;

// The process-shared heap. Created on first use by the executable's one
// export, so that every module in the process allocates from the same heap.
extern "C" __declspec(dllexport) HANDLE __get_process_shared_heap();

// The heap as the main module's export gives it; 0 when the export or the
// module handle is missing.
HANDLE heap_get_shared();

// Never zeroed; null on failure, never throws.
void* heap_alloc(size_t size);

// count × element_size bytes; a product beyond 32 bits saturates so that
// the heap refuses it.
void* heap_alloc_array(uint64_t count, size_t element_size);

// Moves p's block (null: none) to count × element_size bytes, keeping its
// bytes up to the smaller size, in place where the heap can. Null on failure,
// with p's block untouched.
void* heap_realloc_array(void* p, uint64_t count, size_t element_size);

// Callers skip null pointers; does nothing while no heap exists.
void heap_free(void* p);

#endif
