#include "pict/codecs/icns.h"

#include "base/file_io_subrange.h"
#include "pict/codecs/icns_pixels.h"
#include "pict/codecs/jp2.h"
#include "pict/codecs/png.h"
#include "pict/pict_target.h"

namespace {

const uint32_t header_size = 8;
const uint32_t type_icn = 0x49434E23;  // "ICN#": a 1-bit icon and its 1-bit mask

bool read_at(cFileIOTarget* stream, uint64_t offset, _typebuf<uint8_t>& bytes, uint32_t count)
{
    bytes.Resize(int32_t(count));
    return bytes.Data() && stream->Seek(offset) && stream->ReadExact(bytes.Data(), count);
}

// A fresh decoder of an embedded stream's class.
cPictBase* embedded_decoder(eIcnsStream kind)
{
    switch (kind) {
    case icns_stream_png: return new cPictPNG;
    case icns_stream_jp2: return new cPictJP2;
    case icns_stream_j2k: return new cPictJ2K;
    default: return nullptr;
    }
}

}  // namespace

cPictICNS::cPictICNS() : element_offset(-1), element_length(0)
{
}

bool icns_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictICNS probe;
    return probe.ReadInfo(stream, info);
}

bool cPictICNS::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    element_offset = -1;
    element_length = 0;
    cIcnsElement element;
    if (!icns_choose_element(stream, INT32_MAX, INT32_MAX, &element))
        return false;
    element_offset = int64_t(element.offset);
    element_length = element.length;
    if (info) {
        info->width = element.width;
        info->height = element.height;
        info->has_preview = 1;
    }
    return true;
}

bool cPictICNS::Load(cFileIOTarget* stream)
{
    FreePixels();
    if (element_offset < 0 && !ReadInfo(stream, nullptr))
        return false;
    cIcnsElement element;
    return icns_read_element(stream, uint64_t(element_offset), &element) && LoadElement(stream, element);
}

int32_t cPictICNS::GetPageCount(cFileIOTarget* stream)
{
    cIcnsPages pages(stream);
    cIcnsElement element;
    int32_t count = 0;
    while (pages.Next(&element))
        ++count;
    return pages.Failed() ? 0 : count;
}

bool cPictICNS::PageSize(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height)
{
    cIcnsElement element;
    if (!icns_find_page(stream, page, &element))
        return false;
    *width = element.width;
    *height = element.height;
    return true;
}

bool cPictICNS::LoadPage(cFileIOTarget* stream, int32_t page)
{
    FreePixels();
    cIcnsElement element;
    return icns_find_page(stream, page, &element) && LoadElement(stream, element);
}

bool cPictICNS::LoadPreview(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width, int32_t maximum_height)
{
    cIcnsElement element;
    if (!target || !icns_choose_element(stream, maximum_width, maximum_height, &element) ||
        !LoadElement(stream, element))
        return false;
    target->TakePixels(this);
    return true;
}

bool cPictICNS::LoadElement(cFileIOTarget* stream, const cIcnsElement& element)
{
    return element.kind->depth != 0 ? LoadBitmap(stream, element) : LoadEmbedded(stream, element);
}

bool cPictICNS::ReadMask(cFileIOTarget* stream, const cIcnsElement& element, _typebuf<uint8_t>& mask,
                         int32_t* mask_depth)
{
    cIcnsPages pages(stream);
    const uint64_t next = element.offset + element.length;
    uint32_t type, length;
    if (!pages.ReadHeader(next, &type, &length))
        return false;
    for (const cIcnsMask* candidate : element.kind->masks) {
        // The mask element must hold the whole mask.
        if (candidate && candidate->type == type && length - header_size >= candidate->offset + candidate->size) {
            *mask_depth = candidate->depth;
            return read_at(stream, next + header_size + candidate->offset, mask, candidate->size);
        }
    }
    return false;
}

bool cPictICNS::LoadBitmap(cFileIOTarget* stream, const cIcnsElement& element)
{
    const cIcnsKind* kind = element.kind;
    const uint32_t data_length = element.length - header_size;
    _typebuf<uint8_t> data;
    if (!read_at(stream, element.offset + header_size, data, data_length))
        return false;
    _typebuf<uint8_t> mask;
    int32_t mask_depth = 0;
    const uint8_t* mask_bits = nullptr;
    if (element.type == type_icn) {
        mask_bits = data.Data() + data_length / 2;
        mask_depth = 1;
    } else if (ReadMask(stream, element, mask, &mask_depth)) {
        mask_bits = mask.Data();
    }
    const int32_t size = kind->size;
    const uint8_t* pixels = data.Data();
    _typebuf<uint8_t> unpacked;
    if (kind->depth == 24) {
        // Data of the plain size is plain, unless it is run-length data
        // exactly (as coders do write).
        unpacked.Resize(int32_t(kind->data_length));
        if (!unpacked.Data())
            return false;
        bool coded = icns_rle_decode(data.Data(), data_length, unpacked.Data(), size * size);
        if (coded || data_length != kind->data_length)
            pixels = unpacked.Data();
    }
    if (!BeginPixels(size, size, false))
        return false;
    // One continuous bit stream of pixels (and of mask bits), the top row
    // first.
    for (int32_t i = 0; i < size * size; ++i) {
        uint32_t colour;
        switch (kind->depth) {
        case 1: colour = (pixels[i / 8] >> (7 - i % 8) & 1) ? 0x000000 : 0xFFFFFF; break;
        case 4: colour = icns_palette_colour(4, uint32_t(pixels[i / 2] >> (i % 2 ? 0 : 4))); break;
        case 8: colour = icns_palette_colour(8, pixels[i]); break;
        default: colour = uint32_t(pixels[3 * i]) << 16 | uint32_t(pixels[3 * i + 1]) << 8 | pixels[3 * i + 2];
        }
        uint32_t alpha = 0xFF;
        if (mask_bits)
            alpha = mask_depth == 8 ? mask_bits[i] : (mask_bits[i / 8] >> (7 - i % 8) & 1) ? 0xFF : 0;
        StorePixel32(i % size, size - 1 - i / size, alpha << 24 | colour);
    }
    if (output)
        FinishOutput();
    return true;
}

bool cPictICNS::LoadEmbedded(cFileIOTarget* stream, const cIcnsElement& element)
{
    cPictBase* decoder = embedded_decoder(element.stream);
    if (!decoder)
        return false;
    cFileIOSubRange data(stream, element.offset + header_size, element.length - header_size);
    bool loaded;
    if (pict_target_is_valid(output)) {
        // The embedded decoder writes into the target.
        decoder->SetOutputTarget(output);
        output = nullptr;
        loaded = decoder->Load(&data);
    } else {
        output = nullptr;
        loaded = decoder->Load(&data);
        if (loaded)
            TakePixels(decoder);
    }
    delete decoder;
    return loaded;
}
