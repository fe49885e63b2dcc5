#ifndef PICT_CODECS_JP2_H
#define PICT_CODECS_JP2_H

#include <stdint.h>

#include "pict/pict_classes.h"

// JPEG 2000 pictures decoded by OpenJPEG at full resolution, the whole
// image area, through a read-ahead window over the caller's stream (which
// stays open). The decoded components become pixels through
// j2k_image_to_picture; into an attached output target when one is
// attached, though the classes do not offer that to the factory.
class cPictJP2Base : public cPictBase {
protected:
    // The header (JP2 boxes when jp2 is set, else a bare codestream) from
    // the stream's start; fills info with the image area's size.
    bool ReadCodecInfo(cFileIOTarget* stream, cPictInfo* info, bool jp2);
    bool DecodeCodec(cFileIOTarget* stream, bool jp2);
};

// The JP2 box format.
class cPictJP2 : public _pictclass<pict_class_jp2, cPictJP2Base> {
public:
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
};

// A bare JPEG 2000 codestream.
class cPictJ2K : public _pictclass<pict_class_j2k, cPictJP2Base> {
public:
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
};

// The header tests of the factory: true when OpenJPEG reads the JP2
// headers (or the codestream's main header) and the image area is a size
// a picture can hold.
bool jp2_read_info(cFileIOTarget* stream, cPictInfo* info);
bool j2k_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
