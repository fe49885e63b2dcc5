#include "base/http_exchange.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/wait_bound.h"

#include "tests/support/http_messages.h"
#include "tests/support/http_test_server.h"
#include "tests/support/idle_job.h"
#include "tests/support/test_data.h"

namespace {

WinsockSession winsock;

const std::string agent = "User-Agent: QRVNetHTTP (compatible; cross-platform)\r\n";

std::string host()
{
    return "Host: 127.0.0.1:" + std::to_string(http_test_port()) + "\r\n";
}

bool exchange(const std::string& path, cHttpResponse& response)
{
    EXPECT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    cHttpRequest request(http_test_url(path).c_str());
    cHttpTransport transport;
    return http_exchange(request, transport, response);
}

TEST(HttpExchange, PlainGetReachesTheServerAsSpecified)
{
    cResponseRecorder response;
    ASSERT_TRUE(exchange("/echo/plain", response));
    EXPECT_EQ(response.status_code, 200u);
    EXPECT_EQ(response.body, "ok");
    EXPECT_EQ(http_test_recorded("/echo/plain"), "GET /echo/plain HTTP/1.1\r\n" + host() + agent + "\r\n");
}

TEST(HttpExchange, HostNameIsResolvedAndSentAsWritten)
{
    std::string port = std::to_string(http_test_port());
    cHttpRequest request(("http://localhost:" + port + "/echo/localhost").c_str());
    cHttpTransport transport;
    cResponseRecorder response;
    ASSERT_TRUE(http_exchange(request, transport, response));
    EXPECT_EQ(http_test_recorded("/echo/localhost"),
              "GET /echo/localhost HTTP/1.1\r\nHost: localhost:" + port + "\r\n" + agent + "\r\n");
}

struct Field {
    const char* name;
    const char* type;
    const char* suffix;
    std::string data;
};

// A field as the server describes a form: hexadecimal, "-" when empty.
std::string described(const std::string& bytes)
{
    return bytes.empty() ? "-" : hex_of(bytes);
}

TEST(HttpExchange, MultipartFormIsParsedBackByTheServer)
{
    const char raw_bytes[] = "\0\x01\xff\r\n--not a boundary\r\n\nend\r";
    std::string binary(raw_bytes, sizeof raw_bytes - 1);
    const Field fields[] = {
        {"comment", nullptr, nullptr, "plain text"},
        {"upload", "application/octet-stream", "filename=\"setup.bin\"", binary},
        {"empty", "text/plain", nullptr, ""},
        {"note", nullptr, "filename=\"n.txt\"", "x"},
    };
    cHttpRequest request(http_test_url("/form/fields").c_str());
    request.method = HTTP_METHOD_POST;
    for (const Field& f : fields)
        add_field(request, f.name, f.type, f.suffix, f.data);
    cHttpTransport transport;
    cResponseRecorder response;
    ASSERT_TRUE(http_exchange(request, transport, response));

    std::istringstream form(http_test_recorded("/form/fields", ".form"));
    std::string word;
    int count = -1, defects = -1;
    form >> word >> count >> word >> defects;
    ASSERT_EQ(count, 4);
    EXPECT_EQ(defects, 0);
    for (const Field& f : fields) {
        std::string name, type, disposition, data;
        form >> word >> name >> type >> disposition >> data;
        EXPECT_EQ(name, described(f.name));
        EXPECT_EQ(type, described(f.type ? f.type : ""));
        std::string expected = std::string("form-data; name=\"") + f.name + "\"";
        if (f.suffix)
            expected += std::string("; ") + f.suffix;
        EXPECT_EQ(disposition, described(expected)) << f.name;
        EXPECT_EQ(data, described(f.data)) << f.name;
    }

    // The announced length is the length of what follows the head.
    std::string raw = http_test_recorded("/form/fields");
    size_t end = raw.find("\r\n\r\n");
    size_t at = raw.find("\r\nContent-Length: ");
    ASSERT_LT(at, end);
    EXPECT_EQ(std::stoul(raw.substr(at + 18)), raw.size() - end - 4);
    EXPECT_EQ(raw.substr(0, raw.find("Content-Type")), "POST /form/fields HTTP/1.1\r\n" + host() + agent);
}

struct ResponseCase {
    const char* path;
    bool result;
    uint32_t status;
    std::string body;
};

std::vector<ResponseCase> response_cases()
{
    return {
        {"/length/1000", true, 200, http_test_pattern(1000)},
        {"/length/200000", true, 200, http_test_pattern(200000)},
        {"/close/5000", true, 200, http_test_pattern(5000)},
        {"/short/10/5", false, 200, http_test_pattern(5)},
        {"/trickle/20", true, 200, http_test_pattern(20)},
        {"/status/404", true, 404, "not found"},
        {"/headers", true, 200, "abc"},
        {"/lengths/10/10", true, 200, http_test_pattern(10)},
        {"/lengths/5/10", false, 200, ""},
        {"/lengths/10/5", false, 200, ""},
        {"/reset/3000", false, 200, http_test_pattern(3000)},
        {"/longline", false, 200, ""},
        {"/empty", false, 0, ""},
    };
}

TEST(HttpExchange, ResponsesOfARealServer)
{
    for (const ResponseCase& c : response_cases()) {
        cResponseRecorder response;
        EXPECT_EQ(exchange(c.path, response), c.result) << c.path;
        EXPECT_EQ(response.status_code, c.status) << c.path;
        EXPECT_EQ(response.body, c.body) << c.path;
    }
}

TEST(HttpExchange, BoundsAndTheHeadLimitEndExchangesThatWouldNotEnd)
{
    struct Case {
        const char* path;
        uint32_t total_ms;  // 0: no deadline
        int stop_after_ms;  // -1: no stop
        bool result;
        size_t body;         // bytes delivered at least
        double at_least_s;   // the exchange lasted this long...
        double at_most_s;    // ...and no longer than this
    } cases[] = {
        // A byte every 300 ms of 100: each read is quick, the whole is not.
        {"/drip/300/100", 1000, -1, false, 1, 0.9, 2.5},
        // Within the deadline the same kind of answer completes.
        {"/drip/20/10", 5000, -1, true, 10, 0.1, 4.0},
        // Silent: only the stop flag ends the 30 s wait.
        {"/silent", 0, 500, false, 0, 0.4, 2.0},
        // Header lines without end: the head limit.
        {"/headerflood", 0, -1, false, 0, 0.0, 10.0},
    };
    for (const Case& c : cases) {
        cIdleJob job;
        cWaitBound bound(c.total_ms, &job);
        std::thread stopper([&]() {
            if (c.stop_after_ms >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.stop_after_ms));
                job.RequestStop();
            }
        });
        cHttpRequest request(http_test_url(c.path).c_str());
        cHttpTransport transport;
        cResponseRecorder response;
        auto start = std::chrono::steady_clock::now();
        bool result = http_exchange(request, transport, response, &bound);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        stopper.join();
        EXPECT_EQ(result, c.result) << c.path;
        EXPECT_GE(response.body.size(), c.body) << c.path;
        EXPECT_EQ(response.body, http_test_pattern(response.body.size())) << c.path;
        EXPECT_GE(seconds, c.at_least_s) << c.path;
        EXPECT_LE(seconds, c.at_most_s) << c.path;
    }
}

