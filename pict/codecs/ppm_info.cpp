#include "pict/codecs/read_info.h"

namespace {

bool is_space(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next decimal number of the header after white space and '#' comments
// (to the line end); it must end in white space inside the text read.
bool next_number(const uint8_t* text, int32_t length, int32_t* at, int64_t* value)
{
    int32_t i = *at;
    for (;;) {
        while (i < length && is_space(text[i]))
            ++i;
        if (i < length && text[i] == '#') {
            while (i < length && text[i] != '\n' && text[i] != '\r')
                ++i;
            continue;
        }
        break;
    }
    if (!read_info_decimal(text, length, &i, value) || i >= length || !is_space(text[i]))
        return false;
    *at = i;
    return true;
}

}  // namespace

bool ppm_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t text[1024];
    int32_t length = stream ? stream->Read(text, sizeof text) : 0;
    if (length < 3 || text[0] != 'P' || text[1] < '1' || text[1] > '6' || !is_space(text[2]))
        return false;
    int32_t at = 2;
    int64_t width, height, maximum;
    if (!next_number(text, length, &at, &width) || !next_number(text, length, &at, &height))
        return false;
    // Bit maps have no maximum sample value.
    bool bitmap = text[1] == '1' || text[1] == '4';
    if (!bitmap && (!next_number(text, length, &at, &maximum) || maximum < 1 || maximum > 65535))
        return false;
    return read_info_found(info, width, height);
}
