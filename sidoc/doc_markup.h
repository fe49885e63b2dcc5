#ifndef SIDOC_DOC_MARKUP_H
#define SIDOC_DOC_MARKUP_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/mem_io_target.h"
#include "base/packed_key.h"
#include "base/tree_map.h"
#include "sidoc/doc_compile_ctx.h"

// The mark-up of one language's document source: words, and the tags
// <text ...>, <link ...>, <img ...>, <br>, <lt>, <b> and <i>, parsed into
// the language's box list and the compilation's shared tables.

// Tag kinds, also the closing kind of the level a tag opens (0: the top).
enum : uint32_t {
    DOC_TAG_NONE = 0,
    DOC_TAG_TEXT = 1,
    DOC_TAG_LINK = 2,
    DOC_TAG_IMG = 3,
    DOC_TAG_BR = 4,
    DOC_TAG_LT = 5,
    DOC_TAG_B = 6,
    DOC_TAG_I = 7,
};

const uint32_t doc_no_link = 0xFFFFFFFF;

// Where the parser stands in the source. Lines and columns count from 0; a
// line feed starts a new line, every other unit passed is one column.
struct cSiDocTokenizer {
    const wchar_t* at;
    uint32_t line;
    uint32_t column;
    cMemIOTarget* out;       // the language's box stream
    cSiDocCompileCtx* ctx;
    int32_t depth;           // nesting of the level being parsed; the top is 0
};

// What each element passes on to the elements inside it.
struct cSiDocMarkupState {
    uint32_t font_height;
    uint32_t font_width;
    uint32_t face;
    uint8_t italic;
    uint8_t underline;
    uint8_t bold;
    uint32_t link;  // string index, or doc_no_link
};

enum : uint8_t {
    DOC_TOKEN_WORD = 0,
    DOC_TOKEN_TAG = 1,
};

// A token's text lies in the source: a word, or a tag from its < to its >
// included.
struct cSiDocToken {
    uint8_t kind;
    const wchar_t* text;
    int32_t length;
};

// Property names (lowered) to their values.
typedef cTreeMap<cPackedKey, _guardchar<wchar_t>> cSiDocPropMap;

// Parses the source as the context's current language into that
// language's box stream (made on first use, emptied otherwise). False with
// the context's error line, column and message set.
bool doc_parse_markup_source(cSiDocCompileCtx& ctx, const wchar_t* source);

// One level: tokens up to the closing tag of kind closing (the end of the
// text at the top), words in text_colour.
bool doc_parse_markup(const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer, uint32_t closing,
                      uint32_t text_colour);

// The next token after blanks (units 9, 10, 13 and 32). False at the end
// of the text, and at a < that no > follows (the tokenizer then stays at
// the <).
bool doc_next_token(cSiDocTokenizer& tokenizer, cSiDocToken& token);

// The tag named at the start of text (a tag token's inside after its < or
// </, without the >): *kind gets its kind, DOC_TAG_NONE when the name is
// unknown or is followed by a blank although the tag takes no properties.
// Answers where the properties start (after the blank that follows the
// name), null when the name ends the text.
const wchar_t* doc_match_tag(const wchar_t* text, int32_t length, uint32_t* kind);

// Blank-separated name=value pairs (a value in double quotes may hold
// blanks) into props; names are lowered. False for a pair without a name
// or an =, an unclosed quote, or when memory runs out.
bool doc_parse_tag_props(const wchar_t* text, int32_t length, cSiDocPropMap& props);

// Applies the font definition FACE[,HEIGHT[,WIDTH[,STYLE]]] to state and
// answers its style index; 0xFFFF with the context's error set on failure.
uint32_t doc_parse_font_def(cSiDocMarkupState& state, const wchar_t* value, cSiDocTokenizer& tokenizer);

// The style of words in that state: 0xFFFF when it has no bold, italic or
// underline (the word takes its container's font); -1 with the context's
// error set when the style table is full.
int32_t doc_style_index_for_state(const cSiDocMarkupState& state, cSiDocTokenizer& tokenizer);

// Sets the context's error at the tokenizer's position; answers false.
bool doc_markup_fail(cSiDocTokenizer& tokenizer, const char* message);

#endif
