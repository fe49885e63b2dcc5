#include "base/socket_io.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/byte_stream.h"
#include "tests/support/http_test_server.h"

namespace {

WinsockSession winsock;

// A socket that tells when it is destroyed.
class WatchedSocket : public cTCPSocket {
public:
    explicit WatchedSocket(bool* gone) : destroyed(gone) {}
    ~WatchedSocket() override { *destroyed = true; }

private:
    bool* destroyed;
};

void connect_to_server(cTCPSocket& socket)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    ASSERT_TRUE(socket.Connect(htonl(INADDR_LOOPBACK), http_test_port()));
}

TEST(SocketIO, WritesARequestAndReadsTheAnswer)
{
    cTCPSocket socket;
    connect_to_server(socket);
    cSocketIO stream(&socket);
    ASSERT_TRUE(stream.IsOpen());
    std::string request = "GET /length/3000 HTTP/1.0\r\n\r\n";
    EXPECT_EQ(stream.Write(request.data(), uint32_t(request.size())), int32_t(request.size()));
    EXPECT_EQ(socket.status, TCP_STATUS_OK);
    std::vector<uint8_t> answer = read_to_end(stream, {1000});
    EXPECT_EQ(std::string(answer.begin(), answer.end()), "HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + http_test_pattern(3000));
    EXPECT_EQ(socket.status, TCP_STATUS_NOT_CONNECTED);
    EXPECT_EQ(http_test_recorded("/length/3000"), request);
}

TEST(SocketIO, HasNoSizeAndNoPosition)
{
    cTCPSocket socket;
    cSocketIO stream(&socket);
    EXPECT_EQ(stream.GetSize(), UINT64_MAX);
    EXPECT_FALSE(stream.Seek(0));
    EXPECT_FALSE(stream.SeekFromEnd(0));
    EXPECT_FALSE(stream.SetSize(0));
    EXPECT_EQ(stream.GetKind(), 0u);
}

TEST(SocketIO, WithoutConnectionNothingMoves)
{
    cTCPSocket socket;
    cSocketIO stream(&socket);
    EXPECT_FALSE(stream.IsOpen());
    char buffer[8] = {};
    EXPECT_EQ(stream.Write(buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.status, TCP_STATUS_NOT_CONNECTED);
    socket.status = TCP_STATUS_OK;
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.status, TCP_STATUS_NOT_CONNECTED);

    cSocketIO nothing(nullptr);
    EXPECT_FALSE(nothing.IsOpen());
    EXPECT_EQ(nothing.Read(buffer, sizeof buffer), 0);
    EXPECT_EQ(nothing.Write(buffer, sizeof buffer), 0);
}

TEST(SocketIO, ReadWaitsForTheSocketsOwnTimeout)
{
    cTCPSocket socket;
    connect_to_server(socket);
    cSocketIO stream(&socket);
    std::string request = "GET /silent HTTP/1.0\r\n\r\n";
    ASSERT_TRUE(stream.WriteExact(request.data(), uint32_t(request.size())));
    socket.receive_timeout = {0, 200000};
    char buffer[16];
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.status, TCP_STATUS_NO_ANSWER);
    EXPECT_TRUE(stream.IsOpen());
}

TEST(SocketIO, CloseClosesTheSocketAndDeletesTheOwnedObject)
{
    cTCPSocket socket;
    connect_to_server(socket);
    bool gone = false;
    cSocketIO stream(&socket, new WatchedSocket(&gone));
    stream.Close();
    EXPECT_TRUE(gone);
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
    stream.Close();
}

TEST(SocketIO, DestructionLeavesTheSocketOpen)
{
    cTCPSocket socket;
    connect_to_server(socket);
    bool gone = false;
    {
        cSocketIO stream(&socket, new WatchedSocket(&gone));
    }
    EXPECT_TRUE(gone);
    EXPECT_NE(socket.handle, INVALID_SOCKET);
}

TEST(SocketIO, OwnedSocketCanBeTheStreamsOwn)
{
    bool gone = false;
    WatchedSocket* own = new WatchedSocket(&gone);
    connect_to_server(*own);
    cSocketIO stream(own, own);
    EXPECT_TRUE(stream.IsOpen());
    stream.Close();
    EXPECT_TRUE(gone);
    EXPECT_FALSE(stream.IsOpen());
}

}  // namespace
