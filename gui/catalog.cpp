#include "gui/catalog.h"

// Placeholder until the catalogs land.
const wchar_t* get_catalog_string(const cStringArray*, int32_t) { return nullptr; }
