#include "base/http_exchange.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/mem_io_target.h"
#include "base/socket_io.h"
#include "tests/support/http_test_server.h"

namespace {

WinsockSession winsock;

const std::string agent = "User-Agent: QRVNetHTTP (compatible; cross-platform)\r\n";

// Keeps the body and checks that pieces arrive in order.
class Collector : public cHttpResponse {
public:
    bool OnBody(const uint8_t* data, uint32_t length, uint64_t offset) override
    {
        EXPECT_GT(length, 0u);
        EXPECT_LE(length, 65536u);
        EXPECT_EQ(offset, body.size());
        body.append(reinterpret_cast<const char*>(data), length);
        return true;
    }

    std::string Header(const char* name)
    {
        cPackedKey key;
        packedkey_from_str(key, name, -1);
        _guardchar<char>* value = tree_find_value(headers, static_cast<cPackedKey&&>(key));
        return value && value->Text() ? value->Text() : "<none>";
    }

    std::string body;
};

// The update check's receiver: keeps the body of a 200 response that
// announced 1 to 65536 bytes in a memory stream, and refuses the rest.
class PlainDataReader : public cHttpResponse {
public:
    bool OnHeadersDone() override
    {
        if (status_code != 200 || !HasContentLength() || content_length < 1 || content_length > 65536)
            return false;
        data.SetSize(0);
        return data.Seek(0);
    }
    bool OnBody(const uint8_t* bytes, uint32_t length, uint64_t) override { return data.WriteExact(bytes, length); }

    std::string Data()
    {
        _typebuf<uint8_t> bytes;
        data.CopyTo(bytes);
        return std::string(reinterpret_cast<const char*>(bytes.Data()), size_t(bytes.Count()));
    }

    cMemIOTarget data;
};

// The update download's receiver: writes the body to its output, reports
// offset x 100 / Content-Length percent after each piece while a length is
// known, and records error 3 for a status other than 200. The base class
// hands it no piece of an empty body, so a Content-Length of 0 never
// reaches the division.
class UpdateDownloader : public cHttpResponse {
public:
    bool OnHeadersDone() override
    {
        if (status_code == 200)
            return true;
        error = 3;
        return false;
    }
    bool OnBody(const uint8_t* bytes, uint32_t length, uint64_t offset) override
    {
        if (length && !output.WriteExact(bytes, length)) {
            error = 4;
            return false;
        }
        if (HasContentLength())
            progress.push_back(offset * 100 / content_length);
        received += length;
        return true;
    }

