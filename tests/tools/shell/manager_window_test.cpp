// The manager's main window and its update form, run by the program's own
// application object on a thread of their own over prepared stores and a
// real update server on 127.0.0.1, driven by real input from the test's
// thread and read back from the screen, the server and the disk.
#include <winsock2.h>
#include <windows.h>

#include "tools/shell/manager_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "base/ci_app_full_config.h"
#include "gui/language.h"
#include "tests/tools/shell/manager_driver.h"
#include "tests/tools/shell/product_stores.h"
#include "tests/tools/shell/update_test_server.h"
#include "tools/shell/app_language.h"
#include "tools/shell/pelmaro_app.h"

namespace {

using namespace manager;

const wchar_t main_title[] = L"Vantrel Pelmaro";
const wchar_t update_title[] = L"Software Package Update";
const wchar_t save_title[] = L"Save update file as...";
const wchar_t progress_title[] = L"Downloading file...";

// What the window's commands were asked to do.
struct Asked {
    std::wstring uninstalled;
    std::wstring removed;
    int uninstalls = 0;
    int removals = 0;
    uint32_t language_during_uninstall = 99;
};
Asked asked;

uint32_t uninstall_product(const wchar_t* code_name, cChildElement* parent)
{
    asked.uninstalled = code_name;
    ++asked.uninstalls;
    EXPECT_NE(parent, nullptr);
    // As an uninstall in the product's language does.
    apply_language(1);
    asked.language_during_uninstall = get_current_language();
    return 0;
}

bool remove_manager(const wchar_t* path, cChildElement*)
{
    asked.removed = path;
    ++asked.removals;
    return true;
}

bool manager_path(_guardchar<wchar_t>& out)
{
    out.Assign(L"C:/Program Files/Common Files/Vantrel/pelmarodesk.exe");
    return true;
}

const cManagerCommands commands = {uninstall_product, remove_manager, manager_path};

class cManagerApp : public cPelmaroApp {
public:
    int32_t Run() override { return int32_t(run_manager(&commands)); }
};

// The main window on a thread of its own, with the program's application
// object over the world's stores; the run's exit code once it ended.
class ManagerRun {
public:
    ManagerRun()
    {
        asked = Asked();
        thread = std::thread([this]() {
            wchar_t name[] = L"pelmarodesk";
            wchar_t* argv[] = {name};
            result = run_application(new cManagerApp, GetModuleHandleW(nullptr), 0, 101, 1, argv,
                                     new cCIAppFullConfig, L"qrv");
            ended = true;
        });
        window = wait_window(main_title);
    }
    ~ManagerRun()
    {
        // Whatever the test left open goes, so that the thread ends.
        for (int i = 0; i < 100 && !ended; ++i) {
            if (HWND active = GetForegroundWindow())
                PostMessageW(active, WM_CLOSE, 0, 0);
            pause_ms(100);
        }
        thread.join();
    }
    bool WaitEnd(int timeout_ms = 10000)
    {
        return wait_for([this]() { return ended.load(); }, timeout_ms);
    }
    // The reader has listed the products: the first one's icon shows.
    bool WaitListed(const std::vector<uint32_t>& first_icon)
    {
        return wait_for([&]() { return find_image(window, first_icon, 16).x >= 0; });
    }

