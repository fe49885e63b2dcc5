// The install wizard end to end, the way a user walks it: installers made by
// pelmarodesk.exe's make mode from the generated products, started as
// processes of their own in worlds of their own folders, their pages told
// apart by the step list, driven by real input (clicks and keys through the
// input queue), the outcome read back from the disk, the store and the
// registry with the install road's verifiers. Every page is kept as a
// screenshot in build/artifacts/wizard_*.png.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/ci_app_config.h"
#include "gui/catalog.h"
#include "tests/support/child_process.h"
#include "tests/support/pelmarodesk_exe.h"
#include "tests/tools/install/finish_form.h"
#include "tests/tools/install/uninstall_fixture.h"
#include "tests/tools/install/wizard_driver.h"
#include "tools/install/install_context.h"
#include "tools/package/package_queries.h"
#include "tools/shell/app_language.h"

using namespace road;

namespace {

// The products' installers, made by the program itself. w1 and w2 carry a
// copy of this test program, which the finish page starts: without
// arguments it writes the file the marker variable names.
Installers& program_installers()
{
    static Installers* made = [] {
        for (const char* product : {"w1", "w2"}) {
            std::wstring marker = road_folder() + L"/src/" + wide_of(product) + L"/bin/marker.exe";
            CopyFileW(own_executable().c_str(), windows_path(marker).c_str(), FALSE);
        }
        return new Installers(slash_path(pelmarodesk_exe()), L"wizard-installers");
    }();
    return *made;
}

// The same products made by the program's test build, which holds at the
// moment a test names (tools/install/kill_point.h).
Installers& pausing_installers()
{
    static Installers* made = new Installers(slash_path(killable_program()), L"wizard-pausing");
    return *made;
}

std::wstring bare_program()
{
    return slash_path(pelmarodesk_exe());
}

// An older product as another installer leaves it: its Windows entry,
// whose uninstall command is this program's child mode older_uninstall
// with a behaviour.
void register_older_product(const std::wstring& code_name, const std::wstring& name, const wchar_t* behaviour,
                            const std::wstring& report_folder)
{
    std::wstring command = child_command(L"older_uninstall " + std::wstring(behaviour) + L" " + code_name + L" \"" +
                                         windows_path(report_folder) + L"\"");
    add_entry(code_name, false, KEY_WOW64_64KEY, {{L"MajorVersion", 1}},
              {{L"DisplayName", name}, {L"UninstallString", command}});
}

// The wizard's pages, in the order a product shows them.
enum Page { welcome, readme, licence, older, folder, install, finish };

std::wstring title_of(const char* product)
{
    return L"Road Test " + wide_of(product) + L" software installer";
}

// A run of a product's installer in a world.
class InstallerRun {
public:
    InstallerRun(World& world, const char* product, std::map<std::wstring, std::wstring> extra = {},
                 Installers& made = program_installers())
        : process(L"\"" + windows_path(made.Get(product)) + L"\"", variables(world, extra), world.Path(L"")),
          pages(process, title_of(product))
    {
    }

    // The world's variables; the program the finish page starts (a copy of
    // this test program) only marks that it ran, in the world unless the
    // test names another file.
    static std::map<std::wstring, std::wstring> variables(World& world, std::map<std::wstring, std::wstring> extra)
    {
        std::map<std::wstring, std::wstring> all = world.Variables();
        all[CHILD_MARKER_VARIABLE] = windows_path(world.Path(L"started.txt"));
        for (const auto& variable : extra)
            all[variable.first] = variable.second;
        return all;
    }

