#ifndef GUI_BUILTIN_CATALOGS_H
#define GUI_BUILTIN_CATALOGS_H

#include <stdint.h>

// The framework's own language containers, packed at build time from the
// text files in gui/lang by gui/lang/pack_catalogs.py. Static data: nothing
// to load or release.

// One "CIOMLAFI" container of the framework's sections for a language index.
struct cBuiltinContainer {
    uint32_t language;
    const uint8_t* data;
    uint32_t size;
};

// In the order English, Russian, Ukrainian, German, French, Japanese,
// Korean, Chinese (simplified, code "CHI"), Chinese (traditional).
extern const cBuiltinContainer builtin_language_containers[];
extern const uint32_t builtin_language_container_count;

// The container (set "CIOMLN  ") whose one section "lnames" holds the ten
// languages' own names by language index.
extern const uint8_t* const builtin_language_names;
extern const uint32_t builtin_language_names_size;

#endif
