#ifndef PICT_CODECS_J2K_COLOUR_H
#define PICT_CODECS_J2K_COLOUR_H

#include <openjpeg.h>
#include <stdint.h>

// Colour conversions of decoded JPEG 2000 components into sRGB, every
// result channel in 0..1.

// sYCC (and its extended-gamut form): y in 0..1, cb and cr centred on 0.
void j2k_ycc_to_rgb(double y, double cb, double cr, double rgb[3]);

// The CIELab parameters of a JP2 colour box, which the codec hands over in
// place of a colour profile: {14, default marker, range and offset of L,
// a and b, illuminant}. False when the image carries none.
bool j2k_lab_parameters(const opj_image_t* image, uint32_t parameters[9]);

// CIELab samples to sRGB: each sample less its offset, times its range
// over its largest value, gives L*, a* and b*; the image's illuminant (D50
// unless it names D65) is adapted to sRGB's.
class cJ2kLab {
public:
    // From the image's parameters (or the defaults of the format when it
    // asks for them) and the precisions of its L, a and b components.
    void Prepare(const opj_image_t* image, uint32_t l_precision, uint32_t a_precision, uint32_t b_precision);
    void ToRgb(double l, double a, double b, double rgb[3]) const;

private:
    double range[3];
    double offset[3];
    double top[3];  // the largest sample of each component
    const double* white;
    const double* to_rgb;  // XYZ to linear sRGB, 3 x 3 by rows
};

#endif
