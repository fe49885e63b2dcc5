#include "pict/codecs/j2k_colour.h"

#include <math.h>
#include <string.h>

namespace {

const uint32_t lab_colour_space = 14;
const uint32_t default_marker = 0x44454600;  // "DEF"
const uint32_t illuminant_d65 = 0x00443635;  // "D65"

const double white_d50[3] = {0.9642, 1.0, 0.8249};
const double white_d65[3] = {0.95047, 1.0, 1.08883};
// XYZ to linear sRGB: under D65, and under D50 through the Bradford
// adaptation to D65.
const double d65_to_rgb[9] = {3.2404542, -1.5371385, -0.4985314, -0.9692660, 1.8760108,
                              0.0415560, 0.0556434,  -0.2040259, 1.0572252};
const double d50_to_rgb[9] = {3.1338561, -1.6168667, -0.4906146, -0.9787684, 1.9161415,
                              0.0334540, 0.0719453,  -0.2289914, 1.4052427};

double clamp_unit(double v)
{
    return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v;
}

// Linear light to the sRGB curve.
double encoded(double v)
{
    v = clamp_unit(v);
    return v <= 0.0031308 ? 12.92 * v : 1.055 * pow(v, 1.0 / 2.4) - 0.055;
}

// The inverse of CIELab's cube-root function.
double lab_inverse(double t)
{
    const double delta = 6.0 / 29.0;
    return t > delta ? t * t * t : 3.0 * delta * delta * (t - 4.0 / 29.0);
}

}  // namespace

void j2k_ycc_to_rgb(double y, double cb, double cr, double rgb[3])
{
    rgb[0] = clamp_unit(y + 1.402 * cr);
    rgb[1] = clamp_unit(y - 0.344136 * cb - 0.714136 * cr);
    rgb[2] = clamp_unit(y + 1.772 * cb);
}

bool j2k_lab_parameters(const opj_image_t* image, uint32_t parameters[9])
{
    if (!image->icc_profile_buf || image->icc_profile_len != 0)
        return false;
    uint32_t held[9];
    memcpy(held, image->icc_profile_buf, sizeof held);
    if (held[0] != lab_colour_space)
        return false;
    if (parameters)
        memcpy(parameters, held, sizeof held);
    return true;
}

void cJ2kLab::Prepare(const opj_image_t* image, uint32_t l_precision, uint32_t a_precision, uint32_t b_precision)
{
    uint32_t p[9] = {};
    j2k_lab_parameters(image, p);
    const uint32_t precision[3] = {l_precision, a_precision, b_precision};
    for (int i = 0; i < 3; ++i) {
        range[i] = p[2 + 2 * i];
        offset[i] = p[3 + 2 * i];
        top[i] = ldexp(1.0, int(precision[i])) - 1.0;
    }
    if (p[1] == default_marker || range[0] == 0.0) {
        range[0] = 100.0;
        range[1] = 170.0;
        range[2] = 200.0;
        offset[0] = 0.0;
        offset[1] = ldexp(1.0, int(a_precision) - 1);
        offset[2] = ldexp(1.0, int(b_precision) - 2) + ldexp(1.0, int(b_precision) - 3);
    }
    const bool d65 = p[8] == illuminant_d65;
    white = d65 ? white_d65 : white_d50;
    to_rgb = d65 ? d65_to_rgb : d50_to_rgb;
}

void cJ2kLab::ToRgb(double l, double a, double b, double rgb[3]) const
{
    const double lightness = (l - offset[0]) * range[0] / top[0];
    const double fy = (lightness + 16.0) / 116.0;
    const double fx = fy + (a - offset[1]) * range[1] / top[1] / 500.0;
    const double fz = fy - (b - offset[2]) * range[2] / top[2] / 200.0;
    const double xyz[3] = {white[0] * lab_inverse(fx), white[1] * lab_inverse(fy), white[2] * lab_inverse(fz)};
    for (int i = 0; i < 3; ++i)
        rgb[i] = encoded(to_rgb[3 * i] * xyz[0] + to_rgb[3 * i + 1] * xyz[1] + to_rgb[3 * i + 2] * xyz[2]);
}
