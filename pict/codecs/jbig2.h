#ifndef PICT_CODECS_JBIG2_H
#define PICT_CODECS_JBIG2_H

#include <stdint.h>

#include "pict/codecs/jbig2_generic.h"
#include "pict/codecs/jbig2_segments.h"
#include "pict/pict_classes.h"

// JBIG2 bi-level images, one page a picture: each page is drawn from its
// immediate generic regions (arithmetic-coded, templates 0 to 3, with
// typical prediction), later regions replacing earlier ones, on white;
// regions coded otherwise are left out. Black pixels are 0xFF000000, white
// ones 0xFFFFFFFF. Decodes straight into an attached output target.
class cPictJBIG2 : public _pictpages<pict_class_jbig2> {
public:
    cPictJBIG2();
    // The size of the first page.
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override;
    bool Load(cFileIOTarget* stream) override;
    // The page operations scan the stream once; the map then serves every
    // later call while it is valid. 0 pages when it is not.
    int32_t GetPageCount(cFileIOTarget* stream) override;
    bool PageSize(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height) override;
    bool LoadPage(cFileIOTarget* stream, int32_t page) override;

    cJbig2PageMap pages;
    int32_t page_count;
    uint8_t map_valid;

private:
    // The record of page (0-based), scanning the stream when the map is
    // not valid; null when there is none.
    const cJbig2Page* FindPage(cFileIOTarget* stream, int32_t page);
    // A region into the page bitmap; false (and the page untouched) when
    // it is skipped.
    bool DrawRegion(cFileIOTarget* stream, const cJbig2Region& region, cJbig2Bitmap& page, int64_t* budget);
};

// JBIG2's header test on a temporary object.
bool jbig2_read_info(cFileIOTarget* stream, cPictInfo* info);

#endif
