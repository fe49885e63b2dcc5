#ifndef TOOLS_PACKAGE_PE_LAYOUT_H
#define TOOLS_PACKAGE_PE_LAYOUT_H

#include <stdint.h>

#include "base/linked_list.h"
#include "base/tree_map.h"

class cMakeLog;

// Where make edits the bare manager: every range lies inside the image.
struct cPeLayout {
    uint32_t optional_header_offset;
    uint32_t optional_header_size;
    uint32_t certificate_entry_offset;  // 8 bytes: the certificate table's offset and size
    uint32_t checksum_offset;           // 4 bytes
    uint32_t version_offset;            // the version resource (type 16, id 1, first language)
    uint32_t version_size;
};

// Finds the layout of a PE32 or PE32+ image, logging what it finds and
// each fault. 0, or the make exit code of the fault: 2 for headers,
// sections and resources that are missing or malformed, 3 for an optional
// header of another kind or too small to hold the certificate entry.
int32_t read_pe_layout(const uint8_t* image, uint32_t size, cPeLayout& layout, cMakeLog& log);

// A resource directory: type id -> resource id -> its data entries in
// directory order. Named entries are passed over.
struct cResourceData {
    uint32_t rva;
    uint32_t size;
    uint32_t language;
};
typedef cTreeMap<uint32_t, cLinkedList<cResourceData>> cResourceIds;
typedef cTreeMap<uint32_t, cResourceIds> cResourceTree;

// The three levels of the directory at the start of a resource section's
// raw bytes; false when any directory or entry lies outside them or a
// level's entries are not of that level's kind.
bool parse_resource_types(const uint8_t* section, uint32_t size, cResourceTree& tree);

#endif
