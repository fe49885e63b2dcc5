#ifndef PICT_CODECS_JBIG2_SEGMENTS_H
#define PICT_CODECS_JBIG2_SEGMENTS_H

#include <stdint.h>

#include "base/file_io_target.h"
#include "base/linked_list.h"
#include "base/tree_map.h"

// The segment layer of JBIG2 files: the file header (or none, for a bare
// segment stream of one page), the segment headers in either organisation,
// and what the pages are made of.

// An immediate generic region segment's data in the file.
struct cJbig2Region {
    uint64_t offset;
    uint32_t length;
};

struct cJbig2Page {
    cJbig2Page() : width(0), height(0) {}
    int32_t width;
    int32_t height;
    cLinkedList<cJbig2Region> regions;  // in segment order
};

// Pages by number, from 1.
typedef cTreeMap<int32_t, cJbig2Page> cJbig2PageMap;

// Reads the file's segments into map (emptied first) and *pages. Segments
// are read while their headers read, their numbers run 0, 1, 2... and their
// data lies inside the file, up to the end-of-file segment. Fails for a
// page association past the number of pages, a page information or region
// segment of no page, a page size that is not 1 to 2^31 - 1 a side or whose
// area passes what a picture holds, a malformed page information or region
// segment, or segment data of unknown length. True when the map then
// holds every page from 1 to *pages, each with a size and a region.
bool jbig2_scan(cFileIOTarget* stream, cJbig2PageMap& map, int32_t* pages);

#endif
