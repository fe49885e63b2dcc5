#include "gui/catalog.h"

cStringCatalog* get_global_catalog()
{
    static cStringCatalog catalog;
    return &catalog;
}

const cStringArray* catalog_find_section(const cStringCatalog* catalog, const wchar_t* section)
{
    if (!catalog || !section)
        return nullptr;
    cPackedKey key;
    packedkey_from_wstr(key, section, -1);
    if (section[0] && !key.Data())
        return nullptr;  // the heap refused the key: no section can match
    return tree_find_value(catalog->sections, static_cast<cPackedKey&&>(key));
}

const wchar_t* get_catalog_string(const cStringArray* array, int32_t id)
{
    if (!array || id < 0 || id >= array->strings.Count())
        return nullptr;
    return array->strings[id].Text();
}
