#include <string.h>

#include "base/byte_order.h"
#include "base/file_io_subrange.h"
#include "pict/codecs/read_info.h"
#include "pict/raw/raw_probes.h"
#include "pict/raw/raw_tiff_survey.h"

namespace {

bool read_at(cFileIOTarget* stream, uint64_t offset, void* buffer, uint32_t count)
{
    const uint64_t size = stream->GetSize();
    return offset <= size && count <= size - offset && stream->Seek(offset) && stream->ReadExact(buffer, count);
}

bool found(cPictInfo* info, int64_t width, int64_t height, bool preview)
{
    if (!read_info_found(info, width, height))
        return false;
    if (info)
        info->has_preview = preview;
    return true;
}

// A JPEG stream (its start of image) of length bytes at offset.
bool jpeg_at(cFileIOTarget* stream, uint64_t offset, uint64_t length)
{
    uint8_t soi[2];
    return offset > 0 && length > 2 && offset + length <= stream->GetSize() && read_at(stream, offset, soi, 2) &&
           soi[0] == 0xFF && soi[1] == 0xD8;
}

// The blocks of a CIFF heap [start, end), searched for the image
// information (its width and height) and the JPEG preview; sub-heaps to a
// small depth.
struct cCiffFind {
    bool big_endian;
    int64_t width;
    int64_t height;
    bool preview;
};

bool walk_heap(cFileIOTarget* stream, uint64_t start, uint64_t end, int depth, cCiffFind* find)
{
    uint8_t bytes[10];
    if (end < start + 6 || depth > 4 || !read_at(stream, end - 4, bytes, 4))
        return false;
    auto read16 = [&](const uint8_t* b) { return find->big_endian ? read_u16_be(b) : read_u16_le(b); };
    auto read32 = [&](const uint8_t* b) { return find->big_endian ? read_u32_be(b) : read_u32_le(b); };
    const uint64_t table = start + read32(bytes);
    if (table + 2 > end - 4 || !read_at(stream, table, bytes, 2))
        return false;
    const uint32_t count = read16(bytes);
    if (table + 2 + uint64_t(count) * 10 > end - 4)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (!read_at(stream, table + 2 + uint64_t(i) * 10, bytes, 10))
            return false;
        const uint16_t type = read16(bytes);
        const uint32_t size = read32(bytes + 2);
        const uint64_t data = start + read32(bytes + 6);
        // Records whose data is in the record itself carry nothing here.
        if ((type & 0xC000) != 0 || data + size > end)
            continue;
        const uint16_t kind = type & 0x3800;
        if (kind == 0x2800 || kind == 0x3000) {
            if (!walk_heap(stream, data, data + size, depth + 1, find))
                return false;
        } else if ((type & 0x3FFF) == 0x1810 && size >= 8) {
            uint8_t info[8];
            if (!read_at(stream, data, info, 8))
                return false;
            find->width = read32(info);
            find->height = read32(info + 4);
        } else if ((type & 0x3FFF) == 0x2007 && size > 0) {
            find->preview = true;
        }
    }
    return true;
}

}  // namespace

bool probe_mrw(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t head[8];
    if (!stream || !read_at(stream, 0, head, 8) || memcmp(head, "\0MRM", 4) != 0)
        return false;
    const uint64_t end = 8 + uint64_t(read_u32_be(head + 4));
    int64_t width = 0, height = 0;
    bool preview = false;
    for (uint64_t at = 8; at + 8 <= end;) {
        uint8_t block[8];
        if (!read_at(stream, at, block, 8))
            return false;
        const uint64_t length = read_u32_be(block + 4);
        if (at + 8 + length > end)
            return false;
        if (memcmp(block, "\0PRD", 4) == 0 && length >= 16) {
            // A version, the sensor's height and width, the image's.
            uint8_t prd[16];
            if (!read_at(stream, at + 8, prd, 16))
                return false;
            height = read_u16_be(prd + 12);
            width = read_u16_be(prd + 14);
        } else if (memcmp(block, "\0TTW", 4) == 0) {
            cFileIOSubRange tiff(stream, at + 8, length);
            cRawTiffSurvey survey;
            preview = survey.Survey(&tiff) && survey.HasJpegPreview();
        }
        at += 8 + length;
    }
    return found(info, width, height, preview);
}

