#ifndef TESTS_SUPPORT_BYTE_STREAM_H
#define TESTS_SUPPORT_BYTE_STREAM_H

#include <stdint.h>

#include <string>

#include "base/buf_wrapper_io.h"

// A read-only stream over bytes the object keeps.
struct cByteStream {
    explicit cByteStream(const std::string& data)
        : bytes(data), stream(bytes.empty() ? nullptr : &bytes[0], int32_t(bytes.size()), false)
    {
    }
    cByteStream(const cByteStream&) = delete;
    cByteStream& operator=(const cByteStream&) = delete;

    std::string bytes;
    cBufWrapperIO stream;
};

#endif
