#include "base/http_exchange.h"

#include "base/socket_io.h"

namespace {

const timeval exchange_receive_timeout = {30, 0};

}  // namespace

bool http_exchange(cHttpRequest& request, cHttpTransport& transport, cHttpResponse& response,
                   const cWaitBound* bound)
{
    _typebuf<uint8_t> bytes;
    if (!request.Serialize(bytes) || bytes.Count() == 0)
        return false;

    transport.Close();
    uint32_t address;
    if (!cTCPSocket::Resolve(request.host_name.Text(), &address)) {
        transport.status = TCP_STATUS_NOT_CONNECTED;
        return false;
    }
    if (!transport.Connect(address, request.port, bound))
        return false;
    transport.receive_timeout = exchange_receive_timeout;

    cSocketIO stream(&transport);
    stream.SetBound(bound);
    for (int32_t sent = 0; sent < bytes.Count();) {
        int32_t moved = stream.Write(bytes.Data() + sent, uint32_t(bytes.Count() - sent));
        if (moved <= 0)
            return false;
        sent += moved;
    }
    return stream.IsOpen() && cHttpResponse::Receive(response, &stream);
}
