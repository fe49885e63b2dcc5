#ifndef TOOLS_PACKAGE_PACKAGE_RECORD_READER_H
#define TOOLS_PACKAGE_PACKAGE_RECORD_READER_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/packed_key.h"

// Reads the primitives of a package's record block from memory. Every read
// checks what remains and fails, moving nothing, when the block is short.
class cPackageRecordReader {
public:
    cPackageRecordReader(const uint8_t* data, uint32_t size) : data(data), size(size), at(0) {}

    bool Bytes(void* out, uint32_t count);
    // Points at count bytes of the block and steps over them.
    bool Skip(uint32_t count, const uint8_t** bytes);
    bool U8(uint8_t& value);
    bool U16(uint16_t& value);
    bool U32(uint32_t& value);
    // u16 length, then that much UTF-8 without a NUL.
    bool Text(_guardchar<wchar_t>& text);
    // u16 length (not 0), then the key's bytes padded with zeros: the key
    // ends at the first zero inside that length and must not be empty.
    bool Key(cPackedKey& key);
    // The continuation byte of a list or table: 1 sets more, 0 clears it,
    // any other value fails.
    bool Continues(bool& more);

private:
    const uint8_t* data;
    uint32_t size;
    uint32_t at;
};

#endif
