#include "tools/shell/update_server.h"

#include <winsock2.h>

#include <string.h>

#include "base/app_config.h"
#include "base/string_convert.h"
#include "tools/shell/record_store.h"

namespace {

// The parts one after the other; empty when memory runs out.
void concatenate(_guardchar<char>& out, const char* const* parts, int32_t count)
{
    size_t length = 0;
    for (int32_t i = 0; i < count; ++i)
        length += strlen(parts[i]);
    out.Allocate(int32_t(length + 1));
    if (!out.Buffer())
        return;
    char* at = out.Buffer();
    for (int32_t i = 0; i < count; ++i) {
        size_t part = strlen(parts[i]);
        memcpy(at, parts[i], part);
        at += part;
    }
}

bool is_unreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '_' || byte == '.' || byte == '~';
}

// The bytes as a query value: each but letters, digits and "-_.~" as '%'
// and two capital hex digits, so that a blank, '&', '#' or a byte above 127
// reaches the server as part of the value.
void percent_encode(const char* text, _guardchar<char>& out)
{
    static const char hex[] = "0123456789ABCDEF";
    size_t length = 0;
    for (const char* at = text; *at; ++at)
        length += is_unreserved(static_cast<unsigned char>(*at)) ? 1 : 3;
    out.Allocate(int32_t(length + 1));
    char* write = out.Buffer();
    if (!write)
        return;
    for (const char* at = text; *at; ++at) {
        unsigned char byte = static_cast<unsigned char>(*at);
        if (is_unreserved(byte)) {
            *write++ = char(byte);
        } else {
            *write++ = '%';
            *write++ = hex[byte >> 4];
            *write++ = hex[byte & 15];
        }
    }
}

}  // namespace

const char update_server_key[] = "installer/update_server";
const wchar_t default_update_server[] = L"http://updates.vantrel.com/pelmaro/";

bool get_update_server_address(cApplicationConfig* config, _guardchar<char>& out, cStoreFault* fault)
{
    _guardchar<wchar_t> stored;
    const wchar_t* address = default_update_server;
    // Read as a record is: an administrator's run never from the per-user
    // store, which would send it to another server for the installer it
    // starts. Where the file that may hold it cannot be read, no server is
    // asked: the built-in one may not be the one an administrator chose.
    cApplicationConfig* holder = nullptr;
    uint32_t held = config ? find_record_store(*config, update_server_key, holder) : RECORD_STORE_NONE;
    if (held == RECORD_STORE_UNREAD) {
        if (fault)
            refused_store_fault(*config, update_server_key, held, *fault);
        out.Clear();
        return false;
    }
    if (holder && holder->ReadString(update_server_key, stored) && !stored.IsEmpty())
        address = stored.Text();
    _guardchar<char> utf8;
    str_from_wstr_utf8(address, -1, utf8);
    // The setting names the folder that each check's own path and query go
    // below: a query or fragment of its own would swallow them (a request
    // drops a fragment, and the product's name with it).
    if (char* text = utf8.Buffer())
        text[strcspn(text, "?#")] = '\0';
    const char* parts[] = {utf8.Text() ? utf8.Text() : "", "/"};
    bool has_slash = !utf8.IsEmpty() && utf8.Text()[utf8.Length() - 1] == '/';
    concatenate(out, parts, has_slash ? 1 : 2);
    return true;
}

void format_update_check_url(const char* server_address, const char* code_name, _guardchar<char>& out)
{
    _guardchar<char> value;
    percent_encode(code_name ? code_name : "", value);
    if (!value.Text()) {
        out.Clear();
        return;
    }
    const char* parts[] = {server_address ? server_address : "", "autocheck.php?softwareid=", value.Text(), "&os=win"};
    concatenate(out, parts, 4);
}

bool start_update_sockets()
{
    // Two threads may both start them; Windows counts the starts.
    static volatile bool started = false;
    if (started)
        return true;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0)
        return false;
    started = true;
    return true;
}
