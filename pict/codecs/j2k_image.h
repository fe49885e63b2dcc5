#ifndef PICT_CODECS_J2K_IMAGE_H
#define PICT_CODECS_J2K_IMAGE_H

#include <openjpeg.h>

#include "pict/pict_base.h"

// A decoded JPEG 2000 image as the picture's pixels, or into its attached
// output target: grey, RGB, CIELab (with the colour box's parameters as the
// codec hands them over, the image's illuminant adapted to sRGB) and YCC
// colours (also an image that names no colour space and subsamples the
// second and third of its three components), and an alpha component where
// the file marks one or, without marks, where the count says so (grey and
// alpha, RGB and alpha). Subsampled components are repeated over their
// samples' area; signed samples are moved to the unsigned range; every
// component is scaled to the full range of its channel. A precision above
// 8 bits gives deep pixels. False for an image without usable components,
// CMYK colours, or a size a picture cannot hold.
bool j2k_image_to_picture(cPictBase* picture, const opj_image_t* image);

#endif
