#ifndef PICT_CODECS_ICNS_ELEMENTS_H
#define PICT_CODECS_ICNS_ELEMENTS_H

#include <stdint.h>

#include "base/file_io_target.h"

// The elements of an icon file ("icns", big-endian): a header of the type
// and the file's total length, then elements of a type and a length that
// counts their own 8-byte header.

// A mask that an image element takes from the element right after it.
struct cIcnsMask {
    uint32_t type;
    uint32_t offset;  // of the mask in that element's data
    uint32_t size;    // bytes
    int32_t depth;    // 1 or 8
};

// An image kind of the format.
struct cIcnsKind {
    uint32_t type;
    uint32_t data_length;  // exact for 1-, 4- and 8-bit kinds, raw for 24-bit ones; 0 for embedded streams
    int32_t size;          // width and height; 0 for embedded streams
    int32_t depth;         // 1, 4, 8 or 24 bits a pixel; 0 for embedded streams
    const cIcnsMask* masks[2];
};

// The kind of an element type, null for types that are no image (masks
// among them).
const cIcnsKind* icns_kind_of(uint32_t type);

// An embedded stream's decoder class, by the first information read that
// takes it: PNG, JP2, then J2K.
enum eIcnsStream { icns_stream_none, icns_stream_png, icns_stream_jp2, icns_stream_j2k };

// An image element: a page.
struct cIcnsElement {
    uint64_t offset;  // of its header in the file
    uint32_t type;
    uint32_t length;  // with the header
    const cIcnsKind* kind;
    eIcnsStream stream;  // embedded streams only
    int32_t width;
    int32_t height;
};

// The page elements of a file in order. Every element must lie inside the
// file and inside the total its header declares, and be at least 8 bytes
// long; a file that breaks that fails the walk wherever it is met.
class cIcnsPages {
public:
    explicit cIcnsPages(cFileIOTarget* stream);

    // The next page element; false at the end or when the walk failed.
    bool Next(cIcnsElement* element);
    bool Failed() const { return failed; }

    // The type and length of the element whose header is at offset,
    // checked as the walk checks them; false when it is bad.
    bool ReadHeader(uint64_t offset, uint32_t* type, uint32_t* length);

private:
    cFileIOTarget* stream;
    uint64_t total;  // the declared total, at most the stream's size
    uint64_t next;   // offset of the next element
    bool failed;
};

// The page element whose header is at offset; false when it is none or
// breaks the walk's rules.
bool icns_read_element(cFileIOTarget* stream, uint64_t offset, cIcnsElement* element);

// Page n (0-based) of the file; false when there is none or the walk fails
// anywhere.
bool icns_find_page(cFileIOTarget* stream, int32_t page, cIcnsElement* element);

// The largest page that fits maximum_width x maximum_height (at least 16
// x 16), the first of equal areas; false when none fits or the walk fails.
bool icns_choose_element(cFileIOTarget* stream, int32_t maximum_width, int32_t maximum_height,
                         cIcnsElement* element);

#endif
