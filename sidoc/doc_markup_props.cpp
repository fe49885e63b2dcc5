#include "sidoc/doc_markup.h"

#include "base/case_map.h"
#include "base/string_convert.h"
#include "gui/font.h"
#include "sidoc/doc_format.h"

namespace {

// Whether text starts with the lower-case keyword, in either case.
bool starts_with_nocase(const wchar_t* text, const char* keyword, int32_t* length)
{
    int32_t n = 0;
    for (; keyword[n]; ++n)
        if (wchar_to_lower(text[n]) != wchar_t(keyword[n]))
            return false;
    *length = n;
    return true;
}

// Decimal digits from *text on, saturating above 0xFFFFFFFF; false when
// there is none.
bool read_decimal(const wchar_t*& text, uint64_t* value)
{
    *value = 0;
    const wchar_t* start = text;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (*value <= 0xFFFFFFFF)
            *value = *value * 10 + uint64_t(*text - '0');
    return text != start;
}

int32_t rounded_ratio(uint32_t value, uint32_t numerator, uint32_t denominator)
{
    return int32_t((uint64_t(value) * numerator * 2 + denominator) / (uint64_t(denominator) * 2));
}

// Sets the face, the sizes and the style letters of a font definition;
// answers the message of its first fault, or null.
const char* read_font_fields(cSiDocMarkupState& state, const wchar_t* at)
{
    static const struct {
        const char* keyword;
        uint32_t face;
    } faces[] = {{"luci", 4}, {"verd", 3}, {"kor", 2}, {"chi", 5}, {"twn", 6}, {"std", 0}, {"fixed", 1}};
    int32_t keyword_length = 0;
    uint32_t i = 0;
    while (i < sizeof faces / sizeof faces[0] && !starts_with_nocase(at, faces[i].keyword, &keyword_length))
        ++i;
    if (i == sizeof faces / sizeof faces[0])
        return "bad font face name";
    state.face = faces[i].face;
    at += keyword_length;
    if (!*at)
        return nullptr;
    if (*at++ != ',')
        return "bad font face definition";
    uint64_t number = 0;
    if (!read_decimal(at, &number))
        return "bad font height def";
    if (number >= doc_font_size_limit)
        return "bad font height";
    state.font_height = uint32_t(number);
    if (!*at) {
        state.font_width = uint32_t(rounded_ratio(state.font_height, 5, 13));
        return nullptr;
    }
    if (*at++ != ',')
        return "bad font definition";
    if (!read_decimal(at, &number))
        return "bad font width def";
    if (number >= doc_font_size_limit)
        return "bad font width";
    state.font_width = uint32_t(number);
    if (!*at)
        return nullptr;
    if (*at++ != ',')
        return "bad font width definition";
    for (; *at; ++at) {
        wchar_t letter = wchar_to_lower(*at);
        state.bold |= letter == 'b';
        state.italic |= letter == 'i';
        state.underline |= letter == 'u';
    }
    return nullptr;
}

// The index of the style of the state's face, height and flags at width;
// -1 with the error set when the table is full.
int32_t style_index(cSiDocTokenizer& tokenizer, const cSiDocMarkupState& state, uint32_t width)
{
    uint8_t record[doc_style_record_size];
    write_u16_le(record, state.face);
    write_u16_le(record + 2, width);
    write_u16_le(record + 4, state.font_height);
    write_u16_le(record + 6, (state.bold ? DOC_STYLE_BOLD : 0) | (state.italic ? DOC_STYLE_ITALIC : 0) |
                                (state.underline ? DOC_STYLE_UNDERLINE : 0));
    const char* message = nullptr;
    int32_t index = doc_ctx_style_index(*tokenizer.ctx, record, &message);
    if (index < 0)
        doc_markup_fail(tokenizer, message);
    return index;
}

}  // namespace

const wchar_t* doc_match_tag(const wchar_t* text, int32_t length, uint32_t* kind)
{
    static const char* const names[] = {"text", "link", "img", "br", "lt", "b", "i"};
    int32_t name_length = 0;
    while (name_length < length && !doc_is_blank(text[name_length]))
        ++name_length;
    *kind = DOC_TAG_NONE;
    for (uint32_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        int32_t n = 0;
        while (names[i][n] && n < name_length && text[n] == wchar_t(names[i][n]))
            ++n;
        if (!names[i][n] && n == name_length)
            *kind = i + 1;
    }
    if (name_length == length)
        return nullptr;
    if (*kind != DOC_TAG_TEXT && *kind != DOC_TAG_LINK && *kind != DOC_TAG_IMG)
        *kind = DOC_TAG_NONE;
    return text + name_length + 1;
}

bool doc_parse_tag_props(const wchar_t* text, int32_t length, cSiDocPropMap& props)
{
    int32_t at = 0;
    while (true) {
        while (at < length && doc_is_blank(text[at]))
            ++at;
        if (at == length)
            return true;
        int32_t name_start = at;
        while (at < length && text[at] != '=' && !doc_is_blank(text[at]))
            ++at;
        if (at == name_start || at == length || text[at] != '=')
            return false;
        _typebuf<wchar_t> lowered;
        lowered.Resize(at - name_start);
        if (!lowered.Data())
            return false;
        for (int32_t i = 0; i < lowered.Count(); ++i)
            lowered[i] = wchar_to_lower(text[name_start + i]);
        cPackedKey name;
        packedkey_from_wstr(name, lowered.Data(), lowered.Count());
        ++at;
        int32_t value_start = at;
        if (at < length && text[at] == '"') {
            value_start = ++at;
            while (at < length && text[at] != '"')
                ++at;
            if (at == length)
                return false;
        } else {
            while (at < length && !doc_is_blank(text[at]))
                ++at;
        }
        _guardchar<wchar_t>* value = tree_get_or_add(props, static_cast<cPackedKey&&>(name));
        if (!value)
            return false;
        wstr_assign_text(text + value_start, at - value_start, *value);
        if (at > value_start && !value->Text())
            return false;
        if (at < length && text[at] == '"')
            ++at;
    }
}

uint32_t doc_parse_font_def(cSiDocMarkupState& state, const wchar_t* value, cSiDocTokenizer& tokenizer)
{
    const char* failure = read_font_fields(state, value);
    if (!failure && !font_get_cached(int32_t(state.font_width), int32_t(state.font_height), doc_face_name(state.face),
                                     state.bold, state.underline, state.italic))
        failure = "bad font";
    if (failure) {
        doc_markup_fail(tokenizer, failure);
        return doc_no_index;
    }
    int32_t index = style_index(tokenizer, state, state.font_width);
    return index < 0 ? doc_no_index : uint32_t(index);
}

int32_t doc_style_index_for_state(const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer)
{
    if (!state.bold && !state.italic && !state.underline)
        return doc_no_index;
    return style_index(tokenizer, state, state.bold ? uint32_t(rounded_ratio(state.font_width, 11, 10)) : state.font_width);
}
