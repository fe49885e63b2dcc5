#ifndef PICT_RAW_RAW_TIFF_SURVEY_H
#define PICT_RAW_RAW_TIFF_SURVEY_H

#include <stdint.h>

#include "pict/codecs/tiff_generic.h"

// What a camera raw probe needs of a TIFF-structured file: the images of
// every IFD (the chain, their sub-IFDs and the EXIF IFD), the camera's make,
// the marks of the raw formats, and the sizes the metadata declares.
struct cRawImage {
    uint64_t width;
    uint64_t height;
    uint32_t compression;
    uint32_t photometric;
    uint32_t subfile_type;
    uint64_t jpeg_offset;   // of an embedded JPEG (JPEGInterchangeFormat)
    uint64_t jpeg_length;   // its JPEGInterchangeFormatLength; 0 for none
    uint64_t data_offset;   // of the first strip or tile
    uint64_t data_length;   // its byte count; 0 for none
    uint64_t crop_width;    // DefaultCropSize; 0 when absent
    uint64_t crop_height;
};

class cRawTiffSurvey : public cTiffGeneric {
public:
    static const int32_t most_images = 32;

    cRawTiffSurvey();
    // A TIFF file from its header.
    bool Survey(cFileIOTarget* source);
    // A file of TIFF structure whose own header the caller read: IFDs in the
    // given byte order from first_ifd.
    bool SurveyFrom(cFileIOTarget* source, uint8_t order, uint64_t first_ifd);

    bool OnIfd(int32_t index, uint64_t offset) override;
    bool OnEntry(const cTiffEntry& entry) override;

    // The largest image, the raw data itself in every raw format; null
    // when no IFD declares a size.
    const cRawImage* MainImage() const;
    // True when the file holds an embedded JPEG with bytes inside the file
    // besides its main image; raw_among_images false when the raw data lies
    // outside every IFD's image, so that none of them is the main image.
    bool HasJpegPreview(bool raw_among_images = true) const;
    // The image size after the camera's crop (see raw_probes.h).
    bool CroppedSize(int64_t* width, int64_t* height) const;
    // True when the make begins with prefix, letter case aside.
    bool MakeIs(const char* prefix) const;
    // True when some image holds colour-filter samples or a compression
    // only raw data uses.
    bool HasRawImage() const;

    cRawImage images[most_images];
    int32_t image_count;
    char make[33];
    bool dng;              // DNGVersion
    bool tiff_ep;          // TIFF/EPStandardID
    bool leaf;             // the Leaf data tag
    uint64_t maker_note_offset;
    uint64_t maker_note_size;
    uint64_t exif_width;   // PixelXDimension; 0 when absent
    uint64_t exif_height;
    uint64_t sensor[6];    // the IFD0 tags 2 to 7 of the "IIU" form: sensor size and borders
    uint64_t jpeg_from_raw;  // bytes of its preview (tag 0x2E)

private:
    // Walks the sub-IFDs and the EXIF IFD that the entries pointed at.
    bool WalkPending();
    void StartImage();
    // The first element of a table, which may be too large to come with
    // its entry.
    bool FirstElement(const cTiffEntry& entry, uint64_t* value);
    // Whether length bytes at offset start inside the file.
    bool HoldsBytes(uint64_t offset, uint64_t length) const;

    cRawImage* current;
    uint64_t pending[most_images];
    int32_t pending_count;
};

#endif
