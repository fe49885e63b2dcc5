#include "base/http_request.h"

#include <gtest/gtest.h>

#include <string>

#include "base/clock.h"
#include <windows.h>
#include "tests/support/heap_probe.h"
#include "tests/support/http_messages.h"

namespace {

const std::string agent = "User-Agent: QRVNetHTTP (compatible; cross-platform)\r\n";

std::string text(const _guardchar<char>& s)
{
    return s.Text() ? s.Text() : "";
}

std::string serialize(cHttpRequest& request)
{
    _typebuf<uint8_t> out;
    EXPECT_TRUE(request.Serialize(out));
    return std::string(reinterpret_cast<const char*>(out.Data()), size_t(out.Count()));
}

struct UrlCase {
    const char* address;
    const char* host;
    const char* authority;
    uint32_t port;
    const char* path;
};

const UrlCase accepted_urls[] = {
    {"HTTP://h/x", "h", "h", 80, "/x"},
    {"hTtP://Example.COM/Path", "Example.COM", "Example.COM", 80, "/Path"},
    {"http://h", "h", "h", 80, "/"},
    {"http://h/", "h", "h", 80, "/"},
    {"http://h//a", "h", "h", 80, "//a"},
    // The fragment is not sent, wherever it begins.
    {"http://h:8080/p?q=1&r=[2]#f", "h", "h:8080", 8080, "/p?q=1&r=[2]"},
    {"http://h:8080#f/x", "h", "h:8080", 8080, "/"},
    {"http://127.0.0.1:1", "127.0.0.1", "127.0.0.1:1", 1, "/"},
    {"http://h:65535/", "h", "h:65535", 65535, "/"},
    {"http://h:00080/", "h", "h:00080", 80, "/"},
    {"http://h/!$%&'()*+,-.:;=?@_~", "h", "h", 80, "/!$%&'()*+,-.:;=?@_~"},
};

TEST(HttpRequest, SetUrlSplitsAddresses)
{
    for (const UrlCase& c : accepted_urls) {
        cHttpRequest request;
        ASSERT_TRUE(request.SetUrl(c.address)) << c.address;
        EXPECT_EQ(text(request.host_name), c.host) << c.address;
        EXPECT_EQ(text(request.authority), c.authority) << c.address;
        EXPECT_EQ(request.port, c.port) << c.address;
        EXPECT_EQ(text(request.path), c.path) << c.address;
    }
}

const char* const refused_urls[] = {
    "http://h:0/", "http://h:70000/", "http://h:65536/", "http://h:99999999999999999999/", "http://h:/",
    "http://h:", "http://h:8a/", "http://h:80:81/", "http://[::1]:80/", "http:///x", "http://:80/", "http://",
    "http://h/a b", "http://h/a\tb", "http://h/a\"b", "http://h/<a>", "http://h/a\\b", "http://h/{a}|^`",
    "http://h/\x7f", "http://h/\xc3\xa4", "https://h/", "ftp://h/", "http:/h/", "http://#f", "",
};

TEST(HttpRequest, SetUrlRefusesMalformedAddresses)
{
    for (const char* address : refused_urls) {
        cHttpRequest request;
        EXPECT_FALSE(request.SetUrl(address)) << address;
    }
}

TEST(HttpRequest, RefusedAddressLeavesTheEarlierOne)
{
    cHttpRequest request("http://h:81/p");
    EXPECT_FALSE(request.SetUrl(nullptr));
    EXPECT_FALSE(request.SetUrl("http://other:0/q"));
    EXPECT_EQ(text(request.authority), "h:81");
    EXPECT_EQ(request.port, 81u);
    EXPECT_EQ(text(request.path), "/p");
}

TEST(HttpRequest, StartsAsGetOverHttp11WithoutAddress)
{
    cHttpRequest request;
    EXPECT_EQ(request.method, HTTP_METHOD_GET);
    EXPECT_EQ(request.version, HTTP_VERSION_1_1);
    EXPECT_EQ(request.port, 0u);
    EXPECT_TRUE(request.host_name.IsEmpty());
    EXPECT_EQ(request.extra_headers.depth_limit, 1024u);
    _typebuf<uint8_t> out;
    EXPECT_FALSE(request.Serialize(out));
}

// Without fields a request is its head alone; a GET ignores fields. The
// Host header carries the port only where the address wrote one.
TEST(HttpRequest, PlainRequestsAreRequestLineHostAgentAndEmptyLine)
{
    const struct {
        const char* address;
        uint32_t method;
        bool field;
        std::string head;
    } cases[] = {
        {"http://h/x", HTTP_METHOD_GET, false, "GET /x HTTP/1.1\r\nHost: h\r\n"},
        {"http://h:8080/p", HTTP_METHOD_GET, false, "GET /p HTTP/1.1\r\nHost: h:8080\r\n"},
        {"http://h/", HTTP_METHOD_GET, true, "GET / HTTP/1.1\r\nHost: h\r\n"},
        {"http://h/p", HTTP_METHOD_POST, false, "POST /p HTTP/1.1\r\nHost: h\r\n"},
    };
    for (const auto& c : cases) {
        cHttpRequest request(c.address);
        request.method = c.method;
        if (c.field)
            add_field(request, "a", nullptr, nullptr, "1");
        EXPECT_EQ(serialize(request), c.head + agent + "\r\n") << c.address;
    }
}

TEST(HttpRequest, OwnAgentVersionAndHeadersInNameOrder)
{
    cHttpRequest request("http://h/q?a=1");
    request.version = HTTP_VERSION_1_0;
    request.user_agent.Assign("tester/2");
    add_header(request, "b-x", "3");
    add_header(request, "a", "2");
    add_header(request, "A", "old");
    add_header(request, "A", "1");
    EXPECT_EQ(serialize(request), "GET /q?a=1 HTTP/1.0\r\nHost: h\r\nUser-Agent: tester/2\r\n"
                                  "A: 1\r\na: 2\r\nb-x: 3\r\n\r\n");
}

TEST(HttpRequest, PostWithFieldsIsMultipartUnderAClockBoundary)
{
    cHttpRequest request("http://h/up");
    request.method = HTTP_METHOD_POST;
    add_field(request, "plain", nullptr, nullptr, "hello");
    add_field(request, "file", "application/octet-stream", "filename=\"a.bin\"", std::string("\0\xff\r\n", 4));
    add_field(request, "empty", "text/plain", nullptr, "");

    uint64_t before = clock_now_us();
    std::string bytes = serialize(request);
    uint64_t after = clock_now_us();

    const std::string marker = "boundary=";
    size_t at = bytes.find(marker);
    ASSERT_NE(at, std::string::npos);
    std::string boundary = bytes.substr(at + marker.size(), bytes.find("\r\n", at) - at - marker.size());
    ASSERT_GT(boundary.size(), 22u);
    EXPECT_EQ(boundary.substr(0, 14), "----qrvnethttp");
    EXPECT_EQ(boundary.substr(boundary.size() - 4), "----");
    std::string hex = boundary.substr(14, boundary.size() - 18);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << hex;
    uint64_t stamp = std::stoull(hex, nullptr, 16);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);

