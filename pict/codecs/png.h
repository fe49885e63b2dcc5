#ifndef PICT_CODECS_PNG_H
#define PICT_CODECS_PNG_H

#include <stdint.h>

#include "base/decompress.h"
#include "pict/pict_classes.h"

// Portable Network Graphics: every colour type and depth, the five row
// filters and Adam7. 8-bit samples give 32-bit pixels, 16-bit samples deep
// pixels. Decodes straight into an attached output target.
class cPictPNG : public _pictclass<pict_class_png> {
public:
    cPictPNG();
    // Reads up to IHDR; true when it is valid. Never inflates.
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
    // The whole file from the stream's start; true only when IHDR came
    // first and once, every row of every pass arrived, and IEND closed the
    // file. Failures after rows were written leave those rows.
    bool Decode(cFileIOTarget* stream);

    uint64_t position;  // file offset of the chunk about to be read
    uint32_t png_width;
    uint32_t png_height;
    uint8_t bit_depth;
    uint8_t colour_type;
    uint8_t compression;
    uint8_t filter_method;
    uint8_t interlace;
    _typebuf<uint32_t> palette;  // 0xAARRGGBB, 256 entries
    int32_t palette_count;
    uint8_t has_key;
    uint32_t key32;  // 0x00RRGGBB, samples scaled to 8 bits
    uint64_t key64;  // R << 32 | G << 16 | B, 16-bit samples
    uint8_t target_mode;
    uint8_t info_only;

private:
    bool ReadHeader(const uint8_t* data, uint32_t length);
    bool ReadPalette(const uint8_t* data, uint32_t length);
    bool ReadTransparency(const uint8_t* data, uint32_t length);
    bool FeedImageData(const uint8_t* data, uint32_t length);
    bool OpenPass();
    bool StartImage();
    bool FinishRow();
    void UnfilterRow();
    bool ConvertRow();
    template <class T>
    bool PlaceRow(const T* converted, int32_t count);

    bool header_seen;
    bool image_started;
    bool rows_done;  // every row of every pass has been delivered
    int64_t y;       // image row being filled
    int32_t pass;    // Adam7 pass, -1 before the first
    int32_t x_start;
    int32_t x_step;
    int32_t y_step;
    int32_t pass_columns;
    int32_t bits_per_pixel;
    int32_t row_size;  // filter byte and the row's bytes
    int32_t row_fill;
    _typebuf<uint8_t> prior_row;
    _typebuf<uint8_t> current_row;
    _typebuf<uint32_t> converted32;  // a row on its way to the target or a pass
    _typebuf<uint64_t> converted64;
    cZDecompress inflater;
};

// PNG's header test on a temporary object.
bool png_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
