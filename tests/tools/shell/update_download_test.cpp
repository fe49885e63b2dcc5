// The update download against a real server on 127.0.0.1
// (update_test_server.py): each outcome of a transfer, what the target
// holds after it, and the checks on the addresses a reply hands over.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/mem_io_target.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/shell/update_test_server.h"
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

// One run of a downloader onto path, stopped after stop_after_ms when that
// is not negative.
Outcome download(const std::wstring& path, const std::wstring& address, int stop_after_ms = -1)
{
    cUpdateDownloader downloader(path.c_str(), address.c_str());
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

const std::string users_file = "the user's own setup.exe, kept as it was";

// Each case runs its downloads, one after the other as the form's retries
// do, onto "setup.exe" of a fresh folder; the file holds the user's bytes
// before them (when there is one), or the whole pattern after the one
// download that completes. Nothing else is ever left in the folder.
TEST(UpdateDownload, OutcomesAndWhatTheTargetHoldsAfterThem)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    const std::string kept = users_file;
    struct Case {
        const char* what;
        std::wstring address;
        bool existing;                  // the user's file is there before
        int stop_after_ms;              // -1: not stopped
        std::vector<uint32_t> results;  // of each run in turn
        std::string bytes;              // what setup.exe holds after them; "<missing>" for no file
    } cases[] = {
        {"done", file_url("whole", "pattern200000.bin"), true, -1, {DOWNLOAD_COMPLETE}, http_test_pattern(200000)},
        {"done without a file before", file_url("whole", "pattern1000.bin"), false, -1, {DOWNLOAD_COMPLETE},
         http_test_pattern(1000)},
        // The server would take a fragment for part of the name.
        {"an address with a fragment", file_url("whole", "pattern1500.bin#part"), true, -1, {DOWNLOAD_COMPLETE},
         http_test_pattern(1500)},
        {"cut off, and its retry too", file_url("alwayscut", "pattern10240.bin"), true, -1,
         {DOWNLOAD_INCOMPLETE, DOWNLOAD_INCOMPLETE}, kept},
        {"cut off, then whole", file_url("cutfirst", "pattern100003.bin"), true, -1,
         {DOWNLOAD_INCOMPLETE, DOWNLOAD_COMPLETE}, http_test_pattern(100003)},
        {"cut off without a file before", file_url("alwayscut", "pattern5001.bin"), false, -1, {DOWNLOAD_INCOMPLETE},
         "<missing>"},
        {"404", file_url("missing", "pattern10.bin"), true, -1, {DOWNLOAD_SERVER_ERROR}, kept},
        {"redirect", file_url("redirect", "pattern3000.bin"), true, -1, {DOWNLOAD_SERVER_ERROR}, kept},
        {"no length", file_url("nolength", "pattern5000.bin"), true, -1, {DOWNLOAD_INCOMPLETE}, kept},
        {"in chunks, with a length too", file_url("chunked", "pattern10000.bin"), true, -1, {DOWNLOAD_INCOMPLETE},
         kept},
        // Read as a header of another name, the coding would pass unseen.
        {"in chunks, a blank before the colon", file_url("spacedchunked", "pattern10000.bin"), true, -1,
         {DOWNLOAD_INCOMPLETE}, kept},
        {"in chunks, a tab before the colon", file_url("tabbedchunked", "pattern10000.bin"), true, -1,
         {DOWNLOAD_INCOMPLETE}, kept},
        {"stopped", file_url("slow", "pattern400000.bin"), true, 400, {DOWNLOAD_STOPPED}, kept},
        {"https", L"https://127.0.0.1/setup.exe", true, -1, {DOWNLOAD_REFUSED}, kept},
        {"refused connection",
         L"http://127.0.0.1:" + std::to_wstring(http_test_closed_port()) + L"/files/whole/pattern10.bin", true, -1,
         {DOWNLOAD_INCOMPLETE}, kept},
    };
    for (const Case& c : cases) {
        TempFolder folder(L"download");
        if (c.existing) {
            ASSERT_TRUE(folder.WriteFile(L"setup.exe", users_file));
        }
        for (size_t run = 0; run < c.results.size(); ++run) {
            Outcome outcome = download(folder.Path(L"setup.exe"), c.address, c.stop_after_ms);
            EXPECT_EQ(outcome.result, c.results[run]) << c.what << ", run " << run;
            if (c.stop_after_ms >= 0) {
                EXPECT_LT(outcome.seconds, 1.5) << c.what << ": the stop ends the transfer at once";
            }
        }
        std::string held = folder.ReadFile(L"setup.exe");
        EXPECT_EQ(held.size(), c.bytes.size()) << c.what;
        EXPECT_TRUE(held == c.bytes) << c.what;
        std::vector<std::wstring> left = folder.Names();
        std::vector<std::wstring> expected;
        if (c.bytes != "<missing>")
            expected.push_back(L"setup.exe");
        EXPECT_EQ(left, expected) << c.what << ": no other file is left";
    }
    std::string requests = update_server_log();
    EXPECT_EQ(requests.find('#'), std::string::npos) << "a request carried a fragment:\n" << requests;
}

// The download's own file beside the target only takes a free name.
TEST(UpdateDownload, AFileOfTheDownloadsNameIsLeftAlone)
{
    TempFolder folder(L"download");
    ASSERT_TRUE(folder.WriteFile(L"setup.exe.download", "someone else's"));
    EXPECT_EQ(download(folder.Path(L"setup.exe"), file_url("whole", "pattern777.bin")).result, DOWNLOAD_COMPLETE);
    EXPECT_TRUE(folder.ReadFile(L"setup.exe") == http_test_pattern(777));
    EXPECT_EQ(folder.ReadFile(L"setup.exe.download"), "someone else's");
    EXPECT_EQ(folder.Names(), (std::vector<std::wstring>{L"setup.exe", L"setup.exe.download"}));
}

TEST(UpdateDownload, AShortWriteIsAWriteError)
{
    cShortTarget full(70000);
    cUpdateDownloader downloader(L"unused", file_url("whole", "pattern200000.bin").c_str());
    EXPECT_EQ(downloader.Transfer(&full), DOWNLOAD_WRITE_ERROR);
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
