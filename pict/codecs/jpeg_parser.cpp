#include "pict/codecs/jpeg_parser.h"

#include <string.h>

#include "base/byte_order.h"
#include "pict/pict_base.h"

// The marker loop and the segments before the entropy-coded data.

namespace {

// Markers.
const uint8_t marker_sof0 = 0xC0, marker_sof1 = 0xC1, marker_sof2 = 0xC2, marker_dht = 0xC4, marker_dac = 0xCC;
const uint8_t marker_soi = 0xD8, marker_eoi = 0xD9, marker_sos = 0xDA, marker_dqt = 0xDB, marker_dnl = 0xDC,
              marker_dri = 0xDD, marker_app0 = 0xE0, marker_app1 = 0xE1, marker_app14 = 0xEE;

// More scans than any encoder writes (a full successive-approximation
// script has a few dozen); each one walks the whole image.
const int32_t max_scans = 1000;

}  // namespace

cJPEGParser::cJPEGParser()
    : frame_width(0), frame_height(0), precision(0), component_count(0), mcu_width(0), mcu_height(0),
      mcus_wide(0), mcus_high(0), progressive(0), colour(jpeg_grey), position(0), scan_count(0),
      spectral_start(0), spectral_end(0), approximation_high(0), approximation_low(0), restart_interval(0),
      restarts_to_go(0), next_restart(0), eob_run(0), scans_seen(0), max_h(1), max_v(1), frame_seen(0),
      streaming(0), adobe_seen(0), adobe_transform(0), jfif_seen(0)
{
    bits.Reset();
    memset(dc_defined, 0, sizeof dc_defined);
    memset(ac_defined, 0, sizeof ac_defined);
    memset(quant_defined, 0, sizeof quant_defined);
    memset(scan_components, 0, sizeof scan_components);
    for (cJPEGComponent& c : components) {
        c.id = c.h = c.v = c.quant_index = c.dc_table = c.ac_table = c.upsampling = c.quant_latched = 0;
        c.width = c.height = c.blocks_wide = c.blocks_high = c.band_rows = c.dc_predictor = 0;
    }
}

cJPEGParser::~cJPEGParser()
{
    FreeFrame();
}

void cJPEGParser::FreeFrame()
{
    for (cJPEGComponent& c : components) {
        c.store.Clear();
        c.bands.Clear();
    }
    upsampled.Clear();
    segment.Clear();
}

cProgressNotifyTarget* cJPEGParser::GetProgressTarget()
{
    return nullptr;
}

bool cJPEGParser::OnExif(const uint8_t*, uint32_t)
{
    return true;
}

bool cJPEGParser::OnFrameHeader()
{
    return true;
}

bool cJPEGParser::OutputRows(const cJPEGRows&, int32_t, int32_t)
{
    return true;
}

bool cJPEGParser::OutputBufferedRows(int32_t, int32_t)
{
    return true;
}

bool cJPEGParser::Parse(cFileIOTarget* stream)
{
    FreeFrame();
    frame_seen = streaming = progressive = 0;
    adobe_seen = jfif_seen = 0;
    scans_seen = restart_interval = 0;
    frame_width = frame_height = component_count = 0;
    memset(dc_defined, 0, sizeof dc_defined);
    memset(ac_defined, 0, sizeof ac_defined);
    memset(quant_defined, 0, sizeof quant_defined);
    bits.Reset();
    position = 0;
    if (!stream || !source.Attach(stream))
        return false;
    bool decoded = false;
    uint8_t soi[2];
    if (source.Read(soi, 2) && soi[0] == 0xFF && soi[1] == marker_soi) {
        for (;;) {
            int32_t marker = NextMarker();
            if (marker < 0)
                break;
            if (marker == marker_eoi) {
                decoded = frame_seen && scans_seen > 0 && (streaming || FinishStoredImage());
                break;
            }
            // Stray restart markers and TEM have no segment.
            if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
                continue;
            uint8_t length_bytes[2];
            if (marker == marker_soi || !source.Read(length_bytes, 2))
                break;
            const uint32_t length = read_u16_be(length_bytes);
            if (length < 2 || !ReadSegment(uint8_t(marker), length - 2))
                break;
        }
    }
    position = source.Position();
    source.Detach();
    return decoded;
}

int32_t cJPEGParser::NextMarker()
{
    // A scan's bit reader may have met the marker already.
    if (bits.marker) {
        int32_t marker = bits.marker;
        bits.Reset();
        return marker == 0x100 ? -1 : marker;
    }
    // Bytes that are no marker are passed over, as damaged files have them.
    uint8_t byte = 0;
    for (;;) {
        while (byte != 0xFF)
            if (!source.Byte(&byte))
                return -1;
        while (byte == 0xFF)
            if (!source.Byte(&byte))
                return -1;
        if (byte != 0)
            return byte;
    }
}

