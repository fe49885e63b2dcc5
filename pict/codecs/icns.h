#ifndef PICT_CODECS_ICNS_H
#define PICT_CODECS_ICNS_H

#include <stdint.h>

#include "pict/codecs/icns_elements.h"
#include "pict/pict_classes.h"

// Icon files ("icns"): every image element is a page (1-, 4- and 8-bit
// icons with the system palettes, 24-bit ones plain or run-length coded,
// with their masks, and embedded PNG and JPEG 2000 streams). A plain load
// takes the largest element; a preview the largest that fits its box.
// Decodes straight into an attached output target.
class cPictICNS : public _pictpages<pict_class_icns> {
public:
    cPictICNS();
    // Chooses the largest element and reports its size; has-preview is
    // set, so that fitted decoding asks for the element that fits.
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
    // 0 when the walk over the elements fails.
    int32_t GetPageCount(cFileIOTarget* stream) override;
    bool PageSize(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height) override;
    bool LoadPage(cFileIOTarget* stream, int32_t page) override;
    // The largest element that fits the maxima (both at least 16).
    bool LoadPreview(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width,
                     int32_t maximum_height) override;

    int64_t element_offset;  // the chosen element; -1 when none
    uint32_t element_length;

private:
    bool LoadElement(cFileIOTarget* stream, const cIcnsElement& element);
    bool LoadBitmap(cFileIOTarget* stream, const cIcnsElement& element);
    bool LoadEmbedded(cFileIOTarget* stream, const cIcnsElement& element);
    // The mask of a 1-, 4-, 8- or 24-bit element from the element right
    // after it into mask (its depth into mask_depth); false for none.
    bool ReadMask(cFileIOTarget* stream, const cIcnsElement& element, _typebuf<uint8_t>& mask, int32_t* mask_depth);
};

// ICNS's header test on a temporary object.
bool icns_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
