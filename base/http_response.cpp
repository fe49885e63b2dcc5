#include "base/http_response.h"

#include <string.h>

#include "base/buffers/typebuf.h"
#include "base/string_utils.h"

namespace {

const uint32_t receive_buffer_size = 65536;

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// One or more decimal digits and nothing else, below no_content_length.
bool parse_content_length(const char* text, uint64_t* length)
{
    uint64_t value = 0;
    const char* p = text;
    for (; is_digit(*p); ++p) {
        uint64_t digit = uint64_t(*p - '0');
        if (value > (cHttpResponse::no_content_length - 1 - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    if (p == text || *p)
        return false;
    *length = value;
    return true;
}

// "HTTP/1.<digit> <three digits>", then the end or a blank and the reason.
bool parse_status_line(const char* line, uint32_t length, uint32_t* status_code)
{
    if (length < 12 || memcmp(line, "HTTP/1.", 7) != 0 || !is_digit(line[7]) || line[8] != ' ')
        return false;
    if (!is_digit(line[9]) || !is_digit(line[10]) || !is_digit(line[11]) || (length > 12 && line[12] != ' '))
        return false;
    uint32_t code = uint32_t(line[9] - '0') * 100 + uint32_t(line[10] - '0') * 10 + uint32_t(line[11] - '0');
    if (code == 0)
        return false;
    *status_code = code;
    return true;
}

// "Name: value": a non-empty name before the first ':', at least one byte
// after it; blanks and tabs before the value are not part of it.
bool parse_header_line(cHttpResponse& response, const char* line, uint32_t length)
{
    const char* colon = static_cast<const char*>(memchr(line, ':', length));
    if (!colon || colon == line || colon + 1 == line + length || memchr(line, 0, length))
        return false;
    const char* value = colon + 1;
    const char* end = line + length;
    while (value < end && (*value == ' ' || *value == '\t'))
        ++value;

    _guardchar<char> name;
    name.AssignN(line, int32_t(colon - line));
    cPackedKey key;
    packedkey_from_str(key, name.Text(), -1);
    if (!key.Data())
        return false;
    // A coded body (chunks, compression) is not taken apart here: read as
    // plain bytes, its framing would become the body, whatever length the
    // head also announces.
    if (str_compare_nocase_n(name.Text(), "Transfer-Encoding", INT32_MAX) == 0)
        return false;
    bool is_length = str_is_content_length(name.Text()) == 0;
    _guardchar<char>* slot = tree_get_or_add(response.headers, static_cast<cPackedKey&&>(key));
    if (!slot)
        return false;
    slot->AssignN(value, int32_t(end - value));
    if (!slot->Text())
        return false;
    // A length that is not plain decimal digits, or too large to hold,
    // makes the body's end unknowable, and the response unusable; so do two
    // lengths that disagree (whichever a reader believed, the other could
    // smuggle bytes into the body or the next response).
    if (!is_length)
        return true;
    uint64_t announced = 0;
    if (!parse_content_length(slot->Text(), &announced))
        return false;
    if (response.HasContentLength() && response.content_length != announced)
        return false;
    response.content_length = announced;
    return true;
}

}  // namespace

cHttpResponse::cHttpResponse() : status_code(0), content_length(no_content_length)
{
}

void cHttpResponse::Reset()
{
    tree_clear(headers);
    status_code = 0;
    content_length = no_content_length;
}

bool cHttpResponse::OnBody(const uint8_t*, uint32_t, uint64_t)
{
    return true;
}

bool cHttpResponse::OnHeadersDone()
{
    return true;
}

cHttpResponse::~cHttpResponse()
{
}

bool cHttpResponse::ParseHead(const uint8_t* bytes, cHttpResponse& response, uint32_t* count, bool* head_pending)
{
    if (!count || !head_pending || (!bytes && *count))
        return false;
    uint32_t available = *count;
    uint32_t used = 0;
    while (*head_pending) {
        const uint8_t* cr = static_cast<const uint8_t*>(memchr(bytes + used, '\r', available - used));
        // Complete only when the byte after the CR is there too.
        if (!cr || uint32_t(cr - bytes) + 1 >= available)
            break;
        if (cr[1] != '\n')
            return false;
        const char* line = reinterpret_cast<const char*>(bytes + used);
        uint32_t length = uint32_t(cr - (bytes + used));
        bool ok = true;
        if (response.status_code == 0)
            ok = parse_status_line(line, length, &response.status_code);
        else if (length == 0)
            *head_pending = false;
        else
            ok = parse_header_line(response, line, length);
        if (!ok)
            return false;
        used += length + 2;
    }
    *count = used;
    return true;
}

bool cHttpResponse::Receive(cHttpResponse& response, cFileIOTarget* stream)
{
    if (!stream || !stream->IsOpen())
        return false;
    response.Reset();
    _typebuf<uint8_t> buffer(static_cast<int32_t>(receive_buffer_size));
    uint8_t* bytes = buffer.Data();
    if (!bytes)
        return false;

    bool head_pending = true;
    uint32_t held = 0;       // bytes of an incomplete head line kept from earlier reads
    uint64_t offset = 0;     // body bytes delivered
    uint64_t head_size = 0;  // head bytes parsed so far
    for (;;) {
        int32_t got = stream->IsOpen() ? stream->Read(bytes + held, receive_buffer_size - held) : 0;
        if (got <= 0) {
            // The stream ended (the peer closed, or nothing came in time):
            // complete only after a whole head and when no length was
            // announced; an announced length that was reached returned
            // earlier. A stream that closed itself on a broken connection
            // (a reset) ended short of whatever the body was.
            return !head_pending && !response.HasContentLength() && stream->IsOpen();
        }
        held += uint32_t(got);

        uint32_t start = 0;
        if (head_pending) {
            start = held;
            if (!ParseHead(bytes, response, &start, &head_pending))
                return false;
            head_size += start;
            if (head_size + (head_pending ? held - start : 0) > head_limit)
                return false;
            if (head_pending) {
                // Keep the incomplete line and read on, as long as it fits.
                held -= start;
                memmove(bytes, bytes + start, held);
                if (held == receive_buffer_size)
                    return false;
                continue;
            }
            if (!response.OnHeadersDone())
                return false;
        }

        uint32_t piece = held - start;
        held = 0;
        if (response.HasContentLength() && piece > response.content_length - offset)
            piece = uint32_t(response.content_length - offset);
        if (piece > 0) {
            if (!response.OnBody(bytes + start, piece, offset))
                return false;
            offset += piece;
        }
        if (response.HasContentLength() && offset == response.content_length)
            return true;
    }
}
