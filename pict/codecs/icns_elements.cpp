#include "pict/codecs/icns_elements.h"

#include "base/byte_order.h"
#include "base/file_io_subrange.h"
#include "pict/codecs/jp2.h"
#include "pict/codecs/png.h"

namespace {

constexpr uint32_t type_of(const char (&name)[5])
{
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
           uint8_t(name[3]);
}

const cIcnsMask mask_s8mk = {type_of("s8mk"), 0, 256, 8};
const cIcnsMask mask_l8mk = {type_of("l8mk"), 0, 1024, 8};
const cIcnsMask mask_h8mk = {type_of("h8mk"), 0, 2304, 8};
const cIcnsMask mask_t8mk = {type_of("t8mk"), 0, 16384, 8};
// The 48 x 48 1-bit icon with mask: its mask half.
const cIcnsMask mask_ich = {type_of("ich#"), 288, 288, 1};

const cIcnsKind kinds[] = {
    {type_of("ICON"), 128, 32, 1, {nullptr, nullptr}},
    // Its mask is its own second half.
    {type_of("ICN#"), 256, 32, 1, {nullptr, nullptr}},
    {type_of("ics4"), 128, 16, 4, {&mask_s8mk, nullptr}},
    {type_of("icl4"), 512, 32, 4, {&mask_l8mk, nullptr}},
    {type_of("ich4"), 1152, 48, 4, {&mask_ich, &mask_h8mk}},
    {type_of("ics8"), 256, 16, 8, {&mask_s8mk, nullptr}},
    {type_of("icl8"), 1024, 32, 8, {&mask_l8mk, nullptr}},
    {type_of("ich8"), 2304, 48, 8, {&mask_ich, &mask_h8mk}},
    {type_of("is32"), 768, 16, 24, {&mask_s8mk, nullptr}},
    {type_of("il32"), 3072, 32, 24, {&mask_l8mk, nullptr}},
    {type_of("ih32"), 6912, 48, 24, {&mask_ich, &mask_h8mk}},
    {type_of("it32"), 49152, 128, 24, {&mask_t8mk, nullptr}},
    {type_of("ic07"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic08"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic09"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic10"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic11"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic12"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic13"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("ic14"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("icp4"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("icp5"), 0, 0, 0, {nullptr, nullptr}},
    {type_of("icp6"), 0, 0, 0, {nullptr, nullptr}},
};

const uint32_t header_size = 8;

// Whether an element of this kind and length is an image that decodes
// here, and its size.
bool measure(cFileIOTarget* stream, cIcnsElement* element)
{
    const cIcnsKind* kind = element->kind;
    const uint32_t data_length = element->length - header_size;
    element->stream = icns_stream_none;
    if (kind->depth == 24 || (kind->depth != 0 && data_length == kind->data_length)) {
        element->width = element->height = kind->size;
        return true;
    }
    if (kind->depth != 0)
        return false;
    const pict_read_info_fn tests[] = {png_read_info, jp2_read_info, j2k_read_info};
    const eIcnsStream classes[] = {icns_stream_png, icns_stream_jp2, icns_stream_j2k};
    for (int i = 0; i < 3; ++i) {
        cFileIOSubRange data(stream, element->offset + header_size, data_length);
        cPictInfo info = {};
        if (tests[i](&data, &info)) {
            element->stream = classes[i];
            element->width = info.width;
            element->height = info.height;
            return true;
        }
    }
    return false;
}

}  // namespace

const cIcnsKind* icns_kind_of(uint32_t type)
{
    for (const cIcnsKind& kind : kinds)
        if (kind.type == type)
            return &kind;
    return nullptr;
}

cIcnsPages::cIcnsPages(cFileIOTarget* source) : stream(source), total(0), next(header_size), failed(true)
{
    uint8_t head[8];
    if (!stream || !stream->Seek(0) || !stream->ReadExact(head, sizeof head) || read_u32_be(head) != type_of("icns"))
        return;
    total = read_u32_be(head + 4);
    failed = total < 16 || total > stream->GetSize();
}

bool cIcnsPages::ReadHeader(uint64_t offset, uint32_t* type, uint32_t* length)
{
    uint8_t head[8];
    if (failed || offset + header_size > total || !stream->Seek(offset) || !stream->ReadExact(head, sizeof head))
        return false;
    *type = read_u32_be(head);
    *length = read_u32_be(head + 4);
    // The length counts the header; the element ends inside the total.
    return *length >= header_size && *length <= total - offset;
}

bool cIcnsPages::Next(cIcnsElement* element)
{
    while (!failed && next < total) {
        uint32_t type, length;
        if (!ReadHeader(next, &type, &length)) {
            failed = true;
            return false;
        }
        element->offset = next;
        element->type = type;
        element->length = length;
        element->kind = icns_kind_of(type);
        next += length;
        if (element->kind && measure(stream, element))
            return true;
    }
    return false;
}

bool icns_read_element(cFileIOTarget* stream, uint64_t offset, cIcnsElement* element)
{
    cIcnsPages pages(stream);
    if (!pages.ReadHeader(offset, &element->type, &element->length))
        return false;
    element->offset = offset;
    element->kind = icns_kind_of(element->type);
    return element->kind && measure(stream, element);
}

bool icns_find_page(cFileIOTarget* stream, int32_t page, cIcnsElement* element)
{
    // The whole walk must hold, as for the page count.
    cIcnsPages pages(stream);
    cIcnsElement candidate;
    bool found = false;
    for (int32_t n = 0; pages.Next(&candidate); ++n) {
        if (n == page) {
            *element = candidate;
            found = true;
        }
    }
    return found && !pages.Failed();
}

bool icns_choose_element(cFileIOTarget* stream, int32_t maximum_width, int32_t maximum_height,
                         cIcnsElement* element)
{
    if (maximum_width < 16 || maximum_height < 16)
        return false;
    cIcnsPages pages(stream);
    cIcnsElement candidate;
    int64_t best = 0;
    while (pages.Next(&candidate)) {
        const int64_t area = int64_t(candidate.width) * candidate.height;
        if (candidate.width <= maximum_width && candidate.height <= maximum_height && area > best) {
            best = area;
            *element = candidate;
        }
    }
    return !pages.Failed() && best > 0;
}
