#include <string.h>

#include "pict/codecs/jpeg_idct.h"
#include "pict/codecs/jpeg_parser.h"

// Entropy-coded scans: sequential blocks decoded straight into samples, and
// the four kinds of progressive scan (DC and AC, first and refining) into
// the coefficient store.

namespace {

const uint16_t unit_quant[64] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
};

// One sequential block into block (natural order, zero on entry),
// dequantised by quant. *last gets the zig-zag position of its last
// coefficient. False for codes the tables lack or runs past the block.
bool decode_sequential_block(cJPEGBitReader& bits, cJPEGSource& source, const cJPEGHuffman& dc,
                             const cJPEGHuffman& ac, int32_t* predictor, const uint16_t* quant, int32_t* block,
                             int32_t* last)
{
    const int32_t s = bits.Decode(source, dc);
    if (s < 0 || s > 15)
        return false;
    // The predictor wraps as the stored coefficient does.
    *predictor = int16_t(*predictor + (s ? bits.Receive(source, s) : 0));
    block[0] = *predictor * quant[0];
    int32_t end = 0;
    for (int32_t k = 1; k < 64;) {
        if (bits.count < 16)
            bits.Fill(source);
        const int32_t fast = ac.fast_ac[bits.buffer >> 23];
        if (fast) {
            bits.Skip(fast & 15);
            k += (fast >> 4) & 15;
            if (k > 63)
                return false;
            const int32_t at = jpeg_zigzag_natural[k];
            block[at] = (fast >> 8) * quant[at];
            end = k++;
            continue;
        }
        const int32_t rs = bits.Decode(source, ac);
        if (rs < 0)
            return false;
        const int32_t size = rs & 15;
        if (size) {
            k += rs >> 4;
            if (k > 63)
                return false;
            const int32_t at = jpeg_zigzag_natural[k];
            block[at] = bits.Receive(source, size) * quant[at];
            end = k++;
        } else if (rs == 0xF0) {
            k += 16;
        } else {
            break;
        }
    }
    *last = end;
    return true;
}

// Sharpens a coefficient already known by one more bit.
inline void refine(cJPEGBitReader& bits, cJPEGSource& source, int16_t* coefficient, int32_t bit)
{
    if (bits.Bits(source, 1) && (*coefficient & bit) == 0)
        *coefficient = int16_t(*coefficient >= 0 ? *coefficient + bit : *coefficient - bit);
}

}  // namespace

bool cJPEGParser::DecodeScan()
{
    if (!StartOutput())
        return false;
    bits.Reset();
    eob_run = 0;
    for (cJPEGComponent& c : components)
        c.dc_predictor = 0;
    restarts_to_go = restart_interval;
    next_restart = 0;
    if (!streaming) {
        if (!DecodeStoredScan())
            return false;
        return !bits.Overrun() && NotifyProgress(0);
    }
    for (int32_t row = 0; row < mcus_high; ++row) {
        if (!DecodeSequentialMCURow(row) || (row > 0 && !EmitBand(row - 1)) || !NotifyProgress(row))
            return false;
    }
    return EmitBand(mcus_high - 1);
}

bool cJPEGParser::Restart()
{
    int32_t marker = NextMarker();
    if (marker != 0xD0 + next_restart)
        return false;
    next_restart = (next_restart + 1) & 7;
    bits.Reset();
    eob_run = 0;
    for (cJPEGComponent& c : components)
        c.dc_predictor = 0;
    restarts_to_go = restart_interval;
    return true;
}

bool cJPEGParser::DecodeSequentialMCURow(int32_t mcu_row)
{
    int32_t block[64];
    memset(block, 0, sizeof block);
    const bool deep = precision > 8;
    for (int32_t column = 0; column < mcus_wide; ++column) {
        if (restart_interval) {
            if (restarts_to_go == 0 && !Restart())
                return false;
            --restarts_to_go;
        }
        for (int32_t i = 0; i < scan_count; ++i) {
            const int32_t index = scan_components[i];
            cJPEGComponent& c = components[index];
            const int32_t stride = c.blocks_wide * 8;
            for (int32_t by = 0; by < c.v; ++by) {
                uint8_t* row = deep ? BandRow<uint16_t>(index, mcu_row * c.band_rows + 8 * by)
                                    : BandRow<uint8_t>(index, mcu_row * c.band_rows + 8 * by);
                for (int32_t bx = 0; bx < c.h; ++bx) {
                    int32_t last = 0;
                    if (!decode_sequential_block(bits, source, dc_tables[c.dc_table], ac_tables[c.ac_table],
                                                 &c.dc_predictor, c.quant, block, &last))
                        return false;
                    const int32_t x = (column * c.h + bx) * 8;
                    if (deep) {
                        uint16_t* out = reinterpret_cast<uint16_t*>(row) + x;
                        last ? jpeg_idct12(block, out, stride) : jpeg_idct12_dc(block[0], out, stride);
                    } else {
                        last ? jpeg_idct8(block, row + x, stride) : jpeg_idct8_dc(block[0], row + x, stride);
                    }
                    if (last)
                        memset(block, 0, sizeof block);
                    else
                        block[0] = 0;
                }
            }
        }
        if (bits.Overrun())
            return false;
    }
    return true;
}

