#ifndef PICT_PICT_BASE_H
#define PICT_PICT_BASE_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "pict/pict_props.h"
#include "pict/progress_target.h"

// What a format's header reader reports.
struct cPictInfo {
    int32_t width;
    int32_t height;
    uint8_t has_preview;  // the file carries an embedded thumbnail (property 13)
};

struct cPictTarget;

// The largest number of pixels a picture may hold: every buffer index and
// count stays within a signed 32-bit number.
const int64_t pict_max_pixels = INT32_MAX;

// A decoded raster picture: 32-bit pixels 0xAARRGGBB or deep pixels of four
// 16-bit channels (A << 48 | R << 32 | G << 16 | B), rows packed and stored
// bottom-up (memory row 0 is the bottom row), with typed properties by id.
// Each decoder derives from it. A decoder may instead write its rows,
// scaled, straight into an attached output bitmap (the sink operations
// below). Nothing throws except _typebuf bounds errors; failures answer
// false or null. One thread at a time.
class cPictBase {
public:
    cPictBase();
    virtual ~cPictBase();
    cPictBase(const cPictBase&) = delete;
    cPictBase& operator=(const cPictBase&) = delete;

    virtual int32_t GetFormatId();
    virtual bool HasDeepPixels();
    // The header from the stream's current position into info (which may be
    // null); the picture itself stays empty.
    virtual bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) = 0;
    // The (first) image into the own buffers, or into the attached output
    // target where the class can.
    virtual bool Load(cFileIOTarget* stream) = 0;
    // The pixels as 32-bit values (deep ones converted) into out.
    virtual bool CopyPixels32(_typebuf<uint32_t>& out);
    virtual int32_t GetWidth();
    virtual int32_t GetHeight();
    virtual bool CanDecodeToTarget();
    virtual bool HasPages();
    virtual int32_t GetPageCount(cFileIOTarget* stream);
    virtual bool GetPageInfo(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height);
    virtual bool LoadPage(cFileIOTarget* stream, int32_t page);
    // Page page fitted into at most maximum_width x maximum_height pixels
    // of target (see pict_load_fit).
    virtual bool LoadPageScaled(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width,
                                int32_t maximum_height, int32_t page, bool full_decode_allowed, uint32_t background);
    // An embedded preview no larger than the maxima, where the file has
    // one, into target; its size is then target's. False in the base.
    virtual bool LoadPreview(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width,
                             int32_t maximum_height);

    // Sets the size, clears the deep flag, frees the deep buffer and makes
    // the 32-bit buffer width x height zero pixels. False for an empty or
    // too large size and a refused allocation.
    bool AllocPixels32(int32_t new_width, int32_t new_height);
    // The same for the deep buffer (deep flag set, 32-bit buffer freed).
    bool AllocDeepPixels(int32_t new_width, int32_t new_height);
    // Takes over the source's pixels (its buffer of the current kind, size,
    // deep flag, first option and, for deep pixels, divisor and offset);
    // the source is left without pixel buffers.
    void TakePixels(cPictBase* source);
    void FreePixels();
    // Hands the pixels over as 32-bit values and leaves the picture empty;
    // false, nothing changed, when the buffer of the current kind is missing.
    bool DetachPixels32(_typebuf<uint32_t>& out);
    // count deep pixels into out by this picture's divisor and offset.
    bool ConvertDeepTo32(const uint64_t* deep, int32_t count, _typebuf<uint32_t>& out);
    bool FlipVertical();
    // Stretches the colour channels to the full range, in place or through
    // the attached output target.
    bool StretchLevels();

    // Properties by id; see pict_prop_get.
    cPictProp* GetProperty(int32_t id, bool create);
    cPictPropString* FindStringProperty(int32_t id);
    cPictPropInt* FindIntProperty(int32_t id);
    cPictPropImage* FindThumbnail();

    // A copy of the pixels at new_width x new_height into destination's
    // buffer of this picture's kind (linear when growing, box average when
    // shrinking). On failure destination is left empty (0 x 0).
    bool ResampleTo(int32_t new_width, int32_t new_height, cPictBase* destination);

    // The output sink. A decoder that can decode to a target calls
    // BeginOutput once its size is set; when it answers true every pixel
    // goes through the put operations (x, y from the bottom-left) and
    // FinishOutput ends the output. The target must outlive the Load.
    bool SetOutputTarget(cPictTarget* target);
    bool BeginOutput();
    bool PutPixel32(int32_t x, int32_t y, uint32_t pixel);
    bool PutPixel64(int32_t x, int32_t y, uint64_t pixel);
    // One channel (0 B, 1 G, 2 R, 3 A) of a pixel, for planar decoders.
    bool PutChannel(int32_t x, int32_t y, int32_t channel, uint8_t value);
    bool PutChannel16(uint16_t value, int32_t x, int32_t y, int32_t channel);
    bool IsRowSpanVisible(int32_t first_row, int32_t first_column, int32_t last_row);
    void FinishOutput();

    // A decoder's start once it knows the size: the picture becomes
    // new_width x new_height and its pixels go to the output target when
    // BeginOutput takes it (output then stays set), else into a new zeroed
    // own buffer (deep when deep_pixels is set). False when neither can be
    // had.
    bool BeginPixels(int32_t new_width, int32_t new_height, bool deep_pixels);
    // Pixel (x, y), from the bottom-left and inside the picture, to
    // wherever BeginPixels sent the pixels.
    void StorePixel32(int32_t x, int32_t y, uint32_t pixel);

    cProgressNotifyTarget* progress;  // owned, may be null
    int32_t width;
    int32_t height;
    double deep_divisor;  // deep channel -> 8 bits: (c + deep_offset) / deep_divisor
    int32_t deep_offset;
    uint8_t deep;
    _typebuf<uint32_t> pixels32;
    _typebuf<uint64_t> pixels64;
    uint8_t option_moves_with_pixels;
    uint8_t option_raw;  // consulted by camera raw development
    cPictPropMap properties;

    // Sink state: accumulators exist only while shrinking output.
    _typebuf<float> output_sums;     // B, G, R, A per output cell
    _typebuf<float> output_weights;  // one per output cell
    int32_t scaled_width;
    int32_t scaled_height;
    cPictTarget* output;
    int32_t margin_left;
    int32_t margin_top;
    double zoom;
    int32_t visible_first_column;
    int32_t visible_last_column;
    int32_t visible_first_row;
    int32_t visible_last_row;

private:
    // The target pixel of source pixel (x, y) at zoom 1.0; null outside.
    uint32_t* UnscaledTargetPixel(int32_t x, int32_t y);
    // Accumulates source pixel (x, y) while shrinking: add(cell sums, cell
    // weight, share) for each cell it reaches; false without accumulators.
    template <class Add>
    bool Accumulate(int32_t x, int32_t y, Add add);
    // Hands the output cells that source pixel (x, y) reaches while
    // shrinking, with their shares, to deliver(cell x, cell y, share).
    template <class Cell>
    void DeliverScaled(int32_t x, int32_t y, Cell deliver);
};

// A plain picture: scratch and destination of copies and fitted decodes.
class cPictDummy : public cPictBase {
public:
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
};

// A 64-bit deep pixel to 8 bits a channel: trunc((c + offset) * (1 /
// divisor)) clamped to 0..255.
uint32_t pict_deep_to_32(uint64_t pixel, double reciprocal, int32_t offset);

#endif
