#ifndef PICT_PICT_TARGET_H
#define PICT_PICT_TARGET_H

#include <stdint.h>

class cPictBase;

// A caller's output bitmap that decoders and rendering write into. The
// caller owns it and its pixels. Valid when pixels is set and both sizes
// are at least 1.
struct cPictTarget {
    uint32_t* pixels;  // 0xAARRGGBB, bottom-up rows of width pixels
    int32_t width;
    int32_t height;
    // Scroll position in source pixels (fit mode 1); reset to 0 in fit mode
    // 0 and when the picture fits.
    int32_t x_offset;
    int32_t y_offset;
    uint32_t background;  // written into the margins around the picture
    double zoom;          // fit mode 1
    // 0: the whole picture, shrunk to fit when needed, keeping its aspect;
    // 1: the picture at zoom from the offsets; anything else fails.
    int32_t fit_mode;
};

// Over picture's 32-bit buffer and size (everything 0 without a picture);
// offsets 0, background 0, zoom 1.0, fit mode 0.
void pict_target_init(cPictTarget* target, cPictBase* picture);

bool pict_target_is_valid(const cPictTarget* target);

// Fills the target outside a hole of hole_width x hole_height centred in
// it with the background colour; *left and *top receive the hole's corner.
void pict_target_fill_around(cPictTarget* target, int32_t hole_width, int32_t hole_height, int32_t* left,
                             int32_t* top);

// Renders a decoded picture (32-bit or deep) into the target with the
// sink's geometry; false for an invalid target, a picture without the
// buffer of its kind, or a geometry that fails.
bool pict_target_render(cPictTarget* target, cPictBase* picture);

#endif
