#ifndef PICT_PICT_RESAMPLE_H
#define PICT_PICT_RESAMPLE_H

#include <stdint.h>

// Scale each of rows packed rows from source_width to destination_width
// pixels, every channel on its own: linear between pixel centres when
// growing, averaged over each target pixel's span when shrinking, values
// truncated. 32-bit pixels (8-bit channels) and deep pixels (16-bit).
bool resample_rows_u8(int32_t rows, const uint32_t* source, uint32_t* destination, int32_t source_width,
                      int32_t destination_width);
bool resample_rows_u16(int32_t rows, const uint64_t* source, uint64_t* destination, int32_t source_width,
                       int32_t destination_width);

// A quarter turn: the destination, height pixels wide and width rows high,
// gets destination[(width - 1 - x) * height + y] = source[y * width + x].
void rotate_ccw_u32(const uint32_t* source, uint32_t* destination, int32_t width, int32_t height);
void rotate_ccw_u64(const uint64_t* source, uint64_t* destination, int32_t width, int32_t height);

// The inverse turn: destination[j * rows + (rows - 1 - i)] = source[i *
// columns + j] for a source of rows rows of columns pixels.
void rotate_cw_u32(const uint32_t* source, uint32_t* destination, int32_t rows, int32_t columns);
void rotate_cw_u64(const uint64_t* source, uint64_t* destination, int32_t rows, int32_t columns);

#endif
