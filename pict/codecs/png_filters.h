#ifndef PICT_CODECS_PNG_FILTERS_H
#define PICT_CODECS_PNG_FILTERS_H

#include <stdint.h>

// Undoes PNG's row filter of the given type (0 None, 1 Sub, 2 Up, 3
// Average, 4 Paeth; any other leaves the row as it is) on the n bytes of
// row, in place, against the prior row's n bytes (all zeros for the first
// row of an image or pass); bpp is the bytes of a complete pixel, at
// least 1.
void png_unfilter_row(uint8_t type, uint8_t* row, const uint8_t* prior, int32_t n, int32_t bpp);

#endif
