#include "pict/codecs/jpeg_entropy.h"

#include <string.h>

namespace {

const int32_t block_size = 0x10000;
const int32_t fast_bits = 9;

}  // namespace

const uint8_t jpeg_zigzag_natural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

cJPEGSource::cJPEGSource() : cur(nullptr), end(nullptr), stream(nullptr), consumed(0)
{
}

bool cJPEGSource::Attach(cFileIOTarget* source)
{
    stream = source;
    consumed = 0;
    if (block.Count() != block_size)
        block.Resize(block_size);
    cur = end = block.Data();
    return block.Data() != nullptr;
}

void cJPEGSource::Detach()
{
    stream = nullptr;
    block.Clear();
    cur = end = nullptr;
}

bool cJPEGSource::Refill()
{
    if (!stream || !block.Data())
        return false;
    consumed += uint64_t(end - block.Data());
    int32_t got = stream->Read(block.Data(), uint32_t(block_size));
    cur = block.Data();
    end = cur + (got > 0 ? got : 0);
    return got > 0;
}

bool cJPEGSource::Read(uint8_t* out, uint32_t count)
{
    while (count) {
        if (cur == end && !Refill())
            return false;
        uint32_t piece = uint32_t(end - cur) < count ? uint32_t(end - cur) : count;
        memcpy(out, cur, piece);
        cur += piece;
        out += piece;
        count -= piece;
    }
    return true;
}

bool cJPEGSource::Skip(uint32_t count)
{
    while (count) {
        if (cur == end && !Refill())
            return false;
        uint32_t piece = uint32_t(end - cur) < count ? uint32_t(end - cur) : count;
        cur += piece;
        count -= piece;
    }
    return true;
}

bool cJPEGHuffman::Build(const uint8_t counts[16], const uint8_t* values)
{
    int32_t total = 0;
    for (int32_t i = 0; i < 16; ++i)
        total += counts[i];
    if (total > 256)
        return false;
    memcpy(symbols, values, size_t(total));
    memset(fast, 0, sizeof fast);
    memset(fast_ac, 0, sizeof fast_ac);
    int32_t code = 0;
    int32_t index = 0;
    for (int32_t length = 1; length <= 16; ++length) {
        const int32_t n = counts[length - 1];
        offset[length] = index - code;
        max_code[length] = n ? code + n - 1 : -1;
        // Canonical codes of a length must fit in it.
        if (code + n > (1 << length))
            return false;
        for (int32_t i = 0; i < n; ++i, ++code, ++index) {
            if (length > fast_bits)
                continue;
            const int32_t spread = fast_bits - length;
            const uint8_t symbol = symbols[index];
            for (int32_t k = code << spread; k < (code + 1) << spread; ++k) {
                fast[k] = uint16_t(length << 8 | symbol);
                const int32_t run = symbol >> 4;
                const int32_t size = symbol & 15;
                if (size == 0 || length + size > fast_bits)
                    continue;
                int32_t value = (k >> (spread - size)) & ((1 << size) - 1);
                if (value < (1 << (size - 1)))
                    value += 1 - (1 << size);
                fast_ac[k] = int32_t(uint32_t(value) << 8) | run << 4 | (length + size);
            }
        }
        code <<= 1;
    }
    max_code[0] = -1;
    offset[0] = 0;
    return true;
}

void cJPEGBitReader::Fill(cJPEGSource& source)
{
    while (count <= 24) {
        uint32_t byte = 0;
        if (marker) {
            phantom += 8;
        } else if (source.cur != source.end || source.Refill()) {
            byte = *source.cur++;
            if (byte == 0xFF) {
                // 0xFF 0x00 is a stuffed 0xFF; 0xFF then anything else
                // (after fill bytes) a marker.
                uint8_t next = 0xFF;
                while (next == 0xFF && source.Byte(&next)) {
                }
                if (next == 0xFF) {
                    marker = 0x100;
                    phantom += 8;
                    byte = 0;
                } else if (next != 0) {
                    marker = next;
                    phantom += 8;
                    byte = 0;
                }
            }
        } else {
            marker = 0x100;
            phantom += 8;
        }
        buffer |= byte << (24 - count);
        count += 8;
    }
}
