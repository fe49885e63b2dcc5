// The update download against a real server on 127.0.0.1
// (update_test_server.py): each outcome of a transfer, what the file holds
// after it, and the checks on the addresses a reply hands over.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/file_io.h"
#include "base/mem_io_target.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_folder.h"
#include "tools/shell/update_address.h"
#include "tools/shell/update_download.h"

namespace {

std::wstring file_url(const std::string& behaviour, const std::string& name)
{
    std::string url = http_test_url("/files/" + behaviour + "/" + name);
    return std::wstring(url.begin(), url.end());
}

// A file that takes only so many bytes, as a full disk does.
class cShortTarget : public cMemIOTarget {
public:
    explicit cShortTarget(uint32_t room_bytes) : room(room_bytes) {}
    int32_t Write(const void* buffer, uint32_t count) override
    {
        uint32_t taken = count < room ? count : room;
        room -= taken;
        return taken ? cMemIOTarget::Write(buffer, taken) : 0;
    }
    uint32_t room;
};

struct Outcome {
    uint32_t result;
    double seconds;
};

// One run of a downloader into target, stopped after stop_after_ms when
// that is not negative.
Outcome download(cFileIOTarget* target, const std::wstring& address, int stop_after_ms = -1)
{
    cUpdateDownloader downloader(target, address.c_str());
    std::thread stopper([&]() {
        if (stop_after_ms >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stop_after_ms));
            downloader.RequestStop();
        }
    });
    auto start = std::chrono::steady_clock::now();
    uint32_t result = downloader.Run();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stopper.join();
    return {result, seconds};
}

TEST(UpdateDownload, OutcomesAndWhatTheFileHoldsAfterThem)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    struct Case {
        const char* what;
        std::wstring address;
        size_t prefill;      // bytes in the file before the run
        int stop_after_ms;   // -1: not stopped
        uint32_t result;
        std::string bytes;   // what the file holds after the run; "*" a prefix of the pattern
    } cases[] = {
        {"done", file_url("whole", "pattern200000.bin"), 0, -1, DOWNLOAD_COMPLETE, http_test_pattern(200000)},
        {"done over a longer file", file_url("whole", "pattern1000.bin"), 500000, -1, DOWNLOAD_COMPLETE,
         http_test_pattern(1000)},
        {"cut off", file_url("alwayscut", "pattern100001.bin"), 0, -1, DOWNLOAD_INCOMPLETE,
         http_test_pattern(50000)},
        {"404", file_url("missing", "pattern10.bin"), 7, -1, DOWNLOAD_SERVER_ERROR, ""},
        {"no length", file_url("nolength", "pattern5000.bin"), 0, -1, DOWNLOAD_INCOMPLETE, http_test_pattern(5000)},
        {"stopped", file_url("slow", "pattern400000.bin"), 0, 400, DOWNLOAD_STOPPED, "*"},
        {"https", L"https://127.0.0.1/setup.exe", 3, -1, DOWNLOAD_REFUSED, "xxx"},
        {"refused connection",
         L"http://127.0.0.1:" + std::to_wstring(http_test_closed_port()) + L"/files/whole/pattern10.bin", 0, -1,
         DOWNLOAD_INCOMPLETE, ""},
    };
    for (const Case& c : cases) {
        TempFolder folder(L"download");
        ASSERT_TRUE(folder.WriteFile(L"setup.exe", std::string(c.prefill, 'x')));
        cFileIO file;
        ASSERT_TRUE(file.Open(folder.Path(L"setup.exe").c_str(), FILE_MODE_READ | FILE_MODE_WRITE));
        Outcome outcome = download(&file, c.address, c.stop_after_ms);
        file.Close();
        std::string held = folder.ReadFile(L"setup.exe");
        EXPECT_EQ(outcome.result, c.result) << c.what;
        if (c.bytes == "*") {
            EXPECT_GT(held.size(), 0u) << c.what;
            EXPECT_LT(held.size(), 400000u) << c.what;
            EXPECT_EQ(held, http_test_pattern(held.size())) << c.what;
            EXPECT_LT(outcome.seconds, 1.5) << c.what << ": the stop ends the transfer at once";
        } else {
            EXPECT_EQ(held.size(), c.bytes.size()) << c.what;
            EXPECT_TRUE(held == c.bytes) << c.what;
        }
    }
}