bool cJPEGParser::DecodeStoredScan()
{
    // Interleaved scans go MCU by MCU; a scan of one component block by
    // block over the blocks that hold its samples.
    const bool interleaved = scan_count > 1;
    const cJPEGComponent& single = components[scan_components[0]];
    const int32_t units_wide = interleaved ? mcus_wide : (single.width + 7) / 8;
    const int32_t units_high = interleaved ? mcus_high : (single.height + 7) / 8;
    const bool dc_scan = spectral_start == 0;
    const int32_t bit = 1 << approximation_low;
    int32_t scratch[64];
    for (int32_t uy = 0; uy < units_high; ++uy) {
        for (int32_t ux = 0; ux < units_wide; ++ux) {
            if (restart_interval) {
                if (restarts_to_go == 0 && !Restart())
                    return false;
                --restarts_to_go;
            }
            for (int32_t i = 0; i < scan_count; ++i) {
                cJPEGComponent& c = components[scan_components[i]];
                const int32_t across = interleaved ? c.h : 1, down = interleaved ? c.v : 1;
                for (int32_t by = 0; by < down; ++by) {
                    for (int32_t bx = 0; bx < across; ++bx) {
                        const int32_t block_x = ux * across + bx, block_y = uy * down + by;
                        int16_t* coefficients =
                            c.store.Data() + (int64_t(block_y) * c.blocks_wide + block_x) * 64;
                        if (!progressive) {
                            memset(scratch, 0, sizeof scratch);
                            int32_t last;
                            if (!decode_sequential_block(bits, source, dc_tables[c.dc_table],
                                                         ac_tables[c.ac_table], &c.dc_predictor, unit_quant,
                                                         scratch, &last))
                                return false;
                            for (int32_t k = 0; k < 64; ++k)
                                coefficients[k] = int16_t(scratch[k]);
                        } else if (dc_scan && approximation_high == 0) {
                            const int32_t s = bits.Decode(source, dc_tables[c.dc_table]);
                            if (s < 0 || s > 15)
                                return false;
                            c.dc_predictor = int16_t(c.dc_predictor + (s ? bits.Receive(source, s) : 0));
                            coefficients[0] = int16_t(c.dc_predictor * bit);
                        } else if (dc_scan) {
                            if (bits.Bits(source, 1))
                                coefficients[0] = int16_t(coefficients[0] | bit);
                        } else if (approximation_high == 0) {
                            if (!DecodeFirstAC(ac_tables[c.ac_table], coefficients))
                                return false;
                        } else if (!RefineAC(ac_tables[c.ac_table], coefficients)) {
                            return false;
                        }
                    }
                }
            }
            if (bits.Overrun())
                return false;
        }
    }
    return true;
}

bool cJPEGParser::DecodeFirstAC(const cJPEGHuffman& table, int16_t* coefficients)
{
    if (eob_run > 0) {
        --eob_run;
        return true;
    }
    for (int32_t k = spectral_start; k <= spectral_end; ++k) {
        const int32_t rs = bits.Decode(source, table);
        if (rs < 0)
            return false;
        const int32_t run = rs >> 4, size = rs & 15;
        if (size) {
            k += run;
            if (k > spectral_end)
                return false;
            coefficients[jpeg_zigzag_natural[k]] =
                int16_t(bits.Receive(source, size) * (1 << approximation_low));
        } else if (run == 15) {
            k += 15;
        } else {
            eob_run = (1 << run) - 1 + int32_t(bits.Bits(source, run));
            break;
        }
    }
    return true;
}

bool cJPEGParser::RefineAC(const cJPEGHuffman& table, int16_t* coefficients)
{
    const int32_t bit = 1 << approximation_low;
    int32_t k = spectral_start;
    if (eob_run == 0) {
        for (; k <= spectral_end; ++k) {
            const int32_t rs = bits.Decode(source, table);
            if (rs < 0)
                return false;
            int32_t run = rs >> 4;
            const int32_t size = rs & 15;
            int32_t value = 0;
            if (size) {
                // A new coefficient of magnitude one at this bit.
                if (size != 1)
                    return false;
                value = bits.Bits(source, 1) ? bit : -bit;
            } else if (run != 15) {
                eob_run = (1 << run) + int32_t(bits.Bits(source, run));
                break;
            }
            // Pass run zero coefficients (refining the known ones on the
            // way) and stop on the one after them.
            for (; k <= spectral_end; ++k) {
                int16_t* coefficient = coefficients + jpeg_zigzag_natural[k];
                if (*coefficient != 0)
                    refine(bits, source, coefficient, bit);
                else if (--run < 0)
                    break;
            }
            if (value) {
                if (k > spectral_end)
                    return false;
                coefficients[jpeg_zigzag_natural[k]] = int16_t(value);
            }
        }
    }
    if (eob_run > 0) {
        for (; k <= spectral_end; ++k) {
            int16_t* coefficient = coefficients + jpeg_zigzag_natural[k];
            if (*coefficient != 0)
                refine(bits, source, coefficient, bit);
        }
        --eob_run;
    }
    return true;
}
