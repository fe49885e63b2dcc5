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

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// What a header's name is made of: a token's characters.
bool is_token_char(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c && strchr("!#$%&'*+-.^_`|~", c));
}

// Bytes that no header line may hold: a NUL, and an LF, which some readers
// take for a line end (a header hidden in a value for one of them would
// be a header for the other).
bool holds_forbidden_byte(const char* line, uint32_t length)
{
    return memchr(line, 0, length) || memchr(line, '\n', length);
}

// Moves first and end inward past blanks and tabs.
void trim_blanks(const char*& first, const char*& end)
{
    while (first < end && is_blank(*first))
        ++first;
    while (end > first && is_blank(end[-1]))
        --end;
}

// Stores the value under the name, replacing an earlier one, and takes a
// Content-Length from it.
bool store_header(cHttpResponse& response, const char* name, const char* value, int32_t length)
{
    cPackedKey key;
    packedkey_from_str(key, name, -1);
    if (!key.Data())
        return false;
    _guardchar<char>* slot = tree_get_or_add(response.headers, static_cast<cPackedKey&&>(key));
    if (!slot)
        return false;
    slot->AssignN(value, length);
    if (!slot->Text())
        return false;
    // A length that is not plain decimal digits, or too large to hold,
    // makes the body's end unknowable, and the response unusable; so do two
    // lengths that disagree (whichever a reader believed, the other could
    // smuggle bytes into the body or the next response).
    if (str_is_content_length(name) != 0)
        return true;
    uint64_t announced = 0;
    if (!parse_content_length(slot->Text(), &announced))
        return false;
    if (response.HasContentLength() && response.content_length != announced)
        return false;
    response.content_length = announced;
    return true;
}

// "Name: value": a name of token characters (no blank before the colon:
// readers that allow one would take another header than readers that do
// not), at least one byte after the colon; blanks and tabs around the
// value are not part of it.
bool parse_header_line(cHttpResponse& response, const char* line, uint32_t length)
{
    const char* colon = static_cast<const char*>(memchr(line, ':', length));
    if (!colon || colon == line || colon + 1 == line + length || holds_forbidden_byte(line, length))
        return false;
    for (const char* c = line; c < colon; ++c)
        if (!is_token_char(*c))
            return false;
    const char* value = colon + 1;
    const char* end = line + length;
    trim_blanks(value, end);

    _guardchar<char>& name = response.last_header_name;
    name.AssignN(line, int32_t(colon - line));
    if (!name.Text())
        return false;
    // A coded body (chunks, compression) is not taken apart here: read as
    // plain bytes, its framing would become the body, whatever length the
    // head also announces.
    if (str_compare_nocase_n(name.Text(), "Transfer-Encoding", INT32_MAX) == 0)
        return false;
    return store_header(response, name.Text(), value, int32_t(end - value));
}

// A line that starts with a blank or a tab continues the header before it
// (obsolete line folding, which a client must still read): the fold is one
// blank between the value so far and the continuation. Right after the
// status line there is nothing to continue.
bool parse_folded_line(cHttpResponse& response, const char* line, uint32_t length)
{
    const char* name = response.last_header_name.Text();
    if (!name || holds_forbidden_byte(line, length))
        return false;
    const char* more = line;
    const char* end = line + length;
    trim_blanks(more, end);
    if (more == end)
        return true;
    cPackedKey key;
    packedkey_from_str(key, name, -1);
    cTreeNode<cPackedKey, _guardchar<char>>* header = key.Data() ? tree_find_node(response.headers.root, key) : nullptr;
    if (!header || !header->value.Text())
        return false;
    int32_t before = header->value.Length();
    int32_t gap = before ? 1 : 0;
    int32_t added = int32_t(end - more);
    _guardchar<char> joined;
    joined.Allocate(before + gap + added + 1);
    if (!joined.Buffer())
        return false;
    memcpy(joined.Buffer(), header->value.Text(), size_t(before));
    if (gap)
        joined.Buffer()[before] = ' ';
    memcpy(joined.Buffer() + before + gap, more, size_t(added));
    return store_header(response, name, joined.Text(), before + gap + added);
}

}  // namespace

cHttpResponse::cHttpResponse() : status_code(0), content_length(no_content_length)
{
}

void cHttpResponse::Reset()
{
    tree_clear(headers);
    last_header_name.Clear();
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
        else if (is_blank(line[0]))
            ok = parse_folded_line(response, line, length);
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
