#ifndef BASE_HTTP_EXCHANGE_H
#define BASE_HTTP_EXCHANGE_H

#include "base/http_request.h"
#include "base/http_response.h"
#include "base/tcp_socket.h"

class cWaitBound;

// The connection of HTTP exchanges: at most one at a time, replaced by the
// next exchange and closed at destruction.
class cHttpTransport : public cTCPClient {};

// One request and its response over a new connection of transport: the
// request is sent whole, and every receive then waits at most 30 s. True
// when the response was received completely (whatever its HTTP status);
// on a socket-level failure the transport's status tells the cause (4 when
// the host name did not resolve). The connection stays open in transport.
// A bound (not owned; null for none) limits the connect and the receives:
// once it ends, the exchange fails within a slice of it. The caller has
// started Windows sockets.
bool http_exchange(cHttpRequest& request, cHttpTransport& transport, cHttpResponse& response,
                   const cWaitBound* bound = nullptr);

#endif
