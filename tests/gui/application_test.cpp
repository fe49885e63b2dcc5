#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/app_config.h"
#include "base/ci_app_full_config.h"
#include "gui/application.h"
#include "gui/catalog.h"
#include "gui/language.h"
#include "gui/window_class.h"
#include "gui/window_maker.h"
#include "tests/support/heap_probe.h"

namespace {

// What the objects of one run saw; it outlives them.
struct RunLog {
    std::vector<std::string> events;
    cCIApplication* current_in_init = nullptr;
    cCIApplication* current_in_run = nullptr;
    cCIApplication* current_in_destructor = reinterpret_cast<cCIApplication*>(1);
    int32_t preset_exit_code = 0;
    cWindowMaker* maker_in_run = nullptr;
    cApplicationConfig* config_in_init = nullptr;
    bool full_config_in_init = false;
    std::wstring program_path, program_folder;
    bool path_empty = false, folder_empty = false;
};

class cTestApp : public cCIApplication {
public:
    explicit cTestApp(RunLog& run_log) : log(run_log) {}
    ~cTestApp() override
    {
        log.current_in_destructor = get_current_application();
        log.events.push_back("destroyed");
    }

    bool Init(int32_t, wchar_t**, int32_t* exit_code) override
    {
        log.events.push_back("init");
        log.current_in_init = get_current_application();
        log.preset_exit_code = *exit_code;
        log.config_in_init = GetConfig();
        log.full_config_in_init = dynamic_cast<cCIAppFullConfig*>(GetConfig()) != nullptr;
        log.path_empty = !GetProgramPath();
        log.folder_empty = !GetProgramFolder();
        log.program_path = GetProgramPath() ? GetProgramPath() : L"";
        log.program_folder = GetProgramFolder() ? GetProgramFolder() : L"";
        if (init_code >= 0)
            *exit_code = init_code;
        return init_result;
    }
    int32_t Run() override
    {
        log.events.push_back("run");
        log.current_in_run = get_current_application();
        log.maker_in_run = GetWindowMaker();
        return run_result;
    }
    void Exit() override { log.events.push_back("exit"); }

    RunLog& log;
    bool init_result = true;
    int32_t init_code = -1;
    int32_t run_result = 0;
};

// A configuration whose store opens only after it was created.
class cFakeConfig : public cApplicationConfig {
public:
    explicit cFakeConfig(RunLog& run_log, bool opens_at_once = false) : log(run_log), opens(opens_at_once) {}
    ~cFakeConfig() override { log.events.push_back("config destroyed"); }

    void* GetRoot() override { return nullptr; }
    void* GetChild(const char*, void*, bool) override { return nullptr; }
    bool GetValueSize(void*, uint32_t&) override { return false; }
    bool KeepsText() override { return false; }
    bool CreateStore(const wchar_t* name) override
    {
        log.events.push_back("create " + narrow(name));
        opens = true;
        return true;
    }
    bool OpenStore(const wchar_t* name) override
    {
        log.events.push_back("open " + narrow(name));
        return opens;
    }