    cMemIOTarget output;
    std::vector<uint64_t> progress;
    uint64_t received = 0;
    int error = 0;
};

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

void add_header(cHttpRequest& request, const char* name, const char* value)
{
    cPackedKey key;
    packedkey_from_str(key, name, -1);
    tree_get_or_add(request.extra_headers, static_cast<cPackedKey&&>(key))->Assign(value);
}

TEST(HttpExchange, PlainGetReachesTheServerAsSpecified)
{
    Collector response;
    ASSERT_TRUE(exchange("/echo/plain", response));
    EXPECT_EQ(response.status_code, 200u);
    EXPECT_EQ(response.body, "ok");
    EXPECT_EQ(http_test_recorded("/echo/plain"), "GET /echo/plain HTTP/1.1\r\n" + host() + agent + "\r\n");
}

TEST(HttpExchange, GetWithAgentHeadersAndHttp10ReachesTheServerAsSpecified)
{
    std::string path = "/echo/query?a=1&b=[2]";
    cHttpRequest request(http_test_url(path).c_str());
    request.version = HTTP_VERSION_1_0;
    request.user_agent.Assign("tester/1.0 (x)");
    add_header(request, "X-Second", "2");
    add_header(request, "Accept", "*/*");
    cHttpTransport transport;
    Collector response;
    ASSERT_TRUE(http_exchange(request, transport, response));
    EXPECT_EQ(http_test_recorded(path), "GET " + path + " HTTP/1.0\r\n" + host() +
                                            "User-Agent: tester/1.0 (x)\r\nAccept: */*\r\nX-Second: 2\r\n\r\n");
}

TEST(HttpExchange, HostNameIsResolvedAndSentAsWritten)
{
    std::string port = std::to_string(http_test_port());
    cHttpRequest request(("http://localhost:" + port + "/echo/localhost").c_str());
    cHttpTransport transport;
    Collector response;
    ASSERT_TRUE(http_exchange(request, transport, response));
    EXPECT_EQ(http_test_recorded("/echo/localhost"),
              "GET /echo/localhost HTTP/1.1\r\nHost: localhost:" + port + "\r\n" + agent + "\r\n");
}

TEST(HttpExchange, PostWithoutFieldsSendsOnlyTheHead)
{
    cHttpRequest request(http_test_url("/echo/post").c_str());
    request.method = HTTP_METHOD_POST;
    cHttpTransport transport;
    Collector response;
    ASSERT_TRUE(http_exchange(request, transport, response));
    EXPECT_EQ(http_test_recorded("/echo/post"), "POST /echo/post HTTP/1.1\r\n" + host() + agent + "\r\n");
}

struct Field {
    const char* name;
    const char* type;
    const char* suffix;
    std::string data;
};

std::string hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
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
    for (const Field& f : fields) {
        cHttpFormField* field = list_append(request.form_fields);
        ASSERT_NE(field, nullptr);
        field->name.Assign(f.name);
        field->content_type.Assign(f.type);
        field->disposition_suffix.Assign(f.suffix);
        field->data.Resize(int32_t(f.data.size()));
        std::copy(f.data.begin(), f.data.end(), field->data.Data());
    }
    cHttpTransport transport;
    Collector response;
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
        EXPECT_EQ(name, hex(f.name));
        EXPECT_EQ(type, hex(f.type ? f.type : ""));
        std::string expected = std::string("form-data; name=\"") + f.name + "\"";
        if (f.suffix)
            expected += std::string("; ") + f.suffix;
        EXPECT_EQ(disposition, hex(expected)) << f.name;
        EXPECT_EQ(data, hex(f.data)) << f.name;
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
        {"/split-head", true, 200, "hello"},
        {"/extra/100", true, 200, http_test_pattern(100)},
        {"/status/404", true, 404, "not found"},
        {"/headers", true, 200, "abc"},
        {"/bad/zero", false, 0, ""},
        {"/bad/garbage", false, 0, ""},
        {"/bad/http2", false, 0, ""},
        {"/bad/cut", false, 0, ""},
        {"/bad/nocolon", false, 200, ""},
        {"/bad/negative", false, 200, ""},
        {"/bad/headless", false, 200, ""},
        {"/bad/overflow", false, 200, ""},
        {"/bad/trailing", false, 200, ""},
        {"/reset/3000", false, 200, http_test_pattern(3000)},
        {"/longline", false, 200, ""},
        {"/empty", false, 0, ""},
    };
}

TEST(HttpExchange, ResponsesOfARealServer)
{
    for (const ResponseCase& c : response_cases()) {
        Collector response;
        EXPECT_EQ(exchange(c.path, response), c.result) << c.path;
        EXPECT_EQ(response.status_code, c.status) << c.path;
        EXPECT_EQ(response.body, c.body) << c.path;
    }
}

TEST(HttpExchange, HeadersOfTheResponseAreKept)
{
    Collector split;
    ASSERT_TRUE(exchange("/split-head", split));
    EXPECT_EQ(split.Header("X-A"), "1");
    EXPECT_EQ(split.content_length, 5u);

    Collector headers;
    ASSERT_TRUE(exchange("/headers", headers));
    EXPECT_EQ(headers.Header("Location"), "http://h/x");
    EXPECT_EQ(headers.Header("X-Twice"), "second");
    EXPECT_EQ(headers.content_length, 3u);
}

