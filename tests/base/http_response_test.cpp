#include "base/http_response.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/heap_probe.h"
#include "tests/support/http_messages.h"

namespace {

// Hands out the scripted pieces one per read (a read never joins two
// pieces), then reads 0 as a peer that closed.
class PieceStream : public cFileIOTarget {
public:
    explicit PieceStream(std::vector<std::string> script) : pieces(std::move(script)) {}

    uint64_t GetSize() override { return UINT64_MAX; }
    int32_t Read(void* buffer, uint32_t count) override
    {
        ++reads;
        if (next == pieces.size())
            return 0;
        std::string& piece = pieces[next];
        size_t n = std::min<size_t>(count, piece.size() - used);
        memcpy(buffer, piece.data() + used, n);
        used += n;
        if (used == piece.size()) {
            ++next;
            used = 0;
        }
        return int32_t(n);
    }
    bool Seek(uint64_t) override { return false; }
    bool SeekFromEnd(uint64_t) override { return false; }
    bool SetSize(uint64_t) override { return false; }
    void Close() override { open = false; }
    bool IsOpen() override { return open; }

    int reads = 0;

private:
    std::vector<std::string> pieces;
    size_t next = 0;
    size_t used = 0;
    bool open = true;
};

bool receive(cResponseRecorder& r, std::vector<std::string> pieces)
{
    PieceStream stream(std::move(pieces));
    return cHttpResponse::Receive(r, &stream);
}

std::vector<std::string> bytewise(const std::string& text)
{
    std::vector<std::string> pieces;
    for (char c : text)
        pieces.push_back(std::string(1, c));
    return pieces;
}

// ParseHead over text; the consumed count, or -1 when it refused.
int parse(cResponseRecorder& r, const std::string& text, bool* pending)
{
    uint32_t count = uint32_t(text.size());
    if (!cHttpResponse::ParseHead(reinterpret_cast<const uint8_t*>(text.data()), r, &count, pending))
        return -1;
    return int(count);
}

struct StatusCase {
    const char* line;
    uint32_t code;  // 0: refused
};

const StatusCase status_cases[] = {
    {"HTTP/1.1 200 OK", 200}, {"HTTP/1.0 404 Not Found", 404}, {"HTTP/1.1 200", 200}, {"HTTP/1.1 599 x", 599},
    {"HTTP/1.1 000 OK", 0},   {"HTTP/1.1 20", 0},              {"HTTP/1.1 2x0 OK", 0}, {"HTTP/1.1 20x OK", 0},
    {"HTTP/1.1 2000 OK", 0},  {"HTTP/2 200 OK", 0},            {"HTTP/2.0 200 OK", 0}, {"http/1.1 200 OK", 0},
    {"HTTP/1.1  200 OK", 0},  {"XYZZY 200 nonsense", 0},       {"HTTP/1.", 0},         {"", 0},
};

TEST(HttpResponseParseHead, StatusLineForms)
{
    for (const StatusCase& c : status_cases) {
        cResponseRecorder r;
        bool pending = true;
        std::string text = std::string(c.line) + "\r\n";
        int used = parse(r, text, &pending);
        if (c.code) {
            EXPECT_EQ(used, int(text.size())) << c.line;
            EXPECT_EQ(r.status_code, c.code) << c.line;
        } else {
            EXPECT_EQ(used, -1) << c.line;
        }
        EXPECT_TRUE(pending);
    }
}

TEST(HttpResponseParseHead, LineIsCompleteOnlyWithTheByteAfterItsCr)
{
    cResponseRecorder r;
    bool pending = true;
    EXPECT_EQ(parse(r, "HTTP/1.1 200 OK\r", &pending), 0);
    EXPECT_EQ(r.status_code, 0u);
    EXPECT_EQ(parse(r, "HTTP/1.1 200 OK\r\nX-A: 1\r", &pending), 17);
    EXPECT_EQ(r.status_code, 200u);
    EXPECT_EQ(r.Header("X-A"), "<none>");
    EXPECT_EQ(parse(r, "X-A: 1\r\n\r", &pending), 8);
    EXPECT_TRUE(pending);
    EXPECT_EQ(parse(r, "\r\nbody", &pending), 2);
    EXPECT_FALSE(pending);
    EXPECT_EQ(r.Header("X-A"), "1");
}

TEST(HttpResponseParseHead, HeadersAreStoredByNameWithLastValueKept)
{
    cResponseRecorder r;
    bool pending = true;
    std::string head = "HTTP/1.1 301 Moved\r\nLocation: http://h/x\r\nX-Twice: first\r\nX-Twice: second\r\n"
                       "X-Spaces:   padded\r\nX-Empty: \r\n\r\nBODY";
    EXPECT_EQ(parse(r, head, &pending), int(head.size()) - 4);
    EXPECT_FALSE(pending);
    EXPECT_EQ(r.status_code, 301u);
    EXPECT_EQ(r.Header("Location"), "http://h/x");
    EXPECT_EQ(r.Header("X-Twice"), "second");
    EXPECT_EQ(r.Header("X-Spaces"), "padded");
    EXPECT_EQ(r.Header("X-Empty"), "");
    EXPECT_EQ(r.Header("location"), "<none>");
    EXPECT_FALSE(r.HasContentLength());
}

struct LengthCase {
    const char* line;
    uint64_t length;  // no_content_length: refused
};

const LengthCase length_cases[] = {
    {"Content-Length: 10", 10},
    {"content-LENGTH: 7", 7},
    {"Content-Length:5", 5},
    {"Content-Length: 0", 0},
    {"Content-Length: 5000000000", 5000000000ull},
    {"Content-Length: 18446744073709551614", 18446744073709551614ull},
    {"Content-Length: 18446744073709551615", cHttpResponse::no_content_length},
    {"Content-Length: 18446744073709551621", cHttpResponse::no_content_length},  // 5 past 2^64
    {"Content-Length: 5abc", cHttpResponse::no_content_length},
    {"Content-Length: 0x10", cHttpResponse::no_content_length},
    {"Content-Length: -5", cHttpResponse::no_content_length},
    {"Content-Length: abc", cHttpResponse::no_content_length},
    {"Content-Length: ", cHttpResponse::no_content_length},
};

TEST(HttpResponseParseHead, ContentLengthIsReadInAnyCaseOrRefused)
{
    for (const LengthCase& c : length_cases) {
        cResponseRecorder r;
        bool pending = true;
        int used = parse(r, std::string("HTTP/1.1 200 OK\r\n") + c.line + "\r\n\r\n", &pending);
        if (c.length == cHttpResponse::no_content_length) {
            EXPECT_EQ(used, -1) << c.line;
        } else {
            EXPECT_GT(used, 0) << c.line;
            EXPECT_EQ(r.content_length, c.length) << c.line;
        }
    }
}

// A coded body has no plain end: whatever its value and whatever length
// the head also gives, the head is refused.
TEST(HttpResponseParseHead, AnyTransferEncodingIsRefused)
{
    struct EncodingCase {
        std::string headers;
        bool refused;
    } cases[] = {
        {"Transfer-Encoding: chunked\r\n", true},
        {"Transfer-Encoding: chunked\r\nContent-Length: 12\r\n", true},
        {"Content-Length: 12\r\nTRANSFER-encoding: chunked\r\n", true},
        {"Transfer-Encoding: identity\r\n", true},
        {"transfer-encoding: gzip, chunked\r\n", true},
        {"X-Transfer-Encoding: chunked\r\nContent-Length: 12\r\n", false},
        {"Transfer-Encodings: chunked\r\n", false},
    };
    for (const EncodingCase& c : cases) {
        cResponseRecorder r;
        bool pending = true;
        int used = parse(r, "HTTP/1.1 200 OK\r\n" + c.headers + "\r\n", &pending);
        EXPECT_EQ(used == -1, c.refused) << c.headers;
    }
}

// A header's name is a token right before its colon; a line that starts
// with a blank or a tab continues the header before it. Whatever a lenient
// reader would take for another header than a strict one is refused.
TEST(HttpResponseParseHead, HeaderLinesAreReadAsTheStandardSays)
{
    struct LineCase {
        const char* what;
        std::string headers;  // between the status line and the empty line
        const char* name;     // null: the head is refused
        const char* value;
    } cases[] = {
        {"no name", ": x\r\n", nullptr, nullptr},
        {"nothing after the colon", "Name:\r\n", nullptr, nullptr},
        {"no colon", "No colon here\r\n", nullptr, nullptr},
        {"a CR inside", "X-Bad\rY: 1\r\n", nullptr, nullptr},
        {"a NUL inside", std::string("X-N\0l: 1\r\n", 10), nullptr, nullptr},
        {"an LF inside", "X-A: 1\nTransfer-Encoding: chunked\r\n", nullptr, nullptr},
        {"a NUL in the value", std::string("X-A: 1\0 2\r\n", 11), nullptr, nullptr},
        {"a NUL as the line's last byte", std::string("X-A: 1\0\r\n", 9), nullptr, nullptr},
        {"a NUL in a folded line", std::string("X-A: 1\r\n 2\0 3\r\n", 15), nullptr, nullptr},
        {"an LF in a folded line", "X-A: 1\r\n 2\nTransfer-Encoding: chunked\r\n", nullptr, nullptr},
        {"a blank before the colon", "Transfer-Encoding : chunked\r\nContent-Length: 12\r\n", nullptr, nullptr},
        {"a tab before the colon", "Transfer-Encoding\t: chunked\r\n", nullptr, nullptr},
        {"a blank inside the name", "X A: 1\r\n", nullptr, nullptr},
        {"a separator in the name", "X(A): 1\r\n", nullptr, nullptr},
        {"a folded line first", " X-A: 1\r\n", nullptr, nullptr},
        {"every token character", "Az09!#$%&'*+-.^_`|~: v\r\n", "Az09!#$%&'*+-.^_`|~", "v"},
        {"blanks and tabs around the value", "X-A: \t one two \t\r\n", "X-A", "one two"},
        {"folded lines", "X-A: 1\r\n  two\r\n\tthree \r\n", "X-A", "1 two three"},
        {"a fold after an empty value", "X-A: \r\n more\r\n", "X-A", "more"},
        {"an empty fold", "X-A: 1\r\n \t\r\n", "X-A", "1"},
        {"a fold is no header", "X-A: 1\r\n Transfer-Encoding: chunked\r\n", "X-A", "1 Transfer-Encoding: chunked"},
        {"a fold continues the last header", "X-A: 1\r\nX-B: 2\r\n 3\r\n", "X-B", "2 3"},
        {"a folded length", "Content-Length: 5\r\n 6\r\n", nullptr, nullptr},
        {"a length with blanks around", "Content-Length: 7 \t\r\n \r\n", "Content-Length", "7"},
    };
    for (const LineCase& c : cases) {
        cResponseRecorder r;
        bool pending = true;
        int used = parse(r, "HTTP/1.1 200 OK\r\n" + c.headers + "\r\n", &pending);
        if (!c.name) {
            EXPECT_EQ(used, -1) << c.what;
            continue;
        }
        EXPECT_FALSE(pending) << c.what;
        EXPECT_EQ(r.Header(c.name), c.value) << c.what;
    }
}

TEST(HttpResponseParseHead, NothingToDoOnceTheHeadIsComplete)
{
    cResponseRecorder r;
    bool pending = false;
    EXPECT_EQ(parse(r, "HTTP/1.1 200 OK\r\n", &pending), 0);
    EXPECT_EQ(r.status_code, 0u);
    uint32_t count = 5;
    pending = true;
    EXPECT_FALSE(cHttpResponse::ParseHead(nullptr, r, &count, &pending));
}

struct ReceiveCase {
    const char* name;
    std::vector<std::string> pieces;
    bool result;
    uint32_t status;
    std::string body;
};

const std::string ok10 = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";

std::vector<ReceiveCase> receive_cases()
{
    std::string whole = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nX-A: 1\r\n\r\nhello";
    return {
        {"extra bytes in a later read", {ok10 + "01234", "56789EXTRA", "MORE"}, true, 200, "0123456789"},
        {"extra bytes in the same read", {ok10 + "0123456789EXTRA"}, true, 200, "0123456789"},
        {"length 0", {"HTTP/1.1 204 No\r\nContent-Length: 0\r\n\r\n"}, true, 204, ""},
        {"one byte per read", bytewise(whole), true, 200, "hello"},
        {"status line split", {"HTT", "P/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi"}, true, 200, "hi"},
        {"cr at the end of a read", {"HTTP/1.1 200 OK\r", "\nContent-Length: 2\r", "\n\r", "\nhi"}, true, 200, "hi"},
        {"headers across reads", {"HTTP/1.1 200 OK\r\nConte", "nt-Length: 2\r\nX-", "A: 1\r\n", "\r\nh", "i"}, true, 200,
         "hi"},
        {"head cut off", {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"}, false, 200, ""},
        {"status line cut off", {"HTTP/1.1 20"}, false, 0, ""},
        {"nothing at all", {}, false, 0, ""},
    };
}

// Reads that end at chosen places (malformed heads are ParseHead's cases);
// the exchange's tests take responses from a real server.
TEST(HttpResponseReceive, ScriptedResponses)
{
    for (const ReceiveCase& c : receive_cases()) {
        cResponseRecorder r;
        EXPECT_EQ(receive(r, c.pieces), c.result) << c.name;
        EXPECT_EQ(r.status_code, c.status) << c.name;
        EXPECT_EQ(r.body, c.body) << c.name;
    }
}

TEST(HttpResponseReceive, LargeBodyArrivesInPiecesOfAtMost64KiB)
{
    std::string body(200000, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char(i * 13 + (i >> 9));
    cResponseRecorder r;
    EXPECT_TRUE(receive(r, {"HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" + body}));
    EXPECT_EQ(r.body, body);
    EXPECT_GE(r.pieces, 4);
}

TEST(HttpResponseReceive, HeadLineLongerThanTheBufferIsRefused)
{
    cResponseRecorder r;
    EXPECT_FALSE(receive(r, {"HTTP/1.1 200 OK\r\nX-Long: " + std::string(70000, 'a') + "\r\n\r\n"}));
    EXPECT_EQ(r.heads, 0);
}

TEST(HttpResponseReceive, ReceiverRefusalsStopTheExchange)
{
    cResponseRecorder head_refused;
    head_refused.accept_head = false;
    EXPECT_FALSE(receive(head_refused, {ok10 + "0123456789"}));
    EXPECT_EQ(head_refused.body, "");

    cResponseRecorder body_refused;
    body_refused.refuse_after = 1;
    PieceStream stream({ok10 + "01", "234", "56789"});
    EXPECT_FALSE(cHttpResponse::Receive(body_refused, &stream));
    EXPECT_EQ(body_refused.body, "01");
    EXPECT_EQ(stream.reads, 1);
}

TEST(HttpResponseReceive, ReadsNoFurtherOnceTheAnnouncedBodyCame)
{
    cResponseRecorder r;
    PieceStream stream({ok10 + "0123456789", "never read"});
    EXPECT_TRUE(cHttpResponse::Receive(r, &stream));
    EXPECT_EQ(stream.reads, 1);
}

TEST(HttpResponseReceive, ClosedOrMissingStreamIsRefused)
{
    cResponseRecorder r;
    EXPECT_FALSE(cHttpResponse::Receive(r, nullptr));
    PieceStream closed({ok10 + "0123456789"});
    closed.Close();
    EXPECT_FALSE(cHttpResponse::Receive(r, &closed));
    EXPECT_EQ(closed.reads, 0);
}

TEST(HttpResponseReceive, EachReceiveStartsFromAResetResponse)
{
    cResponseRecorder r;
    ASSERT_TRUE(receive(r, {"HTTP/1.1 200 OK\r\nX-Old: 1\r\nContent-Length: 1\r\n\r\nx"}));
    ASSERT_TRUE(receive(r, {"HTTP/1.1 201 OK\r\n\r\n"}));
    EXPECT_EQ(r.status_code, 201u);
    EXPECT_FALSE(r.HasContentLength());
    EXPECT_EQ(r.Header("X-Old"), "<none>");
    ASSERT_TRUE(receive(r, {"HTTP/1.1 200 OK\r\nX-Old: 1\r\n\r\n"}));
    EXPECT_FALSE(receive(r, {"HTTP/1.1 200 OK\r\n folded: onto nothing\r\n\r\n"})) << "the last response's header";
    r.Reset();
    EXPECT_EQ(r.status_code, 0u);
    EXPECT_EQ(r.headers.root, nullptr);
}

TEST(HttpResponseReceive, GivesBackEveryBlock)
{
    cHeapBalance balance;
    cResponseRecorder r;
    EXPECT_TRUE(receive(r, {"HTTP/1.1 200 OK\r\nX-A: 1\r\nX-B: 2\r\n", "Content-Length: 3\r\n\r\nabc"}));
}

}  // namespace