    HWND window = nullptr;
    std::atomic<bool> ended{false};
    int32_t result = -1;

private:
    std::thread thread;
};

std::string file_bytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The world's stores point the window at the test server.
void use_test_server(ProductWorld& world)
{
    std::string url = update_server_address();
    world.WriteSetting("installer/update_server", std::wstring(url.begin(), url.end()));
}

// Clicks the row that shows the icon, then answers where the details show.
void choose_row(HWND window, const std::vector<uint32_t>& icon)
{
    POINT at = find_image(window, icon, 16);
    ASSERT_GE(at.x, 0) << "the row's icon";
    click_client(window, POINT{at.x + 100, at.y + 8});
    pause_ms(200);
}

// The product of that row: Update, Install, and the proposed file in the
// folder of "installer/temp" (Enter until the chooser has listed it).
void start_download(HWND window, const std::vector<uint32_t>& icon)
{
    choose_row(window, icon);
    click_client(window, update_button);
    ASSERT_NE(wait_window(update_title), nullptr);
    press(VK_RETURN);
    ASSERT_NE(wait_window(save_title), nullptr);
    ASSERT_TRUE(wait_for([]() {
        press(VK_RETURN);
        return window_titled(save_title) == nullptr;
    }));
}

TEST(ManagerWindow, ListsProductsWithTheirIconsOffersAndDetails)
{
    ProductWorld world;
    use_test_server(world);
    TempFolder programs(L"programs"), elsewhere(L"elsewhere");
    ASSERT_TRUE(CopyFileW(test_program("product_a.exe").c_str(), programs.Native(L"launched.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(test_program("product_b.exe").c_str(), elsewhere.Native(L"planted.exe").c_str(), FALSE));
    ProductRecord a{"alpha", packed_version(1, 0)};
    a.name = L"Alpha Writer";
    a.icon = test_program("product_a.exe");
    a.utime = 1700000000;
    a.publisher = L"http://example.org/";
    a.support = elsewhere.Path(L"planted.exe");  // not a web page: never opened
    a.launch = {{L"Alpha Writer", programs.Path(L"launched.exe") + L" --from-the-manager"}};
    ProductRecord b{"bravo", packed_version(1, 0)};
    b.name = L"Bravo Viewer";
    b.icon = test_program("product_b.exe");
    world.Write(a);
    world.Write(b, false);
    world.Write(b, true);  // recorded in both stores: listed once
    serve_check("alpha", "2.0\r\nhttp://h/a.exe\r\nhttp://h/a\r\nnotes\r\n");
    serve_check("bravo", "1.0\r\nhttp://h/b.exe\r\nhttp://h/b\r\n");

    ManagerRun run;
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    HWND window = run.window;
    keep_window(window, "manager_window.png");

    POINT a_row = find_image(window, drawn_icon("product_a", 16), 16);
    POINT b_row = find_image(window, drawn_icon("product_b", 16), 16);
    ASSERT_GE(b_row.x, 0);
    EXPECT_LT(a_row.y, b_row.y) << "alpha first, in key order";
    EXPECT_EQ(a_row.x, b_row.x);
    RECT a_line = {a_row.x, a_row.y, list_area.right, a_row.y + 16};
    RECT b_line = {b_row.x, b_row.y, list_area.right, b_row.y + 16};
    EXPECT_GT(count_colour(window, a_line, offer_colour), 0) << "\"Update available\" on alpha";
    EXPECT_EQ(count_colour(window, b_line, offer_colour), 0) << "no offer on bravo";
    POINT large = find_image(window, drawn_icon("product_a", 48), 48);
    EXPECT_EQ(large.x, details_area.left + 15) << "alpha's 48 x 48 icon in the details";
    EXPECT_EQ(large.y, details_area.top + 20);
    // Publisher and the launch link are links; the support "link" is no
    // web page and not shown as one either way it is clicked.
    // Publisher (y 70), support (y 90) and the launch link (y 115); the
    // support address names a program, which its link does not start; the
    // launch link starts its command.
    std::vector<POINT> links = colour_lines(window, link_colour, details_area);
    ASSERT_EQ(links.size(), 3u) << "publisher, support and the launch link";
    click_client(window, POINT{links[1].x + 10, links[1].y - 5});
    click_client(window, POINT{links[2].x + 10, links[2].y - 5});
    EXPECT_TRUE(wait_for([&]() { return file_bytes(programs.Path(L"ran.txt")) == "ran --from-the-manager"; }))
        << file_bytes(programs.Path(L"ran.txt"));

    choose_row(window, drawn_icon("product_b", 16));
    EXPECT_GE(find_image(window, drawn_icon("product_b", 48), 48).x, 0) << "bravo's details";
    EXPECT_LT(find_image(window, drawn_icon("product_a", 48), 48).x, 0);
    keep_window(window, "manager_window_bravo.png");
    EXPECT_EQ(file_bytes(elsewhere.Path(L"ran.txt")), "") << "the planted program never ran";
}

TEST(ManagerWindow, UpdateFormNoNotFoundStopAndACutDownloadThatCompletesAndStarts)
{
    ProductWorld world;
    use_test_server(world);
    TempFolder downloads(L"downloads");
    world.WriteSetting("installer/temp", downloads.Path());
    std::string port = std::to_string(http_test_port());
    std::string installer = file_bytes(test_program("product_a.exe"));
    serve_file("setup_ok.exe", installer);
    struct Product {
        const char* code;
        const char* icon;
        std::string installer_address;
    } products[] = {
        {"a_done", "product_a", "http://127.0.0.1:" + port + "/files/cutfirst/setup_ok.exe"},
        {"b_missing", "product_b", "http://127.0.0.1:" + port + "/files/missing/setup_missing.exe"},
        {"c_slow", "odd_size", "http://127.0.0.1:" + port + "/files/slow/pattern3000000.bin"},
    };
    for (const Product& p : products) {
        ProductRecord record{p.code, packed_version(1, 0)};
        record.name = std::wstring(p.code, p.code + strlen(p.code));
        record.icon = test_program((std::string(p.icon) + ".exe").c_str());
        world.Write(record);
        serve_check(p.code, "1.1\r\n" + p.installer_address + "\r\nhttp://h/\r\nWhat is new\r\n");
    }

    ManagerRun run;
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    HWND window = run.window;

    // "Not now": nothing happens.
    click_client(window, update_button);
    ASSERT_NE(wait_window(update_title), nullptr);
    press(VK_ESCAPE);
    ASSERT_TRUE(wait_gone(update_title));
    EXPECT_EQ(update_server_log().find("/files/"), std::string::npos) << "nothing was fetched";

    // The server has no such file: its error, and no file is started.
    ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("product_b", 16)));
    ASSERT_NE(wait_window(L"Error"), nullptr) << "text 14";
    press(VK_RETURN);
    ASSERT_NE(wait_window(update_title), nullptr);
    press(VK_ESCAPE);
    ASSERT_TRUE(wait_gone(update_title));

    // Stop during a slow transfer: no question, the file closed.
    ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("odd_size", 16)));
    ASSERT_NE(wait_window(progress_title), nullptr);
    pause_ms(500);
    press(VK_ESCAPE);
    ASSERT_TRUE(wait_gone(progress_title, 3000)) << "the stop ends the transfer at once";
    pause_ms(500);
    EXPECT_EQ(active_title(), update_title) << "no question after a stop";
    std::wstring partial = downloads.Path(L"pattern3000000.bin");
    HANDLE closed = CreateFileW(partial.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(closed, INVALID_HANDLE_VALUE) << "nothing holds the file any more";
    CloseHandle(closed);
    std::string held = file_bytes(partial);
    EXPECT_GT(held.size(), 0u);
    EXPECT_LT(held.size(), 3000000u);
    EXPECT_TRUE(held == http_test_pattern(held.size()));
    press(VK_ESCAPE);
    ASSERT_TRUE(wait_gone(update_title));

    // The first transfer is cut: the question, Yes, and the retry brings the
    // whole installer, which starts; the window ends with 0.
    ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("product_a", 16)));
    ASSERT_NE(wait_window(L"Confirm"), nullptr) << "text 8";
    press(VK_RETURN);
    ASSERT_TRUE(run.WaitEnd());
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(file_bytes(downloads.Path(L"setup_ok.exe")) == installer);
    EXPECT_TRUE(wait_for([&]() { return file_bytes(downloads.Path(L"ran.txt")).compare(0, 3, "ran") == 0; }))
        << "the downloaded installer was started";
}