    wizard::Process process;
    wizard::Wizard pages;
};

// Walks the pages from the first on up to the installation, as a user who
// accepts everything and installs into the folder (the world's app folder
// when none is given, made first), the pages shown in that order. True
// once the installation was started.
bool walk_to_the_installation(World& world, InstallerRun& run, const std::vector<Page>& order,
                              std::wstring chosen = L"")
{
    wizard::Wizard& pages = run.pages;
    if (!pages.Found())
        return false;
    if (chosen.empty())
        chosen = world.App();
    for (size_t step = 0; step < order.size() && order[step] != install; ++step) {
        if (!pages.WaitForStep(int(step)))
            return false;
        switch (order[step]) {
        case readme:
        case licence:
            pages.TickAcceptBox();
            pages.Enter();
            break;
        case folder:
            CreateDirectoryW(windows_path(chosen).c_str(), nullptr);
            if (!pages.ChooseFolder(chosen))
                return false;
            pages.Enter();
            break;
        default:
            pages.Enter();
            break;
        }
    }
    return true;
}

// The walk of walk_to_the_installation on to the finish page, the last of
// the order; there the first program offered is unticked when asked. True
// when the finish page was reached and closed with exit code 0.
bool walk_through(World& world, InstallerRun& run, const std::vector<Page>& order, bool untick_first_program = false)
{
    // The installation of a small product may be over in a blink: its page
    // is not waited for.
    if (!walk_to_the_installation(world, run, order) || !run.pages.WaitForStep(int(order.size() - 1)))
        return false;
    if (untick_first_program) {
        run.pages.ClickRunBox(0);
        run.pages.Screenshot("wizard_finish_unticked");
    }
    run.pages.Enter();
    return run.process.Wait(form_wait_ms) == 0;
}

// The licence ticked and left for the next page.
bool past_the_licence(wizard::Wizard& pages)
{
    if (!pages.Found() || !pages.WaitForStep(0))
        return false;
    pages.TickAcceptBox();
    pages.Enter();
    return pages.WaitForStep(1);
}

// Once the folder page shows, the window is closed and the question
// whether to close answered yes; true when the installer then ends as
// aborted (exit code 10), having installed nothing.
bool closed_on_the_folder_page(InstallerRun& run, const char* screenshot)
{
    if (!run.pages.WaitForStep(2))
        return false;
    PostMessageW(run.pages.Window(), WM_CLOSE, 0, 0);
    return run.pages.Answer(L"Confirm", true, form_wait_ms, screenshot) && run.process.Wait(form_wait_ms) == 10;
}

// The finish page's message area, as far down as a form of the page's
// size shows it: page coordinates.
const RECT finish_message = {10, 40, 10 + 379, 40 + 150};

// The message area as this process draws the finish page in English for an
// object in the way at path, where the user could choose the folder or
// not: 0x00RRGGBB, top row first.
std::vector<uint32_t> drawn_object_in_the_way(const std::wstring& path, bool folder_choosable)
{
    application_language_provider();
    apply_language(language_english);
    cInstallContext context(L"C:/setup.exe", L"C:/setup.exe", 0);
    context.status = INSTALL_STATUS_OBJECT_IN_THE_WAY;
    context.error_path.Assign(path.c_str());
    // The object lies in the install folder, which another folder would move.
    set_pgm_folder(context.package.strings, path.substr(0, path.rfind(L'/')).c_str());
    std::vector<uint32_t> pixels;
    cFormWindow window;
    window.maker.SetCatalog(get_global_catalog());
    cFinishForm* form = new cFinishForm(window);
    window.Run(form, 430, 320,
               {[&]() { form->page.Prepare(context, folder_choosable); },
                [&]() {
                    pixels = cFormWindow::Pixels(&form->page, finish_message.left, finish_message.top,
                                                 finish_message.right - finish_message.left,
                                                 finish_message.bottom - finish_message.top);
                }});
    for (uint32_t& pixel : pixels)
        pixel = cFormWindow::swap_red_blue(pixel);
    return pixels;
}

// w2 over w1 up to its install page, its job held at the moment named.
bool update_held_at(InstallerRun& update, const std::wstring& pause_file)
{
    wizard::Wizard& pages = update.pages;
    if (!pages.Found() || !pages.WaitForStep(0))
        return false;
    pages.Enter();
    if (!pages.WaitForStep(1))
        return false;
    pages.TickAcceptBox();
    pages.Enter();
    for (int waited = 0; waited < 600 && !exists(pause_file); ++waited)
        Sleep(50);
    return exists(pause_file);
}

// An update to the product through the pausing build, held at the moment
// named (tools/install/kill_point.h) once its install page runs the job:
// the test acts there, then lets it go on.
struct HeldUpdate {
    HeldUpdate(World& world, const char* product, const wchar_t* moment)
        : pause(L"wizard-pause"), pause_file(pause.Path(L"held")),
          run(world, product,
              {{L"PELMARO_TEST_PAUSE_POINT", moment}, {L"PELMARO_TEST_PAUSE_FILE", windows_path(pause_file)}},
              pausing_installers())
    {
    }
    bool Held() { return update_held_at(run, pause_file); }
    void Release() { DeleteFileW(windows_path(pause_file).c_str()); }

