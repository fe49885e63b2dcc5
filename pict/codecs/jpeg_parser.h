#ifndef PICT_CODECS_JPEG_PARSER_H
#define PICT_CODECS_JPEG_PARSER_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "pict/codecs/jpeg_entropy.h"
#include "pict/progress_target.h"

// How a component's samples become the image's: its own resolution, the
// triangle filters of 2:1 subsampling (across, down, or both), or sample
// replication for every other ratio (and for 2:1 rows of at most two
// samples, which have no neighbours to filter with).
enum eJPEGUpsampling : uint8_t { jpeg_up_full, jpeg_up_h2, jpeg_up_v2, jpeg_up_h2v2, jpeg_up_box };

// What the components hold.
enum eJPEGColour : uint8_t { jpeg_grey, jpeg_ycbcr, jpeg_rgb, jpeg_cmyk, jpeg_ycck };

struct cJPEGComponent {
    uint8_t id;
    uint8_t h, v;  // sampling factors, 1 to 4
    uint8_t quant_index;
    uint8_t dc_table, ac_table;  // of the current scan
    uint8_t upsampling;          // eJPEGUpsampling
    uint8_t quant_latched;       // quant holds the table of the component's first scan
    int32_t width, height;       // samples that cover the image: ceil(frame size x factor / largest factor)
    int32_t blocks_wide;         // blocks per row, whole MCUs (the store's and the bands' width)
    int32_t blocks_high;         // block rows, whole MCUs
    int32_t band_rows;           // sample rows per MCU row: 8 x v
    int32_t dc_predictor;
    uint16_t quant[64];      // natural order
    _typebuf<int16_t> store;  // quantised coefficients of every block, natural order (multi-scan images)
    _typebuf<uint8_t> bands;  // three MCU rows of samples, as a ring (bytes, or 16-bit samples above 8 bits)
};

// The samples behind one image row, for the row conversion: per component
// the row of samples that holds it and, where the component is filtered
// down, the neighbouring row (above or below) it is blended with.
struct cJPEGRows {
    const void* near[4];
    const void* far[4];
    uint8_t far_below[4];
};

// The JPEG marker parser and decoder: baseline and extended Huffman
// sequential scans of 8 and 12 bits, progressive scans with spectral
// selection and successive approximation, restart intervals, every
// sampling factor, grey, YCbCr, RGB, CMYK and YCCK. Arithmetic coding,
// lossless and hierarchical frames and DNL are refused. Its owner receives
// what it finds through the virtual hooks. Pixels come out as 0xAARRGGBB
// (8 bits) or deep pixels (12 bits, widened to 16).
class cJPEGParser {
public:
    cJPEGParser();
    virtual ~cJPEGParser();
    cJPEGParser(const cJPEGParser&) = delete;
    cJPEGParser& operator=(const cJPEGParser&) = delete;

    // The marker loop from the stream's current position to EOI. True when
    // the image decoded completely; false for damage, truncation, anything
    // refused, an allocation that failed, a hook that stopped it, or the
    // progress receiver asking to stop.
    bool Parse(cFileIOTarget* stream);

    // The owner's progress receiver, consulted once per MCU row; null for
    // none.
    virtual cProgressNotifyTarget* GetProgressTarget();
    // The TIFF structure of an APP1 Exif block, after its "Exif\0\0"
    // prefix. False stops the parse.
    virtual bool OnExif(const uint8_t* data, uint32_t length);
    // The frame header has been read (frame_* fields below). False stops
    // the parse.
    virtual bool OnFrameHeader();
    // Single-scan images, row by row once decoded: image row y (from the
    // top), count pixels from column 0 (the image's width). False stops.
    virtual bool OutputRows(const cJPEGRows& rows, int32_t y, int32_t count);
    // Multi-scan images (progressive ones), once every scan is in: MCU by
    // MCU, row by row. False stops.
    virtual bool OutputBufferedRows(int32_t mcu_column, int32_t mcu_row);

