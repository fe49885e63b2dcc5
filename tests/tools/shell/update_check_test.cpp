// The update check against a real server on 127.0.0.1
// (update_test_server.py), with the expected outcome of every reply written
// down by update_replies.py; and the server address setting.
#include "tools/shell/update_check.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/ci_app_config.h"
#include "base/ci_app_full_config.h"
#include "tests/support/idle_job.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"
#include "tests/tools/shell/product_stores.h"
#include "tests/tools/shell/update_test_server.h"
#include "tools/shell/update_server.h"

namespace {

std::wstring wide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &out[0], n);
    return out;
}

std::wstring text_of(const _guardchar<wchar_t>& text)
{
    return text.Text() ? text.Text() : L"";
}

// A field of update_replies.txt: "-" empty, else UTF-8 in hex.
std::wstring expected_text(const std::string& field)
{
    return field == "-" ? L"" : wide(bytes_from_hex(field));
}

const uint64_t version_before = 0x1111222233334444ull;

TEST(UpdateCheck, RepliesOfARealServer)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    auto cases = read_test_records("update_replies.txt");
    ASSERT_GE(cases.size(), 20u);
    for (const auto& c : cases) {
        const std::string& name = c[0];
        cUpdateReply reply;
        reply.version = version_before;
        reply.installer_address.Assign(L"installer before");
        reply.web_page.Assign(L"page before");
        reply.notes.Assign(L"notes before");
        cIdleJob job;
        std::thread stopper([&]() {
            if (name == "silent") {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                job.RequestStop();
            }
        });
        auto start = std::chrono::steady_clock::now();
        bool ok = query_update_server_at(update_server_address().c_str(), name.c_str(), reply, &job);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        stopper.join();

        EXPECT_EQ(ok, c[1] == "1") << name;
        EXPECT_LT(seconds, 3.0) << name << " took too long";
        if (c[1] == "1") {
            EXPECT_EQ(reply.version, std::stoull(c[2], nullptr, 16)) << name;
            EXPECT_EQ(text_of(reply.installer_address), expected_text(c[3])) << name;
            EXPECT_EQ(text_of(reply.web_page), expected_text(c[4])) << name;
        } else {
            // A reply that did not parse whole leaves everything as it was.
            EXPECT_EQ(reply.version, version_before) << name;
            EXPECT_EQ(text_of(reply.installer_address), L"installer before") << name;
            EXPECT_EQ(text_of(reply.web_page), L"page before") << name;
        }
        EXPECT_EQ(text_of(reply.notes), c[5] == "keep" ? L"notes before" : expected_text(c[5])) << name;
    }
}

TEST(UpdateCheck, RequestIsAPlainGetOfTheCodeName)
{
    cUpdateReply reply;
    ASSERT_TRUE(query_update_server_at(update_server_address().c_str(), "three_lines", reply, nullptr));
    const std::string path = "/updates/autocheck.php?softwareid=three_lines&os=win";
    EXPECT_EQ(http_test_recorded(path), "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" +
                                            std::to_string(http_test_port()) +
                                            "\r\nUser-Agent: QRVNetHTTP (compatible; cross-platform)\r\n\r\n");
    EXPECT_FALSE(query_update_server_at(update_server_address().c_str(), nullptr, reply, nullptr));
    std::string log = update_server_log();
    EXPECT_NE(log.find("softwareid=three_lines"), std::string::npos) << log;
}

