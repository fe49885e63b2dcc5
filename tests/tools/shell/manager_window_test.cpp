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
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "base/ci_app_full_config.h"
#include "gui/font.h"
#include "gui/language.h"
#include "gui/ui_font.h"
#include "tests/support/message_log.h"
#include "tests/tools/shell/manager_driver.h"
#include "tests/tools/shell/product_stores.h"
#include "tests/tools/shell/update_test_server.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/pelmaro_app.h"

namespace {

using namespace manager;

const wchar_t main_title[] = L"Vantrel Pelmaro";
const wchar_t update_title[] = L"Software Package Update";
const wchar_t save_title[] = L"Save update file as...";

// What the window's commands were asked to do.
struct Asked {
    std::wstring uninstalled;
    std::wstring removed;
    int uninstalls = 0;
    int removals = 0;
    uint32_t language_during_uninstall = 99;
    // What the uninstall does besides, on the window's thread.
    std::function<void()> during_uninstall;
};
Asked asked;

// Two products of version 1.0, each with an icon of its own.
void write_alpha_and_bravo(ProductWorld& world)
{
    ProductRecord alpha{"alpha", packed_version(1, 0)};
    alpha.icon = test_program("product_a.exe");
    ProductRecord bravo{"bravo", packed_version(1, 0)};
    bravo.icon = test_program("product_b.exe");
    world.Write(alpha);
    world.Write(bravo);
}

uint32_t uninstall_product(const wchar_t* code_name, cChildElement* parent)
{
    asked.uninstalled = code_name;
    ++asked.uninstalls;
    EXPECT_NE(parent, nullptr);
    // As an uninstall in the product's language does.
    apply_language(1);
    asked.language_during_uninstall = get_current_language();
    if (asked.during_uninstall)
        asked.during_uninstall();
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

// Picks the second language (Russian) in the window's language switch: the
// window rebuilt in it, or null.
HWND switch_to_second_language(HWND window)
{
    click_client(window, POINT{client_width - 71 + 12, 25 + 12});
    pause_ms(500);
    press(VK_DOWN);
    press(VK_RETURN);
    if (!wait_for([]() { return get_current_language() == 1; }))
        return nullptr;
    pause_ms(500);
    return wait_window(main_title);
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
    record.support = planted;  // the details' "Request support"
    world.Write(record);
    // Both addresses of the reply, and the record's support page, name a
    // program on this machine.
    serve_check("local", "1.1\r\n" + planted_utf8 + "\r\n" + planted_utf8 + "\r\nnotes\r\n");

    ManagerRun run;
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    std::vector<POINT> support = colour_lines(run.window, link_colour, details_area);
    ASSERT_EQ(support.size(), 1u);
    click_client(run.window, POINT{support[0].x + 10, support[0].y - 5});
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

// An installer address the download cannot fetch is refused before any
// request, with the message that sends the user to the web site's link.
TEST(ManagerWindow, ARefusedInstallerAddressSendsTheUserToTheWebSite)
{
    const std::wstring refused[] = {L"https://127.0.0.1/setup.exe", L"file:///C:/setup.exe",
                                    L"C:\\Downloads\\setup.exe"};
    for (const std::wstring& address : refused) {
        SCOPED_TRACE(std::string(address.begin(), address.end()));
        ProductWorld world;
        use_test_server(world);
        MessageLog log;
        ProductRecord record{"offered", packed_version(1, 0)};
        record.icon = test_program("product_a.exe");
        world.Write(record);
        serve_check("offered", "1.1\r\n" + std::string(address.begin(), address.end()) + "\r\nhttp://127.0.0.1/page\r\n");
        ManagerRun run;
        ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
        click_client(run.window, update_button);
        ASSERT_NE(wait_window(update_title), nullptr);
        press(VK_RETURN);
        ASSERT_NE(wait_window(L"Error"), nullptr);
        ShownMessage wanted = {L"Error", filled_text(section_text(L"pkgm::updi", 16), section_text(L"pkgm::updi", 10))};
        EXPECT_EQ(log.Messages(), std::vector<ShownMessage>{wanted});
        EXPECT_EQ(window_titled(save_title), nullptr);
        press(VK_RETURN);
        EXPECT_EQ(update_server_log().find("/files/"), std::string::npos);
    }
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
    EXPECT_EQ(dark_pixels(run.window, empty_list_note_area), 0u);
    // A product recorded for one user only, which this run, with
    // administrator rights, leaves to that user: not listed, but named, and
    // the manager is not offered for removal.
    world.Write(ProductRecord{"users-own", packed_version(1, 0)}, false);
    click_client(run.window, refresh_button);
    ASSERT_TRUE(wait_for([&]() { return dark_pixels(run.window, empty_list_note_area) > 50; }))
        << "the note names it";
    wizard::save_screenshot(run.window, "manager_per_user_note");
    EXPECT_EQ(colour_lines(run.window, link_colour, remove_area).size(), 0u);
    click_client(run.window, remove_link);
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

// An uninstall whose save another program keeps out, and whose revert it
// keeps out too (it holds the records' file open to read, sharing reads
// only), as the uninstall road's store calls meet it: the window then lists
// no emptiness, offers no removal and names the file; the language switch's
// save, the file still held, leaves the records byte for byte; once the file
// is let go, Refresh lists both products again.
TEST(ManagerWindow, AReadThatFailsLaterNeverEmptiesTheListNorIsSavedOver)
{
    ProductWorld world;
    use_test_server(world);
    write_alpha_and_bravo(world);
    const std::wstring records = world.Store(true) + L"/install";
    const std::string before = file_bytes(records);
    ManagerRun run;
    std::atomic<HANDLE> held{INVALID_HANDLE_VALUE};
    asked.during_uninstall = [&]() {
        held = CreateFileW(world.root.Native(L"programdata/Vantrel/qrv/install").c_str(), GENERIC_READ,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        cApplicationConfig* config = get_current_config();
        EXPECT_TRUE(config->DeleteKey("install/alpha"));
        EXPECT_FALSE(config->Save());
        EXPECT_FALSE(config->Revert());
    };
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    click_client(run.window, uninstall_button);
    ASSERT_TRUE(wait_for([&]() { return held != INVALID_HANDLE_VALUE; }));
    const RECT note_area = {45, 70, 725, 250};
    ASSERT_TRUE(wait_for([&]() { return dark_pixels(run.window, note_area) > 200; }, 15000))
        << "the note names the held file in the list's place";
    wizard::save_screenshot(run.window, "manager_records_held");
    EXPECT_EQ(colour_lines(run.window, link_colour, remove_area).size(), 0u) << "no \"Remove Pelmaro\"";
    click_client(run.window, remove_link);
    click_client(run.window, refresh_button);
    ASSERT_TRUE(wait_for([&]() { return dark_pixels(run.window, note_area) > 200; }, 15000));
    EXPECT_EQ(find_image(run.window, drawn_icon("product_b", 16), 16).x, -1);
    EXPECT_EQ(colour_lines(run.window, link_colour, remove_area).size(), 0u);

    // The language switch saves its choice while the file is still held.
    HWND rebuilt = switch_to_second_language(run.window);
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_TRUE(wait_for([&]() { return dark_pixels(rebuilt, note_area) > 200; }, 15000));
    EXPECT_EQ(file_bytes(records), before) << "the records as they were";
    CloseHandle(held);
    click_client(rebuilt, refresh_button);
    EXPECT_TRUE(wait_for([&]() {
        return find_image(rebuilt, drawn_icon("product_a", 16), 16).x >= 0 &&
               find_image(rebuilt, drawn_icon("product_b", 16), 16).x >= 0;
    })) << "both listed again";
    EXPECT_EQ(colour_lines(rebuilt, link_colour, remove_area).size(), 0u);
    EXPECT_EQ(asked.removals, 0);
    EXPECT_EQ(file_bytes(records), before);
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
}

// The length of the link underline that starts at (x, y) of the window.
int underline_length(HWND window, POINT start)
{
    std::vector<uint32_t> row = window_pixels(window, start.x, start.y, client_width - start.x, 1);
    int length = 0;
    while (length < int(row.size()) && row[size_t(length)] == link_colour)
        ++length;
    return length;
}

// The width GDI gives the text in the font of the details' links.
int link_text_width(const std::wstring& text)
{
    cWinFont* font = dynamic_cast<cWinFont*>(font_get_cached(6, 14, get_ui_font_face_name(), true, true, false));
    SIZE size = {0, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font->GetHandle() : GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return int(size.cx);
}

// A product's program link is named in the language the window shows when
// the installation recorded that name: switched from English to Russian,
// the window shows the Russian one (told by its underline's length).
TEST(ManagerWindow, TheProgramLinkFollowsALanguageSwitch)
{
    const std::wstring english = L"Start";
    const std::wstring russian = L"\u0417\u0430\u043f\u0443\u0441\u0442\u0438\u0442\u044c \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0443";
    ProductWorld world;
    use_test_server(world);
    ProductRecord record{"echo", packed_version(1, 0)};
    record.icon = test_program("product_a.exe");
    record.launch = {{english, L"C:/echo.exe"}};
    record.more_texts = {{"cplns0.1", russian}};
    world.Write(record);
    ManagerRun run;
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    const RECT launch_area = {45 + 85, 255 + 115, 45 + 385, 255 + 135};
    std::vector<POINT> lines = colour_lines(run.window, link_colour, launch_area);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(underline_length(run.window, lines[0]), link_text_width(english), 2) << "English first";

    // The language switch's menu lists English, then Russian.
    HWND rebuilt = switch_to_second_language(run.window);
    ASSERT_NE(rebuilt, nullptr);
    ASSERT_TRUE(wait_for([&]() { return find_image(rebuilt, drawn_icon("product_a", 16), 16).x >= 0; }));
    lines = colour_lines(rebuilt, link_colour, launch_area);
    ASSERT_EQ(lines.size(), 1u);
    int russian_width = link_text_width(russian);
    ASSERT_GT(russian_width, link_text_width(english) + 20);
    EXPECT_NEAR(underline_length(rebuilt, lines[0]), russian_width, 2) << "Russian after the switch";
}

// The fill of the highlighted row (0xF7EEE1 as the list is given it), as
// window pixels give it.
const uint32_t highlight_colour = 0xE1EEF7;

TEST(ManagerWindow, TheShownProductsRowIsHighlightedWhenTheWindowOpens)
{
    ProductWorld world;
    use_test_server(world);
    write_alpha_and_bravo(world);
    ManagerRun run;
    ASSERT_TRUE(run.WaitListed(drawn_icon("product_a", 16)));
    pause_ms(300);
    POINT first_icon = find_image(run.window, drawn_icon("product_a", 16), 16);
    POINT second_icon = find_image(run.window, drawn_icon("product_b", 16), 16);
    ASSERT_GE(second_icon.y, first_icon.y + 16);
    auto band = [&](POINT icon) { return RECT{list_area.left, icon.y, list_area.right, icon.y + 16}; };
    EXPECT_GT(count_colour(run.window, band(first_icon), highlight_colour), 1000) << "alpha's row is highlighted";
    EXPECT_EQ(count_colour(run.window, band(second_icon), highlight_colour), 0) << "bravo's is not";
}

// Each check may take up to 15 s; the four run side by side, so the list
// and its commands come after one check's time, not four.
TEST(ManagerWindow, ASilentServerHoldsTheListForOneCheckOnly)
{
    ProductWorld world;
    use_test_server(world);
    for (const char* code : {"silent1", "silent2", "silent3", "silent4"}) {
        ProductRecord record{code, packed_version(1, 0)};
        record.icon = test_program("product_a.exe");
        world.Write(record);
    }
    auto start = std::chrono::steady_clock::now();
    ManagerRun run;
    ASSERT_NE(run.window, nullptr);
    std::vector<uint32_t> icon = drawn_icon("product_a", 16);
    bool listed = wait_for([&]() { return find_image(run.window, icon, 16).x >= 0; }, 25000);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "list ready after " << seconds << " s\n";
    ASSERT_TRUE(listed) << "no list after " << seconds << " s";
    EXPECT_LT(seconds, 20.0);
    std::string log = update_server_log();
    for (const char* code : {"silent1", "silent2", "silent3", "silent4"})
        EXPECT_NE(log.find(std::string("softwareid=") + code), std::string::npos) << code << " was asked";
}

}  // namespace
