#include "pict/codecs/jbig2.h"

#include "base/byte_order.h"
#include "pict/codecs/read_info.h"

namespace {

const uint32_t black = 0xFF000000;
const uint32_t white = 0xFFFFFFFF;

// Region information (size, place, combination operator) and flags.
const uint32_t region_header = 18;

// Decoding work allowed for a page, in pixels: regions may overlap, but a
// page never needs many times its own area.
int64_t page_budget(const cJbig2Page& page)
{
    return 4 * int64_t(page.width) * page.height + (int64_t(1) << 20);
}

}  // namespace

cPictJBIG2::cPictJBIG2() : page_count(0), map_valid(0)
{
}

bool jbig2_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictJBIG2 probe;
    return probe.ReadInfo(stream, info);
}

bool cPictJBIG2::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    map_valid = jbig2_scan(stream, pages, &page_count);
    if (!map_valid)
        return false;
    const cJbig2Page* first = tree_find_value(pages, 1);
    return read_info_found(info, first->width, first->height);
}

bool cPictJBIG2::Load(cFileIOTarget* stream)
{
    return LoadPage(stream, 0);
}

const cJbig2Page* cPictJBIG2::FindPage(cFileIOTarget* stream, int32_t page)
{
    if (!map_valid)
        map_valid = jbig2_scan(stream, pages, &page_count);
    if (!map_valid || page < 0 || page >= page_count)
        return nullptr;
    return tree_find_value(pages, page + 1);
}

int32_t cPictJBIG2::GetPageCount(cFileIOTarget* stream)
{
    if (!map_valid)
        map_valid = jbig2_scan(stream, pages, &page_count);
    return map_valid ? page_count : 0;
}

bool cPictJBIG2::PageSize(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height)
{
    const cJbig2Page* record = FindPage(stream, page);
    if (!record)
        return false;
    *width = record->width;
    *height = record->height;
    return true;
}

bool cPictJBIG2::DrawRegion(cFileIOTarget* stream, const cJbig2Region& region, cJbig2Bitmap& page, int64_t* budget)
{
    uint8_t head[region_header + 8];
    const uint32_t head_length = region.length < sizeof head ? region.length : uint32_t(sizeof head);
    if (!stream->Seek(region.offset) || !stream->ReadExact(head, head_length))
        return false;
    const uint32_t width = read_u32_be(head);
    const uint32_t height = read_u32_be(head + 4);
    const uint32_t x = read_u32_be(head + 8);
    const uint32_t y = read_u32_be(head + 12);
    const uint8_t flags = head[17];
    cJbig2Generic coding;
    coding.template_number = flags >> 1 & 3;
    coding.typical_prediction = (flags & 0x08) != 0;
    // Regions coded by MMR, or with the extended template, are not drawn.
    if ((flags & 0x01) != 0 || (flags & 0x10) != 0)
        return false;
    const uint32_t header = region_header + uint32_t(jbig2_adaptive_bytes(coding.template_number));
    if (region.length < header || width == 0 || height == 0 || x >= uint32_t(page.width) ||
        y >= uint32_t(page.height))
        return false;
    for (int i = 0; i < 8; ++i)
        coding.adaptive[i] = int8_t(i < int(header - region_header) ? head[region_header + i] : 0);
    // Rows below the page are never needed; every row keeps its whole
    // width, which the rows under it are decoded from.
    const int64_t rows = int64_t(height) < int64_t(page.height) - y ? int64_t(height) : int64_t(page.height) - y;
    cJbig2Bitmap bitmap;
    _typebuf<uint8_t> data;
    if (int64_t(width) * rows > *budget || !bitmap.Allocate(width, rows))
        return false;
    data.Resize(int32_t(region.length - header));
    if (region.length > header && (!data.Data() || !stream->Seek(region.offset + header) ||
                                   !stream->ReadExact(data.Data(), region.length - header)))
        return false;
    if (!jbig2_decode_generic(coding, data.Data(), uint32_t(data.Count()), bitmap, budget))
        return false;
    const int64_t columns = int64_t(width) < int64_t(page.width) - x ? int64_t(width) : int64_t(page.width) - x;
    for (int64_t r = 0; r < rows; ++r) {
        uint8_t* out = page.bits.Data() + size_t(y + r) * page.stride;
        for (int64_t c = 0; c < columns; ++c) {
            const int64_t px = x + c;
            const uint8_t bit = uint8_t(0x80 >> (px & 7));
            if (bitmap.Pixel(c, r))
                out[px >> 3] |= bit;
            else
                out[px >> 3] &= uint8_t(~bit);
        }
    }
    return true;
}

bool cPictJBIG2::LoadPage(cFileIOTarget* stream, int32_t page)
{
    FreePixels();
    const cJbig2Page* record = FindPage(stream, page);
    cJbig2Bitmap canvas;
    if (!record || !canvas.Allocate(record->width, record->height))
        return false;
    int64_t budget = page_budget(*record);
    for (const cLinkedListNode<cJbig2Region>* node = record->regions.first; node; node = node->next)
        DrawRegion(stream, node->element, canvas, &budget);
    // Each page pixel is delivered once, the top row first.
    if (!BeginPixels(record->width, record->height, false))
        return false;
    for (int32_t y = 0; y < record->height; ++y) {
        const uint8_t* bits = canvas.bits.Data() + size_t(y) * canvas.stride;
        for (int32_t x = 0; x < record->width; ++x)
            StorePixel32(x, record->height - 1 - y, (bits[x >> 3] >> (7 - (x & 7)) & 1) ? black : white);
    }
    if (output)
        FinishOutput();
    return true;
}