// The server reads the query as web servers do (Python's parse_qs): each
// product is asked about by its own name, whatever characters it holds, and
// whatever the server setting holds after its folder.
TEST(UpdateCheck, EveryCodeNameReachesTheServerWhole)
{
    struct NameCase {
        const char* code;     // UTF-8
        const char* sent;     // the query value on the wire
        bool served;          // the server has a reply under the name (a file name it can be)
        const char* setting;  // the stored setting: the server's folder without its final '/', then this
    } cases[] = {
        {"demo notes", "demo%20notes", true, "/"},
        {"suite&tools", "suite%26tools", true, "/"},
        {"Prod-1_x.y~z", "Prod-1_x.y~z", true, "/"},
        {"d\xC3\xA9mo", "d%C3%A9mo", false, "/"},
        {"a+b#c%d/e?f=g", "a%2Bb%23c%25d%2Fe%3Ff%3Dg", false, "/"},
        {"hashed", "hashed", true, "/#"},
        {"fragment", "fragment", true, "/#frag"},
        {"unslashed", "unslashed", true, "#frag/"},
        {"queried", "queried", true, "/?softwareid=other&os=win"},
    };
    int index = 0;
    for (const NameCase& c : cases) {
        // A reply of its own for each product; "suite" alone has none, so
        // that a name cut at its '&' is not answered.
        std::string version = "3." + std::to_string(++index);
        if (c.served)
            serve_check(c.code, version + "\r\nhttp://h/s.exe\r\nhttp://h/\r\n");
        TempFolder folder(L"update-server");
        cCIAppConfig config;
        ASSERT_TRUE(config.OpenStore(folder.Path().c_str()));
        std::string folder_address = update_server_address();
        folder_address.pop_back();
        ASSERT_TRUE(config.WriteString("installer/update_server", wide(folder_address + c.setting).c_str(), -1));
        _guardchar<char> address;
        get_update_server_address(&config, address);
        cUpdateReply reply;
        bool answered = query_update_server_at(address.Text(), c.code, reply, nullptr);
        const std::string path = std::string("/updates/autocheck.php?softwareid=") + c.sent + "&os=win";
        EXPECT_EQ(http_test_recorded(path).substr(0, path.size() + 15), "GET " + path + " HTTP/1.1\r\n")
            << c.code << " " << c.setting;
        if (c.served) {
            EXPECT_TRUE(answered) << c.code << " " << c.setting;
            EXPECT_EQ(reply.version, uint64_t(3) << 48 | uint64_t(index) << 32) << c.code << " " << c.setting;
        }
    }
}

TEST(UpdateCheck, ServerAddressIsBuiltInUnlessTheConfigurationNamesOne)
{
    struct Case {
        const wchar_t* stored;  // null: no key
        const char* address;
    } cases[] = {
        {nullptr, "http://updates.vantrel.com/pelmaro/"},
        {L"", "http://updates.vantrel.com/pelmaro/"},
        {L"http://127.0.0.1:8000/u/", "http://127.0.0.1:8000/u/"},
        {L"http://127.0.0.1:8000/u", "http://127.0.0.1:8000/u/"},
    };
    for (const Case& c : cases) {
        TempFolder folder(L"update-server");
        cCIAppConfig config;
        ASSERT_TRUE(config.OpenStore(folder.Path().c_str()));
        if (c.stored) {
            ASSERT_TRUE(config.WriteString("installer/update_server", c.stored, -1));
        }
        _guardchar<char> address;
        get_update_server_address(&config, address);
        EXPECT_STREQ(address.Text(), c.address);
    }
    _guardchar<char> address;
    get_update_server_address(nullptr, address);
    EXPECT_STREQ(address.Text(), "http://updates.vantrel.com/pelmaro/");
    // The program's two stores: a run that could use the common store (every
    // run here) never takes the address from the per-user store, which every
    // program the user runs may write.
    for (bool common : {false, true}) {
        ProductWorld world;
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(world.Store(common).c_str()));
        ASSERT_TRUE(store.WriteString("installer/update_server", L"http://127.0.0.1:8000/u/", -1) && store.Save());
        cCIAppFullConfig config;
        ASSERT_TRUE(config.OpenStore(L"qrv"));
        get_update_server_address(&config, address);
        EXPECT_STREQ(address.Text(), common ? "http://127.0.0.1:8000/u/" : "http://updates.vantrel.com/pelmaro/");
    }
    _guardchar<char> url;
    format_update_check_url("http://h/u/", "Prod-1", url);
    EXPECT_STREQ(url.Text(), "http://h/u/autocheck.php?softwareid=Prod-1&os=win");
    format_update_check_url("http://h/u/", "", url);
    EXPECT_STREQ(url.Text(), "http://h/u/autocheck.php?softwareid=&os=win");
}

}  // namespace
