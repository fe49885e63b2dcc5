#ifndef PICT_CODECS_JPEG_H
#define PICT_CODECS_JPEG_H

#include <stdint.h>

#include "pict/codecs/jpeg_parser.h"
#include "pict/pict_classes.h"

// JPEG pictures: the decoder core's hooks answered for a picture. Eight-bit
// frames give 32-bit pixels, 12-bit ones deep pixels. The APP1 Exif block
// becomes properties (its thumbnail property 13). Decodes straight into an
// attached output target.
class cPictJPEG : public _pictclass<pict_class_jpeg>, public cJPEGParser {
public:
    enum eMode { mode_idle, mode_info, mode_full, mode_thumbnail };

    cPictJPEG();
    ~cPictJPEG() override;

    // Up to the frame header: its size, and whether the Exif block holds a
    // thumbnail (recorded as property 13, not decoded).
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
    // The Exif thumbnail, read from the stream's start (up to the frame
    // header) and decoded, into target; false without one.
    bool LoadPreview(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width,
                     int32_t maximum_height) override;

    cProgressNotifyTarget* GetProgressTarget() override;
    // Properties from the block; a damaged block never stops the picture.
    bool OnExif(const uint8_t* data, uint32_t length) override;
    // Information and thumbnail reads end here; a full decode gets its
    // buffer (false when it cannot).
    bool OnFrameHeader() override;
    bool OutputRows(const cJPEGRows& rows, int32_t y, int32_t count) override;
    bool OutputBufferedRows(int32_t mcu_column, int32_t mcu_row) override;

    int32_t mode;  // eMode
    uint8_t frame_seen;
    uint8_t bottom_up;  // image row y goes to buffer row height - 1 - y
    uint8_t target_mode;
    // The Exif thumbnail is decoded in full and thumbnail reads; cleared
    // for a thumbnail's own picture, so that one inside it is only recorded.
    uint8_t decode_thumbnail;

private:
    bool Run(cFileIOTarget* stream, eMode new_mode);
    // Image row y (from the top) into the own buffer own, or through
    // buffer to the sink.
    template <class Pixel>
    bool PlaceRow(const cJPEGRows& rows, int32_t y, int32_t count, Pixel* own, _typebuf<Pixel>& buffer);
    // One MCU the same way, its rows found through pointers.
    template <class Pixel>
    bool PlaceMCU(int32_t mcu_column, int32_t mcu_row, Pixel* own, _typebuf<Pixel>& buffer,
                  _typebuf<Pixel*>& pointers);
    // The core's conversions and the sink's put, by pixel kind.
    void ConvertTo(const cJPEGRows& rows, int32_t count, uint32_t* out);
    void ConvertTo(const cJPEGRows& rows, int32_t count, uint64_t* out);
    void ConvertMCUTo(int32_t mcu_column, int32_t mcu_row, uint32_t* const* rows);
    void ConvertMCUTo(int32_t mcu_column, int32_t mcu_row, uint64_t* const* rows);
    void Put(int32_t x, int32_t y, uint32_t pixel);
    void Put(int32_t x, int32_t y, uint64_t pixel);

    // Rows and blocks on their way to the sink.
    _typebuf<uint32_t> row32;
    _typebuf<uint64_t> row64;
    _typebuf<uint32_t*> pointers32;
    _typebuf<uint64_t*> pointers64;
};

// JPEG's header test on a temporary object.
bool jpeg_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
