#include "pict/codecs/jbig2_segments.h"

#include <string.h>

#include "base/byte_order.h"
#include "pict/pict_base.h"

namespace {

const uint8_t identification[8] = {0x97, 'J', 'B', '2', 0x0D, 0x0A, 0x1A, 0x0A};

const uint8_t type_immediate_generic_region = 38;
const uint8_t type_page_information = 48;
const uint8_t type_end_of_file = 51;
const uint32_t unknown_length = 0xFFFFFFFF;
// More referred-to segments than this are no real file's.
const uint32_t most_references = 0x10000;

struct cJbig2Segment {
    uint32_t number;
    uint8_t type;
    uint32_t page;
    uint64_t data_offset;
    uint32_t data_length;
};

// The segment header at offset into *segment; *end gets the offset after
// it. False when it does not read or is malformed.
bool read_segment_header(cFileIOTarget* stream, uint64_t offset, cJbig2Segment* segment, uint64_t* end)
{
    uint8_t head[9];
    if (!stream->Seek(offset) || !stream->ReadExact(head, 6))
        return false;
    segment->number = read_u32_be(head);
    segment->type = head[4] & 0x3F;
    const bool long_page = (head[4] & 0x40) != 0;
    uint32_t references = head[5] >> 5;
    uint64_t at = offset + 6;
    if (references == 7) {
        // The long form: a 29-bit count, then one retention bit for the
        // segment and each referred-to one.
        if (!stream->ReadExact(head + 6, 3))
            return false;
        references = read_u32_be(head + 5) & 0x1FFFFFFF;
        if (references > most_references)
            return false;
        at = offset + 9 + (references + 8) / 8;
    } else if (references > 4) {
        return false;
    }
    const uint32_t reference_size = segment->number <= 256 ? 1 : segment->number <= 65536 ? 2 : 4;
    at += uint64_t(references) * reference_size;
    uint8_t tail[8];
    const uint32_t page_size = long_page ? 4 : 1;
    if (!stream->Seek(at) || !stream->ReadExact(tail, page_size + 4))
        return false;
    segment->page = long_page ? read_u32_be(tail) : tail[0];
    segment->data_length = read_u32_be(tail + page_size);
    *end = at + page_size + 4;
    return true;
}

bool read_page_information(cFileIOTarget* stream, const cJbig2Segment& segment, cJbig2Page* page)
{
    uint8_t data[19];
    if (segment.data_length != sizeof data || !stream->Seek(segment.data_offset) ||
        !stream->ReadExact(data, sizeof data))
        return false;
    const uint32_t width = read_u32_be(data);
    const uint32_t height = read_u32_be(data + 4);
    // Sizes are unsigned 32-bit numbers: the picture's signed sides and
    // their product in 64 bits.
    if (width == 0 || height == 0 || width > uint32_t(INT32_MAX) || height > uint32_t(INT32_MAX) ||
        uint64_t(width) * height > uint64_t(pict_max_pixels))
        return false;
    page->width = int32_t(width);
    page->height = int32_t(height);
    return true;
}

// One segment into the map.
bool take_segment(cFileIOTarget* stream, const cJbig2Segment& segment, cJbig2PageMap& map)
{
    if (segment.type != type_immediate_generic_region && segment.type != type_page_information)
        return true;
    // Pages are numbered from 1; segments of no page concern no picture.
    if (segment.page == 0 || segment.page > uint32_t(INT32_MAX))
        return false;
    cJbig2Page* page = tree_get_or_add(map, int32_t(segment.page));
    if (!page)
        return false;
    if (segment.type == type_page_information)
        return read_page_information(stream, segment, page);
    // The region information and flags at least.
    if (segment.data_length < 18)
        return false;
    cJbig2Region* region = list_append(page->regions);
    if (!region)
        return false;
    region->offset = segment.data_offset;
    region->length = segment.data_length;
    return true;
}

// Every page from 1 to pages with a size and a region.
bool jbig2_map_valid(const cJbig2PageMap& map, int32_t pages)
{
    if (pages < 1)
        return false;
    for (int32_t number = 1; number <= pages; ++number) {
        const cJbig2Page* page = tree_find_value(map, number);
        if (!page || page->width == 0 || page->height == 0 || !page->regions.first)
            return false;
    }
    return true;
}

}  // namespace

bool jbig2_scan(cFileIOTarget* stream, cJbig2PageMap& map, int32_t* pages)
{
    tree_clear(map);
    *pages = 0;
    uint8_t head[13];
    if (!stream || !stream->Seek(0))
        return false;
    const int32_t got = stream->Read(head, sizeof head);
    bool sequential = true;
    bool counted = true;  // the header gives the number of pages
    uint64_t offset = 0;
    if (got >= 9 && memcmp(head, identification, sizeof identification) == 0) {
        sequential = (head[8] & 1) != 0;
        counted = (head[8] & 2) == 0;
        if (counted && got < 13)
            return false;
        const uint32_t count = counted ? read_u32_be(head + 9) : 0;
        if (counted && (count == 0 || count > uint32_t(INT32_MAX)))
            return false;
        *pages = int32_t(count);
        offset = counted ? 13 : 9;
    } else {
        *pages = 1;
    }

    // The headers; in the random-access organisation all of them come
    // first and the data of each follows in the same order.
    cLinkedList<cJbig2Segment> segments;
    const uint64_t size = stream->GetSize();
    for (uint32_t index = 0;; ++index) {
        cJbig2Segment segment;
        uint64_t end;
        if (!read_segment_header(stream, offset, &segment, &end) || segment.number != index)
            break;
        if (segment.data_length == unknown_length)
            return false;
        segment.data_offset = end;
        offset = sequential ? end + segment.data_length : end;
        cJbig2Segment* kept = list_append(segments);
        if (!kept)
            return false;
        *kept = segment;
        if (segment.type == type_end_of_file)
            break;
    }
    uint64_t data_offset = offset;
    for (cLinkedListNode<cJbig2Segment>* node = segments.first; node; node = node->next) {
        cJbig2Segment& segment = node->element;
        if (!sequential) {
            segment.data_offset = data_offset;
            data_offset += segment.data_length;
        }
        if (segment.data_offset + segment.data_length > size)
            break;
        if (segment.page != 0 && counted && segment.page > uint32_t(*pages))
            return false;
        if (!take_segment(stream, segment, map))
            return false;
        if (!counted && segment.page > uint32_t(*pages) && segment.page <= uint32_t(INT32_MAX))
            *pages = int32_t(segment.page);
    }
    return jbig2_map_valid(map, *pages);
}