TEST(HttpExchange, ConnectionStaysOpenUntilTheNextExchange)
{
    cHttpRequest request(http_test_url("/length/10").c_str());
    cHttpTransport transport;
    cResponseRecorder first, second;
    ASSERT_TRUE(http_exchange(request, transport, first));
    EXPECT_NE(transport.handle, INVALID_SOCKET);
    EXPECT_EQ(transport.receive_timeout.tv_sec, 30);
    ASSERT_TRUE(http_exchange(request, transport, second));
    EXPECT_EQ(second.body, http_test_pattern(10));
}

TEST(HttpExchange, RefusedConnectionFailsAtOnce)
{
    ASSERT_NE(http_test_closed_port(), 0u) << "run through the HTTP test driver";
    cHttpRequest request(("http://127.0.0.1:" + std::to_string(http_test_closed_port()) + "/").c_str());
    cHttpTransport transport;
    cResponseRecorder response;
    EXPECT_FALSE(http_exchange(request, transport, response));
    EXPECT_TRUE(transport.status == TCP_STATUS_NO_ANSWER || transport.status == TCP_STATUS_SELECT_ERROR)
        << transport.status;
    EXPECT_EQ(transport.handle, INVALID_SOCKET);
}

TEST(HttpExchange, UnresolvedHostIsNotConnected)
{
    cHttpRequest request("http://1.2.3.-4:1/");
    cHttpTransport transport;
    cResponseRecorder response;
    EXPECT_FALSE(http_exchange(request, transport, response));
    EXPECT_EQ(transport.status, TCP_STATUS_NOT_CONNECTED);
}

TEST(HttpExchange, RequestThatCannotBeSerializedIsNotSent)
{
    cHttpRequest request;
    cHttpTransport transport;
    cResponseRecorder response;
    EXPECT_FALSE(http_exchange(request, transport, response));
    EXPECT_EQ(transport.handle, INVALID_SOCKET);
}

}  // namespace
