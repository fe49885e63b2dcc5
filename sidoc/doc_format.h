#ifndef SIDOC_DOC_FORMAT_H
#define SIDOC_DOC_FORMAT_H

#include <stdint.h>

#include "base/byte_order.h"

// The compiled document blob ("QRVHDOCF"): the magic, a language table of
// {u8 language, u32 length, zlib stream of the language's box list} ended
// by 0xFF, then the style and string tables (u32 length, zlib stream) and
// the picture table (u32 length, entries of u32 length and a picture
// file). Integers are little-endian.

const uint8_t doc_magic[8] = {'Q', 'R', 'V', 'H', 'D', 'O', 'C', 'F'};
const int32_t doc_magic_size = 8;
const uint8_t doc_end_byte = 0xFF;  // ends the language table and every box list
const int32_t doc_language_count = 10;  // language numbers 0 to 9
const uint16_t doc_no_index = 0xFFFF;    // style, string or picture index: none
const uint32_t doc_no_colour = 0xFFFFFFFF;
const int32_t doc_style_record_size = 8;
// A style's character width and height lie below this: the compiler writes
// no larger one, and the loader refuses it (the system's text rasteriser
// takes minutes over such sizes).
const uint32_t doc_font_size_limit = 4096;

// How deep containers and mark-up elements may nest (the top level is 0):
// the parser refuses deeper mark-up and the loader deeper trees, so that
// nothing built from a document recurses without bound.
const int32_t doc_max_nesting = 64;

// Box types and the size of each record before its text or list.
enum : uint8_t {
    DOC_BOX_TEXT = 0,
    DOC_BOX_IMAGE = 1,
    DOC_BOX_CONTAINER = 2,
    DOC_BOX_LINK = 3,
    DOC_BOX_IMAGE_LINK = 4,
};
const int32_t doc_head_size = 18;
const int32_t doc_text_record_size = 26;
const int32_t doc_link_record_size = 28;
const int32_t doc_image_record_size = 20;
const int32_t doc_container_record_size = 25;

// Style flags of a style record.
enum : uint16_t {
    DOC_STYLE_BOLD = 1,
    DOC_STYLE_ITALIC = 2,
    DOC_STYLE_UNDERLINE = 4,
};
const uint32_t doc_face_count = 7;  // face codes 0 to 6

// Blanks of mark-up sources and document indexes.
inline bool doc_is_blank(wchar_t unit)
{
    return unit == 9 || unit == 10 || unit == 13 || unit == 32;
}

// The face of a face code: 0 the interface face ("Tahoma" when none is
// chosen); null above 6.
const wchar_t* doc_face_name(uint32_t face);

#endif