    TempFolder pause;
    std::wstring pause_file;
    InstallerRun run;
};

}  // namespace

// The older products' uninstallers this test stands in for: "ok" removes
// its entry and ends with 0, "print" first writes 100 KB, "read" first
// reads its input to its end, "259" ends with 259 and removes nothing.
// Each writes <report folder>/<code name>.txt with what it did.
CHILD_MODE(older_uninstall)
{
    if (arguments.size() != 3)
        return 98;
    const std::wstring& behaviour = arguments[0];
    std::string report = "ran";
    if (behaviour == L"print") {
        std::string line(99, 'x');
        line += '\n';
        DWORD written = 0;
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        for (int i = 0; i < 1024; ++i)
            WriteFile(out, line.data(), DWORD(line.size()), &written, nullptr);
        report += " printed";
    } else if (behaviour == L"read") {
        char buffer[256];
        DWORD read = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &read, nullptr) && read) {
        }
        report += " read to the end";
    }
    write_child_file(arguments[2] + L"\\" + arguments[1] + L".txt", report);
    if (behaviour == L"259")
        return 259;
    std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + arguments[1];
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
    return 0;
}

TEST(InstallWizard, AFirstInstallationThroughEveryPage)
{
    World world(L"wizard-first");
    TempFolder reports(L"wizard-reports");
    std::wstring older_code = road_code_name() + L"-older";
    register_older_product(older_code, L"Road Test older", L"ok", reports.Path());
    std::wstring marker = reports.Path(L"started.txt");
    InstallerRun run(world, "w1", {{CHILD_MARKER_VARIABLE, windows_path(marker)}});
    wizard::Wizard& pages = run.pages;
    ASSERT_TRUE(pages.Found()) << "the wizard's window";
    ASSERT_TRUE(pages.WaitForStep(0));
    EXPECT_EQ(pages.StepCount(), 7) << wizard::describe_windows(run.process, "wizard_first_steps");
    EXPECT_TRUE(pages.HasTitle());
    pages.Screenshot("wizard_welcome");
    pages.Enter();

    // The read-me and the licence hold Next back until their boxes are ticked.
    for (int step : {1, 2}) {
        ASSERT_TRUE(pages.WaitForStep(step));
        EXPECT_TRUE(pages.HasTitle());
        pages.Screenshot(step == 1 ? "wizard_readme" : "wizard_licence");
        EXPECT_TRUE(pages.NextGreyed()) << step;
        pages.Enter();
        pages.ClickNext();
        Sleep(300);
        EXPECT_EQ(pages.CurrentStep(), step) << "Next while the box is not ticked";
        pages.TickAcceptBox();
        EXPECT_FALSE(pages.NextGreyed()) << step;
        if (step == 2) {
            // Back to the welcome page by its step, then forward again.
            pages.ClickStep(0);
            ASSERT_TRUE(pages.WaitForStep(0));
            pages.ClickStep(4);
            Sleep(300);
            EXPECT_EQ(pages.CurrentStep(), 0) << "a later step is no way forward";
            // The boxes keep their ticks.
            pages.Enter();
            ASSERT_TRUE(pages.WaitForStep(1));
            EXPECT_FALSE(pages.NextGreyed()) << "the read-me's box is still ticked";
            pages.Enter();
            ASSERT_TRUE(pages.WaitForStep(2));
            EXPECT_FALSE(pages.NextGreyed()) << "the licence's box is still ticked";
        }
        pages.ClickNext();
    }

    // The older product, ticked: Next runs its uninstaller.
    ASSERT_TRUE(pages.WaitForStep(3));
    pages.Screenshot("wizard_older_products");
    pages.Enter();
    ASSERT_TRUE(pages.WaitForStep(4));
    EXPECT_EQ(read_whole_file(windows_path(reports.Path(older_code + L".txt"))), "ran");
    EXPECT_FALSE(entry_exists(older_code)) << "the older product is gone";

    // Browse: a folder without room is refused, the app folder taken.
    pages.Screenshot("wizard_folder");
    ASSERT_TRUE(pages.ChooseFolder(L"Z:/sys/kernel"));
    ASSERT_TRUE(pages.Answer(L"Error", true, form_wait_ms, "wizard_folder_no_room")) << "no room there";
    CreateDirectoryW(windows_path(world.App()).c_str(), nullptr);
    ASSERT_TRUE(pages.ChooseFolder(world.App()));
    pages.Enter();

    ASSERT_TRUE(pages.WaitForStep(6)) << "the finish page";
    pages.Screenshot("wizard_finish");
    EXPECT_FALSE(pages.FinishReportsFailure());
    EXPECT_FALSE(exists(marker));
    pages.Enter();
    EXPECT_EQ(run.process.Wait(form_wait_ms), 0u);
    for (int waited = 0; waited < 100 && !exists(marker); ++waited)
        Sleep(100);
    EXPECT_TRUE(exists(marker)) << "Close started the ticked program";
    expect_installed(world, "w1", "1.0.0.1", true, bare_program());
    delete_entries(older_code);
}