bool probe_x3f(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t head[48];
    if (!stream || !read_at(stream, 0, head, sizeof head) || memcmp(head, "FOVb", 4) != 0)
        return false;
    // From version 4 on the size moves back.
    const uint32_t size_at = (read_u32_le(head + 4) >> 16) >= 4 ? 40 : 28;
    const int64_t width = read_u32_le(head + size_at);
    const int64_t height = read_u32_le(head + size_at + 4);
    // The section directory, whose offset ends the file: a JPEG image
    // section is the preview.
    bool preview = false;
    uint8_t bytes[28];
    const uint64_t size = stream->GetSize();
    if (read_at(stream, size - 4, bytes, 4)) {
        const uint64_t directory = read_u32_le(bytes);
        if (read_at(stream, directory, bytes, 12) && memcmp(bytes, "SECd", 4) == 0) {
            const uint32_t entries = read_u32_le(bytes + 8);
            for (uint32_t i = 0; i < entries && i < 256 && !preview; ++i) {
                if (!read_at(stream, directory + 12 + uint64_t(i) * 12, bytes, 12))
                    break;
                const uint64_t section = read_u32_le(bytes);
                const bool image = memcmp(bytes + 8, "IMA2", 4) == 0 || memcmp(bytes + 8, "IMAG", 4) == 0;
                uint8_t header[16];
                preview = image && read_at(stream, section, header, 16) && memcmp(header, "SECi", 4) == 0 &&
                          read_u32_le(header + 8) == 2 && read_u32_le(header + 12) == 18;
            }
        }
    }
    return found(info, width, height, preview);
}

bool probe_raf(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t head[0x64];
    if (!stream || !read_at(stream, 0, head, sizeof head) || memcmp(head, "FUJIFILMCCD-RAW ", 16) != 0)
        return false;
    const bool preview = jpeg_at(stream, read_u32_be(head + 0x54), read_u32_be(head + 0x58));
    // The raw directory: a count, then tags of a 16-bit id and size.
    const uint64_t directory = read_u32_be(head + 0x5C);
    const uint64_t directory_end = directory + read_u32_be(head + 0x60);
    uint8_t bytes[8];
    if (!read_at(stream, directory, bytes, 4))
        return false;
    const uint32_t count = read_u32_be(bytes);
    int64_t full[2] = {0, 0}, cropped[2] = {0, 0};
    uint64_t at = directory + 4;
    for (uint32_t i = 0; i < count && i < 256 && at + 4 <= directory_end; ++i) {
        if (!read_at(stream, at, bytes, 4))
            return false;
        const uint16_t tag = read_u16_be(bytes);
        const uint16_t length = read_u16_be(bytes + 2);
        if ((tag == 0x100 || tag == 0x111) && length >= 4) {
            if (!read_at(stream, at + 4, bytes + 4, 4))
                return false;
            // Height first, then width.
            int64_t* size = tag == 0x100 ? full : cropped;
            size[0] = read_u16_be(bytes + 6);
            size[1] = read_u16_be(bytes + 4);
        }
        at += 4 + uint64_t(length);
    }
    const int64_t* size = cropped[0] && cropped[1] ? cropped : full;
    return found(info, size[0], size[1], preview);
}

bool probe_crw(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t head[14];
    if (!stream || !read_at(stream, 0, head, sizeof head) || memcmp(head + 6, "HEAPCCDR", 8) != 0 ||
        !((head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M')))
        return false;
    cCiffFind find = {head[0] == 'M', 0, 0, false};
    const uint64_t start = find.big_endian ? read_u32_be(head + 2) : read_u32_le(head + 2);
    const uint64_t end = stream->GetSize();
    return start < end && walk_heap(stream, start, end, 0, &find) && found(info, find.width, find.height, find.preview);
}
