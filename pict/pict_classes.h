#ifndef PICT_PICT_CLASSES_H
#define PICT_PICT_CLASSES_H

#include <stdint.h>

#include "pict/pict_base.h"
#include "pict/pict_fit.h"

// The picture classes that the factory creates, in the order it tries them:
// the camera raw formats before TIFF (their files are TIFF files too) and
// XPM, a text format, last.
enum ePictClass {
    pict_class_jpeg, pict_class_png, pict_class_gif, pict_class_bmp, pict_class_dib, pict_class_ico,
    pict_class_jp2, pict_class_j2k, pict_class_icns, pict_class_tga, pict_class_mrw, pict_class_rwl,
    pict_class_orf, pict_class_x3f, pict_class_pef, pict_class_arw, pict_class_srw, pict_class_iiq,
    pict_class_raf, pict_class_crw, pict_class_mos, pict_class_cr2, pict_class_nef, pict_class_3fr,
    pict_class_dng, pict_class_tiff_ep, pict_class_tiff, pict_class_ppm, pict_class_pcx, pict_class_dicom,
    pict_class_dicom_legacy, pict_class_jbig2, pict_class_xpm,
    pict_class_count
};

// A format's header test: true when the stream, from its current
// position, starts with the format's header; fills info when given.
typedef bool (*pict_read_info_fn)(cFileIOTarget* stream, cPictInfo* info);

struct cPictClassRow {
    int32_t format_id;
    bool decodes_to_target;
    bool has_pages;
    pict_read_info_fn read_info;  // null while the format has no reader
    cPictBase* (*create)();       // a new object on the shared heap; null when refused
};

extern const cPictClassRow pict_classes[pict_class_count];

// A class answers its id and capability questions from its row; Base is
// cPictBase or a decoder family's own base.
template <ePictClass C, class Base = cPictBase>
class _pictclass : public Base {
public:
    int32_t GetFormatId() override { return pict_classes[C].format_id; }
    bool CanDecodeToTarget() override { return pict_classes[C].decodes_to_target; }
    bool HasPages() override { return pict_classes[C].has_pages; }
};

// A format of several pages, each found by its number: the page's size
// answers GetPageInfo and fits LoadPageScaled's box (pict_load_page_fitted).
template <ePictClass C>
class _pictpages : public _pictclass<C> {
public:
    // Page page's size; false when the file has no such page.
    virtual bool PageSize(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height) = 0;

    bool GetPageInfo(cFileIOTarget* stream, int32_t page, int32_t* width, int32_t* height) override
    {
        int32_t page_width, page_height;
        if (!PageSize(stream, page, &page_width, &page_height))
            return false;
        if (width)
            *width = page_width;
        if (height)
            *height = page_height;
        return true;
    }

    bool LoadPageScaled(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width, int32_t maximum_height,
                        int32_t page, bool, uint32_t background) override
    {
        int32_t width, height;
        return PageSize(stream, page, &width, &height) &&
               pict_load_page_fitted(this, stream, page, width, height, target, maximum_width, maximum_height,
                                     background);
    }
};

// A format that is recognised but not decoded here: ReadInfo runs the
// row's header test, Load fails.
template <ePictClass C>
class _pictformat : public _pictclass<C> {
public:
    bool ReadInfo(cFileIOTarget* stream, cPictInfo* info) override
    {
        pict_read_info_fn test = pict_classes[C].read_info;
        return test && test(stream, info);
    }
    bool Load(cFileIOTarget*) override { return false; }
};

typedef _pictformat<pict_class_gif> cPictGIF;
typedef _pictformat<pict_class_bmp> cPictBMP;
typedef _pictformat<pict_class_dib> cPictDIB;
typedef _pictformat<pict_class_ico> cPictICO;
typedef _pictformat<pict_class_mrw> cPictMRW;
typedef _pictformat<pict_class_rwl> cPictRWL;
typedef _pictformat<pict_class_orf> cPictORF;
typedef _pictformat<pict_class_x3f> cPictX3F;
typedef _pictformat<pict_class_pef> cPictPEF;
typedef _pictformat<pict_class_arw> cPictARW;
typedef _pictformat<pict_class_srw> cPictSRW;
typedef _pictformat<pict_class_iiq> cPictIIQ;
typedef _pictformat<pict_class_raf> cPictRAF;
typedef _pictformat<pict_class_crw> cPictCRW;
typedef _pictformat<pict_class_mos> cPictMOS;
typedef _pictformat<pict_class_cr2> cPictCR2;
typedef _pictformat<pict_class_nef> cPictNEF;
typedef _pictformat<pict_class_3fr> cPict3FR;
typedef _pictformat<pict_class_dng> cPictDNG;
typedef _pictformat<pict_class_tiff_ep> cPictTIFF_EP;
typedef _pictformat<pict_class_tiff> cPictTIFF;
typedef _pictformat<pict_class_ppm> cPictPPM;
typedef _pictformat<pict_class_pcx> cPictPCX;
typedef _pictformat<pict_class_dicom> cPictDICOM;
typedef _pictformat<pict_class_dicom_legacy> cPictDICOMLegacy;
typedef _pictformat<pict_class_xpm> cPictXPM;

#endif
