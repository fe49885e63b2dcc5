#include "base/tcp_socket.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/http_test_server.h"

namespace {

WinsockSession winsock;

const uint32_t loopback = htonl(INADDR_LOOPBACK);

uint32_t address_of(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    uint8_t bytes[4] = {a, b, c, d};
    uint32_t address;
    memcpy(&address, bytes, 4);
    return address;
}

// Connects to the test server and sends a GET of path.
void connect_and_ask(cTCPSocket& socket, const std::string& path)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    ASSERT_TRUE(socket.Connect(loopback, http_test_port()));
    std::string request = "GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_EQ(send(socket.handle, request.data(), int(request.size()), 0), int(request.size()));
}

struct DottedCase {
    const char* text;
    uint32_t address;
};

const DottedCase dotted_cases[] = {
    {"127.0.0.1", address_of(127, 0, 0, 1)},     {"1.2.3.4", address_of(1, 2, 3, 4)},
    {"0.0.0.0", address_of(0, 0, 0, 0)},         {"255.255.255.255", address_of(255, 255, 255, 255)},
    {"10.020.3.004", address_of(10, 20, 3, 4)},  {"192.168.100.200", address_of(192, 168, 100, 200)},
};

TEST(TCPSocket, DottedAddressesAreTakenAsTheyAre)
{
    for (const DottedCase& c : dotted_cases) {
        uint32_t address = 0;
        ASSERT_TRUE(cTCPSocket::Resolve(c.text, &address)) << c.text;
        EXPECT_EQ(address, c.address) << c.text;
    }
}

// Not four exact parts of 0 to 255: they go to name resolution, which knows
// no such hosts.
TEST(TCPSocket, NearlyDottedTextIsNoAddress)
{
    for (const char* text : {"1.2.3.4x", "1.2.3.-4", "-1.2.3.4", "1.2.3.256", "256.1.1.1", "1.2.3.4.5", "1.2..4",
                             "1.2.3.1000", "1.2.3.4:80", "1.2.3.4/"}) {
        uint32_t address = 0;
        EXPECT_FALSE(cTCPSocket::Resolve(text, &address)) << text;
    }
}

TEST(TCPSocket, LocalhostResolvesToLoopback)
{
    uint32_t address = 0;
    ASSERT_TRUE(cTCPSocket::Resolve("localhost", &address));
    EXPECT_EQ(address, loopback);
}

TEST(TCPSocket, NullOrEmptyHostIsRefused)
{
    uint32_t address = 0;
    EXPECT_FALSE(cTCPSocket::Resolve(nullptr, &address));
    EXPECT_FALSE(cTCPSocket::Resolve("", &address));
    EXPECT_FALSE(cTCPSocket::Resolve("127.0.0.1", nullptr));
}

TEST(TCPSocket, ConnectsToAListeningPort)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    cTCPSocket socket;
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
    EXPECT_EQ(socket.receive_timeout.tv_sec, 20);
    ASSERT_TRUE(socket.Connect(loopback, http_test_port()));
    EXPECT_EQ(socket.status, TCP_STATUS_OK);
    EXPECT_NE(socket.handle, INVALID_SOCKET);
    EXPECT_EQ(socket.peer.sin_family, AF_INET);
    EXPECT_EQ(ntohs(socket.peer.sin_port), http_test_port());
    EXPECT_EQ(socket.peer.sin_addr.s_addr, loopback);
}

// Refused at once (5), or reported as failed while awaited (3), depending on
// how the system hands back the refusal of a non-blocking connect.
TEST(TCPSocket, RefusedConnectionEndsWithoutSocket)
{
    ASSERT_NE(http_test_closed_port(), 0u) << "run through the HTTP test driver";
    cTCPSocket socket;
    EXPECT_FALSE(socket.Connect(loopback, http_test_closed_port()));
    EXPECT_TRUE(socket.status == TCP_STATUS_NO_ANSWER || socket.status == TCP_STATUS_SELECT_ERROR) << socket.status;
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
}

TEST(TCPSocket, PortOutsideTheRangeIsRefused)
{
    cTCPSocket socket;
    EXPECT_FALSE(socket.Connect(loopback, 0));
    EXPECT_EQ(socket.status, TCP_STATUS_SOCKET_ERROR);
    EXPECT_FALSE(socket.Connect(loopback, 65536));
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
}

TEST(TCPSocket, ReceiveWithoutSocketIsNotConnected)
{
    cTCPSocket socket;
    char buffer[16];
    EXPECT_EQ(socket.Receive(nullptr, buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.status, TCP_STATUS_NOT_CONNECTED);
}

TEST(TCPSocket, ReceiveReadsWhatTheServerSends)
{
    cTCPSocket socket;
    connect_and_ask(socket, "/length/100");
    std::string got;
    char buffer[4096];
    while (int32_t n = socket.Receive(nullptr, buffer, sizeof buffer))
        got.append(buffer, size_t(n));
    EXPECT_EQ(socket.status, TCP_STATUS_NOT_CONNECTED);  // the server closed after the body
    EXPECT_EQ(got, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + http_test_pattern(100));
}

TEST(TCPSocket, ReceiveFromASilentServerTimesOut)
{
    cTCPSocket socket;
    connect_and_ask(socket, "/silent");
    char buffer[16];
    timeval brief = {0, 200000};
    EXPECT_EQ(socket.Receive(&brief, buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.status, TCP_STATUS_NO_ANSWER);
    socket.receive_timeout = brief;
    EXPECT_EQ(socket.Receive(nullptr, buffer, sizeof buffer), 0);
    EXPECT_EQ(socket.status, TCP_STATUS_NO_ANSWER);
}

TEST(TCPSocket, CloseEndsTheConnectionAndKeepsTheStatus)
{
    cTCPSocket socket;
    connect_and_ask(socket, "/silent");
    char buffer[16];
    timeval brief = {0, 50000};
    EXPECT_EQ(socket.Receive(&brief, buffer, sizeof buffer), 0);
    socket.Close();
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
    EXPECT_EQ(socket.status, TCP_STATUS_NO_ANSWER);
    socket.Close();
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
}

// A peer that keeps sending cannot hold Close: it takes in a bounded amount
// and closes.
TEST(TCPSocket, CloseDoesNotWaitForAnEndlessPeer)
{
    cTCPSocket socket;
    connect_and_ask(socket, "/endless");
    char buffer[1024];
    ASSERT_GT(socket.Receive(nullptr, buffer, sizeof buffer), 0);
    socket.Close();
    EXPECT_EQ(socket.handle, INVALID_SOCKET);
}

}  // namespace
