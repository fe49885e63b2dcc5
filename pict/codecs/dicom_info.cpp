#include <string.h>

#include "base/byte_order.h"
#include "pict/codecs/read_info.h"

// The data elements are walked in file order up to the image's Rows
// (0028,0010) and Columns (0028,0011); sequences of undefined length are
// skipped item by item.

namespace {

const uint32_t undefined_length = 0xFFFFFFFF;
const int max_sequence_depth = 8;

struct cElementHeader {
    uint16_t group;
    uint16_t element;
    uint32_t length;
};

struct cDicomWalk {
    cFileIOTarget* stream;
    uint64_t position;
    uint64_t size;
    bool explicit_vr;
    bool big_endian;
    int64_t rows;
    int64_t columns;

    bool Read(void* buffer, uint32_t count)
    {
        if (position + count > size || !stream->Seek(position) || !stream->ReadExact(buffer, count))
            return false;
        position += count;
        return true;
    }

    bool Skip(uint32_t count)
    {
        if (position + count > size)
            return false;
        position += count;
        return true;
    }

    uint16_t U16(const uint8_t* p) const { return big_endian ? read_u16_be(p) : read_u16_le(p); }
    uint32_t U32(const uint8_t* p) const { return big_endian ? read_u32_be(p) : read_u32_le(p); }

    bool ReadHeader(cElementHeader* header);
    bool SkipSequence(int depth);
    bool SkipItem(int depth);
};

// Value representations whose length field has 32 bits after two reserved
// bytes.
bool long_value_representation(const uint8_t* vr)
{
    static const char long_ones[][3] = {"OB", "OD", "OF", "OL", "OV", "OW", "SQ", "SV", "UC", "UN", "UR", "UT", "UV"};
    for (const char* name : long_ones)
        if (vr[0] == name[0] && vr[1] == name[1])
            return true;
    return false;
}

bool is_value_representation(const uint8_t* vr)
{
    return vr[0] >= 'A' && vr[0] <= 'Z' && vr[1] >= 'A' && vr[1] <= 'Z';
}

bool cDicomWalk::ReadHeader(cElementHeader* header)
{
    uint8_t bytes[8];
    if (!Read(bytes, 8))
        return false;
    header->group = U16(bytes);
    header->element = U16(bytes + 2);
    // Items and delimiters carry no value representation.
    if (!explicit_vr || header->group == 0xFFFE) {
        header->length = U32(bytes + 4);
        return true;
    }
    if (!is_value_representation(bytes + 4))
        return false;
    if (!long_value_representation(bytes + 4)) {
        header->length = U16(bytes + 6);
        return true;
    }
    uint8_t length[4];
    if (!Read(length, 4))
        return false;
    header->length = U32(length);
    return true;
}

// Elements of an item of undefined length, up to its delimiter.
bool cDicomWalk::SkipItem(int depth)
{
    for (;;) {
        cElementHeader header;
        if (!ReadHeader(&header))
            return false;
        if (header.group == 0xFFFE && header.element == 0xE00D)
            return true;
        if (header.length == undefined_length ? !SkipSequence(depth + 1) : !Skip(header.length))
            return false;
    }
}

// Items of a sequence of undefined length, up to its delimiter.
bool cDicomWalk::SkipSequence(int depth)
{
    if (depth > max_sequence_depth)
        return false;
    for (;;) {
        cElementHeader header;
        if (!ReadHeader(&header) || header.group != 0xFFFE)
            return false;
        if (header.element == 0xE0DD)
            return true;
        if (header.element != 0xE000)
            return false;
        if (header.length == undefined_length ? !SkipItem(depth) : !Skip(header.length))
            return false;
    }
}

// The encoding of the data set that a transfer syntax names; false for one
// this walk cannot read (deflated data sets).
bool set_transfer_syntax(cDicomWalk& walk, const char* uid)
{
    walk.explicit_vr = strcmp(uid, "1.2.840.10008.1.2") != 0;
    walk.big_endian = strcmp(uid, "1.2.840.10008.1.2.2") == 0;
    return strcmp(uid, "1.2.840.10008.1.2.1.99") != 0;
}

// Walks the data set from the walk's position. With a meta group first:
// the file meta group (group 2, explicit little-endian) while it lasts,
// then the data set in the transfer syntax it names (implicit
// little-endian when it names none); else in the walk's own encoding.
bool walk_to_image_size(cDicomWalk& walk, cPictInfo* info, bool in_meta)
{
    char syntax[65] = "1.2.840.10008.1.2";
    for (;;) {
        uint8_t group_bytes[2];
        if (!walk.Read(group_bytes, 2))
            return false;
        walk.position -= 2;
        if (in_meta && read_u16_le(group_bytes) != 2) {
            in_meta = false;
            if (!set_transfer_syntax(walk, syntax))
                return false;
        }
        if (in_meta) {
            walk.explicit_vr = true;
            walk.big_endian = false;
        }
        cElementHeader header;
        if (!walk.ReadHeader(&header))
            return false;
        if (!in_meta && header.group > 0x0028)
            return false;
        if (header.length == undefined_length) {
            if (!walk.SkipSequence(1))
                return false;
            continue;
        }
        bool size_element = header.group == 0x0028 && (header.element == 0x0010 || header.element == 0x0011);
        if (size_element && header.length == 2) {
            uint8_t value[2];
            if (!walk.Read(value, 2))
                return false;
            (header.element == 0x0010 ? walk.rows : walk.columns) = walk.U16(value);
            if (walk.rows > 0 && walk.columns > 0)
                return read_info_found(info, walk.columns, walk.rows);
        } else if (in_meta && header.element == 0x0010 && header.length < sizeof syntax) {
            memset(syntax, 0, sizeof syntax);
            if (!walk.Read(syntax, header.length))
                return false;
            // Values are padded to an even length with a NUL or a space.
            for (int32_t i = int32_t(header.length) - 1; i >= 0 && (syntax[i] == ' ' || syntax[i] == 0); --i)
                syntax[i] = 0;
        } else if (!walk.Skip(header.length)) {
            return false;
        }
    }
}

cDicomWalk walk_from(cFileIOTarget* stream, uint64_t position)
{
    cDicomWalk walk = {stream, position, stream->GetSize(), true, false, 0, 0};
    return walk;
}

}  // namespace

bool dicom_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    if (!stream)
        return false;
    cDicomWalk walk = walk_from(stream, 128);
    uint8_t magic[6];
    // "DICM", then the file meta group's first element.
    if (!walk.Read(magic, 6) || memcmp(magic, "DICM", 4) != 0 || read_u16_le(magic + 4) != 2)
        return false;
    walk.position -= 2;
    return walk_to_image_size(walk, info, true);
}

bool dicom_legacy_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    if (!stream)
        return false;
    cDicomWalk walk = walk_from(stream, 0);
    uint8_t first[8];
    if (!walk.Read(first, 8))
        return false;
    uint16_t group = read_u16_le(first);
    if (group != 0x0002 && group != 0x0008)
        return false;
    walk.position = 0;
    if (group == 0x0008) {
        // No meta group: the data set's own encoding shows in its first
        // element, explicit when a value representation stands after the tag.
        bool explicit_vr = is_value_representation(first + 4);
        return set_transfer_syntax(walk, explicit_vr ? "1.2.840.10008.1.2.1" : "1.2.840.10008.1.2") &&
               walk_to_image_size(walk, info, false);
    }
    return walk_to_image_size(walk, info, true);
}