bool cJPEGParser::ReadSegment(uint8_t marker, uint32_t length)
{
    // Segments that are only passed over.
    const bool wanted = (marker >= marker_sof0 && marker <= 0xCF) || marker == marker_dqt || marker == marker_dri ||
                        marker == marker_sos || marker == marker_dnl || marker == marker_app0 ||
                        marker == marker_app1 || marker == marker_app14;
    if (!wanted || marker == marker_dac)
        return source.Skip(length);
    if (segment.Count() < 0x10000) {
        segment.Resize(0x10000);
        if (!segment.Data())
            return false;
    }
    if (!source.Read(segment.Data(), length))
        return false;
    const uint8_t* data = segment.Data();
    switch (marker) {
    case marker_sof0:
    case marker_sof1:
    case marker_sof2: return ReadFrame(marker, data, length) && OnFrameHeader();
    case marker_dht: return ReadHuffmanTables(data, length);
    case marker_dqt: return ReadQuantTables(data, length);
    case marker_dri:
        if (length != 2)
            return false;
        restart_interval = read_u16_be(data);
        return true;
    case marker_sos:
        if (++scans_seen > max_scans)
            return false;
        return ReadScanHeader(data, length) && DecodeScan();
    case marker_app0:
        if (length >= 5 && memcmp(data, "JFIF", 5) == 0)
            jfif_seen = 1;
        return true;
    case marker_app1:
        if (length >= 6 && memcmp(data, "Exif\0\0", 6) == 0)
            return OnExif(data + 6, length - 6);
        return true;
    case marker_app14:
        if (length >= 12 && memcmp(data, "Adobe", 5) == 0) {
            adobe_seen = 1;
            adobe_transform = data[11];
        }
        return true;
    default:  // lossless, hierarchical and arithmetic frames, DNL
        return false;
    }
}

bool cJPEGParser::ReadFrame(uint8_t marker, const uint8_t* data, uint32_t length)
{
    if (frame_seen || length < 6)
        return false;
    precision = data[0];
    frame_height = read_u16_be(data + 1);
    frame_width = read_u16_be(data + 3);
    component_count = data[5];
    if (length != 6 + 3 * uint32_t(component_count))
        return false;
    if (precision != 8 && (precision != 12 || marker == marker_sof0))
        return false;
    // A height of 0 would come later in a DNL segment, which is refused.
    if (frame_width == 0 || frame_height == 0 || int64_t(frame_width) * frame_height > pict_max_pixels)
        return false;
    if (component_count != 1 && component_count != 3 && component_count != 4)
        return false;
    max_h = max_v = 1;
    for (int32_t i = 0; i < component_count; ++i) {
        cJPEGComponent& c = components[i];
        const uint8_t* field = data + 6 + 3 * i;
        c.id = field[0];
        c.h = field[1] >> 4;
        c.v = field[1] & 15;
        c.quant_index = field[2];
        c.quant_latched = 0;
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quant_index > 3)
            return false;
        for (int32_t j = 0; j < i; ++j)
            if (components[j].id == c.id)
                return false;
        // One component's scans are never interleaved: its unit is a block.
        if (component_count == 1)
            c.h = c.v = 1;
        max_h = c.h > max_h ? c.h : max_h;
        max_v = c.v > max_v ? c.v : max_v;
    }
    mcu_width = 8 * max_h;
    mcu_height = 8 * max_v;
    mcus_wide = (frame_width + mcu_width - 1) / mcu_width;
    mcus_high = (frame_height + mcu_height - 1) / mcu_height;
    for (int32_t i = 0; i < component_count; ++i) {
        cJPEGComponent& c = components[i];
        c.width = int32_t((int64_t(frame_width) * c.h + max_h - 1) / max_h);
        c.height = int32_t((int64_t(frame_height) * c.v + max_v - 1) / max_v);
        c.blocks_wide = mcus_wide * c.h;
        c.blocks_high = mcus_high * c.v;
        c.band_rows = 8 * c.v;
        const bool across = c.h * 2 == max_h, down = c.v * 2 == max_v;
        if (c.h == max_h && c.v == max_v)
            c.upsampling = jpeg_up_full;
        else if (across && c.v == max_v)
            c.upsampling = c.width > 2 ? jpeg_up_h2 : jpeg_up_box;
        else if (c.h == max_h && down)
            c.upsampling = jpeg_up_v2;
        else if (across && down)
            c.upsampling = c.width > 2 ? jpeg_up_h2v2 : jpeg_up_box;
        else
            c.upsampling = jpeg_up_box;
    }
    // The colour space: what APP14 and APP0 say, else the components' ids.
    if (component_count == 1)
        colour = jpeg_grey;
    else if (component_count == 4)
        colour = adobe_seen && adobe_transform == 2 ? jpeg_ycck : jpeg_cmyk;
    else if (jfif_seen)
        colour = jpeg_ycbcr;
    else if (adobe_seen)
        colour = adobe_transform == 0 ? jpeg_rgb : jpeg_ycbcr;
    else
        colour = components[0].id == 'R' && components[1].id == 'G' && components[2].id == 'B' ? jpeg_rgb
                                                                                                : jpeg_ycbcr;
    progressive = marker == marker_sof2;
    frame_seen = 1;
    return true;
}