    static std::string narrow(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

    RunLog& log;
    bool opens;
};

wchar_t* argv_of(std::vector<std::wstring>& storage, std::vector<wchar_t*>& pointers)
{
    for (std::wstring& s : storage)
        pointers.push_back(&s[0]);
    pointers.push_back(nullptr);
    return pointers[0];
}

// Runs first in the process: no language has been set before.
TEST(GuiStart, FirstStartAppliesTheDefaultLanguage)
{
    ASSERT_FALSE(language_provider_exists());
    ASSERT_GE(get_current_language(), 10u);
    cWindowMaker* maker = initialize_gui(nullptr, 0, 101, nullptr);
    ASSERT_NE(maker, nullptr);
    EXPECT_TRUE(language_provider_exists());
    EXPECT_TRUE(window_class_registered());
    EXPECT_STREQ(get_language_code(get_current_language()), L"ENG");
    EXPECT_EQ(maker->GetCatalog(), get_global_catalog());
    EXPECT_NE(catalog_find_section(maker->GetCatalog(), L"ciom::messages"), nullptr);
    delete maker;
}

TEST(GuiStart, SecondStartRegistersNothingAndMakesNoProvider)
{
    cWindowMaker* maker = initialize_gui(nullptr, 0, 101, nullptr);
    ASSERT_NE(maker, nullptr);
    // Were the class registered again, it would be back after this.
    ASSERT_TRUE(UnregisterClassW(L"cGUILWndClass", get_gui_instance()));
    int busy = heap_busy_blocks();
    EXPECT_EQ(initialize_gui(nullptr, 0, 101, maker), maker);
    EXPECT_EQ(heap_busy_blocks(), busy);
    WNDCLASSW info;
    EXPECT_FALSE(GetClassInfoW(get_gui_instance(), L"cGUILWndClass", &info));
    delete maker;
}

class cRefusingMaker : public cWWMaker {
public:
    explicit cRefusingMaker(bool* destroyed_flag) : destroyed(destroyed_flag) {}
    ~cRefusingMaker() override { *destroyed = true; }
    bool Init(HINSTANCE, int32_t, int32_t) override { return false; }
    bool* destroyed;
};

TEST(GuiStart, MakerThatCannotStartIsDestroyed)
{
    bool destroyed = false;
    EXPECT_EQ(initialize_gui(nullptr, 0, 101, new cRefusingMaker(&destroyed)), nullptr);
    EXPECT_TRUE(destroyed);
}

TEST(RunApplication, NullApplicationGivesOne)
{
    EXPECT_EQ(run_application(nullptr, nullptr, 0, 101, 0, nullptr, nullptr, L"qrv"), 1);
    EXPECT_EQ(get_current_application(), nullptr);
}

TEST(RunApplication, RefusedInitEndsWithItsExitCode)
{
    RunLog log;
    cTestApp* app = new cTestApp(log);
    app->init_result = false;
    app->init_code = 7;
    EXPECT_EQ(run_application(app, nullptr, 0, 101, 0, nullptr, new cFakeConfig(log, true), L"qrv"), 7);
    EXPECT_EQ(log.preset_exit_code, 1);
    EXPECT_EQ(log.current_in_init, app);
    EXPECT_EQ(log.current_in_destructor, nullptr);
    EXPECT_EQ(get_current_application(), nullptr);
    const std::vector<std::string> expected = {"open qrv", "init", "destroyed", "config destroyed"};
    EXPECT_EQ(log.events, expected);

    RunLog untouched;
    cTestApp* leaves = new cTestApp(untouched);
    leaves->init_result = false;
    EXPECT_EQ(run_application(leaves, nullptr, 0, 101, 0, nullptr, new cFakeConfig(untouched, true), L"qrv"), 1);
}

TEST(RunApplication, StoreIsCreatedWhenItCannotBeOpened)
{
    RunLog log;
    cTestApp* app = new cTestApp(log);
    app->init_result = false;
    cFakeConfig* config = new cFakeConfig(log, false);
    run_application(app, nullptr, 0, 101, 0, nullptr, config, L"store-name");
    EXPECT_EQ(log.config_in_init, config);
    const std::vector<std::string> expected = {"open store-name", "create store-name", "open store-name", "init",
                                               "destroyed", "config destroyed"};
    EXPECT_EQ(log.events, expected);
}

TEST(RunApplication, ConfigurationHeldBeforeIsReplaced)
{
    RunLog log;
    cTestApp* app = new cTestApp(log);
    app->init_result = false;
    RunLog old_log;
    app->SetConfig(new cFakeConfig(old_log, true));
    run_application(app, nullptr, 0, 101, 0, nullptr, new cFakeConfig(log, true), L"qrv");
    ASSERT_EQ(old_log.events.size(), 1u);
    EXPECT_EQ(old_log.events[0], "config destroyed");
}

TEST(RunApplication, WithoutConfigurationAFullOneIsMade)
{
    RunLog log;
    cTestApp* app = new cTestApp(log);
    app->init_result = false;
    run_application(app, nullptr, 0, 101, 0, nullptr, nullptr, L"qrv-application-test");
    EXPECT_TRUE(log.full_config_in_init);
}

TEST(RunApplication, ProgramFolderFromTheFirstArgument)
{
    struct Case {
        const wchar_t* argument;
        const wchar_t* path;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"D:\\Apps\\tool.exe", L"D:/Apps/tool.exe", L"D:/Apps"},
        {L"tool.exe", L"tool.exe", L"./"},
        {L"\"C:\\Program Files\\x\\setup.exe\"", L"C:/Program Files/x/setup.exe", L"C:/Program Files/x"},
        {L"/root.exe", L"/root.exe", L""},
    };
    for (const Case& c : cases) {
        RunLog log;
        cTestApp* app = new cTestApp(log);
        app->init_result = false;
        std::vector<std::wstring> storage = {c.argument, L"second"};
        std::vector<wchar_t*> pointers;
        argv_of(storage, pointers);
        run_application(app, nullptr, 0, 101, 2, pointers.data(), new cFakeConfig(log, true), L"qrv");
        EXPECT_EQ(log.program_path, c.path) << c.argument;
        EXPECT_EQ(log.program_folder, c.folder) << c.argument;
    }
}

TEST(RunApplication, NoArgumentsLeaveBothEmpty)
{
    RunLog log;
    cTestApp* app = new cTestApp(log);
    app->init_result = false;
    run_application(app, nullptr, 0, 101, 0, nullptr, new cFakeConfig(log, true), L"qrv");
    EXPECT_TRUE(log.path_empty);
    EXPECT_TRUE(log.folder_empty);

    RunLog null_first;
    cTestApp* other = new cTestApp(null_first);
    other->init_result = false;
    wchar_t* arguments[] = {nullptr};
    run_application(other, nullptr, 0, 101, 1, arguments, new cFakeConfig(null_first, true), L"qrv");
    EXPECT_TRUE(null_first.path_empty);
    EXPECT_EQ(null_first.program_folder, L"./");
}

TEST(RunApplication, RunResultIsTheExitCode)
{
    RunLog log;
    cTestApp* app = new cTestApp(log);
    app->run_result = 42;
    EXPECT_EQ(run_application(app, GetModuleHandleW(nullptr), 0, 101, 0, nullptr, new cFakeConfig(log, true),
                              L"qrv"),
              42);
    EXPECT_EQ(log.current_in_run, app);
    EXPECT_NE(log.maker_in_run, nullptr);
    EXPECT_EQ(log.current_in_destructor, nullptr);
    EXPECT_EQ(get_current_application(), nullptr);
    const std::vector<std::string> expected = {"open qrv", "init", "run", "exit", "destroyed", "config destroyed"};
    EXPECT_EQ(log.events, expected);
}

}  // namespace
