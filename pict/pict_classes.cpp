#include "pict/pict_classes.h"

#include "pict/codecs/icns.h"
#include "pict/codecs/jbig2.h"
#include "pict/codecs/jp2.h"
#include "pict/codecs/jpeg.h"
#include "pict/codecs/png.h"
#include "pict/codecs/read_info.h"
#include "pict/codecs/tga.h"
#include "pict/raw/raw_probes.h"

namespace {

template <class T>
cPictBase* create()
{
    return new T;
}

}  // namespace

const cPictClassRow pict_classes[pict_class_count] = {
    {1, true, false, jpeg_read_info, create<cPictJPEG>},
    {3, true, false, png_read_info, create<cPictPNG>},
    {11, true, true, gif_read_info, create<cPictGIF>},
    {6, true, false, bmp_read_info, create<cPictBMP>},
    {5, true, false, dib_read_info, create<cPictDIB>},
    {7, true, true, ico_read_info, create<cPictICO>},
    {8, false, false, jp2_read_info, create<cPictJP2>},
    {9, false, false, j2k_read_info, create<cPictJ2K>},
    {12, true, true, icns_read_info, create<cPictICNS>},
    {29, true, false, tga_read_info, create<cPictTGA>},
    {26, false, false, probe_mrw, create<cPictMRW>},
    {21, false, false, rwl_read_info, create<cPictRWL>},
    {27, false, false, orf_read_info, create<cPictORF>},
    {28, false, false, probe_x3f, create<cPictX3F>},
    {24, false, false, probe_pef, create<cPictPEF>},
    {25, false, false, arw_read_info, create<cPictARW>},
    {23, false, false, srw_read_info, create<cPictSRW>},
    {22, false, false, iiq_read_info, create<cPictIIQ>},
    {19, false, false, probe_raf, create<cPictRAF>},
    {14, false, false, probe_crw, create<cPictCRW>},
    {16, false, false, probe_mos, create<cPictMOS>},
    {10, false, false, cr2_read_info, create<cPictCR2>},
    {4, false, false, nef_read_info, create<cPictNEF>},
    {18, false, true, probe_3fr, create<cPict3FR>},
    {15, false, true, dng_read_info, create<cPictDNG>},
    {17, false, true, probe_tiff_ep, create<cPictTIFF_EP>},
    {2, true, true, tiff_read_info, create<cPictTIFF>},
    {30, true, false, ppm_read_info, create<cPictPPM>},
    {31, true, false, pcx_read_info, create<cPictPCX>},
    {32, true, true, dicom_read_info, create<cPictDICOM>},
    {33, true, true, dicom_legacy_read_info, create<cPictDICOMLegacy>},
    {36, true, true, jbig2_read_info, create<cPictJBIG2>},
    {34, true, false, xpm_read_info, create<cPictXPM>},
};
