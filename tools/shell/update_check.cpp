#include "tools/shell/update_check.h"

#include "base/http_exchange.h"
#include "base/string_convert.h"
#include "base/wait_bound.h"
#include "tools/shell/update_server.h"

namespace {

const uint8_t carriage_return = 13;
const uint8_t line_feed = 10;

struct cByteCursor {
    const uint8_t* at;
    const uint8_t* end;
};

void skip_line_ends(cByteCursor& cursor)
{
    while (cursor.at < cursor.end && (*cursor.at == carriage_return || *cursor.at == line_feed))
        ++cursor.at;
}

// The bytes up to the next CR (left out) and the cursor after it; false
// when no CR follows.
bool take_line(cByteCursor& cursor, const uint8_t** line, int32_t* length)
{
    for (const uint8_t* p = cursor.at; p < cursor.end; ++p) {
        if (*p == carriage_return) {
            *line = cursor.at;
            *length = int32_t(p - cursor.at);
            cursor.at = p + 1;
            return true;
        }
    }
    return false;
}

bool is_blank(uint8_t c)
{
    return c == ' ' || (c >= 9 && c <= 13);
}

// One decimal number as a %d conversion reads it (leading blanks, an
// optional sign); false when there is none or it is outside 0 to 65,535.
bool read_version_part(const uint8_t*& p, const uint8_t* end, uint32_t* part, bool* found)
{
    while (p < end && is_blank(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const uint8_t* digits = p;
    uint32_t value = 0;
    bool too_large = false;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + uint32_t(*p - '0');
        too_large = too_large || value > 65535;
    }
    *found = p > digits;
    if (!*found)
        return true;
    if (too_large || (negative && value != 0))
        return false;
    *part = value;
    return true;
}

// "%d.%d.%d.%d" of line 1: at least two numbers, each 0 to 65,535.
bool parse_version_line(const uint8_t* line, int32_t length, uint64_t* version)
{
    const uint8_t* p = line;
    const uint8_t* end = line + length;
    uint32_t parts[4] = {0, 0, 0, 0};
    int count = 0;
    while (count < 4) {
        bool found = false;
        if (!read_version_part(p, end, &parts[count], &found))
            return false;
        if (!found)
            break;
        ++count;
        if (p >= end || *p != '.')
            break;
        ++p;
    }
    if (count < 2)
        return false;
    *version = uint64_t(parts[0]) << 48 | uint64_t(parts[1]) << 32 | uint64_t(parts[2]) << 16 | parts[3];
    return true;
}

}  // namespace

bool cPlainDataReader::OnHeadersDone()
{
    if (status_code != 200 || !HasContentLength() || content_length == 0 || content_length > largest_reply)
        return false;
    body.Close();
    return true;
}

bool cPlainDataReader::OnBody(const uint8_t* data, uint32_t length, uint64_t)
{
    return body.Write(data, length) == int32_t(length);
}

bool parse_update_reply(const uint8_t* bytes, uint32_t size, cUpdateReply& reply)
{
    if (!bytes)
        return false;
    cByteCursor cursor{bytes, bytes + size};
    const uint8_t* line = nullptr;
    int32_t length = 0;
    uint64_t version = 0;
    if (!take_line(cursor, &line, &length) || length == 0 || !parse_version_line(line, length, &version))
        return false;

    const uint8_t* address_line = nullptr;
    const uint8_t* page_line = nullptr;
    int32_t address_length = 0, page_length = 0;
    skip_line_ends(cursor);
    if (cursor.at == cursor.end || !take_line(cursor, &address_line, &address_length))
        return false;
    skip_line_ends(cursor);
    if (cursor.at == cursor.end || !take_line(cursor, &page_line, &page_length))
        return false;
    skip_line_ends(cursor);

    reply.version = version;
    wstr_from_utf8(address_length, reinterpret_cast<const char*>(address_line), reply.installer_address);
    wstr_from_utf8(page_length, reinterpret_cast<const char*>(page_line), reply.web_page);
    if (cursor.at < cursor.end)
        wstr_from_utf8(int32_t(cursor.end - cursor.at), reinterpret_cast<const char*>(cursor.at), reply.notes);
    return true;
}

bool query_update_server_at(const char* server_address, const char* code_name, cUpdateReply& reply,
                            const cJob* job)
{
    cWaitBound bound(update_check_time_limit_ms, job);
    return query_update_server_within(server_address, code_name, reply, bound);
}

bool query_update_server_within(const char* server_address, const char* code_name, cUpdateReply& reply,
                                const cWaitBound& bound)
{
    if (!code_name || !server_address || bound.Ended() || !start_update_sockets())
        return false;
    _guardchar<char> url;
    format_update_check_url(server_address, code_name, url);
    cHttpRequest request;
    if (!request.SetUrl(url.Text()))
        return false;
    request.version = HTTP_VERSION_1_1;
    cPlainDataReader reader;
    cHttpTransport transport;
    if (!http_exchange(request, transport, reader, &bound))
        return false;
    _typebuf<uint8_t> body;
    return reader.body.CopyTo(body) && parse_update_reply(body.Data(), uint32_t(body.Count()), reply);
}
