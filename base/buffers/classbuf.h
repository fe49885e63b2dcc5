#ifndef BASE_BUFFERS_CLASSBUF_H
#define BASE_BUFFERS_CLASSBUF_H

#include <stdint.h>

#include "base/buffers/bounds.h"

// The twin of _typebuf for class objects: the elements are constructed in
// order by the array form of new and destroyed in reverse by delete[].
// Allocation failure leaves the buffer empty.
template <class T>
class _classbuf : public _checkedbuf<T, throw_classbuf_out_of_bounds> {
    using _checkedbuf<T, throw_classbuf_out_of_bounds>::data;
    using _checkedbuf<T, throw_classbuf_out_of_bounds>::count;

public:
    _classbuf() {}
    explicit _classbuf(int32_t n) { Resize(n); }
    ~_classbuf() { Clear(); }
    _classbuf(const _classbuf&) = delete;
    _classbuf& operator=(const _classbuf&) = delete;

    void Resize(int32_t n)
    {
        Clear();
        // Refused before new[] would meet a size it cannot express.
        if (n <= 0 || uint64_t(n) * sizeof(T) > 0x7FFFFFF0u)
            return;
        data = new T[n];
        if (data)
            count = n;
    }

    void Clear()
    {
        delete[] data;
        data = nullptr;
        count = 0;
    }
};

#endif
