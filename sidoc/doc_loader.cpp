#include "sidoc/doc_loader.h"

#include <string.h>

#include "base/decompress.h"
#include "base/string_convert.h"
#include "gui/font.h"
#include "sidoc/doc_format.h"
#include "sidoc/doc_picture.h"

namespace {

// Bytes of the blob or of an inflated block, read front to back.
struct cReader {
    const uint8_t* data;
    uint32_t size;
    uint32_t at;

    uint32_t Left() const { return size - at; }
    const uint8_t* Here() const { return data + at; }
};

// Where a language's compressed box list lies in the blob.
struct cStreamRange {
    uint32_t offset;
    uint32_t length;
};

// A table's bytes after its u32 length; false when they run past the blob.
bool take_table(cReader& blob, cReader* table)
{
    if (blob.Left() < 4)
        return false;
    uint32_t length = read_u32_le(blob.Here());
    blob.at += 4;
    if (length > blob.Left())
        return false;
    *table = {blob.Here(), length, 0};
    blob.at += length;
    return true;
}

// A compressed table must inflate completely; an empty one stays empty.
bool inflate_table(cReader& blob, cZDecompress& inflater, _typebuf<uint8_t>& out, cReader* table)
{
    out.Clear();
    if (!take_table(blob, table))
        return false;
    if (table->size && !inflater.DecompressToBuffer(table->data, table->size, out))
        return false;
    *table = {out.Data(), uint32_t(out.Count()), 0};
    return true;
}

bool read_styles(const cReader& table, cTreeMap<int32_t, cSiDocStyle>& styles)
{
    if (table.size % doc_style_record_size)
        return false;
    for (uint32_t at = 0; at < table.size; at += doc_style_record_size) {
        cSiDocStyle* style = tree_get_or_add(styles, int32_t(at / doc_style_record_size));
        if (!style)
            return false;
        const uint8_t* record = table.data + at;
        if (read_u16_le(record + 2) >= doc_font_size_limit || read_u16_le(record + 4) >= doc_font_size_limit)
            return false;
        uint8_t flags = record[6];
        *style = {read_u16_le(record), read_u16_le(record + 2), read_u16_le(record + 4),
                  uint8_t(flags & DOC_STYLE_BOLD ? 1 : 0), uint8_t(flags & DOC_STYLE_UNDERLINE ? 1 : 0),
                  uint8_t(flags & DOC_STYLE_ITALIC ? 1 : 0)};
    }
    return true;
}

// An entry's text that converted to nothing although it had bytes: memory
// ran out.
bool text_from_utf8(const uint8_t* bytes, uint32_t length, _guardchar<wchar_t>& text)
{
    wstr_from_utf8(int32_t(length), reinterpret_cast<const char*>(bytes), text);
    return length == 0 || text.Text();
}

bool read_strings(cReader entries, cTreeMap<int32_t, _guardchar<wchar_t>>& strings)
{
    for (int32_t index = 0; entries.Left(); ++index) {
        if (entries.Left() < 2)
            return false;
        uint32_t length = read_u16_le(entries.Here());
        entries.at += 2;
        if (length > entries.Left())
            return false;
        _guardchar<wchar_t>* text = tree_get_or_add(strings, index);
        if (!text || !text_from_utf8(entries.Here(), length, *text))
            return false;
        entries.at += length;
    }
    return true;
}

bool read_images(cReader entries, cTreeMap<int32_t, cImageBuffer>& images)
{
    int32_t index = 0;
    while (entries.Left()) {
        if (entries.Left() < 4)
            return false;
        uint32_t length = read_u32_le(entries.Here());
        entries.at += 4;
        if (length > entries.Left())
            return false;
        if (length) {
            cImageBuffer* image = tree_get_or_add(images, index++);
            if (!image || !doc_picture_decode(entries.Here(), length, *image))
                return false;
        }
        entries.at += length;
    }
    return true;
}

uint32_t record_size(uint8_t type)
{
    switch (type) {
    case DOC_BOX_TEXT:
        return doc_text_record_size;
    case DOC_BOX_LINK:
        return doc_link_record_size;
    case DOC_BOX_CONTAINER:
        return doc_container_record_size;
    default:
        return doc_image_record_size;
    }
}

cSiDocBox* new_box(uint8_t type)
{
    switch (type) {
    case DOC_BOX_TEXT:
        return new cSiDocText;
    case DOC_BOX_LINK:
        return new cSiDocLink;
    case DOC_BOX_CONTAINER:
        return new cSiDocContainer;
    case DOC_BOX_IMAGE:
        return new cSiDocImage;
    default:
        return new cSiDocImageLink;
    }
}

void read_head(const uint8_t* record, cSiDocBox* box)
{
    uint32_t background = read_u32_le(record + 1);
    if (background != doc_no_colour)
        box->background = background;
    box->break_before = record[5] ? 1 : 0;
    box->margin_left = read_u16_le(record + 6);
    box->margin_right = read_u16_le(record + 8);
    box->margin_top = read_u16_le(record + 10);
    box->margin_bottom = read_u16_le(record + 12);
    uint16_t width = read_u16_le(record + 14);
    uint16_t height = read_u16_le(record + 16);
    if (width != 0 && width != 0xFFFF)
        box->width = width;
    if (height != 0 && height != 0xFFFF)
        box->height = height;
}

}  // namespace

// Reads one box list into the container; a nested container's list is read
// one level deeper. Every box joins the tree as soon as it exists, so a
// failure leaves nothing unowned.
class cSiDocTreeReader {
public:
    cSiDocTreeReader(cSiDocLoader& document, const _typebuf<uint8_t>& list)
        : loader(document), in{list.Data(), uint32_t(list.Count()), 0}
    {
    }

