#ifndef TOOLS_SHELL_UPDATE_CHECK_H
#define TOOLS_SHELL_UPDATE_CHECK_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/http_response.h"
#include "base/mem_io_target.h"

class cJob;
class cWaitBound;

// What the update server offers for one product.
struct cUpdateReply {
    cUpdateReply() : version(0) {}
    cUpdateReply(const cUpdateReply&) = delete;
    cUpdateReply& operator=(const cUpdateReply&) = delete;

    uint64_t version;  // a.b.c.d packed as a<<48 | b<<32 | c<<16 | d
    _guardchar<wchar_t> installer_address;
    _guardchar<wchar_t> web_page;
    _guardchar<wchar_t> notes;  // kept as it was when the reply has none
};

// The check's response: takes the body into memory only with status 200
// and a Content-Length of 1 to 65,536 bytes (a larger one is refused by
// its announcement, before any body byte is stored).
class cPlainDataReader : public cHttpResponse {
public:
    static const uint32_t largest_reply = 65536;

    bool OnBody(const uint8_t* data, uint32_t length, uint64_t offset) override;
    bool OnHeadersDone() override;

    cMemIOTarget body;
};

// A reply body: line 1 a version of two to four dot-separated numbers
// (missing parts 0, each 0 to 65,535, a fifth and more ignored), line 2 the
// installer's address, line 3 the web page, then the notes (the rest, line
// ends kept). Only CR ends a line; CR and LF bytes between the lines are
// skipped, so CR LF works and bare LF does not. All UTF-8. True and the
// reply set only when the whole body parsed; on false the reply is
// untouched.
bool parse_update_reply(const uint8_t* bytes, uint32_t size, cUpdateReply& reply);

// The longest one check may take, from the connect to the last byte, so
// that a server that answers a byte at a time cannot hold the caller.
const uint32_t update_check_time_limit_ms = 15000;

// One GET of the product's check address on the server (see
// update_server.h) and its reply parsed into reply, within
// update_check_time_limit_ms. Ends early, false, when the job (null: none)
// is asked to stop. False for a null code name, when sockets cannot be
// started, and for any failed exchange or reply; nothing is shown to the
// user.
bool query_update_server_at(const char* server_address, const char* code_name, cUpdateReply& reply,
                            const cJob* job);
// The same within a bound that several checks may share (their deadline
// and their job's stop flag): false at once when it has ended.
bool query_update_server_within(const char* server_address, const char* code_name, cUpdateReply& reply,
                                const cWaitBound& bound);

#endif