    // count pixels of an image row from column x into out, as 0xAARRGGBB
    // with alpha 0xFF when opaque, else 0. 8-bit frames only.
    void ConvertRows8(const cJPEGRows& rows, int32_t x, int32_t count, uint32_t* out, bool opaque);
    // The same as deep pixels, samples widened to 16 bits (12-bit frames).
    void ConvertRows16(const cJPEGRows& rows, int32_t x, int32_t count, uint64_t* out, bool opaque);
    // The pixels of one MCU, clipped to the image, into rows[0..] (each
    // from the MCU's left column), during OutputBufferedRows.
    void ConvertMCU8(int32_t mcu_column, int32_t mcu_row, uint32_t* const* rows, bool opaque);
    void ConvertMCU16(int32_t mcu_column, int32_t mcu_row, uint64_t* const* rows, bool opaque);
    // The pixel rectangle of an MCU clipped to the image; false when empty.
    bool MCURect(int32_t mcu_column, int32_t mcu_row, int32_t* x, int32_t* y, int32_t* width, int32_t* height);

    // Frame, once OnFrameHeader has been called.
    int32_t frame_width;
    int32_t frame_height;
    int32_t precision;  // 8 or 12
    int32_t component_count;
    int32_t mcu_width, mcu_height;  // pixels
    int32_t mcus_wide, mcus_high;
    uint8_t progressive;
    uint8_t colour;  // eJPEGColour, known from the frame header on
    uint64_t position;  // stream offset the parse has reached

protected:
    // Frees the frame's buffers (coefficients, bands, rows).
    void FreeFrame();

private:
    // The next marker: the one a scan's data ran into, else the next in
    // the stream after any stray bytes; -1 at the stream's end.
    int32_t NextMarker();
    bool ReadSegment(uint8_t marker, uint32_t length);
    bool ReadFrame(uint8_t marker, const uint8_t* data, uint32_t length);
    bool ReadHuffmanTables(const uint8_t* data, uint32_t length);
    bool ReadQuantTables(const uint8_t* data, uint32_t length);
    bool ReadScanHeader(const uint8_t* data, uint32_t length);
    bool DecodeScan();
    bool DecodeSequentialMCURow(int32_t mcu_row);
    bool DecodeStoredScan();
    bool DecodeFirstAC(const cJPEGHuffman& table, int16_t* coefficients);
    bool RefineAC(const cJPEGHuffman& table, int16_t* coefficients);
    // Allocates the sample rings (and the coefficient store of multi-scan
    // images) at the first scan.
    bool StartOutput();
    bool FinishStoredImage();
    void InverseTransformStoredBand(int32_t band);
    // Hands MCU row band's image rows to the owner.
    bool EmitBand(int32_t band);
    // Expects the next restart marker and starts the interval after it.
    bool Restart();
    bool NotifyProgress(int32_t band);
    // The samples behind image row y.
    void RowsOf(int32_t y, cJPEGRows* rows);
    // Sample row `row` of a component in its ring (no clamping).
    template <class Sample>
    uint8_t* BandRow(int32_t component, int32_t row);

    cJPEGSource source;
    cJPEGBitReader bits;
    cJPEGHuffman dc_tables[4];
    cJPEGHuffman ac_tables[4];
    uint8_t dc_defined[4];
    uint8_t ac_defined[4];
    uint16_t quant_tables[4][64];  // natural order
    uint8_t quant_defined[4];
    cJPEGComponent components[4];
    // The scan being decoded.
    int32_t scan_components[4];
    int32_t scan_count;
    int32_t spectral_start, spectral_end, approximation_high, approximation_low;
    int32_t restart_interval;
    int32_t restarts_to_go;
    int32_t next_restart;
    int32_t eob_run;
    int32_t scans_seen;
    int32_t max_h, max_v;
    uint8_t frame_seen;
    uint8_t streaming;  // one scan holds every component: rows go out as they decode
    uint8_t adobe_seen, adobe_transform, jfif_seen;
    _typebuf<uint8_t> segment;
    _typebuf<uint8_t> upsampled;  // rows of upsampled samples for the conversion
};

#endif
