#include "sidoc/doc_markup.h"

#include "base/file_io.h"
#include "base/path.h"
#include "base/string_convert.h"
#include "sidoc/doc_format.h"
#include "sidoc/doc_picture.h"

namespace {

const uint32_t link_colour = 0x00FF0000;  // blue

void step(cSiDocTokenizer& tokenizer)
{
    if (*tokenizer.at == 10) {
        ++tokenizer.line;
        tokenizer.column = 0;
    } else {
        ++tokenizer.column;
    }
    ++tokenizer.at;
}

// The head every record starts with.
struct cRecordHead {
    uint8_t type;
    uint32_t background;
    uint8_t break_before;
    uint16_t margins[4];  // left, right, top, bottom
    uint16_t width;       // 0 and 0xFFFF: not set
    uint16_t height;
};

cRecordHead plain_head(uint8_t type, uint8_t break_before)
{
    return {type, doc_no_colour, break_before, {0, 0, 0, 0}, 0xFFFF, 0xFFFF};
}

void put_head(uint8_t* record, const cRecordHead& head)
{
    record[0] = head.type;
    write_u32_le(record + 1, head.background);
    record[5] = head.break_before;
    for (int32_t i = 0; i < 4; ++i)
        write_u16_le(record + 6 + 2 * i, head.margins[i]);
    write_u16_le(record + 14, head.width);
    write_u16_le(record + 16, head.height);
}

bool write(cSiDocTokenizer& tokenizer, const void* bytes, uint32_t count)
{
    return tokenizer.out->WriteExact(bytes, count) || doc_markup_fail(tokenizer, doc_out_of_memory);
}

// A text or link text record and its bytes.
bool write_text(cSiDocTokenizer& tokenizer, const cRecordHead& head, uint32_t colour, uint32_t style,
                const uint8_t* bytes, uint32_t length, uint32_t link)
{
    uint8_t record[doc_link_record_size];
    put_head(record, head);
    write_u32_le(record + 18, colour);
    write_u16_le(record + 22, style);
    write_u16_le(record + 24, length);
    write_u16_le(record + 26, link);
    uint32_t size = head.type == DOC_BOX_LINK ? doc_link_record_size : doc_text_record_size;
    return write(tokenizer, record, size) && write(tokenizer, bytes, length);
}

const _guardchar<wchar_t>* find_prop(const cSiDocPropMap& props, const char* name)
{
    cPackedKey key;
    packedkey_from_str(key, name, -1);
    return tree_find_value(props, static_cast<cPackedKey&&>(key));
}

// A property's number: decimal, or hexadecimal after "0x", after leading
// blanks; an empty value or one without digits is 0. False for a negative
// number or one above maximum; an absent property leaves *number alone.
bool read_number(const cSiDocPropMap& props, const char* name, uint64_t maximum, uint64_t* number)
{
    const _guardchar<wchar_t>* value = find_prop(props, name);
    if (!value)
        return true;
    const wchar_t* at = value->Text() ? value->Text() : L"";
    while (doc_is_blank(*at))
        ++at;
    if (*at == '-' && at[1] >= '0' && at[1] <= '9')
        return false;
    uint32_t base = 10;
    if (at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) {
        base = 16;
        at += 2;
    }
    uint64_t result = 0;
    for (;; ++at) {
        int32_t digit = *at >= '0' && *at <= '9' ? *at - '0' : -1;
        if (base == 16 && (*at | 0x20) >= 'a' && (*at | 0x20) <= 'f')
            digit = (*at | 0x20) - 'a' + 10;
        if (digit < 0)
            break;
        if (result <= maximum)
            result = result * base + uint32_t(digit);
    }
    *number = result;
    return result <= maximum;
}

// The properties that text and img share, in their order.
bool read_box_props(const cSiDocPropMap& props, cRecordHead& head, cSiDocTokenizer& tokenizer)
{
    static const struct {
        const char* name;
        const char* message;
    } sizes[] = {{"ml", "bad left margin"}, {"mr", "bad right margin"}, {"mt", "bad top margin"},
                 {"mb", "bad bottom margin"}, {"w", "bad width"}, {"h", "bad height"}};
    uint16_t* fields[] = {&head.margins[0], &head.margins[1], &head.margins[2],
                          &head.margins[3], &head.width, &head.height};
    for (int32_t i = 0; i < 6; ++i) {
        uint64_t value = *fields[i];
        if (!read_number(props, sizes[i].name, 0xFFFF, &value))
            return doc_markup_fail(tokenizer, sizes[i].message);
        *fields[i] = uint16_t(value);
    }
    uint64_t break_before = 1;
    if (!read_number(props, "br", 1, &break_before))
        return doc_markup_fail(tokenizer, "bad break");
    head.break_before = uint8_t(break_before);
    return true;
}

bool read_background(const cSiDocPropMap& props, cRecordHead& head, cSiDocTokenizer& tokenizer)
{
    uint64_t colour = doc_no_colour;
    if (!read_number(props, "bg", 0xFFFFFFFF, &colour))
        return doc_markup_fail(tokenizer, "bad BG color");
    head.background = uint32_t(colour);
    return true;
}

// The nested level of an element that holds others.
bool parse_nested(const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer, uint32_t kind, uint32_t colour)
{
    ++tokenizer.depth;
    bool parsed = doc_parse_markup(state, tokenizer, kind, colour);
    --tokenizer.depth;
    return parsed;
}

bool open_text(const cSiDocPropMap& props, cSiDocMarkupState state, cSiDocTokenizer& tokenizer, uint32_t colour)
{
    cRecordHead head = plain_head(DOC_BOX_CONTAINER, 1);
    if (!read_box_props(props, head, tokenizer))
        return false;
    uint64_t text_colour = colour;
    if (!read_number(props, "fg", 0xFFFFFFFF, &text_colour))
        return doc_markup_fail(tokenizer, "bad FG color");
    if (!read_background(props, head, tokenizer))
        return false;
    uint8_t alignment = 0;
    if (const _guardchar<wchar_t>* align = find_prop(props, "a")) {
        if (align->IsEmpty())
            return doc_markup_fail(tokenizer, "empty align");
        static const char letters[] = "lrcj";
        wchar_t letter = wchar_t(align->Text()[0] | 0x20);
        while (alignment < 4 && wchar_t(letters[alignment]) != letter)
            ++alignment;
        if (alignment == 4)
            return doc_markup_fail(tokenizer, "bad align");
    }
    uint32_t style = doc_no_index;
    if (const _guardchar<wchar_t>* font = find_prop(props, "f")) {
        style = doc_parse_font_def(state, font->Text() ? font->Text() : L"", tokenizer);
        if (style == doc_no_index)
            return false;
    }
    uint8_t record[doc_container_record_size];
    put_head(record, head);
    write_u32_le(record + 18, uint32_t(text_colour));
    write_u16_le(record + 22, style);
    record[24] = alignment;
    return write(tokenizer, record, doc_container_record_size) &&
           parse_nested(state, tokenizer, DOC_TAG_TEXT, uint32_t(text_colour));
}

bool open_link(const cSiDocPropMap& props, cSiDocMarkupState state, cSiDocTokenizer& tokenizer)
{
    const _guardchar<wchar_t>* ref = find_prop(props, "ref");
    const char* message = nullptr;
    int32_t index = doc_ctx_string_index(*tokenizer.ctx, ref && ref->Text() ? ref->Text() : L"", &message);
    if (index < 0)
        return doc_markup_fail(tokenizer, message);
    state.link = uint32_t(index);
    return parse_nested(state, tokenizer, DOC_TAG_LINK, link_colour);
}

// The index of the picture at path, stored on first use.
int32_t image_index(const wchar_t* path, cSiDocTokenizer& tokenizer)
{
    cSiDocCompileCtx& ctx = *tokenizer.ctx;
    int32_t index = doc_ctx_find_image(ctx, path);
    if (index >= 0)
        return index;
    if (!doc_ctx_image_room(ctx))
        return doc_markup_fail(tokenizer, "too many images"), -1;
    cFileIO file;
    if (!file.Open(path, FILE_MODE_READ))
        return doc_markup_fail(tokenizer, "unable to open IMG"), -1;
    if (!doc_picture_recognised(&file))
        return doc_markup_fail(tokenizer, "unable to recognize IMG"), -1;
    uint64_t size = file.GetSize();
    _typebuf<uint8_t> bytes;
    if (size > 0 && size <= INT32_MAX)
        bytes.Resize(int32_t(size));
    if (!bytes.Data())
        return doc_markup_fail(tokenizer, "unable to load IMG"), -1;
    if (!file.Seek(0) || !file.ReadExact(bytes.Data(), uint32_t(size)))
        return doc_markup_fail(tokenizer, "unable to read IMG"), -1;
    index = doc_ctx_add_image(ctx, path, bytes.Data(), uint32_t(size));
    if (index < 0)
        doc_markup_fail(tokenizer, doc_out_of_memory);
    return index;
}

bool open_img(const cSiDocPropMap& props, const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer)
{
    const _guardchar<wchar_t>* src = find_prop(props, "src");
    if (!src)
        return doc_markup_fail(tokenizer, "no src prop");
    _guardchar<wchar_t> path;
    path.Assign(src->Text() ? src->Text() : L"");
    path_from_native(path.Buffer());
    const wchar_t* given = path.Text() ? path.Text() : L"";
    _guardchar<wchar_t> full;
    if (given[0] == '.' && given[1] == '/') {
        if (!path_format(full, L"%s%s", tokenizer.ctx->source_folder.Text() ? tokenizer.ctx->source_folder.Text() : L"",
                         given + 2))
            return doc_markup_fail(tokenizer, "unable to open IMG");
        given = full.Text();
    }
    int32_t index = image_index(given, tokenizer);
    if (index < 0)
        return false;
    bool linked = state.link != doc_no_link;
    cRecordHead head = plain_head(linked ? DOC_BOX_IMAGE_LINK : DOC_BOX_IMAGE, 1);
    if (!read_box_props(props, head, tokenizer) || !read_background(props, head, tokenizer))
        return false;
    uint8_t record[doc_image_record_size + 2];
    put_head(record, head);
    write_u16_le(record + 18, uint32_t(index));
    write_u16_le(record + 20, state.link);
    return write(tokenizer, record, doc_image_record_size + (linked ? 2 : 0));
}

bool open_tag(uint32_t kind, const cSiDocPropMap& props, const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer,
              uint32_t colour)
{
    bool nests = kind == DOC_TAG_TEXT || kind == DOC_TAG_LINK || kind == DOC_TAG_B || kind == DOC_TAG_I;
    if (nests && tokenizer.depth >= doc_max_nesting)
        return doc_markup_fail(tokenizer, "nesting too deep");
    cSiDocMarkupState inner = state;
    switch (kind) {
    case DOC_TAG_TEXT:
        return open_text(props, state, tokenizer, colour);
    case DOC_TAG_LINK:
        return open_link(props, state, tokenizer);
    case DOC_TAG_IMG:
        return open_img(props, state, tokenizer);
    case DOC_TAG_BR:
        return write_text(tokenizer, plain_head(DOC_BOX_TEXT, 1), doc_no_colour, doc_no_index, nullptr, 0, 0);
    case DOC_TAG_LT: {
        static const uint8_t less_than = '<';
        return write_text(tokenizer, plain_head(DOC_BOX_TEXT, 0), doc_no_colour, doc_no_index, &less_than, 1, 0);
    }
    case DOC_TAG_B:
        inner.bold = 1;
        return parse_nested(inner, tokenizer, DOC_TAG_B, colour);
    default:
        inner.italic = 1;
        return parse_nested(inner, tokenizer, DOC_TAG_I, colour);
    }
}

bool write_word(const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer, const cSiDocToken& token,
                uint32_t colour)
{
    _typebuf<uint8_t> bytes;
    utf8buf_from_wstr(token.text, token.length, bytes);
    if (!bytes.Data())
        return doc_markup_fail(tokenizer, "null token");
    if (bytes.Count() > 0xFFFF)
        return doc_markup_fail(tokenizer, "word too long");
    int32_t style = doc_style_index_for_state(state, tokenizer);
    if (style < 0)
        return false;
    bool linked = state.link != doc_no_link;
    return write_text(tokenizer, plain_head(linked ? DOC_BOX_LINK : DOC_BOX_TEXT, 0), colour, uint32_t(style),
                      bytes.Data(), uint32_t(bytes.Count()), state.link);
}

}  // namespace

