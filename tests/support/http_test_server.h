#ifndef TESTS_SUPPORT_HTTP_TEST_SERVER_H
#define TESTS_SUPPORT_HTTP_TEST_SERVER_H

// The local HTTP test server that support/http_test_driver.py runs beside
// tests added with add_wine_test(... HTTP_SERVER); see
// support/http_test_server.py for its scripted responses.

#include <winsock2.h>

#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <string>

// Windows sockets for the whole test executable.
struct WinsockSession {
    WinsockSession()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() { WSACleanup(); }
};

inline uint32_t environment_port(const char* name)
{
    const char* text = getenv(name);
    return text ? uint32_t(atoi(text)) : 0;
}

// 0 when the test runs without the driver.
inline uint32_t http_test_port()
{
    return environment_port("HTTP_TEST_PORT");
}

// A port of 127.0.0.1 that nobody listens on.
inline uint32_t http_test_closed_port()
{
    return environment_port("HTTP_TEST_CLOSED_PORT");
}

inline std::string http_test_url(const std::string& path)
{
    return "http://127.0.0.1:" + std::to_string(http_test_port()) + path;
}

// What the server stored for the request of path: the raw request (".bin")
// or the parsed form (".form").
inline std::string http_test_recorded(const std::string& path, const char* suffix = ".bin")
{
    const char* folder = getenv("HTTP_TEST_REQUESTS");
    std::string name;
    for (char c : path)
        name += isalnum(static_cast<unsigned char>(c)) ? c : '_';
    std::ifstream in(std::string(folder ? folder : "") + name + suffix, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The body bytes of the server's sized responses.
inline std::string http_test_pattern(size_t n)
{
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i)
        bytes[i] = char((i * 31 + 7) & 0xFF);
    return bytes;
}

#endif
