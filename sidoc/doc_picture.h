#ifndef SIDOC_DOC_PICTURE_H
#define SIDOC_DOC_PICTURE_H

#include <stdint.h>

class cFileIOTarget;
struct cImageBuffer;

// The pictures of documents go through the picture factory: any format it
// recognises.

// The picture file held in data, decoded into image (32-bit pixels). False
// when no format recognises it, its decoder fails on it (no later format is
// tried) or it has no pixels.
bool doc_picture_decode(const uint8_t* data, uint32_t size, cImageBuffer& image);

// Whether some format recognises the stream's content, read from its start.
bool doc_picture_recognised(cFileIOTarget* stream);

#endif
