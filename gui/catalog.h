#ifndef GUI_CATALOG_H
#define GUI_CATALOG_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

// One section of a string catalog: strings by number; an absent string is
// empty and reads as null, a present empty one reads as "".
struct cStringArray {
    _classbuf<_guardchar<wchar_t>> strings;
};

// Texts of the interface by section name ("ciom::messages") and number.
struct cStringCatalog {
    cStringCatalog() : sections(1024), code{0, 0, 0, 0} {}

    cTreeMap<cPackedKey, cStringArray> sections;
    wchar_t code[4];  // language code of the last container read
    _guardchar<wchar_t> name;  // language name of the last container read
};

// The one catalog of the current language (GUI thread only).
cStringCatalog* get_global_catalog();

// Merges a "CIOMLAFI" container into the catalog: each section it holds
// replaces the catalog's section of that name, others stay. False for a bad
// container, which changes nothing (short of the heap refusing memory
// half-way). A catalog stream must inflate to exactly its stated size.
bool catalog_read_container(const uint8_t* data, uint32_t size, cStringCatalog& catalog);
// The section's strings, or null (also for a null catalog or name).
const cStringArray* catalog_find_section(const cStringCatalog* catalog, const wchar_t* section);
// Null when array is null, id is out of range or the string is absent.
const wchar_t* get_catalog_string(const cStringArray* array, int32_t id);

#endif