    std::string body = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"plain\"\r\n\r\nhello\r\n" +
                       "--" + boundary +
                       "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a.bin\"\r\n"
                       "Content-Type: application/octet-stream\r\n\r\n" +
                       std::string("\0\xff\r\n", 4) + "\r\n" + "--" + boundary +
                       "\r\nContent-Disposition: form-data; name=\"empty\"\r\nContent-Type: text/plain\r\n\r\n\r\n" +
                       "--" + boundary + "--\r\n\r\n";
    EXPECT_EQ(bytes, "POST /up HTTP/1.1\r\nHost: h\r\n" + agent +
                         "Content-Type: multipart/form-data; boundary=" + boundary + "\r\n" +
                         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

TEST(HttpRequest, EachSerializationGetsANewBoundary)
{
    cHttpRequest request("http://h/up");
    request.method = HTTP_METHOD_POST;
    add_field(request, "a", nullptr, nullptr, "1");
    std::string first = serialize(request);
    Sleep(1);
    std::string second = serialize(request);
    EXPECT_NE(first, second);
    EXPECT_EQ(first.size(), second.size());
}

TEST(HttpRequest, UnknownMethodOrVersionIsRefused)
{
    _typebuf<uint8_t> out;
    cHttpRequest method("http://h/");
    method.method = 2;
    EXPECT_FALSE(method.Serialize(out));
    cHttpRequest version("http://h/");
    version.version = 2;
    EXPECT_FALSE(version.Serialize(out));
}

TEST(HttpRequest, GivesBackEveryBlock)
{
    cHeapBalance balance;
    cHttpRequest request("http://h:8080/up");
    request.method = HTTP_METHOD_POST;
    add_header(request, "X-Test", "1");
    add_field(request, "file", "text/plain", "filename=\"x\"", std::string(100000, 'x'));
    _typebuf<uint8_t> out;
    ASSERT_TRUE(request.Serialize(out));
    EXPECT_GT(out.Count(), 100000);
}

}  // namespace
