#include "tools/package/pe_layout.h"

#include <string.h>

#include "base/byte_order.h"
#include "tools/package/make_log.h"

namespace {

const uint32_t subdirectory_bit = 0x80000000;
const uint32_t resource_type_version = 16;
const uint32_t version_resource_id = 1;
const uint32_t section_header_size = 40;

// True when [offset, offset + length) lies inside size bytes.
bool inside(uint64_t offset, uint64_t length, uint64_t size)
{
    return offset <= size && length <= size - offset;
}

// Calls visit(id, offset field) for each id entry of the directory at
// offset, after its named entries; false when the directory does not fit
// or visit refuses an entry.
template <class Visit>
bool for_each_id_entry(const uint8_t* section, uint32_t size, uint32_t offset, Visit visit)
{
    if (!inside(offset, 16, size))
        return false;
    uint32_t named = read_u16_le(section + offset + 12);
    uint32_t ids = read_u16_le(section + offset + 14);
    if (!inside(offset, 16 + 8 * uint64_t(named + ids), size))
        return false;
    for (uint32_t i = 0; i < ids; ++i) {
        const uint8_t* entry = section + offset + 16 + 8 * (named + i);
        if (!visit(read_u32_le(entry), read_u32_le(entry + 4)))
            return false;
    }
    return true;
}

int32_t fail(cMakeLog& log, int32_t code, const char* message)
{
    log.Print("%s", message);
    return code;
}

// The raw bytes of the first ".rsrc" section: offset, size and address.
struct cSectionPlace {
    uint32_t raw_offset;
    uint32_t raw_size;
    uint32_t address;
};

bool find_resource_section(const uint8_t* table, uint32_t count, cSectionPlace& place)
{
    static const uint8_t name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* header = table + section_header_size * i;
        if (memcmp(header, name, 8) != 0)
            continue;
        place.address = read_u32_le(header + 12);
        place.raw_size = read_u32_le(header + 16);
        place.raw_offset = read_u32_le(header + 20);
        return place.raw_offset && place.raw_size;
    }
    return false;
}

const cResourceData* find_version_data(const cResourceTree& tree, cMakeLog& log)
{
    const cResourceIds* ids = tree_find_value(tree, resource_type_version);
    if (!ids) {
        log.Print("(e) No resource version section!\n");
        return nullptr;
    }
    const cLinkedList<cResourceData>* entries = tree_find_value(*ids, version_resource_id);
    if (!entries) {
        log.Print("(e) No version ID section!\n");
        return nullptr;
    }
    if (!entries->first)
        log.Print("(e) No version lang section!\n");
    return entries->first ? &entries->first->element : nullptr;
}

// The certificate entry and checksum of the optional header.
int32_t place_header_fields(const uint8_t* image, uint32_t optional, uint32_t optional_size, cPeLayout& layout,
                            cMakeLog& log)
{
    uint16_t magic = read_u16_le(image + optional);
    uint32_t entry = magic == 0x10B ? 128 : magic == 0x20B ? 144 : 0;
    if (!entry)
        return fail(log, 3, "(e) Bad optional header magic!\n");
    if (optional_size < entry + 8) {
        log.Print("(e) Optional header too small for the certificate entry (0x%X)!\n", optional_size);
        return 3;
    }
    layout.certificate_entry_offset = optional + entry;
    layout.checksum_offset = optional + 64;
    return 0;
}

}  // namespace

bool parse_resource_types(const uint8_t* section, uint32_t size, cResourceTree& tree)
{
    return for_each_id_entry(section, size, 0, [&](uint32_t type, uint32_t types_target) {
        cResourceIds* ids = (types_target & subdirectory_bit) ? tree_get_or_add(tree, type) : nullptr;
        return ids && for_each_id_entry(section, size, types_target & ~subdirectory_bit, [&](uint32_t id, uint32_t target) {
            cLinkedList<cResourceData>* entries = (target & subdirectory_bit) ? tree_get_or_add(*ids, id) : nullptr;
            return entries && for_each_id_entry(section, size, target & ~subdirectory_bit, [&](uint32_t language, uint32_t data) {
                cResourceData* entry = (data & subdirectory_bit) || !inside(data, 16, size) ? nullptr : list_append(*entries);
                if (!entry)
                    return false;
                entry->rva = read_u32_le(section + data);
                entry->size = read_u32_le(section + data + 4);
                entry->language = language;
                return true;
            });
        });
    });
}

int32_t read_pe_layout(const uint8_t* image, uint32_t size, cPeLayout& layout, cMakeLog& log)
{
    if (size < 64)
        return fail(log, 2, "(e) Unable to read header(1)!\n");
    uint32_t pe = read_u32_le(image + 60);
    if (read_u16_le(image) != 0x5A4D || pe < 64)
        return fail(log, 2, "(e) Bad header(1)!\n");
    if (!inside(pe, 4, size))
        return fail(log, 2, "(e) Unable to read header(2)m!\n");
    if (read_u32_le(image + pe) != 0x00004550)
        return fail(log, 2, "(e) Bad header(2)!\n");
    if (!inside(pe, 24, size))
        return fail(log, 2, "(e) Unable to read header(2)!\n");
    uint32_t section_count = read_u16_le(image + pe + 6);
    uint32_t optional_size = read_u16_le(image + pe + 20);
    if (optional_size == 0)
        return fail(log, 2, "(e) No opt header!\n");
    if (section_count == 0)
        return fail(log, 2, "(e) No sections defined!\n");
    uint32_t optional = pe + 24;
    log.Print("(i) Found opth at 0x%X (size: 0x%X)\n", optional, optional_size);
    uint64_t table = uint64_t(optional) + optional_size;
    if (!inside(table, uint64_t(section_count) * section_header_size, size))
        return fail(log, 2, "(e) Unable to read sections!\n");
    cSectionPlace resources;
    if (!find_resource_section(image + table, section_count, resources))
        return fail(log, 2, "(e) No resource section!\n");
    log.Print("(i) Found resources at 0x%X (size: 0x%X)\n", resources.raw_offset, resources.raw_size);
    if (!inside(resources.raw_offset, resources.raw_size, size))
        return fail(log, 2, "(e) Unable to read resources!\n");
    cResourceTree tree;
    if (!parse_resource_types(image + resources.raw_offset, resources.raw_size, tree))
        return fail(log, 2, "(e) Unable to parse resources!\n");
    const cResourceData* version = find_version_data(tree, log);
    if (!version)
        return 2;
    uint64_t within = uint64_t(version->rva) - resources.address;
    if (version->rva < resources.address || !inside(within, version->size, resources.raw_size))
        return fail(log, 2, "(e) Version resource lies outside its section!\n");
    layout.version_offset = resources.raw_offset + uint32_t(within);
    layout.version_size = version->size;
    log.Print("(i) Using lang section at 0x%X (VA: 0x%X), size: 0x%X, lang_id: 0x%X\n", layout.version_offset,
              version->rva, version->size, version->language);
    layout.optional_header_offset = optional;
    layout.optional_header_size = optional_size;
    return place_header_fields(image, optional, optional_size, layout, log);
}