TEST(InstallWizard, TheChosenFolderAndTheTicksStayAcrossBackAndNext)
{
    World world(L"wizard-back");
    InstallerRun run(world, "w1");
    wizard::Wizard& pages = run.pages;
    ASSERT_TRUE(pages.Found());
    ASSERT_TRUE(pages.WaitForStep(0));
    pages.Enter();
    for (int step : {1, 2}) {
        ASSERT_TRUE(pages.WaitForStep(step));
        pages.TickAcceptBox();
        pages.Enter();
    }
    ASSERT_TRUE(pages.WaitForStep(3));
    CreateDirectoryW(windows_path(world.App()).c_str(), nullptr);
    ASSERT_TRUE(pages.ChooseFolder(world.App()));
    // Back to the read-me, then forward again without touching anything.
    pages.ClickStep(1);
    for (int step : {1, 2}) {
        ASSERT_TRUE(pages.WaitForStep(step));
        EXPECT_FALSE(pages.NextGreyed()) << "the box of step " << step << " is still ticked";
        pages.Enter();
    }
    ASSERT_TRUE(pages.WaitForStep(3));
    pages.Screenshot("wizard_folder_again");
    pages.Enter();
    ASSERT_TRUE(pages.WaitForStep(5));
    pages.Enter();
    EXPECT_EQ(run.process.Wait(form_wait_ms), 0u);
    expect_installed(world, "w1", "1.0.0.1", true, bare_program());
    EXPECT_FALSE(exists(world.Path(L"pf/Road Test"))) << "nothing in the default folder";
}

