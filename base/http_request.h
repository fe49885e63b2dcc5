#ifndef BASE_HTTP_REQUEST_H
#define BASE_HTTP_REQUEST_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

enum : uint32_t {
    HTTP_METHOD_GET = 0,
    HTTP_METHOD_POST = 1,
};

enum : uint32_t {
    HTTP_VERSION_1_0 = 0,
    HTTP_VERSION_1_1 = 1,
};

// One part of a multipart/form-data body. An empty content type or
// disposition suffix is left out of the part's head; the suffix is written
// after the quoted name (for example: filename="a.txt").
struct cHttpFormField {
    _guardchar<char> name;
    _guardchar<char> content_type;
    _guardchar<char> disposition_suffix;
    _typebuf<uint8_t> data;
};

// One HTTP/1.x request: GET, or POST with optional form fields. The owner
// sets the method, version, user agent, extra headers (tree_get_or_add on
// the header's name) and form fields (list_append) directly; all text is
// narrow.
class cHttpRequest {
public:
    // A null address leaves the address fields empty and the port 0.
    explicit cHttpRequest(const char* address = nullptr);
    virtual ~cHttpRequest();
    cHttpRequest(const cHttpRequest&) = delete;
    cHttpRequest& operator=(const cHttpRequest&) = delete;

    // Takes an "http://" address (scheme in any case) apart into host name,
    // authority, port (80 when none is written) and path ("/" when none),
    // its "#" fragment left out.
    // False, with nothing changed, for a null address, another scheme, a
    // character outside the printable URL set, an empty host name, or a
    // port that is empty, 0, above 65535 or not all digits.
    bool SetUrl(const char* address);

    // The request's bytes: request line, Host, User-Agent, the extra
    // headers in name order, and for POST with fields the multipart body
    // under a new boundary. False without host name or path, for an unknown
    // method or version, or when memory runs out.
    bool Serialize(_typebuf<uint8_t>& out);

    uint32_t method;
    _guardchar<char> user_agent;  // empty: the default user agent
    _guardchar<char> host_name;   // name or dotted address to connect to
    _guardchar<char> authority;   // host as written, with ":port" when given
    _guardchar<char> path;        // from the first '/' after the authority on
    uint32_t port;
    uint32_t version;
    cTreeMap<cPackedKey, _guardchar<char>> extra_headers;
    cLinkedList<cHttpFormField> form_fields;
};

#endif
