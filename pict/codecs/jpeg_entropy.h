#ifndef PICT_CODECS_JPEG_ENTROPY_H
#define PICT_CODECS_JPEG_ENTROPY_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"

// The bytes of a JPEG file, read ahead in blocks from its stream.
class cJPEGSource {
public:
    cJPEGSource();
    cJPEGSource(const cJPEGSource&) = delete;
    cJPEGSource& operator=(const cJPEGSource&) = delete;

    // Starts at the stream's current position. False when no buffer can be had.
    bool Attach(cFileIOTarget* stream);
    void Detach();
    // Reads the next block; false at the stream's end.
    bool Refill();
    bool Byte(uint8_t* byte)
    {
        if (cur == end && !Refill())
            return false;
        *byte = *cur++;
        return true;
    }
    bool Read(uint8_t* out, uint32_t count);
    bool Skip(uint32_t count);
    // Bytes taken since Attach.
    uint64_t Position() const { return consumed + uint64_t(cur - block.Data()); }

    const uint8_t* cur;
    const uint8_t* end;

private:
    cFileIOTarget* stream;
    _typebuf<uint8_t> block;
    uint64_t consumed;  // bytes before the block's start
};

// A Huffman table: codes up to 9 bits by one look-up, longer ones by their
// length's range, and for AC tables the run, size and value of short codes
// with their value bits in one look-up too.
struct cJPEGHuffman {
    // False for more than 256 codes, or lengths that more codes use than
    // there are codes of that length.
    bool Build(const uint8_t counts[16], const uint8_t* symbols);

    uint16_t fast[512];    // length << 8 | symbol; 0 when the code is longer than 9 bits
    int32_t fast_ac[512];  // value << 8 | run << 4 | code and value length; 0 when they take more than 9 bits
    int32_t max_code[17];  // per length, the largest code; -1 when there is none
    int32_t offset[17];    // symbol index of a code of each length: code + offset
    uint8_t symbols[256];
};

// Entropy-coded bits, most significant first, with stuffed zero bytes taken
// out. A marker (or the stream's end) stops the data: zero bits stand in
// from there, counted, so that a decoder that takes them can be told the
// data ran short.
struct cJPEGBitReader {
    void Reset()
    {
        buffer = 0;
        count = 0;
        phantom = 0;
        marker = 0;
    }
    // At least 25 bits in the buffer.
    void Fill(cJPEGSource& source);
    // True when decoding took bits that the data did not have.
    bool Overrun() const { return count < phantom; }

    // The next Huffman symbol; -1 for a code the table does not have.
    int32_t Decode(cJPEGSource& source, const cJPEGHuffman& table)
    {
        if (count < 16)
            Fill(source);
        uint32_t entry = table.fast[buffer >> 23];
        if (entry) {
            Skip(int32_t(entry >> 8));
            return int32_t(entry & 0xFF);
        }
        for (int32_t length = 10; length <= 16; ++length) {
            int32_t code = int32_t(buffer >> (32 - length));
            if (code <= table.max_code[length]) {
                Skip(length);
                return table.symbols[(code + table.offset[length]) & 0xFF];
            }
        }
        return -1;
    }
    // An s-bit value (s 1 to 16) extended to its sign.
    int32_t Receive(cJPEGSource& source, int32_t s)
    {
        if (count < s)
            Fill(source);
        uint32_t value = buffer >> (32 - s);
        Skip(s);
        return value < (1u << (s - 1)) ? int32_t(value) - (1 << s) + 1 : int32_t(value);
    }
    // n raw bits (n 0 to 16).
    uint32_t Bits(cJPEGSource& source, int32_t n)
    {
        if (n == 0)
            return 0;
        if (count < n)
            Fill(source);
        uint32_t value = buffer >> (32 - n);
        Skip(n);
        return value;
    }
    void Skip(int32_t n)
    {
        buffer <<= n;
        count -= n;
    }

    uint32_t buffer;  // bits from bit 31 down
    int32_t count;    // bits in the buffer
    int32_t phantom;  // zero bits put in after the data ended
    int32_t marker;   // the marker that ended the data (0 none, 0x100 the stream's end)
};

// Position k of the zig-zag sequence in the natural (row by row) order.
extern const uint8_t jpeg_zigzag_natural[64];

#endif