TEST(InstallWizard, AnUpdateAsksForAFileHeldOpen)
{
    World world(L"wizard-update");
    {
        InstallerRun first(world, "w1");
        ASSERT_TRUE(walk_through(world, first, {welcome, readme, licence, folder, install, finish}));
    }
    std::string old_app = file_bytes(world.App(L"bin/app.exe"));
    std::wstring held_path = world.App(L"docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt");
    HANDLE held = CreateFileW(windows_path(held_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        // No folder page for an update; No gives up and puts the old files back.
        InstallerRun update(world, "w2");
        wizard::Wizard& pages = update.pages;
        ASSERT_TRUE(pages.Found());
        ASSERT_TRUE(pages.WaitForStep(0));
        EXPECT_EQ(pages.StepCount(), 4);
        pages.Enter();
        ASSERT_TRUE(pages.WaitForStep(1));
        pages.TickAcceptBox();
        pages.Enter();
        HWND question = wizard::wait_for_window(update.process, L"Confirm", form_wait_ms);
        ASSERT_NE(question, nullptr) << "the question about the file held open";
        pages.Screenshot("wizard_install_file_held_open");
        EXPECT_EQ(pages.CurrentStep(), 2);
        ASSERT_TRUE(pages.Answer(L"Confirm", false, form_wait_ms, "wizard_file_held_open"));
        ASSERT_TRUE(pages.WaitForStep(3));
        pages.Screenshot("wizard_finish_file_in_use");
        EXPECT_TRUE(pages.FinishReportsFailure()) << "the file is in use";
        pages.Enter();
        EXPECT_EQ(update.process.Wait(form_wait_ms), 7u) << "stopped on a file in use";
    }
    // The earlier product as it was: no new file, no ".tmp", no ".bkp", no
    // folder of the update.
    EXPECT_TRUE(file_bytes(world.App(L"bin/app.exe")) == old_app) << "the earlier file is back";
    expect_installed(world, "w1", "1.0.0.1", true, bare_program());
    EXPECT_FALSE(exists(world.App(L"bin/plugins")));
    {
        // Yes once the file is let go.
        InstallerRun again(world, "w2");
        wizard::Wizard& pages = again.pages;
        ASSERT_TRUE(pages.Found());
        ASSERT_TRUE(pages.WaitForStep(0));
        pages.Enter();
        ASSERT_TRUE(pages.WaitForStep(1));
        pages.TickAcceptBox();
        pages.Enter();
        ASSERT_NE(wizard::wait_for_window(again.process, L"Confirm", form_wait_ms), nullptr);
        CloseHandle(held);
        ASSERT_TRUE(pages.Answer(L"Confirm", true));
        ASSERT_TRUE(pages.WaitForStep(3));
        pages.Enter();
        EXPECT_EQ(again.process.Wait(form_wait_ms), 0u);
    }
    expect_installed(world, "w2", "1.1", true, bare_program());
}

TEST(InstallWizard, EscapeAbortsTheInstallationAndKeepsTheOldFiles)
{
    World world(L"wizard-escape");
    {
        // The program the finish page offers ticked, unticked by the user:
        // Close starts nothing.
        InstallerRun first(world, "w1");
        ASSERT_TRUE(walk_through(world, first, {welcome, readme, licence, folder, install, finish}, true));
        ASSERT_TRUE(first.process.WaitUntilAllEnded(20000)) << "what the installer started";
        EXPECT_FALSE(exists(world.Path(L"started.txt"))) << "the unticked program started";
    }
    InstallerRun update(world, "big");
    wizard::Wizard& pages = update.pages;
    ASSERT_TRUE(pages.Found());
    ASSERT_TRUE(pages.WaitForStep(0));
    pages.TickAcceptBox();
    // Escape right behind Next: the question finds the job at work, which
    // waits for the answer.
    pages.EnterThenEscape();
    ASSERT_TRUE(pages.Answer(L"Confirm", true, form_wait_ms, "wizard_abort_question"));
    ASSERT_TRUE(pages.WaitForStep(2));
    pages.Screenshot("wizard_finish_aborted");
    EXPECT_TRUE(pages.FinishReportsFailure()) << "aborted";
    pages.Enter();
    EXPECT_EQ(update.process.Wait(form_wait_ms), 10u) << "aborted";
    expect_installed(world, "w1", "1.0.0.1", true, bare_program());
    EXPECT_FALSE(exists(world.App(L"lib"))) << "the folders the update made are gone";
}

TEST(InstallWizard, AnAcceptedAbortPutsTheOldProductBackUntilTheFilesAreCommitted)
{
    struct AbortCase {
        const char* what;
        const wchar_t* moment;  // where the job is held when Escape comes
        bool asked;             // whether to abort (answered yes)
        DWORD exit_code;
        const char* product;  // installed afterwards
        const char* version;
    } cases[] = {
        {"unpacking into a folder it made", L"unpack:6", true, 10, "w1", "1.0.0.1"},
        {"making the backups", L"backup:0", true, 10, "w1", "1.0.0.1"},
        {"applying the new files", L"apply:0", true, 10, "w1", "1.0.0.1"},
        // Every file applied, the job about to commit them: the abort
        // still puts the old ones back.
        {"committing the new files", L"commit", true, 10, "w1", "1.0.0.1"},
        {"writing the record", L"record save", false, 0, "w2", "1.1"},
    };
    World world(L"wizard-abort");
    {
        InstallerRun first(world, "w1");
        ASSERT_TRUE(walk_through(world, first, {welcome, readme, licence, folder, install, finish}));
    }
    for (const AbortCase& c : cases) {
        SCOPED_TRACE(c.what);
        HeldUpdate held(world, "w2", c.moment);
        InstallerRun& update = held.run;
        ASSERT_TRUE(held.Held()) << wizard::describe_windows(update.process, "wizard_abort");
        wizard::Wizard& pages = update.pages;
        pages.Escape();
        if (c.asked) {
            ASSERT_TRUE(pages.Answer(L"Confirm", true, form_wait_ms, "wizard_abort_held_question"));
            // Accepted once, the abort is not asked again.
            pages.Escape();
            EXPECT_EQ(wizard::wait_for_window(update.process, L"Confirm", 2000), nullptr) << "asked again";
        } else {
            EXPECT_EQ(wizard::wait_for_window(update.process, L"Confirm", 2000), nullptr)
                << "nothing can be put back: nothing to ask";
        }
        held.Release();
        ASSERT_TRUE(pages.WaitForStep(3));
        EXPECT_EQ(pages.FinishReportsFailure(), c.asked);
        pages.Enter();
        EXPECT_EQ(update.process.Wait(form_wait_ms), c.exit_code);
        expect_installed(world, c.product, c.version, true, bare_program());
        EXPECT_EQ(exists(world.App(L"bin/plugins")), std::string(c.product) == "w2") << "the update's own folder";
    }
}

// The abort is asked while the job works on to a failure that comes
// before its next report (a folder where its repair meets a temporary
// file's name): the job waits for the answer, so that the finish page never
// opens under the question. The finish page then names the object; this
// update cannot change its folder, and the page does not suggest it.
TEST(InstallWizard, AQuestionOpenWhenTheJobEndsIsAnsweredBeforeTheFinishPage)
{
    World world(L"wizard-late-question");
    {
        InstallerRun first(world, "w1");
        ASSERT_TRUE(walk_through(world, first, {welcome, readme, licence, folder, install, finish}));
    }
    std::wstring in_the_way = world.App(L"bin/core.dll.tmp");
    ASSERT_TRUE(CreateDirectoryW(windows_path(in_the_way).c_str(), nullptr));
    HeldUpdate held(world, "w2", L"repair:0");
    InstallerRun& update = held.run;
    ASSERT_TRUE(held.Held()) << wizard::describe_windows(update.process, "wizard_late");
    wizard::Wizard& pages = update.pages;
    pages.Escape();
    HWND question = wizard::wait_for_window(update.process, L"Confirm", 10000);
    ASSERT_NE(question, nullptr);
    held.Release();
    // The job meets the folder at once; its end must wait for the answer.
    bool finish_under_question = false;
    for (int waited = 0; waited < 3000 && !finish_under_question; waited += 100) {
        Sleep(100);
        finish_under_question = IsWindow(question) && pages.CurrentStep() == 3;
    }
    EXPECT_FALSE(finish_under_question) << "the finish page opened while the question was open";
    ASSERT_TRUE(pages.Answer(L"Confirm", false, 5000));
    ASSERT_TRUE(pages.WaitForStep(3, 30000));
    pages.Screenshot("wizard_finish_object_in_the_way");
    EXPECT_TRUE(pages.FinishReportsFailure());
    std::vector<uint32_t> shown =
        wizard::client_pixels(pages.Window(), 200 + finish_message.left, 72 + finish_message.top,
                      finish_message.right - finish_message.left, finish_message.bottom - finish_message.top);
    pages.Enter();
    EXPECT_EQ(update.process.Wait(20000), 12u) << "an object in the way";
    std::vector<uint32_t> fixed = drawn_object_in_the_way(in_the_way, false);
    ASSERT_NE(fixed, drawn_object_in_the_way(in_the_way, true));
    EXPECT_TRUE(shown == fixed) << "the message of a folder the user cannot choose";
    RemoveDirectoryW(windows_path(in_the_way).c_str());
    expect_installed(world, "w1", "1.0.0.1", true, bare_program());
}

// A run cut off, then the next one through the wizard, which finds the
// cut-off run undone before it looks at the installation: an update cut
// off in its apply pass and run again, aborted on its install page, leaves
// the earlier version exactly as it was and nothing of the update; a first
// installation cut off while unpacking and run again into another folder
// leaves the first folder, which the user made, empty.
TEST(InstallWizard, TheRunAfterAKillFindsTheCutOffRunUndone)
{
    {
        World world(L"wizard-cut-update");
        {
            InstallerRun first(world, "w1");
            ASSERT_TRUE(walk_through(world, first, {welcome, readme, licence, folder, install, finish}));
        }
        ProductSnapshot installed = v1_snapshot(world);
        {
            InstallerRun killed(world, "w2", {{L"PELMARO_TEST_KILL_POINT", L"apply:6"}}, pausing_installers());
            ASSERT_TRUE(walk_to_the_installation(world, killed, {welcome, licence, install}));
            ASSERT_EQ(killed.process.Wait(form_wait_ms), 86u) << "killed in its apply pass";
        }
        // Held while unpacking the first file the update adds.
        HeldUpdate held(world, "w2", L"unpack:5");
        InstallerRun& rerun = held.run;
        ASSERT_TRUE(held.Held()) << wizard::describe_windows(rerun.process, "wizard_cut_rerun");
        rerun.pages.Escape();
        ASSERT_TRUE(rerun.pages.Answer(L"Confirm", true));
        held.Release();
        ASSERT_TRUE(rerun.pages.WaitForStep(3));
        rerun.pages.Enter();
        EXPECT_EQ(rerun.process.Wait(form_wait_ms), 10u) << "aborted";
        EXPECT_TRUE(v1_snapshot(world) == installed) << "the earlier version as it was";
        EXPECT_FALSE(exists(world.App(L"bin/plugins"))) << "the update's own folder";
        for (bool common : {true, false})
            EXPECT_TRUE(world.Journal(common).empty());
    }
    {
        World world(L"wizard-cut-first");
        std::wstring first_folder = world.Path(L"first");
        {
            InstallerRun killed(world, "w1", {{L"PELMARO_TEST_KILL_POINT", L"unpack:6"}}, pausing_installers());
            ASSERT_TRUE(
                walk_to_the_installation(world, killed, {welcome, readme, licence, folder, install}, first_folder));
            ASSERT_EQ(killed.process.Wait(form_wait_ms), 86u) << "killed while unpacking";
        }
        InstallerRun rerun(world, "w1");
        ASSERT_TRUE(walk_through(world, rerun, {welcome, readme, licence, folder, install, finish}));
        expect_installed(world, "w1", "1.0.0.1", true, bare_program());
        std::set<std::wstring> files, folders;
        list_files(first_folder, L"", files, &folders);
        EXPECT_TRUE(exists(first_folder)) << "the folder the user made stays";
        EXPECT_TRUE(files.empty() && folders.empty()) << files.size() << " files, " << folders.size()
                                                      << " folders of the cut-off run stay";
    }
}

TEST(InstallWizard, KillsWhileInstallingThenARerunCompletes)
{
    // How long the update's install page works, from its Next on.
    static int install_ms = [] {
        World world(L"wizard-measure");
        InstallerRun first(world, "w1");
        if (!walk_through(world, first, {welcome, readme, licence, folder, install, finish}))
            return 0;
        InstallerRun update(world, "big");
        if (!update.pages.WaitForStep(0))
            return 0;
        update.pages.TickAcceptBox();
        DWORD start = GetTickCount();
        update.pages.Enter();
        update.pages.WaitForStep(2, 60000);
        return int(GetTickCount() - start);
    }();
    ASSERT_GT(install_ms, 0);
    // The kills go on over w1, installed in a fresh world.
    std::unique_ptr<World> world;
    auto install_w1 = [&world] {
        world.reset(new World(L"wizard-kill"));
        InstallerRun first(*world, "w1");
        return walk_through(*world, first, {welcome, readme, licence, folder, install, finish});
    };
    ASSERT_TRUE(install_w1());
    // The versions as the store's record packs them.
    const uint64_t w1_version = 1ull << 48 | 1, big_version = 1ull << 48 | 2ull << 32;
    std::mt19937 random(20260107);
    // The update is done once its record is saved, which on a loaded
    // machine is well before its finish page shows (the job still deletes
    // its backups, the page has yet to come): a kill from then on finds the
    // update done, the next run has nothing to do. The moments then shrink
    // below it, and the kills go on over w1 again.
    int window_ms = install_ms;
    int completed = 0;
    for (int kill = 0; kill < 20;) {
        int moment = int(random() % uint32_t(window_ms + 1));
        InstallerRun update(*world, "big");
        ASSERT_TRUE(update.pages.Found() && update.pages.WaitForStep(0))
            << "kill " << kill << " after " << moment << " ms: "
            << wizard::describe_windows(update.process, "wizard_kill_" + std::to_string(kill));
        ASSERT_TRUE(update.process.ArmKill()) << "the installer's host process";
        update.pages.TickAcceptBox();
        update.pages.Enter();
        if (kill == 0) {
            // The install page at work, once.
            Sleep(50);
            update.pages.Screenshot("wizard_install");
        }
        Sleep(DWORD(moment));
        update.process.KillHard();
        EXPECT_NE(update.process.Wait(0), STILL_ACTIVE);
        expect_consistent(*world, "w1", "big", true);
        uint64_t recorded = le_value(world->Record()["ver"]);
        ASSERT_TRUE(recorded == w1_version || recorded == big_version) << "recorded " << std::hex << recorded;
        if (recorded == big_version) {
            // Halving keeps up even when a loaded machine oversleeps.
            window_ms = moment / 2;
            ASSERT_LT(++completed, 10) << "the kills come too late";
            ASSERT_TRUE(install_w1());
            continue;
        }
        ++kill;
    }
    InstallerRun last(*world, "big");
    ASSERT_TRUE(walk_through(*world, last, {licence, install, finish}))
        << wizard::describe_windows(last.process, "wizard_kill_rerun");
    expect_installed(*world, "big", "1.2", true, bare_program());
}

TEST(InstallWizard, OlderProductsAreRemovedAsTicked)
{
    World world(L"wizard-older");
    TempFolder reports(L"wizard-older-reports");
    const wchar_t* behaviours[4] = {L"print", L"read", L"259", L"ok"};
    std::vector<std::wstring> codes;
    for (int i = 0; i < 4; ++i) {
        codes.push_back(road_code_name() + L"-" + std::wstring(1, wchar_t(L'a' + i)));
        register_older_product(codes[i], L"Road Test older " + std::wstring(1, wchar_t(L'A' + i)), behaviours[i],
                               reports.Path());
    }
    {
        // None ticked, kept: nothing runs.
        InstallerRun run(world, "olds");
        wizard::Wizard& pages = run.pages;
        ASSERT_TRUE(past_the_licence(pages));
        for (int row = 0; row < 4; ++row)
            pages.ClickOlderRow(row);
        pages.Screenshot("wizard_older_products_none_ticked");
        pages.Enter();
        ASSERT_TRUE(pages.Answer(L"Confirm", true));
        ASSERT_TRUE(closed_on_the_folder_page(run, "wizard_close_question"));
        for (const std::wstring& code : codes)
            EXPECT_TRUE(entry_exists(code)) << utf8_of(code);
    }
    {
        // The last one unticked, and still so after a walk back to the
        // licence; of the others the one ending with 259 fails, so the page
        // comes again with it and the kept one.
        InstallerRun run(world, "olds");
        wizard::Wizard& pages = run.pages;
        ASSERT_TRUE(past_the_licence(pages));
        pages.ClickOlderRow(3);
        pages.ClickStep(0);
        ASSERT_TRUE(pages.WaitForStep(0));
        pages.Enter();
        ASSERT_TRUE(pages.WaitForStep(1));
        pages.Screenshot("wizard_older_products_back");
        pages.Enter();
        ASSERT_TRUE(pages.Answer(L"Confirm", true)) << "some are not ticked";
        ASSERT_NE(wizard::wait_for_window(run.process, L"Confirm", form_wait_ms), nullptr) << "one failed";
        pages.Screenshot("wizard_older_products_removed");
        ASSERT_TRUE(pages.Answer(L"Confirm", false, form_wait_ms, "wizard_partial_removal"));
        ASSERT_TRUE(pages.WaitForStep(1));
        pages.Screenshot("wizard_older_products_again");
        EXPECT_FALSE(exists(reports.Path(codes[3] + L".txt"))) << "the unticked one never ran";
        // None ticked and not kept: both are removed, and the one ending
        // with 259 fails again.
        pages.ClickOlderRow(0);
        pages.ClickOlderRow(1);
        pages.Enter();
        ASSERT_TRUE(pages.Answer(L"Confirm", false)) << "keep none";
        ASSERT_NE(wizard::wait_for_window(run.process, L"Confirm", form_wait_ms), nullptr) << "one failed again";
        ASSERT_TRUE(pages.Answer(L"Confirm", true)) << "go on with the partial removal";
        ASSERT_TRUE(closed_on_the_folder_page(run, nullptr));
    }
    EXPECT_EQ(read_whole_file(windows_path(reports.Path(codes[0] + L".txt"))), "ran printed");
    EXPECT_EQ(read_whole_file(windows_path(reports.Path(codes[1] + L".txt"))), "ran read to the end");
    EXPECT_EQ(read_whole_file(windows_path(reports.Path(codes[2] + L".txt"))), "ran");
    EXPECT_EQ(read_whole_file(windows_path(reports.Path(codes[3] + L".txt"))), "ran");
    EXPECT_FALSE(entry_exists(codes[0]));
    EXPECT_FALSE(entry_exists(codes[1]));
    EXPECT_TRUE(entry_exists(codes[2]));
    EXPECT_FALSE(entry_exists(codes[3]));
    for (const std::wstring& code : codes)
        delete_entries(code);
}
