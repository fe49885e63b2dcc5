#ifndef SIDOC_DOC_LOADER_H
#define SIDOC_DOC_LOADER_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/tree_map.h"
#include "gui/image_buffer.h"
#include "sidoc/doc_box.h"
#include "sidoc/doc_container.h"

// A font style of a document.
struct cSiDocStyle {
    int32_t face;  // face code 0-6
    int32_t width;
    int32_t height;
    uint8_t bold;
    uint8_t underline;
    uint8_t italic;
};

// A loaded document: one box tree per language and the picture, string and
// style tables the trees share. The loader owns them all; boxes point into
// its tables and ask it for their fonts, so it must outlive every use of
// its trees. UI thread.
class cSiDocLoader : public cSiDocFontProvider {
public:
    cSiDocLoader();
    ~cSiDocLoader() override;

    // Clears the loader, then reads the whole blob. False for anything
    // malformed, damaged or nested too deep, a style or string table that
    // does not inflate, and a style the compiler never writes (a width or
    // height of doc_font_size_limit or more); what was read before the
    // failure stays until the next Clear.
    bool Load(const uint8_t* blob, int32_t size);
    void Clear();
    // Null for an unknown style or face (the box then takes its context's
    // font) and when the font cannot be made.
    cFontObject* GetFont(int32_t style) override;

    cTreeMap<int32_t, cImageBuffer> images;
    cTreeMap<int32_t, _guardchar<wchar_t>> strings;
    cTreeMap<int32_t, cSiDocStyle> styles;
    cTreeMap<int32_t, cSiDocContainer> languages;  // language number -> root box
};

#endif
