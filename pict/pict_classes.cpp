#include "pict/pict_classes.h"

#include "pict/codecs/icns.h"
#include "pict/codecs/jbig2.h"
#include "pict/codecs/jp2.h"
#include "pict/codecs/png.h"
#include "pict/codecs/read_info.h"
#include "pict/codecs/tga.h"

namespace {

template <class T>
cPictBase* create()
{
    return new T;
}

}  // namespace

const cPictClassRow pict_classes[pict_class_count] = {
    {1, true, false, nullptr, create<cPictJPEG>},
    {3, true, false, png_read_info, create<cPictPNG>},
    {11, true, true, gif_read_info, create<cPictGIF>},
    {6, true, false, bmp_read_info, create<cPictBMP>},
    {5, true, false, dib_read_info, create<cPictDIB>},
    {7, true, true, ico_read_info, create<cPictICO>},
    {8, false, false, jp2_read_info, create<cPictJP2>},
    {9, false, false, j2k_read_info, create<cPictJ2K>},
    {12, true, true, icns_read_info, create<cPictICNS>},
    {29, true, false, tga_read_info, create<cPictTGA>},
    {26, false, false, nullptr, create<cPictMRW>},
    {21, false, false, nullptr, create<cPictRWL>},
    {27, false, false, nullptr, create<cPictORF>},
    {28, false, false, nullptr, create<cPictX3F>},
    {24, false, false, nullptr, create<cPictPEF>},
    {25, false, false, nullptr, create<cPictARW>},
    {23, false, false, nullptr, create<cPictSRW>},
    {22, false, false, nullptr, create<cPictIIQ>},
    {19, false, false, nullptr, create<cPictRAF>},
    {14, false, false, nullptr, create<cPictCRW>},
    {16, false, false, nullptr, create<cPictMOS>},
    {10, false, false, nullptr, create<cPictCR2>},
    {4, false, false, nullptr, create<cPictNEF>},
    {18, false, true, nullptr, create<cPict3FR>},
    {15, false, true, nullptr, create<cPictDNG>},
    {17, false, true, nullptr, create<cPictTIFF_EP>},
    {2, true, true, tiff_read_info, create<cPictTIFF>},
    {30, true, false, ppm_read_info, create<cPictPPM>},
    {31, true, false, pcx_read_info, create<cPictPCX>},
    {32, true, true, dicom_read_info, create<cPictDICOM>},
    {33, true, true, dicom_legacy_read_info, create<cPictDICOMLegacy>},
    {36, true, true, jbig2_read_info, create<cPictJBIG2>},
    {34, true, false, xpm_read_info, create<cPictXPM>},
};
