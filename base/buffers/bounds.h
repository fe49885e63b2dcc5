#ifndef BASE_BUFFERS_BOUNDS_H
#define BASE_BUFFERS_BOUNDS_H

// Throw the cException of an index outside a _typebuf or a _classbuf.
[[noreturn]] void throw_typebuf_out_of_bounds();
[[noreturn]] void throw_classbuf_out_of_bounds();

#include <stdint.h>

// The storage and checked access that _typebuf and _classbuf share: an
// element pointer and a signed count; an index outside [0, count) throws
// the buffer's own bounds exception.
template <class T, void (*throw_out_of_bounds)()>
class _checkedbuf {
public:
    T& operator[](int32_t i)
    {
        if (i < 0 || i >= count)
            throw_out_of_bounds();
        return data[i];
    }
    const T& operator[](int32_t i) const
    {
        if (i < 0 || i >= count)
            throw_out_of_bounds();
        return data[i];
    }

    T* Data() { return data; }
    const T* Data() const { return data; }
    int32_t Count() const { return count; }

protected:
    _checkedbuf() : data(nullptr), count(0) {}
    ~_checkedbuf() {}

    T* data;
    int32_t count;
};

#endif
