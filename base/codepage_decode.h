#ifndef BASE_CODEPAGE_DECODE_H
#define BASE_CODEPAGE_DECODE_H

#include <stdint.h>

// The two sides of the multi-byte decoders. One decoding routine serves a
// decoder and its counting twin: with a null output it only counts.

// Input bytes: a counted run, or (length -1) bytes up to a NUL. A reader
// looks at a sequence byte by byte and stops at the first byte that does
// not fit, so it never reads past the NUL.
class cDecodeInput {
public:
    cDecodeInput(const char* bytes, int32_t length)
        : bytes(reinterpret_cast<const unsigned char*>(bytes)),
          at(0),
          end(length < 0 ? INT32_MAX : length)
    {
    }

    bool AtEnd() const { return at >= end; }

    // The byte offset places ahead, or -1 beyond a counted end.
    int Peek(int32_t offset) const
    {
        return int64_t(at) + offset < end ? bytes[at + offset] : -1;
    }

    void Skip(int32_t count) { at += count; }

    // When the byte at offset is a NUL, the bytes before it (a sequence the
    // NUL cut off) are dropped and the answer is true: the NUL then ends
    // the text as a NUL anywhere else does.
    bool DropBeforeNul(int32_t offset)
    {
        if (Peek(offset) != 0)
            return false;
        at += offset;
        return true;
    }

private:
    const unsigned char* bytes;
    int32_t at;
    int32_t end;
};

// Output units up to a capacity, or only a count with a null array.
class cDecodeOutput {
public:
    cDecodeOutput(wchar_t* units, int32_t capacity)
        : units(units), capacity(capacity), written(0), terminated(false)
    {
    }

    bool IsFull() const { return units && written >= capacity; }

    void Put(wchar_t unit)
    {
        if (units)
            units[written] = unit;
        ++written;
    }

    // Writes the NUL unit that ends the text, when room remains; it is not
    // part of Written().
    void Terminate()
    {
        if (units && written < capacity) {
            units[written] = 0;
            terminated = true;
        }
    }

    int32_t Written() const { return written; }
    bool Terminated() const { return terminated; }

private:
    wchar_t* units;
    int32_t capacity;
    int32_t written;
    bool terminated;
};

#endif
