// The installer as a user meets it, against the peer's installer of the
// same files, each started as a process of its own:
//   - start-up: from the process's start to our first wizard page (the
//     package read, inflated and its SHA-256 checked, the installation
//     planned), against the peer's first window (after its own check of its
//     data);
//   - start-up and installation: the span of the peer's silent
//     installation as a whole (its start-up, check and installation), on
//     our side the start-up to the first wizard page and then the wizard,
//     driven by real input, from the Next that starts the installation to
//     the finish page (the user's clicks in between left out); each into a
//     fresh folder.
// Both ratios leave out the fixed 500 ms pause with which our start-up
// begins (work that no faster code shortens). Prints the table of medians,
// then our peak memory.
//
// With "install", walks our installer through its wizard once (the
// licence ticked, the default folder taken) into the world "ours" of the
// work folder and prints the time so taken (as above) and its peak memory;
// exits with 0 once the installer ended with 0.
//
// With "uninstall", runs the manager's "uninstall <code name>" once in that
// world, its question answered Yes and its closing message Ok, and prints
// its time taken the same way: its start-up to the question, less the same
// pause, and the uninstall from the Yes to the closing message (the user's
// reading of the question left out, as the wizard's clicks are). Neither
// span holds any of the driver's own waits: each clock runs from the
// program's start or the key that starts the work to the window that ends
// it, which is looked for every 5 ms on both sides. Exits with 0 once the
// manager ended with 0.
//
// usage: wizard_bench <our installer> <peer installer> <work folder> [case...]
//        wizard_bench install <our installer> <wizard title> <work folder>
//        wizard_bench uninstall <manager> <code name> <work folder>
// (Windows paths; the work folder gets a fresh world of folders per run
// of the wizard)
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "bench/support/bench.h"
#include "bench/support/first_window.h"
#include "tests/tools/install/wizard_driver.h"

namespace {

const DWORD longest_run_ms = 900000;
const wchar_t bench_title[] = L"Bench software installer";
// The pause with which our installer's start-up begins.
const double start_up_pause_us = 500000;
// The titles of the uninstall's question and of its closing message.
const wchar_t confirm_title[] = L"Confirm";
const wchar_t information_title[] = L"Information";

// Starts the command line of the program; false when it does not start.
bool start_process(const std::wstring& program, std::wstring command, PROCESS_INFORMATION& process)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != 0;
}

void remove_tree(const std::wstring& folder)
{
    std::wstring from = folder + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

// The variables that put the programs' folders into the world.
std::map<std::wstring, std::wstring> world_variables(const std::wstring& world)
{
    return {{L"ProgramW6432", world + L"\\pf"},        {L"ProgramFiles", world + L"\\pf"},
            {L"APPDATA", world + L"\\appdata"},        {L"ProgramData", world + L"\\programdata"},
            {L"USERPROFILE", world + L"\\profile"},    {L"ALLUSERSPROFILE", world + L"\\all"}};
}

// A fresh world of folders for one installation; the product's record
// and entry of an earlier run are gone with it (the entry by name).
std::map<std::wstring, std::wstring> fresh_world(const std::wstring& world)
{
    remove_tree(world);
    for (const wchar_t* folder : {L"", L"\\pf", L"\\appdata", L"\\programdata", L"\\profile", L"\\all",
                                  L"\\all\\Start Menu", L"\\all\\Start Menu\\Programs"})
        CreateDirectoryW((world + folder).c_str(), nullptr);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\bench",
                    KEY_WOW64_64KEY, 0);
    return world_variables(world);
}

// Microseconds from started to the program's window of that title,
// looked for every 5 ms (the drivers look every 20 or 50 ms: too coarse
// for a start-up).
double time_to_window(wizard::Process& program, const std::wstring& title, uint64_t started)
{
    while (!find_process_window(program.Id(), title.c_str())) {
        bench_require(program.Running(), "our program shows its window");
        bench_require(clock_now_us() - started < uint64_t(longest_run_ms) * 1000, "our window in time");
        Sleep(5);
    }
    return double(clock_now_us() - started);
}

uint64_t peak_memory(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}

class cInstallerBench {
public:
    cInstallerBench(const std::wstring& our_installer, const std::wstring& peer_installer, const std::wstring& folder,
                    const std::wstring& wizard_title = bench_title)
        : ours(our_installer), peer(peer_installer), work(folder), title(wizard_title), our_peak(0)
    {
    }

    // Microseconds to our first wizard page, less the pause.
    double OurStartUp()
    {
        std::map<std::wstring, std::wstring> variables = fresh_world(work + L"\\startup");
        uint64_t start = clock_now_us();
        wizard::Process installer(L"\"" + ours + L"\"", variables);
        HWND window = wizard::wait_for_window(installer, title, longest_run_ms);
        uint64_t elapsed = clock_now_us() - start;
        bench_require(window != nullptr, "our installer shows its wizard");
        return double(elapsed) - start_up_pause_us;
    }

    // Microseconds to the peer's first visible window.
    double PeerStartUp()
    {
        return time_to_first_window(peer, uint64_t(longest_run_ms) * 1000);
    }