bool cJPEGParser::ReadHuffmanTables(const uint8_t* data, uint32_t length)
{
    while (length) {
        if (length < 17)
            return false;
        const uint8_t kind = data[0] >> 4, index = data[0] & 15;
        if (kind > 1 || index > 3)
            return false;
        uint32_t total = 0;
        for (int32_t i = 0; i < 16; ++i)
            total += data[1 + i];
        if (total > 256 || length < 17 + total)
            return false;
        cJPEGHuffman& table = kind ? ac_tables[index] : dc_tables[index];
        if (!table.Build(data + 1, data + 17))
            return false;
        (kind ? ac_defined : dc_defined)[index] = 1;
        data += 17 + total;
        length -= 17 + total;
    }
    return true;
}

bool cJPEGParser::ReadQuantTables(const uint8_t* data, uint32_t length)
{
    while (length) {
        const uint8_t wide = data[0] >> 4, index = data[0] & 15;
        const uint32_t size = 1 + 64 * (wide ? 2 : 1);
        if (wide > 1 || index > 3 || length < size)
            return false;
        for (int32_t k = 0; k < 64; ++k)
            quant_tables[index][jpeg_zigzag_natural[k]] = wide ? read_u16_be(data + 1 + 2 * k) : data[1 + k];
        quant_defined[index] = 1;
        data += size;
        length -= size;
    }
    return true;
}

bool cJPEGParser::ReadScanHeader(const uint8_t* data, uint32_t length)
{
    if (!frame_seen || length < 1)
        return false;
    scan_count = data[0];
    if (scan_count < 1 || scan_count > component_count || length != 4 + 2 * uint32_t(scan_count))
        return false;
    int32_t blocks = 0;
    for (int32_t i = 0; i < scan_count; ++i) {
        const uint8_t id = data[1 + 2 * i], tables = data[2 + 2 * i];
        int32_t found = -1;
        for (int32_t c = 0; c < component_count; ++c)
            if (components[c].id == id)
                found = c;
        for (int32_t j = 0; j < i; ++j)
            if (scan_components[j] == found)
                found = -1;
        if (found < 0)
            return false;
        cJPEGComponent& c = components[found];
        c.dc_table = tables >> 4;
        c.ac_table = tables & 15;
        if (c.dc_table > 3 || c.ac_table > 3)
            return false;
        scan_components[i] = found;
        blocks += c.h * c.v;
    }
    const uint8_t* tail = data + 1 + 2 * scan_count;
    spectral_start = tail[0];
    spectral_end = tail[1];
    approximation_high = tail[2] >> 4;
    approximation_low = tail[2] & 15;
    if (scan_count > 1 && blocks > 10)
        return false;
    if (progressive) {
        const bool dc = spectral_start == 0;
        if (spectral_end > 63 || spectral_start > spectral_end || (dc && spectral_end != 0) ||
            (!dc && scan_count != 1) || approximation_low > 13 ||
            (approximation_high != 0 && approximation_high != approximation_low + 1))
            return false;
    }
    // The first scan decides: one that holds every component of a
    // sequential frame is the whole image, decoded row by row.
    if (scans_seen == 1)
        streaming = !progressive && scan_count == component_count;
    else if (streaming)
        return false;
    for (int32_t i = 0; i < scan_count; ++i) {
        cJPEGComponent& c = components[scan_components[i]];
        const bool needs_dc = !progressive || (spectral_start == 0 && approximation_high == 0);
        const bool needs_ac = !progressive || spectral_start > 0;
        if ((needs_dc && !dc_defined[c.dc_table]) || (needs_ac && !ac_defined[c.ac_table]))
            return false;
        // A component keeps the quantisation table of its first scan.
        if (!c.quant_latched) {
            if (!quant_defined[c.quant_index])
                return false;
            memcpy(c.quant, quant_tables[c.quant_index], sizeof c.quant);
            c.quant_latched = 1;
        }
    }
    return true;
}
