#include "base/http_request.h"

#include <string.h>

#include "base/clock.h"
#include "base/format.h"
#include "base/mem_io_target.h"
#include "base/string_utils.h"

namespace {

const char default_user_agent[] = "QRVNetHTTP (compatible; cross-platform)";

// Letters, digits and the punctuation an address may carry unescaped.
bool is_url_char(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c != 0 && strchr("!#$%&'()*+,-./:;=?@[]_~", c) != nullptr;
}

// Digits of a port, 1 to 65535; 0 for anything else.
uint32_t parse_port(const char* digits, int32_t length)
{
    uint32_t port = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return 0;
        port = port * 10 + uint32_t(digits[i] - '0');
        if (port > 65535)
            return 0;
    }
    return port;
}

bool write_bytes(cFileIOTarget& stream, const void* bytes, uint32_t length)
{
    return length == 0 || stream.WriteExact(bytes, length);
}

bool write_text(cFileIOTarget& stream, const char* text)
{
    return !text || write_bytes(stream, text, uint32_t(strlen(text)));
}

bool write_stream(cFileIOTarget& target, cMemIOTarget& source)
{
    _typebuf<uint8_t> bytes;
    return source.CopyTo(bytes) && write_bytes(target, bytes.Data(), uint32_t(bytes.Count()));
}

bool write_headers(cFileIOTarget& stream, const cTreeMap<cPackedKey, _guardchar<char>>& headers)
{
    for (auto* node = tree_first_node(headers); node; node = tree_next_node(node)) {
        _typebuf<uint8_t> name;
        packedkey_to_bytes(node->key, name);
        const void* end = name.Count() ? memchr(name.Data(), 0, size_t(name.Count())) : nullptr;
        uint32_t length = end ? uint32_t(static_cast<const uint8_t*>(end) - name.Data()) : uint32_t(name.Count());
        if (!write_bytes(stream, name.Data(), length) || !write_text(stream, ": ") ||
            !write_text(stream, node->value.Text()) || !write_text(stream, "\r\n"))
            return false;
    }
    return true;
}

bool write_field(cFileIOTarget& body, const char* boundary, const cHttpFormField& field)
{
    bool ok = write_text(body, "--") && write_text(body, boundary) && write_text(body, "\r\n") &&
              write_text(body, "Content-Disposition: form-data; name=\"") && write_text(body, field.name.Text());
    if (!field.disposition_suffix.IsEmpty())
        ok = ok && write_text(body, "\"; ") && write_text(body, field.disposition_suffix.Text()) &&
             write_text(body, "\r\n");
    else
        ok = ok && write_text(body, "\"\r\n");
    if (!field.content_type.IsEmpty())
        ok = ok && write_text(body, "Content-Type: ") && write_text(body, field.content_type.Text()) &&
             write_text(body, "\r\n");
    return ok && write_text(body, "\r\n") && write_bytes(body, field.data.Data(), uint32_t(field.data.Count())) &&
           write_text(body, "\r\n");
}

// The multipart head lines, the empty line and the body, under a boundary
// made new from the microsecond clock.
bool write_form(cFileIOTarget& head, const cLinkedList<cHttpFormField>& fields)
{
    char boundary[50];
    if (str_format(boundary, sizeof boundary, "----qrvnethttp%llx----", (unsigned long long)clock_now_us()) < 0)
        return false;
    cMemIOTarget body;
    for (auto* node = fields.first; node; node = node->next)
        if (!write_field(body, boundary, node->element))
            return false;
    if (!write_text(body, "--") || !write_text(body, boundary) || !write_text(body, "--\r\n\r\n"))
        return false;

    char length_line[48];
    str_format(length_line, sizeof length_line, "Content-Length: %d\r\n\r\n", int32_t(body.GetSize()));
    return write_text(head, "Content-Type: multipart/form-data; boundary=") && write_text(head, boundary) &&
           write_text(head, "\r\n") && write_text(head, length_line) && write_stream(head, body);
}

}  // namespace

cHttpRequest::cHttpRequest(const char* address)
    : method(HTTP_METHOD_GET), port(0), version(HTTP_VERSION_1_1), extra_headers(1024)
{
    if (address)
        SetUrl(address);
}

cHttpRequest::~cHttpRequest()
{
}

bool cHttpRequest::SetUrl(const char* address)
{
    if (!address || str_compare_nocase_n(address, "http://", 7) != 0)
        return false;
    const char* rest = address + 7;
    for (const char* c = rest; *c; ++c)
        if (!is_url_char(*c))
            return false;
    // The fragment is the client's own: a request never carries it.
    const char* fragment = strchr(rest, '#');
    int32_t length = int32_t(fragment ? fragment - rest : strlen(rest));

    const char* slash = static_cast<const char*>(memchr(rest, '/', size_t(length)));
    int32_t authority_length = int32_t(slash ? slash - rest : length);
    const char* colon = static_cast<const char*>(memchr(rest, ':', size_t(authority_length)));
    int32_t host_length = authority_length;
    uint32_t number = 80;
    if (colon) {
        host_length = int32_t(colon - rest);
        number = parse_port(colon + 1, authority_length - host_length - 1);
        if (number == 0)
            return false;
    }
    if (host_length == 0)
        return false;

    host_name.AssignN(rest, host_length);
    authority.AssignN(rest, authority_length);
    if (slash)
        path.AssignN(slash, int32_t(rest + length - slash));
    else
        path.Assign("/");
    port = number;
    return host_name.Text() && authority.Text() && path.Text();
}

bool cHttpRequest::Serialize(_typebuf<uint8_t>& out)
{
    if (host_name.IsEmpty() || path.IsEmpty())
        return false;
    if (method > HTTP_METHOD_POST || version > HTTP_VERSION_1_1)
        return false;

    cMemIOTarget head;
    bool ok = write_text(head, method == HTTP_METHOD_GET ? "GET " : "POST ") && write_text(head, path.Text()) &&
              write_text(head, version == HTTP_VERSION_1_0 ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n") &&
              write_text(head, "Host: ") && write_text(head, authority.Text()) && write_text(head, "\r\n") &&
              write_text(head, "User-Agent: ") &&
              write_text(head, user_agent.IsEmpty() ? default_user_agent : user_agent.Text()) &&
              write_text(head, "\r\n") && write_headers(head, extra_headers);
    if (method == HTTP_METHOD_POST && form_fields.first)
        ok = ok && write_form(head, form_fields);
    else
        ok = ok && write_text(head, "\r\n");
    return ok && head.CopyTo(out);
}
