#include <string.h>

#include "pict/codecs/jpeg_idct.h"
#include "pict/codecs/jpeg_parser.h"

// Samples on their way out: each component keeps three MCU rows of samples
// in a ring (the row being output and the ones above and below it, which
// the triangle filters read), filled by sequential decoding or by the
// inverse transform of the coefficient store.

namespace {

// Bytes of count elements of size, when a buffer can hold them.
bool sized(int64_t count, int64_t size, int32_t* bytes)
{
    if (count <= 0 || count > INT32_MAX / size)
        return false;
    *bytes = int32_t(count * size);
    return true;
}

}  // namespace

bool cJPEGParser::StartOutput()
{
    if (upsampled.Data())
        return true;
    const int32_t sample_size = precision > 8 ? 2 : 1;
    int32_t bytes;
    for (int32_t i = 0; i < component_count; ++i) {
        cJPEGComponent& c = components[i];
        if (!sized(int64_t(c.blocks_wide) * 8 * 3 * c.band_rows, sample_size, &bytes))
            return false;
        c.bands.Resize(bytes);
        if (!c.bands.Data())
            return false;
        memset(c.bands.Data(), 0, size_t(bytes));
        if (streaming)
            continue;
        if (!sized(int64_t(c.blocks_wide) * c.blocks_high * 64, 2, &bytes))
            return false;
        c.store.Resize(bytes / 2);
        if (!c.store.Data())
            return false;
        memset(c.store.Data(), 0, size_t(bytes));
    }
    if (!sized(int64_t(frame_width) * 4, 2, &bytes))
        return false;
    upsampled.Resize(bytes);
    return upsampled.Data() != nullptr;
}

template <class Sample>
uint8_t* cJPEGParser::BandRow(int32_t component, int32_t row)
{
    cJPEGComponent& c = components[component];
    const int32_t slot = (row / c.band_rows) % 3;
    const int32_t index = slot * c.band_rows + row % c.band_rows;
    return c.bands.Data() + int64_t(index) * c.blocks_wide * 8 * int32_t(sizeof(Sample));
}

template uint8_t* cJPEGParser::BandRow<uint8_t>(int32_t, int32_t);
template uint8_t* cJPEGParser::BandRow<uint16_t>(int32_t, int32_t);

void cJPEGParser::RowsOf(int32_t y, cJPEGRows* rows)
{
    const bool deep = precision > 8;
    for (int32_t i = 0; i < component_count; ++i) {
        const cJPEGComponent& c = components[i];
        const int32_t near_row = int32_t(int64_t(y) * c.v / max_v);
        // Rows above the first and below the last real one repeat them.
        auto row_at = [&](int32_t row) {
            row = row < 0 ? 0 : row >= c.height ? c.height - 1 : row;
            return deep ? BandRow<uint16_t>(i, row) : BandRow<uint8_t>(i, row);
        };
        rows->near[i] = row_at(near_row);
        rows->far[i] = nullptr;
        if (c.upsampling == jpeg_up_v2 || c.upsampling == jpeg_up_h2v2)
            rows->far[i] = row_at(y & 1 ? near_row + 1 : near_row - 1);
        rows->far_below[i] = uint8_t(y & 1);
    }
}

bool cJPEGParser::NotifyProgress(int32_t band)
{
    cProgressNotifyTarget* target = GetProgressTarget();
    return !target || target->Notify(100.0 * (band + 1) / mcus_high);
}

bool cJPEGParser::EmitBand(int32_t band)
{
    if (!streaming) {
        for (int32_t column = 0; column < mcus_wide; ++column)
            if (!OutputBufferedRows(column, band))
                return false;
        return true;
    }
    const int32_t first = band * mcu_height;
    const int32_t end = first + mcu_height < frame_height ? first + mcu_height : frame_height;
    cJPEGRows rows;
    for (int32_t y = first; y < end; ++y) {
        RowsOf(y, &rows);
        if (!OutputRows(rows, y, frame_width))
            return false;
    }
    return true;
}

void cJPEGParser::InverseTransformStoredBand(int32_t band)
{
    const bool deep = precision > 8;
    int32_t block[64];
    for (int32_t i = 0; i < component_count; ++i) {
        cJPEGComponent& c = components[i];
        const int32_t stride = c.blocks_wide * 8;
        for (int32_t by = 0; by < c.v; ++by) {
            const int32_t block_row = band * c.v + by;
            uint8_t* row = deep ? BandRow<uint16_t>(i, block_row * 8) : BandRow<uint8_t>(i, block_row * 8);
            // Rows below the image's last real one have no samples to keep.
            if (block_row * 8 >= c.height)
                break;
            const int16_t* coefficients = c.store.Data() + int64_t(block_row) * c.blocks_wide * 64;
            for (int32_t bx = 0; bx < c.blocks_wide; ++bx, coefficients += 64) {
                int32_t ac = 0;
                for (int32_t k = 0; k < 64; ++k) {
                    block[k] = coefficients[k] * c.quant[k];
                    ac |= k ? coefficients[k] : 0;
                }
                if (deep) {
                    uint16_t* out = reinterpret_cast<uint16_t*>(row) + bx * 8;
                    ac ? jpeg_idct12(block, out, stride) : jpeg_idct12_dc(block[0], out, stride);
                } else {
                    ac ? jpeg_idct8(block, row + bx * 8, stride) : jpeg_idct8_dc(block[0], row + bx * 8, stride);
                }
            }
        }
    }
}

bool cJPEGParser::FinishStoredImage()
{
    for (int32_t band = 0; band < mcus_high; ++band) {
        InverseTransformStoredBand(band);
        if ((band > 0 && !EmitBand(band - 1)) || !NotifyProgress(band))
            return false;
    }
    return EmitBand(mcus_high - 1);
}