    // Microseconds of our start-up to the first wizard page, less its
    // pause, and of the installation from the Next that starts it to the
    // finish page: licence ticked, the default folder taken.
    double OurInstallation()
    {
        std::wstring world = work + L"\\ours";
        std::map<std::wstring, std::wstring> variables = fresh_world(world);
        uint64_t started = clock_now_us();
        wizard::Process installer(L"\"" + ours + L"\"", variables);
        double start_up = time_to_window(installer, title, started);
        wizard::Wizard pages(installer, title, longest_run_ms);
        bench_require(pages.Found() && pages.WaitForStep(0, longest_run_ms), "our wizard's licence page");
        pages.TickAcceptBox();
        pages.Enter();
        bench_require(pages.WaitForStep(1), "our folder page");
        bench_require(!pages.NextGreyed(), "Next on the folder page");
        wizard::bring_forward(pages.Window());
        send_key_press(VK_RETURN);
        uint64_t start = clock_now_us();
        for (bool finished = false; !finished;) {
            finished = pages.StepState(3) == 2;
            bench_require(clock_now_us() - start < uint64_t(longest_run_ms) * 1000, "the finish page in time");
            if (!finished)
                Sleep(5);
        }
        double installation = double(clock_now_us() - start);
        uint64_t peak = peak_memory(installer.Handle());
        our_peak = peak > our_peak ? peak : our_peak;
        pages.Enter();
        bench_require(installer.Wait(60000) == 0, "our installer ends with 0");
        return start_up - start_up_pause_us + installation;
    }

    // Microseconds of the manager's uninstall of the product that
    // OurInstallation put into the world "ours": its start-up to the
    // question, less its pause, and the uninstall from the Yes to the
    // closing message.
    double OurUninstall(const std::wstring& manager, const std::wstring& code)
    {
        std::map<std::wstring, std::wstring> variables = world_variables(work + L"\\ours");
        uint64_t started = clock_now_us();
        wizard::Process uninstaller(L"\"" + manager + L"\" uninstall \"" + code + L"\"", variables);
        double start_up = time_to_window(uninstaller, confirm_title, started);
        HWND question = wait_for_form(uninstaller.Handle(), confirm_title);
        bench_require(question && take_front(question), "our question takes input");
        send_key_press(VK_RETURN);
        uint64_t start = clock_now_us();
        double uninstall = time_to_window(uninstaller, information_title, start);
        HWND message = wait_for_form(uninstaller.Handle(), information_title);
        bench_require(message && press_key_on(message, VK_RETURN), "our closing message takes Ok");
        bench_require(uninstaller.Wait(60000) == 0, "our uninstall ends with 0");
        return start_up - start_up_pause_us + uninstall;
    }

    // Microseconds of the peer's whole silent installation.
    double PeerInstallation()
    {
        std::wstring world = work + L"\\peer";
        fresh_world(world);
        PROCESS_INFORMATION process = {};
        uint64_t start = clock_now_us();
        bench_require(start_process(peer, L"\"" + peer + L"\" /S /D=" + world + L"\\pf\\Bench", process),
                      "the peer's installer starts");
        WaitForSingleObject(process.hProcess, INFINITE);
        uint64_t elapsed = clock_now_us() - start;
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        bench_require(code == 0, "the peer's installation ends with 0");
        return double(elapsed);
    }

    std::wstring ours;
    std::wstring peer;
    std::wstring work;
    std::wstring title;
    uint64_t our_peak;
};

}  // namespace

int main(int argc, char** argv)
{
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words && count == 5 && wcscmp(words[1], L"install") == 0) {
        CreateDirectoryW(words[4], nullptr);
        cInstallerBench once(words[2], L"", words[4], words[3]);
        printf("time: ours %.3f s\n", once.OurInstallation() / 1e6);
        printf("peak memory: ours %.1f MiB\n", double(once.our_peak) / 1048576.0);
        LocalFree(words);
        return 0;
    }
    if (words && count == 5 && wcscmp(words[1], L"uninstall") == 0) {
        cInstallerBench once(L"", L"", words[4]);
        printf("time: ours %.3f s\n", once.OurUninstall(words[2], words[3]) / 1e6);
        LocalFree(words);
        return 0;
    }
    if (!words || count < 4) {
        fprintf(stderr, "usage: wizard_bench <our installer> <peer installer> <work folder> [case...]\n");
        return 2;
    }
    // Each run's world is made inside the work folder, which may be new.
    CreateDirectoryW(words[3], nullptr);
    cInstallerBench bench(words[1], words[2], words[3]);
    std::vector<BenchCase> cases = {
        {"startup to the wizard, less our pause", "the peer's to its first window", 1.0,
         [&]() { return bench.OurStartUp(); }, [&]() { return bench.PeerStartUp(); }},
        {"startup and installation, less our pause", "the peer's silent installation", 1.0,
         [&]() { return bench.OurInstallation(); }, [&]() { return bench.PeerInstallation(); }},
    };
    // The case names after the three paths pick the cases.
    std::vector<char*> picked = {argv[0]};
    for (int i = 4; i < argc; ++i)
        picked.push_back(argv[i]);
    int status = bench_run(cases, int(picked.size()), picked.data(), 5);
    if (bench.our_peak)
        printf("peak memory: ours %.1f MiB\n", double(bench.our_peak) / 1048576.0);
    LocalFree(words);
    return status;
}
