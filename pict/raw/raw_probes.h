#ifndef PICT_RAW_RAW_PROBES_H
#define PICT_RAW_RAW_PROBES_H

#include "base/file_io_target.h"
#include "pict/pict_base.h"

// Header tests of the camera raw formats, which are recognised and
// measured here but not developed. Each reads the stream from 0 and answers
// true only for its own format (every other raw format, and plain TIFF,
// refused), filling info (when given) with the image size after the
// camera's crop and whether an embedded JPEG preview exists.
//
// The size after the crop: the size the format's own records give for the
// finished picture (MRW's image size, X3F's header size, RAF's cropped
// size, CRW's image information, IIQ's image size, the "IIU" form's sensor
// size less its borders; DNG's DefaultCropSize of its full-resolution
// image, else that image's size); for the other TIFF-based formats the
// EXIF pixel dimensions when they are given and fit the raw image, else the
// size of the largest image in the file.

// Formats of their own.
bool probe_mrw(cFileIOTarget* stream, cPictInfo* info);
bool probe_x3f(cFileIOTarget* stream, cPictInfo* info);
bool probe_raf(cFileIOTarget* stream, cPictInfo* info);
bool probe_crw(cFileIOTarget* stream, cPictInfo* info);

// TIFF-structured formats. ORF and RWL have headers of their own; IIQ is
// TIFF with a Phase One maker note holding the raw data; the others are
// told apart by their marks, their camera's make and a raw image.
bool probe_pef(cFileIOTarget* stream, cPictInfo* info);
bool probe_mos(cFileIOTarget* stream, cPictInfo* info);
bool probe_3fr(cFileIOTarget* stream, cPictInfo* info);
bool probe_tiff_ep(cFileIOTarget* stream, cPictInfo* info);
bool rwl_read_info(cFileIOTarget* stream, cPictInfo* info);
bool orf_read_info(cFileIOTarget* stream, cPictInfo* info);
bool arw_read_info(cFileIOTarget* stream, cPictInfo* info);
bool srw_read_info(cFileIOTarget* stream, cPictInfo* info);
bool iiq_read_info(cFileIOTarget* stream, cPictInfo* info);
bool cr2_read_info(cFileIOTarget* stream, cPictInfo* info);
bool nef_read_info(cFileIOTarget* stream, cPictInfo* info);
bool dng_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
