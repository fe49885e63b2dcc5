#ifndef BASE_HTTP_RESPONSE_H
#define BASE_HTTP_RESPONSE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/file_io_target.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

// The receiving side of one HTTP/1.x exchange: parses the status line and
// the headers and hands the body to the subclass in pieces of at most
// 64 KiB, in order, as they arrive. The HTTP status is not judged here; a
// subclass refuses what it cannot use from OnHeadersDone or OnBody.
class cHttpResponse {
public:
    static constexpr uint64_t no_content_length = UINT64_MAX;

    cHttpResponse();
    cHttpResponse(const cHttpResponse&) = delete;
    cHttpResponse& operator=(const cHttpResponse&) = delete;

    // Empties the header map; status code 0, no Content-Length, no header
    // to continue.
    virtual void Reset();
    // length (at least 1) body bytes that start offset bytes into the body.
    // Never past an announced Content-Length. False stops the exchange,
    // which then fails.
    virtual bool OnBody(const uint8_t* data, uint32_t length, uint64_t offset);
    // The head is complete: status code, Content-Length and headers are
    // set. False stops the exchange, which then fails.
    virtual bool OnHeadersDone();
    virtual ~cHttpResponse();

    // Whether the head announced a Content-Length (which may be 0).
    bool HasContentLength() const { return content_length != no_content_length; }

    // Reads one response from stream into response. True when the head was
    // complete within the head limit and the body ended as announced: all
    // Content-Length bytes delivered (bytes after them are not delivered),
    // or, without a Content-Length, the stream ended (the peer closed or a
    // read timed out) and is still open. False for a null or closed
    // stream, a stream that closed itself on a broken connection, a
    // malformed head (a header line that ParseHead refuses, a
    // Content-Length other than decimal digits, or too large, or two that
    // differ, and a Transfer-Encoding of any value, included), a head that
    // did not complete, a body cut short, or a refusal by the subclass.
    static bool Receive(cHttpResponse& response, cFileIOTarget* stream);

    // Parses the complete lines of the head in bytes: the status line
    // while the status code is 0, then headers, until the empty line that
    // ends the head (head_pending becomes false). A line ends in CR LF and
    // is complete only when both have arrived. A header line is a name of
    // token characters, a colon and the value, blanks and tabs around it
    // left out; a line that starts with a blank or a tab continues the
    // header before it, joined to its value by one blank. In: *count bytes
    // available; out: the bytes consumed (body bytes after the head are
    // not). False for a malformed line: a header name that is empty or
    // holds anything but token characters (a blank or a tab before the
    // colon among them), no colon, nothing after it, a NUL or an LF in the
    // line, a continuation right after the status line.
    static bool ParseHead(const uint8_t* bytes, cHttpResponse& response, uint32_t* count, bool* head_pending);

    // The most bytes a head (status line, headers and the empty line) may
    // take; a longer one fails the receive, so that a peer sending header
    // lines without end cannot hold the reader.
    static constexpr uint32_t head_limit = 65536;

    uint32_t status_code;                            // 0 until a status line was read
    uint64_t content_length;                         // no_content_length when none was announced
    cTreeMap<cPackedKey, _guardchar<char>> headers;  // by exact name; a repeated name keeps the last value
    _guardchar<char> last_header_name;               // the header a folded line continues; null before the first
};

#endif
