#ifndef BASE_SOCKET_IO_H
#define BASE_SOCKET_IO_H

#include <stdint.h>

#include "base/file_io_target.h"
#include "base/tcp_socket.h"

class cWaitBound;

// A stream over a connected socket: reads wait up to the socket's receive
// time-out, writes are one send each. The socket is the caller's and stays
// open when the stream is destroyed; only Close closes it. Sizes and
// positions do not exist on a socket.
class cSocketIO : public cFileIOTarget {
public:
    // owned, when given, is deleted at Close and at destruction (it may be
    // the socket itself, for a stream that was handed a socket of its own).
    explicit cSocketIO(cTCPSocket* socket, cTCPSocket* owned = nullptr);
    ~cSocketIO() override;

    // All ones: unknown.
    uint64_t GetSize() override;
    // cTCPSocket::Receive with the socket's own time-out. A read that finds
    // the connection broken (reset, or a failed call) closes the stream, so
    // that its reader can tell the break from an orderly end, after which
    // the stream stays open and reads 0. Under a bound the wait is sliced,
    // and a bound that ends closes the stream the same way.
    int32_t Read(void* buffer, uint32_t count) override;
    // One send: its count, or 0 with the socket's status 1 (send failed)
    // or 4 (no connection).
    int32_t Write(const void* buffer, uint32_t count) override;
    bool Seek(uint64_t position) override;
    bool SeekFromEnd(uint64_t distance) override;
    bool SetSize(uint64_t size) override;
    // Closes the socket gracefully, forgets it and deletes the owned object.
    void Close() override;
    // A connected socket is held.
    bool IsOpen() override;

    // Not owned; null (the default) waits without one.
    void SetBound(const cWaitBound* new_bound) { bound = new_bound; }

private:
    int32_t BoundedReceive(void* buffer, int32_t length);

    cTCPSocket* socket;
    cTCPSocket* owned;
    const cWaitBound* bound;
};

#endif
