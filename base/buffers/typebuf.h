#ifndef BASE_BUFFERS_TYPEBUF_H
#define BASE_BUFFERS_TYPEBUF_H

#include <stdint.h>

#include "base/buffers/bounds.h"
#include "base/heap.h"

// A bounds-checked array of plain elements on the shared heap. Elements are
// never initialised. Allocation failure leaves the buffer empty (null data,
// count 0); callers test Data(). An index outside [0, count) throws.
template <class T>
class _typebuf : public _checkedbuf<T, throw_typebuf_out_of_bounds> {
    using _checkedbuf<T, throw_typebuf_out_of_bounds>::data;
    using _checkedbuf<T, throw_typebuf_out_of_bounds>::count;

public:
    _typebuf() {}
    explicit _typebuf(int32_t n) { Resize(n); }
    ~_typebuf() { Clear(); }
    _typebuf(const _typebuf&) = delete;
    _typebuf& operator=(const _typebuf&) = delete;
    _typebuf(_typebuf&& other)
    {
        data = other.data;
        count = other.count;
        other.data = nullptr;
        other.count = 0;
    }
    _typebuf& operator=(_typebuf&& other)
    {
        if (this != &other) {
            Clear();
            data = other.data;
            count = other.count;
            other.data = nullptr;
            other.count = 0;
        }
        return *this;
    }

    // Contents discarded; n <= 0 empties.
    void Resize(int32_t n)
    {
        Clear();
        if (n <= 0)
            return;
        data = static_cast<T*>(heap_alloc_array(uint64_t(n), sizeof(T)));
        if (data)
            count = n;
    }

    // Contents kept up to the smaller count, the block resized in place
    // where the heap can. When the new block cannot be obtained the old
    // contents stay, unchanged. Returns false then.
    bool Realloc(int32_t n)
    {
        if (n == count)
            return true;
        if (n <= 0) {
            Clear();
            return true;
        }
        T* block = static_cast<T*>(heap_realloc_array(data, uint64_t(n), sizeof(T)));
        if (!block)
            return false;
        data = block;
        count = n;
        return true;
    }

    void Clear()
    {
        if (data)
            heap_free(data);
        data = nullptr;
        count = 0;
    }
};

#endif
