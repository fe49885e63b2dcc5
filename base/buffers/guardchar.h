#ifndef BASE_BUFFERS_GUARDCHAR_H
#define BASE_BUFFERS_GUARDCHAR_H

#include <stdint.h>
#include <string.h>

#include "base/heap.h"

// An owned, NUL-terminated string on the shared heap; a null text is the
// empty string. Over wchar_t (UTF-16, the program's ordinary string) and
// over char (narrow and UTF-8 text). Never copied implicitly: copy with
// Assign. Allocation failure leaves the string empty.
template <class T>
class _guardchar {
public:
    _guardchar() : text(nullptr) {}
    explicit _guardchar(const T* source) : text(nullptr) { Assign(source); }
    virtual ~_guardchar() { Free(); }
    _guardchar(const _guardchar&) = delete;
    _guardchar& operator=(const _guardchar&) = delete;

    virtual void Clear() { Free(); }

    // Copies source up to its NUL; a null source leaves the string empty.
    void Assign(const T* source)
    {
        Clear();
        if (!source)
            return;
        size_t length = 0;
        while (source[length])
            ++length;
        T* block = static_cast<T*>(heap_alloc_array(uint64_t(length) + 1, sizeof(T)));
        if (!block)
            return;
        memcpy(block, source, length * sizeof(T));
        block[length] = 0;
        text = block;
    }

    // Up to n units of source, stopping after a NUL; the block holds n + 1
    // units with a NUL at n. Returns the units copied before a NUL (n when
    // none came).
    int32_t AssignN(const T* source, int32_t n)
    {
        Clear();
        if (!source || n < 0)
            return 0;
        T* block = static_cast<T*>(heap_alloc_array(uint64_t(n) + 1, sizeof(T)));
        if (!block)
            return 0;
        int32_t copied = 0;
        while (copied < n) {
            block[copied] = source[copied];
            if (!source[copied])
                break;
            ++copied;
        }
        block[n] = 0;
        text = block;
        return copied;
    }

    // n zeroed units for the caller to fill, terminator included.
    void Allocate(int32_t n)
    {
        Clear();
        // No block of 2 GiB or more exists in a 32-bit process.
        if (n <= 0 || uint64_t(n) * sizeof(T) > INT32_MAX)
            return;
        text = static_cast<T*>(heap_alloc(size_t(n) * sizeof(T)));
        if (text)
            memset(text, 0, size_t(n) * sizeof(T));
    }

    // Exchanges the two texts without copying them.
    void Swap(_guardchar& other)
    {
        T* mine = text;
        text = other.text;
        other.text = mine;
    }

    const T* Text() const { return text; }
    T* Buffer() { return text; }
    bool IsEmpty() const { return !text || !text[0]; }
    int32_t Length() const
    {
        int32_t n = 0;
        if (text)
            while (text[n])
                ++n;
        return n;
    }

private:
    T* text;

    void Free()
    {
        if (text)
            heap_free(text);
        text = nullptr;
    }

};

#endif
