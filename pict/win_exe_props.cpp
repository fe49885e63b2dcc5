#include "pict/win_exe_props.h"

#include "base/byte_order.h"
#include "pict/icon_image.h"

// Walks the executable's headers to its resource directory: type, then
// name, then language. Every offset is checked against the file before it
// is read.

namespace {

const uint32_t resource_type_icon = 3;
const uint32_t resource_type_icon_group = 14;
const uint32_t max_resource_size = 16 << 20;
const int32_t max_sections = 96;
const uint32_t subdirectory_flag = 0x80000000;

struct cSection {
    uint32_t virtual_address;
    uint32_t virtual_size;
    uint32_t raw_size;
    uint32_t raw_offset;
};

class cPeResources {
public:
    explicit cPeResources(cFileIOTarget* file) : stream(file), size(file->GetSize()), section_count(0) {}

    // The headers of a PE32 or PE32+ file with a resource directory.
    bool Open();
    // The data of the first language of a resource of type: the index-th
    // name when by_index, else the name whose id is key.
    bool Read(uint32_t type, bool by_index, uint32_t key, _typebuf<uint8_t>& out);

private:
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count);
    bool ReadRva(uint32_t rva, void* buffer, uint32_t count);
    // The data offset of an entry of the directory at directory (resource
    // relative); see Read for by_index and key.
    bool FindEntry(uint32_t directory, bool by_index, uint32_t key, uint32_t* data);

    cFileIOTarget* stream;
    uint64_t size;
    cSection sections[max_sections];
    int32_t section_count;
    uint32_t resource_rva;
    uint32_t resource_size;
};

bool cPeResources::ReadAt(uint64_t offset, void* buffer, uint32_t count)
{
    return offset + count <= size && stream->Seek(offset) && stream->ReadExact(buffer, count);
}

bool cPeResources::ReadRva(uint32_t rva, void* buffer, uint32_t count)
{
    for (int32_t i = 0; i < section_count; ++i) {
        const cSection& s = sections[i];
        uint64_t from = uint64_t(rva) - s.virtual_address;
        if (rva >= s.virtual_address && from + count <= s.raw_size)
            return ReadAt(uint64_t(s.raw_offset) + from, buffer, count);
    }
    return false;
}

bool cPeResources::Open()
{
    uint8_t bytes[24];
    if (size < 64 || !ReadAt(0, bytes, 2) || bytes[0] != 'M' || bytes[1] != 'Z' || !ReadAt(0x3C, bytes, 4))
        return false;
    const uint64_t pe = read_u32_le(bytes);
    if (!ReadAt(pe, bytes, 24) || read_u32_le(bytes) != 0x00004550)
        return false;
    section_count = read_u16_le(bytes + 6);
    const uint16_t optional_size = read_u16_le(bytes + 20);
    const uint64_t optional = pe + 24;
    if (section_count > max_sections || !ReadAt(optional, bytes, 2))
        return false;
    // The data directories follow the optional header's fixed part, 96
    // bytes in PE32 and 112 in PE32+, each preceded by their count.
    uint16_t magic = read_u16_le(bytes);
    uint32_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    if (!directories || optional_size < directories + 3 * 8 || !ReadAt(optional + directories - 4, bytes, 4) ||
        read_u32_le(bytes) < 3 || !ReadAt(optional + directories + 2 * 8, bytes, 8))
        return false;
    resource_rva = read_u32_le(bytes);
    resource_size = read_u32_le(bytes + 4);
    for (int32_t i = 0; i < section_count; ++i) {
        uint8_t header[40];
        if (!ReadAt(optional + optional_size + 40 * uint64_t(i), header, 40))
            return false;
        sections[i] = {read_u32_le(header + 12), read_u32_le(header + 8), read_u32_le(header + 16), read_u32_le(header + 20)};
    }
    return resource_rva != 0 && resource_size >= 16;
}

bool cPeResources::FindEntry(uint32_t directory, bool by_index, uint32_t key, uint32_t* data)
{
    uint8_t header[16];
    if (directory >= resource_size || !ReadRva(resource_rva + directory, header, 16))
        return false;
    const uint32_t named = read_u16_le(header + 12);
    const uint32_t total = named + read_u16_le(header + 14);
    // Named entries come first, then those with numeric ids.
    for (uint32_t i = by_index ? key : named; i < total; ++i) {
        uint8_t entry[8];
        if (!ReadRva(resource_rva + directory + 16 + 8 * i, entry, 8))
            return false;
        if (by_index || read_u32_le(entry) == key) {
            *data = read_u32_le(entry + 4);
            return true;
        }
    }
    return false;
}

bool cPeResources::Read(uint32_t type, bool by_index, uint32_t key, _typebuf<uint8_t>& out)
{
    uint32_t names, languages, leaf;
    if (!FindEntry(0, false, type, &names) || !(names & subdirectory_flag) ||
        !FindEntry(names & ~subdirectory_flag, by_index, key, &languages) || !(languages & subdirectory_flag) ||
        !FindEntry(languages & ~subdirectory_flag, true, 0, &leaf) || (leaf & subdirectory_flag))
        return false;
    uint8_t entry[16];
    if (leaf >= resource_size || !ReadRva(resource_rva + leaf, entry, 16))
        return false;
    const uint32_t data_size = read_u32_le(entry + 4);
    if (data_size == 0 || data_size > max_resource_size)
        return false;
    out.Resize(int32_t(data_size));
    return out.Data() && ReadRva(read_u32_le(entry), out.Data(), data_size);
}

// Which icon of a group comes nearest the wanted size: that size itself,
// else the smallest larger one, else the largest; then the most bits.
int64_t icon_rank(const uint8_t* entry, int32_t wanted_width, int32_t wanted_height)
{
    int64_t width = entry[0] ? entry[0] : 256;
    int64_t height = entry[1] ? entry[1] : 256;
    int64_t bits = read_u16_le(entry + 6);
    int64_t area = width * height;
    int64_t fit;
    if (width == wanted_width && height == wanted_height)
        fit = 3LL << 40;
    else if (width >= wanted_width && height >= wanted_height)
        fit = (2LL << 40) - (area << 8);
    else
        fit = (1LL << 40) + (area << 8);
    return fit + bits;
}

}  // namespace

bool cWinExeProps::Read(cFileIOTarget* stream, int32_t icon_index, bool read_icon)
{
    if (!stream || icon_index < 0)
        return false;
    cPeResources resources(stream);
    _typebuf<uint8_t> group;
    if (!resources.Open() || !resources.Read(resource_type_icon_group, true, uint32_t(icon_index), group))
        return false;
    if (group.Count() < 6 || read_u16_le(group.Data()) != 0 || read_u16_le(group.Data() + 2) != 1)
        return false;
    const int32_t count = read_u16_le(group.Data() + 4);
    if (count == 0 || 6 + 14 * count > group.Count())
        return false;
    if (!read_icon)
        return true;
    if (icon_width < 1 || icon_height < 1)
        return false;
    const uint8_t* best = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = group.Data() + 6 + 14 * i;
        if (!best || icon_rank(entry, icon_width, icon_height) > icon_rank(best, icon_width, icon_height))
            best = entry;
    }
    _typebuf<uint8_t> image;
    if (!resources.Read(resource_type_icon, false, read_u16_le(best + 12), image))
        return false;
    cPictDummy* icon = new cPictDummy;
    if (!icon || !icon_image_decode(image.Data(), uint32_t(image.Count()), icon)) {
        delete icon;
        return false;
    }
    return StoreIcon(icon);
}
