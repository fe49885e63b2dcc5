// Runs an installer for scripts/demo in the Wine prefix it runs in, the
// demo's world. By hand, the user walks the pages; otherwise they are walked
// on the virtual screen as a user who accepts what each page offers would:
// the language form answered with its proposed language, a box that holds
// Next back ticked, the default folder taken, the finish page closed. Each
// page is kept as build/artifacts/demo_<n>.png: as soon as it shows, and
// again once it has settled (the installation page of a small product
// passes before that); a page that passed before it was seen is named.
// Prints what it did, where each product of the world went (its record's
// install folder) and how the installer ended; exits with the installer's
// exit code, or 2 when the walk failed. The wizard is the installer's window
// with a title that is neither a message nor its start-up form (350 x 110),
// whatever the product and language.
//
// usage: demo_walker <installer> [by-hand]
#include <windows.h>

#include <shellapi.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "base/ci_app_full_config.h"
#include "tests/tools/install/wizard_driver.h"

namespace {

void say(const std::string& line)
{
    printf("demo: %s\n", line.c_str());
    fflush(stdout);
}

const wchar_t* const message_captions[] = {L"Error", L"Warning", L"Information", L"Confirm"};

// Says where each product recorded in the stores of the world went (its
// install folder), or that none is.
void say_installed()
{
    cCIAppFullConfig stores;
    std::vector<std::string> names;
    stores.OpenStore(L"qrv");
    stores.EnumChildren(
        "install",
        [](const char* name, void* found) {
            static_cast<std::vector<std::string>*>(found)->push_back(name);
            return true;
        },
        &names);
    for (const std::string& name : names) {
        _guardchar<wchar_t> folder;
        if (stores.ReadString(("install/" + name + "/path").c_str(), folder) && folder.Text())
            say("the product " + name + " is installed in " + utf8_of(folder.Text()));
    }
    if (names.empty())
        say("no product is installed");
}

// The installer's wizard: a window with a title that is neither one of its
// messages nor its start-up form.
HWND find_wizard(wizard::Process& installer)
{
    for (HWND window : process_windows(installer.Id())) {
        std::wstring title = form_driver::title_of(window);
        RECT client = {};
        GetClientRect(window, &client);
        bool message = false;
        for (const wchar_t* caption : message_captions)
            message = message || title == caption;
        if (!title.empty() && !message && !(client.right == 350 && client.bottom == 110))
            return window;
    }
    return nullptr;
}

bool answer_message(wizard::Process& installer, int* count);

// The language form (a window without a title) answered with Enter, once;
// a message of the start-up answered; then the wizard.
HWND wait_for_wizard(wizard::Process& installer, int* messages)
{
    bool language_answered = false;
    for (int waited = 0; waited < 600 && installer.Running(); ++waited) {
        if (answer_message(installer, messages))
            continue;
        if (HWND window = find_wizard(installer))
            return window;
        if (!language_answered) {
            if (HWND form = wizard::wait_for_window(installer, L"", 0)) {
                Sleep(500);
                wizard::save_screenshot(form, "demo_language");
                say("the language form: the proposed language taken (build/artifacts/demo_language.png)");
                wizard::press_key(form, VK_RETURN);
                language_answered = true;
            }
        }
        Sleep(100);
    }
    return nullptr;
}

// A message of the installer (a refusal, a note, a question) is shown in
// a screenshot and answered with Enter (Ok, Yes). True when there was one.
bool answer_message(wizard::Process& installer, int* count)
{
    for (const wchar_t* caption : message_captions) {
        HWND message = wizard::wait_for_window(installer, caption, 0);
        if (!message)
            continue;
        Sleep(300);
        std::string name = "demo_message_" + std::to_string(++*count);
        wizard::save_screenshot(message, name);
        say("a message \"" + utf8_of(caption) + "\" answered with Enter (build/artifacts/" + name + ".png)");
        press_key_on(message, VK_RETURN);
        wizard::wait_until_closed(message, form_wait_ms);
        return true;
    }
    return false;
}

}  // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 2 || count > 3) {
        fprintf(stderr, "usage: demo_walker <installer> [by-hand]\n");
        return 2;
    }
    wizard::Process installer(L"\"" + std::wstring(arguments[1]) + L"\"", {});
    if (count == 3) {
        say("the installer runs: walk its pages");
        DWORD code = installer.Wait(INFINITE);
        say_installed();
        say("the installer ended with exit code " + std::to_string(code));
        return int(code);
    }
    int messages = 0;
    HWND found = installer.Started() ? wait_for_wizard(installer, &messages) : nullptr;
    if (!found) {
        DWORD code = installer.Wait(10000);
        say("the installer ended before its wizard, with exit code " + std::to_string(code));
        return 2;
    }
    wizard::Wizard pages(installer, form_driver::title_of(found), 0);
    int shown = -1;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 300000 && installer.Running();) {
        if (answer_message(installer, &messages))
            continue;
        int step = pages.CurrentStep();
        if (step < 0 || step == shown) {
            Sleep(10);
            continue;
        }
        int steps = pages.StepCount();
        for (int passed = shown + 1; passed < step; ++passed)
            say("page " + std::to_string(passed + 1) + " of " + std::to_string(steps) +
                " passed before it could be kept");
        std::string name = "demo_" + std::to_string(step + 1);
        pages.Screenshot(name);
        // The page has settled once it shows the same step a moment later.
        Sleep(400);
        bool settled = pages.CurrentStep() == step;
        if (settled)
            pages.Screenshot(name);
        shown = step;
        std::string when = settled ? "" : ", as it first showed";
        say("page " + std::to_string(step + 1) + " of " + std::to_string(steps) + when + " (build/artifacts/" + name +
            ".png)");
        if (step == steps - 1) {
            pages.Enter();
            break;
        }
        // The installation page (the one before the finish page) goes on
        // by itself.
        if (step == steps - 2)
            continue;
        if (pages.NextGreyed())
            pages.TickAcceptBox();
        pages.Enter();
    }
    DWORD code = installer.Wait(60000);
    say_installed();
    say("the installer ended with exit code " + std::to_string(code));
    LocalFree(arguments);
    return code == STILL_ACTIVE ? 2 : int(code);
}
