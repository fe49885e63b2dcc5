#ifndef PICT_CODECS_ICNS_PIXELS_H
#define PICT_CODECS_ICNS_PIXELS_H

#include <stdint.h>

// The colour of an index of the system palette of 4- or 8-bit icons,
// 0x00RRGGBB.
uint32_t icns_palette_colour(int32_t depth, uint32_t index);

// The run-length data of a 24-bit icon into out, pixel_count pixels of
// bytes R, G, B: the red bytes, then the green, then the blue. A control
// byte below 0x80 takes that many plus one bytes as they are; one from
// 0x80 repeats the next byte (control - 125) times. A run past its
// channel's pixels is cut there; data that runs out leaves the rest 0. The
// 128 x 128 form starts with four zero bytes, which are skipped. True when
// the data is run-length data exactly: every channel filled by whole runs
// and every byte used.
bool icns_rle_decode(const uint8_t* data, uint32_t length, uint8_t* out, int32_t pixel_count);

#endif
