// "pelmarodesk.exe update <code name> [quite]" as processes over prepared
// stores and a real update server on 127.0.0.1: exit codes, the messages
// shown or kept quiet, and the update form for a newer version.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "tests/support/message_log.h"
#include "tests/support/pelmarodesk_exe.h"
#include "tests/tools/install/install_test_support.h"
#include "tests/tools/shell/manager_driver.h"
#include "tests/tools/shell/product_stores.h"
#include "tests/tools/shell/update_test_server.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"

namespace {

using namespace manager;

TEST(UpdateMode, ExitCodesMessagesAndTheOffer)
{
    ASSERT_NE(http_test_port(), 0u) << "run through the HTTP test driver";
    ProductWorld world;
    std::string url = update_server_address();
    world.WriteSetting("installer/update_server", std::wstring(url.begin(), url.end()));
    ProductRecord installed{"installed", packed_version(2, 1)};
    installed.name = L"Installed Product";
    world.Write(installed);
    world.Write(ProductRecord{"offline", packed_version(1, 0)});
    ProductRecord newer{"newer", packed_version(2, 1)};
    newer.name = L"Newer Product";
    world.Write(newer);
    serve_check("installed", "2.1\r\nhttp://h/s.exe\r\nhttp://h/\r\n");
    serve_check("newer", "2.1.0.1\r\nhttp://h/n.exe\r\nhttp://h/\r\nnotes\r\n");
    // Recorded for one user only: this run, with administrator rights,
    // leaves it to that user, and says so.
    world.Write(ProductRecord{"peruser", packed_version(1, 0)}, false);
    serve_check("peruser", "2.0\r\nhttp://h/p.exe\r\nhttp://h/\r\n");
    application_language_provider();
    apply_language(0);

    struct Case {
        const wchar_t* arguments;
        const wchar_t* window;  // what shows, answered with the key; null: nothing
        WORD key;
        DWORD exit_code;
        // The message of "pkgm::updr" shown, naming the product, by the test
        // build, which logs its words; -1: not looked at.
        int32_t text = -1;
    } cases[] = {
        {L"update peruser", L"Error", VK_RETURN, 1, 4},
        {L"update peruser quite", nullptr, 0, 1},
        {L"update a/ver", L"Error", VK_RETURN, 1},
        {L"update a/ver quite", nullptr, 0, 1},
        {L"update unknown", L"Error", VK_RETURN, 1},
        {L"update unknown quite", nullptr, 0, 1},
        {L"update offline", L"Error", VK_RETURN, 1},
        {L"update offline quite", nullptr, 0, 1},
        {L"update installed", L"Information", VK_RETURN, 0},
        {L"update installed quite", nullptr, 0, 0},
        {L"update installed QUITE", L"Information", VK_RETURN, 0},
        {L"update newer", L"Software Package Update", VK_ESCAPE, 0},
        {L"update newer quite", L"Software Package Update", VK_ESCAPE, 0},
    };
    for (const Case& c : cases) {
        RunResult result;
        MessageLog log;
        std::wstring program_path = c.text >= 0 ? pelmarodesk_test_build() : pelmarodesk_exe();
        std::thread program([&]() { result = run_process(L"\"" + program_path + L"\" " + c.arguments, {}, L""); });
        std::wstring shown;
        if (c.window) {
            HWND window = wait_window(c.window, 20000);
            if (window) {
                wchar_t title[100] = {};
                GetWindowTextW(window, title, 100);
                shown = title;
                if (c.text >= 0) {
                    ShownMessage wanted = {c.window, filled_text(section_text(L"pkgm::updr", c.text), L"peruser")};
                    EXPECT_EQ(log.Last(), wanted) << c.arguments;
                }
                if (std::wstring(c.window) == L"Software Package Update")
                    wizard::save_screenshot(window, "update_form");
                press(c.key);
            }
        }
        program.join();
        EXPECT_EQ(shown, c.window ? c.window : L"") << c.arguments;
        EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments;
    }
}

}  // namespace
