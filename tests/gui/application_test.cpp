#include <gtest/gtest.h>
#include <windows.h>

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
#include "tests/support/test_data.h"

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
    const wchar_t* none = L"(none)";
    std::wstring program_path, program_folder;
};

class cTestApp : public cCIApplication {
public:
    explicit cTestApp(RunLog& run_log, bool init_ok = false, int32_t init_exit_code = -1)
        : log(run_log), init_result(init_ok), init_code(init_exit_code)
    {
    }
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
        log.program_path = GetProgramPath() ? GetProgramPath() : log.none;
        log.program_folder = GetProgramFolder() ? GetProgramFolder() : log.none;
        if (init_code >= 0)
            *exit_code = init_code;
        return init_result;
    }
    int32_t Run() override
    {
        log.events.push_back("run");
        log.current_in_run = get_current_application();
        log.maker_in_run = GetWindowMaker();
        return 42;
    }
    void Exit() override { log.events.push_back("exit"); }

    RunLog& log;
    bool init_result;
    int32_t init_code;
};

// A configuration whose store opens only after it was created, unless it
// opens at once.
class cFakeConfig : public cApplicationConfig {
public:
    explicit cFakeConfig(RunLog& run_log, bool opens_at_once = true) : log(run_log), opens(opens_at_once) {}
    ~cFakeConfig() override { log.events.push_back("config destroyed"); }

    void* GetRoot() override { return nullptr; }
    void* GetChild(const char*, void*, bool) override { return nullptr; }
    bool GetValueSize(void*, uint32_t&) override { return false; }
    bool KeepsText() override { return false; }
    bool CreateStore(const wchar_t* name) override
    {
        log.events.push_back("create " + narrow(name));
        return opens = true;
    }
    bool OpenStore(const wchar_t* name) override
    {
        log.events.push_back("open " + narrow(name));
        return opens;
    }

    RunLog& log;
    bool opens;
};

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

// Every path ends with the objects destroyed in order and no current
// application left behind, also inside the application's destructor.
TEST(RunApplication, EveryPathGivesItsExitCodeAndClearsTheCurrentApplication)
{
    struct Case {
        const char* name;
        bool init_ok;
        int32_t init_code;
        bool store_opens;
        int32_t exit_code;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"refused init with its code", false, 7, true, 7, {"open qrv", "init", "destroyed", "config destroyed"}},
        {"refused init leaving the code", false, -1, true, 1, {"open qrv", "init", "destroyed", "config destroyed"}},
        {"store created when it cannot be opened", false, -1, false, 1,
         {"open qrv", "create qrv", "open qrv", "init", "destroyed", "config destroyed"}},
        {"the run's result", true, -1, true, 42,
         {"open qrv", "init", "run", "exit", "destroyed", "config destroyed"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunLog log;
        cTestApp* app = new cTestApp(log, c.init_ok, c.init_code);
        cFakeConfig* config = new cFakeConfig(log, c.store_opens);
        EXPECT_EQ(run_application(app, GetModuleHandleW(nullptr), 0, 101, 0, nullptr, config, L"qrv"), c.exit_code);
        EXPECT_EQ(log.events, c.events);
        EXPECT_EQ(log.preset_exit_code, 1);
        EXPECT_EQ(log.current_in_init, app);
        EXPECT_EQ(log.config_in_init, config);
        EXPECT_EQ(log.current_in_destructor, nullptr);
        EXPECT_EQ(get_current_application(), nullptr);
        if (c.init_ok) {
            EXPECT_EQ(log.current_in_run, app);
            EXPECT_NE(log.maker_in_run, nullptr);
        }
    }
}

TEST(RunApplication, ConfigurationHeldBeforeIsReplacedAndAFullOneMadeWithoutOne)
{
    RunLog log, old_log;
    cTestApp* app = new cTestApp(log);
    app->SetConfig(new cFakeConfig(old_log));
    run_application(app, nullptr, 0, 101, 0, nullptr, new cFakeConfig(log), L"qrv");
    EXPECT_EQ(old_log.events, std::vector<std::string>{"config destroyed"});

    RunLog without;
    run_application(new cTestApp(without), nullptr, 0, 101, 0, nullptr, nullptr, L"qrv-application-test");
    EXPECT_TRUE(without.full_config_in_init);
}

TEST(RunApplication, ProgramFolderFromTheFirstArgument)
{
    struct Case {
        int argc;  // the first argument, then "second"
        const wchar_t* argument;
        const wchar_t* path;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {2, L"D:\\Apps\\tool.exe", L"D:/Apps/tool.exe", L"D:/Apps"},
        {2, L"tool.exe", L"tool.exe", L"./"},
        {2, L"\"C:\\Program Files\\x\\setup.exe\"", L"C:/Program Files/x/setup.exe", L"C:/Program Files/x"},
        {2, L"/root.exe", L"/root.exe", L""},
        {1, nullptr, L"(none)", L"./"},
        {0, nullptr, L"(none)", L"(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument ? c.argument : L"(null)");
        RunLog log;
        std::wstring first = c.argument ? c.argument : L"";
        std::wstring second = L"second";
        wchar_t* arguments[] = {c.argument ? &first[0] : nullptr, &second[0], nullptr};
        run_application(new cTestApp(log), nullptr, 0, 101, c.argc, c.argc ? arguments : nullptr,
                        new cFakeConfig(log), L"qrv");
        EXPECT_EQ(log.program_path, c.path);
        EXPECT_EQ(log.program_folder, c.folder);
    }
}

}  // namespace
