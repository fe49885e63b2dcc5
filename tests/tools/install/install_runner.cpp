// A test build of the installer: the install road's code with its kill
// points, without the wizard. As a bare program it makes installers of
// itself ("make <scenario> <target>") and answers the version query
// ("version"); a copy with a package (an installer) runs the start-up and
// the install job at once, playing the wizard's part from the environment:
//
//   PELMARO_TEST_FOLDER          the install folder of a first installation
//   PELMARO_TEST_LANGUAGE        the answer to the language question
//                                (default: the proposed language)
//   PELMARO_TEST_RELEASE_FOLDER  for a file held open, at start-up or by
//                                the job: writes asked.txt there and
//                                waits for answer.txt ("yes" to try
//                                again); without it the answer is no
//   PELMARO_TEST_STOP_AT_STEP    a stop is requested once that step shows
//   PELMARO_TEST_KILL_POINT      see tools/install/kill_point.h
//
// "uninstall <code name>" uninstalls the product as the uninstall form
// would with every question answered Yes, a held file given up, and prints
// "uninstall <result>"; it exits with the result.
//
// It prints what happened ("language <proposed> <chosen>", "init <code>
// <error path>", "older" and "older-command" for each older product to
// remove, "job <result> <status> <error path>") and exits with 0
// for a finished job, 50 + the start-up's code, or 100 + the job's status.
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <string>

#include "base/ci_app_full_config.h"
#include "gui/catalog.h"
#include "tools/install/install_context.h"
#include "tools/install/install_init.h"
#include "tools/install/install_job.h"
#include "tools/install/uninstall_job.h"
#include "tools/package/make_mode.h"
#include "tools/package/package_queries.h"
#include "tools/shell/app_language.h"
#include "tools/shell/own_path.h"
#include "tools/shell/self_command_block.h"
#include "tools/shell/version_query.h"

namespace {

std::wstring env(const wchar_t* name)
{
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length && length < 32768 ? std::wstring(value, length) : std::wstring();
}

void print(const char* what, uint32_t a, uint32_t b, const wchar_t* path)
{
    char utf8[4096] = "";
    if (path)
        WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof(utf8), nullptr, nullptr);
    printf("%s %u %u %s\n", what, a, b, utf8);
    fflush(stdout);
}

// Prints "asked" with the held file and answers from the release folder.
bool answer_release(const wchar_t* path)
{
    print("asked", 0, 0, path);
    std::wstring folder = env(L"PELMARO_TEST_RELEASE_FOLDER");
    if (folder.empty())
        return false;
    HANDLE asked = CreateFileW((folder + L"\\asked.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(asked);
    for (int i = 0; i < 3000; ++i) {
        HANDLE answer = CreateFileW((folder + L"\\answer.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        if (answer != INVALID_HANDLE_VALUE) {
            char text[8] = {};
            DWORD read = 0;
            ReadFile(answer, text, sizeof(text) - 1, &read, nullptr);
            CloseHandle(answer);
            DeleteFileW((folder + L"\\answer.txt").c_str());
            return text[0] == 'y';
        }
        Sleep(10);
    }
    return false;
}

class cRunnerQuestions : public cInstallInitQuestions {
public:
    uint32_t ChooseLanguage(uint32_t proposed) override
    {
        std::wstring answer = env(L"PELMARO_TEST_LANGUAGE");
        uint32_t chosen = answer.empty() ? proposed : uint32_t(_wtoi(answer.c_str()));
        print("language", proposed, chosen, nullptr);
        return chosen;
    }
    bool AskRelease(const wchar_t* path) override { return answer_release(path); }
};

class cRunnerHost : public cInstallJobHost {
public:
    cRunnerHost() : step(-1)
    {
        std::wstring stop = env(L"PELMARO_TEST_STOP_AT_STEP");
        stop_at = stop.empty() ? -1 : _wtoi(stop.c_str());
    }
    bool Notify(double) override { return stop_at < 0 || step < stop_at; }
    void SelectStep(int new_step) override { step = new_step; }
    void SelectLastStep() override {}
    bool Commit() override { return Notify(100.0); }
    bool AskRelease(const wchar_t* path) override { return answer_release(path); }

private:
    int step;
    int stop_at;
};

int install(const wchar_t* own_path)
{
    _guardchar<wchar_t> package_path;
    uint32_t package_offset = 0;
    if (!read_self_command_block(package_path, package_offset))
        return 2;
    cCIAppFullConfig config;
    if (!config.OpenStore(L"qrv")) {
        config.CreateStore(L"qrv");
        config.OpenStore(L"qrv");
    }
    application_language_provider();
    cInstallContext context(own_path, package_path.Text(), package_offset);
    cRunnerQuestions questions;
    uint32_t code = run_install_init(context, &config, questions);
    if (code == INSTALL_INIT_READY && context.installed_version == ~uint64_t(0)) {
        // A first installation: the folder page's part.
        std::wstring folder = env(L"PELMARO_TEST_FOLDER");
        for (wchar_t& c : folder)
            if (c == L'\\')
                c = L'/';
        set_pgm_folder(context.package.strings, folder.c_str());
        code = plan_install_files(context);
    }
    print("init", code, 0, context.error_path.Text());
    for (cOlderProduct* older = context.products_to_uninstall.first; older; older = older->next) {
        print("older", older->run, 0, older->name.Text());
        print("older-command", 0, 0, older->command.Text());
    }
    if (code != INSTALL_INIT_READY)
        return 50 + int(code);
    const cStringArray* texts = catalog_find_section(get_global_catalog(), L"pkgm::instp");
    cInstallJobTexts job_texts = {get_catalog_string(texts, 5), get_catalog_string(texts, 6)};
    cRunnerHost host;
    uint32_t result = run_install_job(context, &config, job_texts, host);
    print("job", result, context.status, context.error_path.Text());
    return context.status == INSTALL_STATUS_OK ? 0 : 100 + int(context.status);
}

class cYesQuestions : public cUninstallQuestions {
public:
    bool SwitchLanguage(uint32_t id) override { return apply_language(id); }
    uint32_t ChooseLanguage(uint32_t proposed) override { return proposed; }
    bool Confirm(uint32_t) override { return true; }
    bool AskRelease(const wchar_t*) override { return false; }
};

int uninstall(const wchar_t* code_name)
{
    cCIAppFullConfig config;
    if (!config.OpenStore(L"qrv"))
        return 2;
    application_language_provider();
    cUninstallContext context(code_name);
    cYesQuestions questions;
    uint32_t result = run_uninstall(context, &config, questions, nullptr);
    print("uninstall", result, 0, nullptr);
    return int(result);
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    _guardchar<wchar_t> own;
    if (!argv || !get_own_program_path(own))
        return 2;
    if (argc == 4 && wcscmp(argv[1], L"make") == 0)
        return run_make_mode(own.Text(), argv[2], argv[3]);
    if (argc == 3 && wcscmp(argv[1], L"uninstall") == 0)
        return uninstall(argv[2]);
    if (argc == 2 && wcscmp(argv[1], L"version") == 0)
        return int(run_version_mode());
    return install(own.Text());
}