bool doc_markup_fail(cSiDocTokenizer& tokenizer, const char* message)
{
    tokenizer.ctx->error_line = tokenizer.line;
    tokenizer.ctx->error_column = tokenizer.column;
    tokenizer.ctx->error_message = message;
    return false;
}

bool doc_next_token(cSiDocTokenizer& tokenizer, cSiDocToken& token)
{
    while (doc_is_blank(*tokenizer.at))
        step(tokenizer);
    const wchar_t* start = tokenizer.at;
    if (!*start)
        return false;
    if (*start == '<') {
        const wchar_t* end = start;
        while (*end && *end != '>')
            ++end;
        if (!*end)
            return false;
        while (tokenizer.at <= end)
            step(tokenizer);
    } else {
        while (*tokenizer.at && !doc_is_blank(*tokenizer.at) && *tokenizer.at != '<') {
            wchar_t unit = *tokenizer.at;
            step(tokenizer);
            // An ideographic comma or full stop ends its word.
            if (unit == 0x3001 || unit == 0x3002)
                break;
        }
    }
    token = {uint8_t(*start == '<' ? DOC_TOKEN_TAG : DOC_TOKEN_WORD), start, int32_t(tokenizer.at - start)};
    return true;
}

bool doc_parse_markup(const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer, uint32_t closing,
                      uint32_t text_colour)
{
    static const uint8_t end_byte = doc_end_byte;
    cSiDocToken token;
    while (doc_next_token(tokenizer, token)) {
        if (token.kind == DOC_TOKEN_WORD) {
            if (!write_word(state, tokenizer, token, text_colour))
                return false;
            continue;
        }
        bool closing_tag = token.length >= 3 && token.text[1] == '/';
        const wchar_t* inside = token.text + (closing_tag ? 2 : 1);
        int32_t inside_length = token.length - (closing_tag ? 3 : 2);
        uint32_t kind = DOC_TAG_NONE;
        const wchar_t* props = doc_match_tag(inside, inside_length, &kind);
        if (closing_tag) {
            if (props)
                return doc_markup_fail(tokenizer, "tag is not properly closed");
            if (kind == DOC_TAG_NONE)
                return doc_markup_fail(tokenizer, "invalid tag closed");
            if (kind != closing)
                return doc_markup_fail(tokenizer, "close tag mismatch");
            return kind != DOC_TAG_TEXT || write(tokenizer, &end_byte, 1);
        }
        if (kind == DOC_TAG_NONE)
            return doc_markup_fail(tokenizer, "invalid tag opened");
        cSiDocPropMap map(512);
        if (props && !doc_parse_tag_props(props, int32_t(inside + inside_length - props), map))
            return doc_markup_fail(tokenizer, "bad tag props");
        if (!open_tag(kind, map, state, tokenizer, text_colour))
            return false;
    }
    if (*tokenizer.at)
        return doc_markup_fail(tokenizer, "unexpected termination");
    if (closing != DOC_TAG_NONE)
        return doc_markup_fail(tokenizer, "termination on opened tag");
    return write(tokenizer, &end_byte, 1);
}

bool doc_parse_markup_source(cSiDocCompileCtx& ctx, const wchar_t* source)
{
    cMemIOTarget* stream = tree_get_or_add(ctx.box_streams, ctx.language);
    cSiDocTokenizer tokenizer = {source ? source : L"", 0, 0, stream, &ctx, 0};
    if (!stream)
        return doc_markup_fail(tokenizer, doc_out_of_memory);
    stream->SetSize(0);
    stream->Seek(0);
    const cSiDocMarkupState top = {13, 5, 0, 0, 0, 0, doc_no_link};
    return doc_parse_markup(top, tokenizer, DOC_TAG_NONE, 0);
}
