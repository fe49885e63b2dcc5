#ifndef PICT_CODECS_TGA_H
#define PICT_CODECS_TGA_H

#include <stdint.h>

#include "pict/pict_classes.h"

// Truevision TGA: colour-mapped, true-colour and grey images, plain or
// run-length encoded, stored from either corner. Decodes straight into an
// attached output target. The format has no signature: the header's rules
// are the test.
class cPictTGA : public _pictclass<pict_class_tga> {
public:
    cPictTGA();
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;

    uint8_t header[18];          // as read, little-endian fields
    _typebuf<uint32_t> palette;  // 0xAARRGGBB, the stored entries in order
    int32_t palette_count;

private:
    // Reads the header and tests its rules; false for a short read or a
    // header outside them.
    bool ReadHeader(cFileIOTarget* stream);
    bool ReadPalette(cFileIOTarget* stream);
    // Converts a row of stored values into 32-bit pixels; false for an
    // index outside the palette.
    bool ConvertRow(const uint8_t* values, uint32_t* row);
    bool DecodePixels(cFileIOTarget* stream);

    uint8_t any_alpha;  // a 32-bit value with a non-zero alpha was seen
};

// TGA's header test on a temporary object.
bool tga_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
