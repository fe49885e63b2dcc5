#ifndef PICT_ICON_IMAGE_H
#define PICT_ICON_IMAGE_H

#include <stdint.h>

#include "pict/pict_base.h"

// One image of an icon, as icon files and icon resources store it: a PNG
// stream, or a bitmap information header with a colour table, the colour
// bitmap (1, 4, 8, 24 or 32 bits a pixel) and the 1-bit AND mask, the
// header counting both bitmaps' rows. Decoded into picture's 32-bit
// buffer; false for anything malformed or cut short.
bool icon_image_decode(const uint8_t* data, uint32_t size, cPictBase* picture);

#endif
