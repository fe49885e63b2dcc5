#ifndef TESTS_SUPPORT_BYTE_STREAM_H
#define TESTS_SUPPORT_BYTE_STREAM_H

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

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

// n bytes to move through streams: byte i is i ^ (i >> 8), so that the first
// 256 equal their offsets and the pattern repeats only every 64 KiB.
inline std::vector<uint8_t> numbered_bytes(size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = uint8_t(i ^ (i >> 8));
    return bytes;
}

// What reads from the stream's position give until one gives nothing, in
// pieces of the given sizes (cycled).
inline std::vector<uint8_t> read_to_end(cFileIOTarget& stream, const std::vector<uint32_t>& pieces = {4096})
{
    std::vector<uint8_t> all;
    for (size_t k = 0;; ++k) {
        std::vector<uint8_t> piece(pieces[k % pieces.size()]);
        int32_t got = stream.Read(piece.data(), uint32_t(piece.size()));
        if (got <= 0)
            return all;
        all.insert(all.end(), piece.begin(), piece.begin() + got);
    }
}

// A stream with nothing behind it: not open, of size 0, and every transfer,
// seek and size change refused.
inline void expect_nothing_behind(cFileIOTarget& stream)
{
    uint8_t byte = 0;
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.GetSize(), 0u);
    EXPECT_EQ(stream.Read(&byte, 1), 0);
    EXPECT_EQ(stream.Write(&byte, 1), 0);
    EXPECT_FALSE(stream.Seek(0));
    EXPECT_FALSE(stream.SeekFromEnd(0));
    EXPECT_FALSE(stream.SetSize(0));
}

#endif