TEST(ManagerWindow, AddressesThatAreNoWebPagesAreNeverOpened)
{
    ProductWorld world;
    use_test_server(world);
    TempFolder elsewhere(L"elsewhere");
    std::wstring planted = elsewhere.Path(L"planted.exe");
    ASSERT_TRUE(CopyFileW(test_program("product_b.exe").c_str(), planted.c_str(), FALSE));
    std::string planted_utf8(planted.begin(), planted.end());
    ProductRecord record{"local", packed_version(1, 0)};
    record.icon = test_program("product_a.exe");
    world.Write(record);
    // Both addresses of the reply name a program on this machine.
    serve_check("local", "1.1\r\n" + planted_utf8 + "\r\n" + planted_utf8 + "\r\nnotes\r\n");

    ManagerRun run;
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    click_client(run.window, update_button);
    HWND form = wait_window(update_title);
    ASSERT_NE(form, nullptr);
    std::vector<POINT> links = colour_lines(form, link_colour);
    ASSERT_EQ(links.size(), 2u) << "the two links' underlines";
    for (POINT link : links) {
        click_client(form, POINT{link.x + 10, link.y - 5});
        pause_ms(300);
    }
    // Install: the address is refused before any file is chosen.
    press(VK_RETURN);
    ASSERT_NE(wait_window(L"Error"), nullptr);
    EXPECT_EQ(window_titled(save_title), nullptr);
    press(VK_RETURN);
    pause_ms(1000);
    EXPECT_EQ(file_bytes(elsewhere.Path(L"ran.txt")), "") << "the planted program never ran";
}

