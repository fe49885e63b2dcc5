#ifndef BASE_TCP_SOCKET_H
#define BASE_TCP_SOCKET_H

#include <winsock2.h>

#include <stdint.h>

class cWaitBound;

// What the last operation of a socket ended with.
enum : uint32_t {
    TCP_STATUS_OK = 0,
    TCP_STATUS_SOCKET_ERROR = 1,     // a call answered SOCKET_ERROR, the peer reset, or no socket could be made
    TCP_STATUS_CONNECT_TIMEOUT = 2,  // the connection was not made within the wait
    TCP_STATUS_SELECT_ERROR = 3,     // the connection failed while it was awaited
    TCP_STATUS_NOT_CONNECTED = 4,    // no socket, closed by the peer, or host not resolved
    TCP_STATUS_NO_ANSWER = 5,        // refused at once, or nothing readable within the time-out
};

// A blocking IPv4 TCP connection over Windows sockets (the caller has
// started them with WSAStartup). Owns its SOCKET; destruction closes it.
// One thread at a time.
class cTCPSocket {
public:
    cTCPSocket();
    virtual ~cTCPSocket();
    cTCPSocket(const cTCPSocket&) = delete;
    cTCPSocket& operator=(const cTCPSocket&) = delete;

    // The IPv4 address of host in network byte order. Exactly four decimal
    // parts 0 to 255 joined by dots are taken as the address; any other text
    // goes to name resolution, whose first address is taken. False for a
    // null or empty host and when resolution finds nothing.
    static bool Resolve(const char* host, uint32_t* address);

    // Closes any earlier connection, then connects to address (network
    // byte order) and port (1 to 65535), waiting at most 20 s, and no
    // longer than the bound lets it (status 2 then). The status tells why
    // it failed; no socket is held then.
    bool Connect(uint32_t address, uint32_t port, const cWaitBound* bound = nullptr);

    // Waits up to timeout (null: receive_timeout) for bytes and reads what
    // is there, at most length. 0 when nothing came; the status tells
    // whether the peer closed in order (4), the wait ran out (5), or a
    // call failed or the peer reset the connection (1).
    int32_t Receive(const timeval* timeout, void* buffer, int32_t length);

    // Ends sending, takes in briefly what the peer still sends (a bounded
    // amount, so that a peer that keeps sending cannot hold the caller),
    // and closes the socket. Keeps the status of the last operation.
    void Close();

    SOCKET handle;            // INVALID_SOCKET when none is held
    timeval receive_timeout;  // 20 s until the owner sets another
    uint32_t status;          // TCP_STATUS_*
    sockaddr_in peer;         // the address of the last Connect
};

class cTCPClient : public cTCPSocket {};

#endif
