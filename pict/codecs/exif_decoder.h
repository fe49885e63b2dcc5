#ifndef PICT_CODECS_EXIF_DECODER_H
#define PICT_CODECS_EXIF_DECODER_H

#include <stdint.h>

#include "pict/codecs/tiff_generic.h"
#include "pict/pict_base.h"

// IFD contexts: the tag through which an IFD was reached (0 for IFD0).
enum : uint32_t {
    exif_ifd0 = 0,
    exif_ifd_exif = 34665,
    exif_ifd_gps = 34853,
    exif_ifd_interoperability = 40965,
    exif_ifd1 = tiff_next_ifd_tag,  // the thumbnail's IFD, IFD0's link
};

// The EXIF tag sink: the tags of a TIFF-structured block become a
// picture's properties (camera, dates, exposure, resolution, orientation,
// image size, GPS position, the maker note's bytes and the JPEG thumbnail
// of IFD1 as property 13). IFD pointers are followed only where they
// belong: Exif and GPS from IFD0, Interoperability from the Exif IFD; the
// walker's chain gives IFD1 after IFD0 and nothing after IFD1. A pointer or
// link of 0 means none; other offsets inside the header fail.
class cExifDecoder : public cTiffGeneric {
public:
    // keep_thumbnail: the thumbnail is decoded; otherwise it is recorded
    // as an unloaded picture.
    explicit cExifDecoder(bool keep_thumbnail);

    // The whole structure of the stream, its first IFD in the given context.
    bool ParseStreamInto(cPictBase* picture, cFileIOTarget* source, uint32_t context);
    // One IFD (and what it points at) at an offset of a structure whose
    // byte order and size the caller knows.
    bool ParseIfdInto(cPictBase* picture, cFileIOTarget* source, uint32_t context, uint64_t offset, uint8_t order,
                      uint8_t big_tiff, uint64_t size);

    // Refused: the sink needs its picture (ParseStreamInto).
    bool ParseStream(cFileIOTarget* source, uint64_t size) override;
    // Keeps the maker note's bytes (property 21), then as the walker.
    bool LoadEntryData(cTiffEntry& entry) override;
    bool OnEntry(const cTiffEntry& entry) override;
    bool OnIfd(int32_t index, uint64_t offset) override;

    cPictBase* target;
    uint32_t context;        // of the IFD being walked
    uint32_t first_context;  // of the first IFD of the parse
    uint8_t keep_thumbnail;
    uint8_t south, west, below;
    uint8_t thumbnail_is_jpeg;
    uint64_t thumbnail_offset;
    uint64_t thumbnail_length;

private:
    void Prepare(cPictBase* picture, cFileIOTarget* source, uint32_t start_context);
    bool OnMainEntry(const cTiffEntry& entry);
    bool OnGpsEntry(const cTiffEntry& entry);
    bool OnThumbnailEntry(const cTiffEntry& entry);
    // Follows an IFD pointer entry into context.
    bool Follow(const cTiffEntry& entry, uint32_t into);
    bool TakeThumbnail();
    // The property of that id when it is (or can be made) of that kind.
    cPictProp* Property(int32_t id, int32_t kind);
};

#endif
