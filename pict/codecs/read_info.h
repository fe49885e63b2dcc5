#ifndef PICT_CODECS_READ_INFO_H
#define PICT_CODECS_READ_INFO_H

#include "base/file_io_target.h"
#include "pict/pict_base.h"

// Fills info (when given) for a found header; false for a size below 1 or
// beyond 32 bits, which no real header declares.
inline bool read_info_found(cPictInfo* info, int64_t width, int64_t height)
{
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX)
        return false;
    if (info) {
        info->width = int32_t(width);
        info->height = int32_t(height);
        info->has_preview = 0;
    }
    return true;
}

// Header tests of formats that are recognised but not decoded here. Each
// reads from the stream's current position (0 in the factory) and answers
// true only for its format's real header, filling info (when given) with
// the width, the height and has-preview false. Where the stream stands
// afterwards is not defined.

// The decimal number of up to 10 digits at text[*at] of a text header;
// *at moves past it. False without a digit.
inline bool read_info_decimal(const uint8_t* text, int32_t length, int32_t* at, int64_t* value)
{
    int32_t i = *at;
    int64_t number = 0;
    while (i < length && text[i] >= '0' && text[i] <= '9' && i - *at < 10)
        number = number * 10 + (text[i++] - '0');
    bool found = i > *at;
    *at = i;
    *value = number;
    return found;
}

// "GIF87a" or "GIF89a" and the logical screen descriptor.
bool gif_read_info(cFileIOTarget* stream, cPictInfo* info);
// A bitmap information header (core, info or one of its later versions)
// with its bit count and compression allowed together; no magic number.
bool dib_read_info(cFileIOTarget* stream, cPictInfo* info);
// The 14-byte "BM" file header, then the information header after it.
bool bmp_read_info(cFileIOTarget* stream, cPictInfo* info);
// An icon directory whose every entry lies inside the stream; the record
// gets the largest entry's size.
bool ico_read_info(cFileIOTarget* stream, cPictInfo* info);
// Portable bitmap, grey map and pixmap, plain or raw ("P1" to "P6").
bool ppm_read_info(cFileIOTarget* stream, cPictInfo* info);
// A ZSoft picture header.
bool pcx_read_info(cFileIOTarget* stream, cPictInfo* info);
// "DICM" after a 128-byte preamble, then data elements up to the image's
// rows and columns.
bool dicom_read_info(cFileIOTarget* stream, cPictInfo* info);
// The older files without preamble: data elements from the first byte.
bool dicom_legacy_read_info(cFileIOTarget* stream, cPictInfo* info);
// A TIFF header ("II" or "MM", classic or BigTIFF) whose IFD0 walks
// cleanly and gives the image's width and height.
bool tiff_read_info(cFileIOTarget* stream, cPictInfo* info);
// "/* XPM */", then the values line of the picture's string array.
bool xpm_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
