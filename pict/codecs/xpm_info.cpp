#include <string.h>

#include "pict/codecs/read_info.h"

namespace {

// Skips white space and C comments from *at; false when a comment does not
// end inside the text.
bool skip_blanks(const char* text, int32_t length, int32_t* at)
{
    int32_t i = *at;
    for (;;) {
        while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i + 1 < length && text[i] == '/' && text[i + 1] == '*') {
            const char* end = nullptr;
            for (int32_t j = i + 2; j + 1 < length; ++j)
                if (text[j] == '*' && text[j + 1] == '/') {
                    end = text + j + 2;
                    break;
                }
            if (!end)
                return false;
            i = int32_t(end - text);
            continue;
        }
        *at = i;
        return true;
    }
}

// A number of the values line, after blanks, ended by a blank or the
// string's end.
bool read_number(const char* text, int32_t length, int32_t* at, int64_t* value)
{
    while (*at < length && (text[*at] == ' ' || text[*at] == '\t'))
        ++*at;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
    return read_info_decimal(bytes, length, at, value) && *at < length &&
           (text[*at] == ' ' || text[*at] == '\t' || text[*at] == '"');
}

}  // namespace

// The file opens with the "XPM" comment, then a C array of strings whose
// first string holds width, height, colour count and characters a pixel.
bool xpm_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    static const char magic[] = "/* XPM */";
    char text[4096];
    int32_t length = stream ? stream->Read(text, sizeof text) : 0;
    const int32_t magic_length = int32_t(sizeof magic - 1);
    if (length < magic_length || memcmp(text, magic, size_t(magic_length)) != 0)
        return false;
    const char* brace = static_cast<const char*>(memchr(text + magic_length, '{', size_t(length - magic_length)));
    if (!brace)
        return false;
    int32_t at = int32_t(brace - text) + 1;
    if (!skip_blanks(text, length, &at) || at >= length || text[at] != '"')
        return false;
    ++at;
    int64_t width, height, colours, characters;
    if (!read_number(text, length, &at, &width) || !read_number(text, length, &at, &height) ||
        !read_number(text, length, &at, &colours) || !read_number(text, length, &at, &characters))
        return false;
    return colours >= 1 && characters >= 1 && read_info_found(info, width, height);
}
