#include "base/tcp_socket.h"

#include <string.h>

#include "base/dynamic_import.h"
#include "base/wait_bound.h"

namespace {

const uint32_t connect_wait_ms = 20000;
const timeval drain_wait = {0, 10000};
// What Close takes in at most before it closes regardless.
const int32_t drain_rounds = 64;

// Exactly "a.b.c.d", each part one to three decimal digits of at most 255.
bool parse_dotted_address(const char* text, uint32_t* address)
{
    uint8_t parts[4];
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *text++ != '.')
            return false;
        uint32_t value = 0;
        int digits = 0;
        for (; *text >= '0' && *text <= '9'; ++text, ++digits)
            value = value * 10 + uint32_t(*text - '0');
        if (digits < 1 || digits > 3 || value > 255)
            return false;
        parts[part] = uint8_t(value);
    }
    if (*text)
        return false;
    memcpy(address, parts, 4);
    return true;
}

// Whether the connection was reset rather than closed in order. recv
// reports a reset as an error; some socket layers report it as an orderly
// end instead, while their poll state still carries the error. Without
// WSAPoll (before Windows Vista) recv's answer stands. An ended connection
// is signalled at once, so the poll returns at once; it is given time
// rather than none because some socket layers answer a poll that times out
// while the state is changing with a fault.
bool connection_was_reset(SOCKET handle)
{
    typedef int(WSAAPI * poll_function)(WSAPOLLFD*, ULONG, INT);
    static const poll_function poll = dynamic_import<poll_function>(GetModuleHandleW(L"ws2_32.dll"), "WSAPoll");
    const int wait_ms = 1000;
    WSAPOLLFD state = {handle, POLLRDNORM, 0};
    return poll && poll(&state, 1, wait_ms) == 1 && (state.revents & POLLERR);
}

void set_blocking(SOCKET handle, bool blocking)
{
    u_long nonblocking = blocking ? 0 : 1;
    ioctlsocket(handle, FIONBIO, &nonblocking);
}

// Waits for the connection that connect started on the socket, whose
// FD_CONNECT is selected on event, at most connect_wait_ms and no longer
// than the bound lets it (a bound waits in slices and looks at its limits
// between them).
uint32_t wait_for_connection(SOCKET handle, WSAEVENT event, const cWaitBound* bound)
{
    for (uint32_t left_ms = connect_wait_ms; left_ms > 0;) {
        uint32_t slice_ms = bound ? bound->NextSlice(left_ms) : left_ms;
        if (slice_ms == 0 || (bound && bound->Ended()))
            break;
        DWORD waited = WaitForSingleObject(event, slice_ms);
        if (waited == WAIT_TIMEOUT) {
            left_ms -= slice_ms;
            continue;
        }
        WSANETWORKEVENTS events;
        if (waited != WAIT_OBJECT_0 || WSAEnumNetworkEvents(handle, event, &events) != 0)
            return TCP_STATUS_SOCKET_ERROR;
        if (events.lNetworkEvents & FD_CONNECT)
            return events.iErrorCode[FD_CONNECT_BIT] == 0 ? TCP_STATUS_OK : TCP_STATUS_SELECT_ERROR;
    }
    return TCP_STATUS_CONNECT_TIMEOUT;
}

}  // namespace

cTCPSocket::cTCPSocket() : handle(INVALID_SOCKET), receive_timeout{20, 0}, status(TCP_STATUS_OK), peer()
{
}

cTCPSocket::~cTCPSocket()
{
    Close();
}

bool cTCPSocket::Resolve(const char* host, uint32_t* address)
{
    if (!host || !host[0] || !address)
        return false;
    if (parse_dotted_address(host, address))
        return true;
    hostent* entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list ||
        !entry->h_addr_list[0])
        return false;
    memcpy(address, entry->h_addr_list[0], 4);
    return true;
}

bool cTCPSocket::Connect(uint32_t address, uint32_t port, const cWaitBound* bound)
{
    Close();
    peer = sockaddr_in();
    peer.sin_family = AF_INET;
    peer.sin_port = htons(u_short(port));
    peer.sin_addr.s_addr = address;
    if (port < 1 || port > 65535) {
        status = TCP_STATUS_SOCKET_ERROR;
        return false;
    }
    handle = socket(AF_INET, SOCK_STREAM, 0);
    if (handle == INVALID_SOCKET) {
        status = TCP_STATUS_SOCKET_ERROR;
        return false;
    }
    BOOL no_delay = TRUE;
    setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay), sizeof no_delay);

    // The connection is awaited on an event rather than with select, which
    // would need the socket in two sets (writable when it is made, failed
    // when it is not): some socket layers lose a change that comes between
    // their looks at the two. The selection also makes the socket
    // non-blocking, so that the wait is bounded.
    WSAEVENT event = WSACreateEvent();
    uint32_t outcome = TCP_STATUS_SOCKET_ERROR;
    if (event != WSA_INVALID_EVENT && WSAEventSelect(handle, event, FD_CONNECT) == 0) {
        if (connect(handle, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
            outcome = TCP_STATUS_OK;
        else if (WSAGetLastError() != WSAEWOULDBLOCK)
            outcome = TCP_STATUS_NO_ANSWER;
        else
            outcome = wait_for_connection(handle, event, bound);
        WSAEventSelect(handle, nullptr, 0);
    }
    if (event != WSA_INVALID_EVENT)
        WSACloseEvent(event);
    if (outcome == TCP_STATUS_OK)
        set_blocking(handle, true);
    else
        Close();
    status = outcome;
    return outcome == TCP_STATUS_OK;
}

int32_t cTCPSocket::Receive(const timeval* timeout, void* buffer, int32_t length)
{
    if (handle == INVALID_SOCKET) {
        status = TCP_STATUS_NOT_CONNECTED;
        return 0;
    }
    if (!buffer || length < 1) {
        status = TCP_STATUS_SOCKET_ERROR;
        return 0;
    }
    // Only the readable set: a connected socket's failures make it
    // readable (recv then tells them), and one socket in two sets of one
    // select is what some socket layers get wrong.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handle, &readable);
    timeval wait = timeout ? *timeout : receive_timeout;  // select takes it writable
    int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) {
        status = TCP_STATUS_SOCKET_ERROR;
        return 0;
    }
    if (!FD_ISSET(handle, &readable)) {
        status = TCP_STATUS_NO_ANSWER;
        return 0;
    }
    int got = recv(handle, static_cast<char*>(buffer), length, 0);
    if (got == SOCKET_ERROR || (got == 0 && connection_was_reset(handle))) {
        status = TCP_STATUS_SOCKET_ERROR;
        return 0;
    }
    status = got == 0 ? TCP_STATUS_NOT_CONNECTED : TCP_STATUS_OK;
    return got;
}

void cTCPSocket::Close()
{
    if (handle == INVALID_SOCKET)
        return;
    uint32_t kept = status;
    shutdown(handle, SD_SEND);
    char drain[1024];
    for (int32_t round = 0; round < drain_rounds && Receive(&drain_wait, drain, sizeof drain) > 0; ++round) {
    }
    closesocket(handle);
    handle = INVALID_SOCKET;
    status = kept;
}
