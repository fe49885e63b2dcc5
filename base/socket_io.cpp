#include "base/socket_io.h"

#include "base/wait_bound.h"

cSocketIO::cSocketIO(cTCPSocket* stream_socket, cTCPSocket* owned_object)
    : socket(stream_socket), owned(owned_object), bound(nullptr)
{
}

cSocketIO::~cSocketIO()
{
    delete owned;
}

uint64_t cSocketIO::GetSize()
{
    return UINT64_MAX;
}

int32_t cSocketIO::Read(void* buffer, uint32_t count)
{
    if (!socket || !buffer || count == 0)
        return 0;
    int32_t length = int32_t(io_clamp_count(count));
    int32_t got = bound ? BoundedReceive(buffer, length) : socket->Receive(nullptr, buffer, length);
    if (got == 0 && socket && socket->status == TCP_STATUS_SOCKET_ERROR)
        Close();
    return got;
}

int32_t cSocketIO::BoundedReceive(void* buffer, int32_t length)
{
    const timeval& whole = socket->receive_timeout;
    uint32_t left_ms = uint32_t(whole.tv_sec) * 1000 + uint32_t(whole.tv_usec) / 1000;
    while (left_ms > 0) {
        uint32_t slice_ms = bound->NextSlice(left_ms);
        if (slice_ms == 0 || bound->Ended())
            break;
        timeval wait = {long(slice_ms / 1000), long(slice_ms % 1000 * 1000)};
        int32_t got = socket->Receive(&wait, buffer, length);
        if (got > 0 || socket->status != TCP_STATUS_NO_ANSWER)
            return got;
        left_ms -= slice_ms;
    }
    if (left_ms > 0) {
        // Cut off rather than ended: the reader must not take it for the
        // peer's orderly end.
        Close();
    }
    return 0;
}

int32_t cSocketIO::Write(const void* buffer, uint32_t count)
{
    if (!socket)
        return 0;
    if (socket->handle == INVALID_SOCKET) {
        socket->status = TCP_STATUS_NOT_CONNECTED;
        return 0;
    }
    if (!buffer || count == 0)
        return 0;
    int sent = send(socket->handle, static_cast<const char*>(buffer), int(io_clamp_count(count)), 0);
    if (sent == SOCKET_ERROR) {
        socket->status = TCP_STATUS_SOCKET_ERROR;
        return 0;
    }
    socket->status = TCP_STATUS_OK;
    return sent;
}

bool cSocketIO::Seek(uint64_t)
{
    return false;
}

bool cSocketIO::SeekFromEnd(uint64_t)
{
    return false;
}

bool cSocketIO::SetSize(uint64_t)
{
    return false;
}

void cSocketIO::Close()
{
    if (socket)
        socket->Close();
    socket = nullptr;
    delete owned;
    owned = nullptr;
}

bool cSocketIO::IsOpen()
{
    return socket && socket->handle != INVALID_SOCKET;
}
