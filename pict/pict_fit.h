#ifndef PICT_PICT_FIT_H
#define PICT_PICT_FIT_H

#include <stdint.h>

#include "pict/pict_base.h"

// Decodes picture (a decoder whose header gave info) from stream into the
// 32-bit target picture, shrunk (never enlarged) to at most maximum_width x
// maximum_height with its aspect kept; an embedded preview serves when the
// file has one. Codes: 0 done; 1 bad arguments or a fitted size of 0; 2
// allocation or scaling failure; 4 the decode failed; 5 no usable preview
// and full decoding not allowed. The target may be partly written after a
// failure.
int32_t pict_load_fit(const cPictInfo* info, cPictBase* picture, cFileIOTarget* stream, cPictBase* target,
                      int32_t maximum_width, int32_t maximum_height, bool full_decode_allowed, uint32_t background);

// Identifies the stream and fits it into target with full decoding on a
// white background: 1 for a maximum below 1 or an empty picture, 3 when no
// format recognises the stream, else pict_load_fit's code.
int32_t pict_decode_to_box(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width, int32_t maximum_height);

// Fits an already decoded 32-bit picture into target (its pixels are taken
// over when they fit, else rendered smaller and freed).
bool pict_fit_into(cPictBase* picture, cPictBase* target, int32_t maximum_width, int32_t maximum_height,
                   uint32_t background);

// Page page of picture, of width x height, into target: loaded and taken
// over when it fits the maxima, else decoded straight into target made
// the fitted size (each side at least 1) on the background colour. False
// for maxima below 1 or a failed load.
bool pict_load_page_fitted(cPictBase* picture, cFileIOTarget* stream, int32_t page, int32_t width, int32_t height,
                           cPictBase* target, int32_t maximum_width, int32_t maximum_height, uint32_t background);

#endif