TEST(UpdateDownload, RetryOnTheSameFileHoldsTheWholeFileOnly)
{
    TempFolder folder(L"download");
    cFileIO file;
    ASSERT_TRUE(file.Create(folder.Path(L"setup.exe").c_str(), FILE_MODE_WRITE));
    std::wstring address = file_url("cutfirst", "pattern100003.bin");
    EXPECT_EQ(download(&file, address).result, DOWNLOAD_INCOMPLETE);
    EXPECT_EQ(download(&file, address).result, DOWNLOAD_COMPLETE) << "the retry fetches the whole file";
    file.Close();
    std::string held = folder.ReadFile(L"setup.exe");
    EXPECT_EQ(held.size(), 100003u);
    EXPECT_TRUE(held == http_test_pattern(100003));
}

TEST(UpdateDownload, AShortWriteIsAWriteError)
{
    cShortTarget full(70000);
    EXPECT_EQ(download(&full, file_url("whole", "pattern200000.bin")).result, DOWNLOAD_WRITE_ERROR);
    EXPECT_EQ(full.GetSize(), 70000u);
}

TEST(UpdateAddress, OnlyWebPagesAndPlainHttpDownloadsPass)
{
    struct Case {
        const wchar_t* text;
        bool web;
        bool downloadable;
    } cases[] = {
        {L"http://h/setup.exe", true, true},
        {L"HTTP://H:8080/a/b", true, true},
        {L"https://h/setup.exe", true, false},
        {L"HtTpS://h/", true, false},
        {L"cmd /c del C:\\x", false, false},
        {L"C:\\Windows\\notepad.exe", false, false},
        {L"C:/x.exe", false, false},
        {L"file:///C:/x.exe", false, false},
        {L"  http://h/", false, false},
        {L"http:/h/x", false, false},
        {L"http://", true, false},
        {L"http://h/a b.exe", true, false},
        {L"", false, false},
        {nullptr, false, false},
    };
    for (const Case& c : cases) {
        const wchar_t* shown = c.text ? c.text : L"(null)";
        EXPECT_EQ(is_web_address(c.text), c.web) << shown;
        EXPECT_EQ(is_downloadable_address(c.text), c.downloadable) << shown;
    }
}

TEST(UpdateAddress, SuggestedNameIsTheLastSegmentMadeSafe)
{
    struct Case {
        const wchar_t* address;
        const wchar_t* name;
    } cases[] = {
        {L"http://h/dl/setup-2.0.exe", L"setup-2.0.exe"},
        {L"http://h/dl/", L""},
        {L"http://h/get.exe?file=a/b.exe", L"get.exe"},
        {L"http://h/a/setup.exe#part/2", L"setup.exe"},
        {L"http://h/a:b*c\"d<e>f|g.exe", L"a_b_c_d_e_f_g.exe"},
        {L"http://h/setup.exe. . ", L"setup.exe"},
        {L"http://h/CON", L"_CON"},
        {L"http://h/lpt1.exe", L"_lpt1.exe"},
        {L"http://h/com10.exe", L"com10.exe"},
        {L"http://h/CONIN$", L"_CONIN$"},
        {L"http://h/nul .txt", L"_nul .txt"},
        {L"http://h/a\x7F" L"b.exe", L"a_b.exe"},
        {L"http://h/console.exe", L"console.exe"},
        {L"http://h/tab\there.exe", L"tab_here.exe"},
        {L"http://h/%41.exe", L"%41.exe"},
    };
    for (const Case& c : cases) {
        _guardchar<wchar_t> name;
        suggested_update_file_name(c.address, name);
        EXPECT_STREQ(name.Text() ? name.Text() : L"", c.name) << c.address;
    }
}

}  // namespace