    bool ReadList(cSiDocContainer& container, int32_t depth)
    {
        while (in.Left()) {
            uint8_t type = in.Here()[0];
            if (type == doc_end_byte) {
                ++in.at;
                return true;
            }
            if (type > DOC_BOX_IMAGE_LINK || in.Left() < record_size(type))
                return false;
            cSiDocBox* box = new_box(type);
            if (!box || !doc_box_list_append(container.children, box))
                return false;
            const uint8_t* record = in.Here();
            in.at += record_size(type);
            read_head(record, box);
            bool read = false;
            if (type == DOC_BOX_TEXT || type == DOC_BOX_LINK)
                read = ReadText(record, static_cast<cSiDocText*>(box));
            else if (type == DOC_BOX_CONTAINER)
                read = ReadContainer(record, static_cast<cSiDocContainer*>(box), depth);
            else
                read = ReadImage(record, static_cast<cSiDocImage*>(box));
            if (!read)
                return false;
        }
        return false;
    }

private:
    cSiDocLoader& loader;
    cReader in;

    // Text colour and style of text boxes and containers.
    void ReadLook(const uint8_t* record, uint32_t* text_colour, cSiDocFontProvider** provider, int32_t* style)
    {
        uint32_t colour = read_u32_le(record + 18);
        if (colour != doc_no_colour)
            *text_colour = colour;
        uint16_t style_index = read_u16_le(record + 22);
        if (style_index != doc_no_index) {
            *provider = &loader;
            *style = style_index;
        }
    }

    bool ReadText(const uint8_t* record, cSiDocText* text)
    {
        ReadLook(record, &text->text_colour, &text->font_provider, &text->style);
        uint32_t length = read_u16_le(record + 24);
        if (length > in.Left() || !text_from_utf8(in.Here(), length, text->text))
            return false;
        in.at += length;
        if (record[0] != DOC_BOX_LINK)
            return true;
        return FindLink(read_u16_le(record + 26), &static_cast<cSiDocLink*>(text)->link);
    }

    bool ReadContainer(const uint8_t* record, cSiDocContainer* container, int32_t depth)
    {
        ReadLook(record, &container->text_colour, &container->font_provider, &container->style);
        container->alignment = record[24];
        return depth < doc_max_nesting && ReadList(*container, depth + 1);
    }

    bool ReadImage(const uint8_t* record, cSiDocImage* image)
    {
        uint16_t index = read_u16_le(record + 18);
        if (index != doc_no_index) {
            image->image = tree_find_value(loader.images, index);
            if (!image->image)
                return false;
        }
        if (record[0] != DOC_BOX_IMAGE_LINK)
            return true;
        if (in.Left() < 2)
            return false;
        uint16_t link = read_u16_le(in.Here());
        in.at += 2;
        return FindLink(link, &static_cast<cSiDocImageLink*>(image)->link);
    }

    // An index other than none must name a string.
    bool FindLink(uint16_t index, const cSiDocLinkTarget** link)
    {
        if (index == doc_no_index)
            return true;
        *link = tree_find_value(loader.strings, index);
        return *link != nullptr;
    }
};

cSiDocLoader::cSiDocLoader() : images(512), strings(512), styles(512), languages(512)
{
}

cSiDocLoader::~cSiDocLoader()
{
    Clear();
}

void cSiDocLoader::Clear()
{
    // The trees point into the tables: they go first.
    tree_clear(languages);
    tree_clear(styles);
    tree_clear(strings);
    tree_clear(images);
}

bool cSiDocLoader::Load(const uint8_t* blob, int32_t size)
{
    Clear();
    if (!blob || size < doc_magic_size + 5 || memcmp(blob, doc_magic, doc_magic_size) != 0)
        return false;
    cReader in = {blob, uint32_t(size), uint32_t(doc_magic_size)};
    cTreeMap<int32_t, cStreamRange> streams(512);
    uint8_t language = blob[in.at++];
    while (language != doc_end_byte) {
        if (in.Left() < 4)
            return false;
        uint32_t length = read_u32_le(in.Here());
        in.at += 4;
        if (length == 0 || length > in.Left() || tree_find_value(streams, language))
            return false;
        cStreamRange* range = tree_get_or_add(streams, int32_t(language));
        if (!range)
            return false;
        *range = {in.at, length};
        in.at += length;
        if (!in.Left())
            return false;
        language = blob[in.at++];
    }
    if (!streams.root)
        return false;

    cZDecompress inflater;
    _typebuf<uint8_t> inflated;
    cReader table;
    if (!inflate_table(in, inflater, inflated, &table) || !read_styles(table, styles))
        return false;
    if (!inflate_table(in, inflater, inflated, &table) || !read_strings(table, strings))
        return false;
    if (!take_table(in, &table) || !read_images(table, images))
        return false;

    for (cTreeNode<int32_t, cStreamRange>* node = tree_first_node(streams); node; node = tree_next_node(node)) {
        _typebuf<uint8_t> list;
        if (!inflater.DecompressToBuffer(blob + node->value.offset, node->value.length, list) || !list.Count())
            return false;
        cSiDocContainer* root = tree_get_or_add(languages, node->key);
        if (!root)
            return false;
        cSiDocTreeReader reader(*this, list);
        if (!reader.ReadList(*root, 0))
            return false;
    }
    return true;
}

cFontObject* cSiDocLoader::GetFont(int32_t style)
{
    const cSiDocStyle* found = tree_find_value(styles, style);
    const wchar_t* face = found && found->face >= 0 ? doc_face_name(uint32_t(found->face)) : nullptr;
    if (!face)
        return nullptr;
    return font_get_cached(found->width, found->height, face, found->bold, found->underline, found->italic);
}
