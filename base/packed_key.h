#ifndef BASE_PACKED_KEY_H
#define BASE_PACKED_KEY_H

#include <stdint.h>

#include "base/buffers/typebuf.h"

// A text key as UTF-8 bytes packed four to a word, most significant byte
// first and zero-padded, so that comparing words as unsigned numbers
// compares the bytes in order. Default construction gives the empty key;
// copying copies the words. Allocation failure gives the empty key.
class cPackedKey : public _typebuf<uint32_t> {
public:
    cPackedKey() {}
    cPackedKey(const cPackedKey& other);
    cPackedKey(cPackedKey&& other) : _typebuf<uint32_t>(static_cast<_typebuf<uint32_t>&&>(other)) {}
    cPackedKey& operator=(const cPackedKey&) = delete;
};

// length -1: up to the NUL, which is not part of the key. A counted length
// keeps every byte it covers, NULs included.
void packedkey_from_str(cPackedKey& key, const char* text, int32_t length);

// The key of the text's UTF-8 form; for a NUL-terminated text equal to
// packedkey_from_str of that form. One trailing all-zero word is dropped.
void packedkey_from_wstr(cPackedKey& key, const wchar_t* text, int32_t length);

void packedkey_assign(cPackedKey& key, const cPackedKey& other);

// The text followed by its zero padding: 4 bytes per word.
void packedkey_to_bytes(const cPackedKey& key, _typebuf<uint8_t>& out);

// -1, 0 or 1: the order of the UTF-8 bytes; a proper prefix sorts first.
int packedkey_compare(const cPackedKey& a, const cPackedKey& b);
bool packedkey_less(const cPackedKey& a, const cPackedKey& b);
bool packedkey_greater(const cPackedKey& a, const cPackedKey& b);
bool packedkey_not_equal(const cPackedKey& a, const cPackedKey& b);
bool packedkey_equal(const cPackedKey& a, const cPackedKey& b);

#endif