TEST(HttpExchange, ConnectionStaysOpenUntilTheNextExchange)
{
    cHttpRequest request(http_test_url("/length/10").c_str());
    cHttpTransport transport;
    Collector first, second;
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
    Collector response;
    EXPECT_FALSE(http_exchange(request, transport, response));
    EXPECT_TRUE(transport.status == TCP_STATUS_NO_ANSWER || transport.status == TCP_STATUS_SELECT_ERROR)
        << transport.status;
    EXPECT_EQ(transport.handle, INVALID_SOCKET);
}

TEST(HttpExchange, UnresolvedHostIsNotConnected)
{
    cHttpRequest request("http://1.2.3.-4:1/");
    cHttpTransport transport;
    Collector response;
    EXPECT_FALSE(http_exchange(request, transport, response));
    EXPECT_EQ(transport.status, TCP_STATUS_NOT_CONNECTED);
}

TEST(HttpExchange, RequestThatCannotBeSerializedIsNotSent)
{
    cHttpRequest request;
    cHttpTransport transport;
    Collector response;
    EXPECT_FALSE(http_exchange(request, transport, response));
    EXPECT_EQ(transport.handle, INVALID_SOCKET);
}

// http_exchange waits 30 s for a server that never answers; the same
// receive, over the same stream, is shown here with a short time-out.
TEST(HttpExchange, ServerThatNeverAnswersEndsWithNoAnswer)
{
    cHttpTransport transport;
    ASSERT_TRUE(transport.Connect(htonl(INADDR_LOOPBACK), http_test_port()));
    cSocketIO stream(&transport);
    std::string request = "GET /silent HTTP/1.1\r\n\r\n";
    ASSERT_TRUE(stream.WriteExact(request.data(), uint32_t(request.size())));
    transport.receive_timeout = {0, 300000};
    Collector response;
    EXPECT_FALSE(cHttpResponse::Receive(response, &stream));
    EXPECT_EQ(transport.status, TCP_STATUS_NO_ANSWER);
    EXPECT_EQ(response.status_code, 0u);
}

TEST(HttpExchange, PlainDataReaderTakesOnlySmallAnnouncedBodiesOf200)
{
    PlainDataReader reader;
    ASSERT_TRUE(exchange("/length/100", reader));
    EXPECT_EQ(reader.Data(), http_test_pattern(100));
    ASSERT_TRUE(exchange("/length/65536", reader));
    EXPECT_EQ(reader.Data(), http_test_pattern(65536));
    for (const char* refused : {"/close/100", "/length/0", "/length/65537", "/status/404"})
        EXPECT_FALSE(exchange(refused, reader)) << refused;
}

TEST(HttpExchange, DownloaderReportsProgressWhileALengthIsKnown)
{
    UpdateDownloader download;
    ASSERT_TRUE(exchange("/length/300000", download));
    EXPECT_EQ(download.received, 300000u);
    EXPECT_EQ(download.output.GetSize(), 300000u);
    ASSERT_FALSE(download.progress.empty());
    EXPECT_EQ(download.progress.front(), 0u);
    for (size_t i = 1; i < download.progress.size(); ++i)
        EXPECT_GE(download.progress[i], download.progress[i - 1]);
    EXPECT_LT(download.progress.back(), 100u);
}

TEST(HttpExchange, DownloaderSurvivesEmptyAndUnannouncedBodies)
{
    UpdateDownloader empty;
    EXPECT_TRUE(exchange("/length/0", empty));
    EXPECT_EQ(empty.received, 0u);
    EXPECT_TRUE(empty.progress.empty());

    UpdateDownloader unannounced;
    EXPECT_TRUE(exchange("/close/3000", unannounced));
    EXPECT_EQ(unannounced.received, 3000u);
    EXPECT_TRUE(unannounced.progress.empty());

    UpdateDownloader missing;
    EXPECT_FALSE(exchange("/status/404", missing));
    EXPECT_EQ(missing.error, 3);
}

}  // namespace