TEST(ManagerWindow, UninstallKeepsTheWindowsLanguageAndRefreshes)
{
    ProductWorld world;
    use_test_server(world);
    ProductRecord record{"gamma", packed_version(1, 0)};
    record.icon = test_program("product_b.exe");
    world.Write(record);
    ManagerRun run;
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_b", 16)));
    click_client(run.window, uninstall_button);
    ASSERT_TRUE(wait_for([]() { return asked.uninstalls == 1; }));
    EXPECT_EQ(asked.uninstalled, L"gamma");
    EXPECT_EQ(asked.language_during_uninstall, 1u);
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_b", 16)));
    EXPECT_EQ(get_current_language(), 0u) << "English again after the uninstall";
}

TEST(ManagerWindow, RemoveIsOutOfReachWhileTheListIsReadOrProductsAreLeft)
{
    ProductWorld world;
    use_test_server(world);
    ManagerRun run;
    ASSERT_TRUE(wait_for([&]() { return colour_lines(run.window, link_colour, remove_area).size() == 1; }))
        << "no product: \"Remove Pelmaro\" shows";
    // A product appears; during the refresh (its check takes 2 s) and after
    // it, the link does nothing.
    ProductRecord record{"slow", packed_version(1, 0)};
    record.icon = test_program("product_a.exe");
    world.Write(record);
    click_client(run.window, refresh_button);
    pause_ms(300);
    EXPECT_EQ(colour_lines(run.window, link_colour, remove_area).size(), 0u);
    click_client(run.window, remove_link);
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    click_client(run.window, remove_link);
    pause_ms(300);
    EXPECT_EQ(asked.removals, 0);
    EXPECT_FALSE(run.ended);
}

TEST(ManagerWindow, RemoveWithNoProductLeftRunsTheRemoverAndEnds)
{
    ProductWorld world;
    use_test_server(world);
    ManagerRun run;
    ASSERT_TRUE(wait_for([&]() { return colour_lines(run.window, link_colour, remove_area).size() == 1; }));
    click_client(run.window, remove_link);
    ASSERT_TRUE(run.WaitEnd());
    EXPECT_EQ(asked.removals, 1);
    EXPECT_EQ(asked.removed, L"C:/Program Files/Common Files/Vantrel/pelmarodesk.exe");
    EXPECT_EQ(run.result, 0);
}

TEST(ManagerWindow, ClosingWhileTheReaderWaitsEndsAtOnce)
{
    ProductWorld world;
    use_test_server(world);
    // "silent" never answers its check.
    world.Write(ProductRecord{"silent", packed_version(1, 0)});
    world.Write(ProductRecord{"tango", packed_version(1, 0)});
    ManagerRun run;
    ASSERT_NE(run.window, nullptr);
    pause_ms(500);
    auto start = std::chrono::steady_clock::now();
    PostMessageW(run.window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitEnd(5000));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.0);
    EXPECT_EQ(update_server_log().find("softwareid=tango"), std::string::npos) << "the reader stopped before tango";
}

}  // namespace
