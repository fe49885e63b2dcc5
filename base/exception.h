#ifndef BASE_EXCEPTION_H
#define BASE_EXCEPTION_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

// The base library's one exception. Thrown by value for a bounds failure of
// a buffer; nothing catches it by type, so it unwinds to the nearest
// catch-all (a worker thread's exception hook).
class cException {
public:
    cException(const wchar_t* source_file, uint32_t line, uint32_t code, const wchar_t* message);
    cException(const cException& other);
    cException& operator=(const cException&) = delete;

    _guardchar<wchar_t> message;
    uint32_t code;
    _guardchar<wchar_t> source_file;
    uint32_t line;
};

#endif
