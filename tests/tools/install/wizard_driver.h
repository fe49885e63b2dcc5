#ifndef TESTS_TOOLS_INSTALL_WIZARD_DRIVER_H
#define TESTS_TOOLS_INSTALL_WIZARD_DRIVER_H

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/gui/gui_test_elements.h"
#include "tests/support/artifacts.h"
#include "tests/support/form_driver.h"
#include "tests/support/process_windows.h"
#include "tests/tools/install/install_test_support.h"

// Drives the program's windows in another process the way a user does:
// real input (SendInput) into the foreground window, pixels read back from
// the screen. A Process is a program the test starts and ends (with every
// process it starts in turn); a Wizard is the install wizard of such a
// process, told apart page by page by its step list.
//
//   wizard::Process installer(L"\"setup.exe\"", variables, folder);
//   wizard::Wizard pages(installer, L"Road Test w1 software installer");
//   pages.WaitForStep(0);  pages.Screenshot("wizard_welcome");  pages.Enter();
//   pages.TickAcceptBox(); ... pages.Answer(L"Confirm", true);
//   installer.Wait(30000);

namespace wizard {

// A program started in a job object of its own, with its own environment
// (the current one with the variables replaced). Its destructor ends it
// and everything it started.
class Process {
public:
    Process(const std::wstring& command, const std::map<std::wstring, std::wstring>& variables,
            const std::wstring& folder = L"")
        : job(CreateJobObjectW(nullptr, nullptr)), process(nullptr), id(0)
    {
        int count = 0;
        if (wchar_t** words = CommandLineToArgvW(command.c_str(), &count)) {
            program = count > 0 ? words[0] : L"";
            LocalFree(words);
        }
        std::wstring block = environment_block(variables);
        std::wstring line = command;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
                           &block[0], folder.empty() ? nullptr : windows_path(folder).c_str(), &startup, &info)) {
            AssignProcessToJobObject(job, info.hProcess);
            ResumeThread(info.hThread);
            CloseHandle(info.hThread);
            process = info.hProcess;
            id = info.dwProcessId;
        }
    }
    // A program another one started, by its process id: waited for and
    // driven like one the test started; it ends with the job of the program
    // that started it (or by itself), not with this object.
    explicit Process(DWORD process_id)
        : job(CreateJobObjectW(nullptr, nullptr)),
          process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process_id)), id(process_id)
    {
    }
    ~Process()
    {
        // An armed kill that never struck ends its wait.
        if (!trigger.empty() && Running())
            KillHard();
        EndAll();
        if (process)
            CloseHandle(process);
        CloseHandle(job);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return process != nullptr; }
    HANDLE Handle() const { return process; }
    DWORD Id() const { return id; }
    bool Running() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
    // The exit code once it ended within the time; STILL_ACTIVE otherwise.
    DWORD Wait(DWORD timeout_ms)
    {
        DWORD code = STILL_ACTIVE;
        if (process && WaitForSingleObject(process, timeout_ms) == WAIT_OBJECT_0)
            GetExitCodeProcess(process, &code);
        return code;
    }
    // The host process of a Wine process, for a kill from outside: its
    // command line starts with the program's Windows path, which a shell
    // of the host looks for (a test runs one copy of a program at a time).
    // 0 when none is found.
    int FindHostProcess()
    {
        if (host_pid)
            return host_pid;
        std::wstring found = HostFile(L"found");
        std::string unix_found = UnixName(found);
        if (unix_found.empty())
            return 0;
        // A pattern that does not match its own text in grep's command line.
        std::wstring pattern;
        for (wchar_t c : program)
            pattern += c == L'\\' ? std::wstring(L"\\\\") : c == L'.' ? std::wstring(L"[.]") : std::wstring(1, c);
        std::wstring part = wide_of(unix_found) + L".part";
        RunHost(L"/bin/sh -c \"grep -lzx '" + pattern + L"' /proc/[0-9]*/cmdline 2>/dev/null >" + part + L"; mv " +
                part + L" " + wide_of(unix_found) + L"\"");
        for (int waited = 0; waited < 200 && GetFileAttributesW(found.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited)
            Sleep(50);
        std::string listed = read_file_bytes(found);
        DeleteFileW(found.c_str());
        // "/proc/<pid>/cmdline" lines; the first field's match is the program.
        size_t at = listed.find("/proc/");
        host_pid = at == std::string::npos ? 0 : atoi(listed.c_str() + at + 6);
        return host_pid;
    }
    // Makes the kill quick: a shell of the host waits for a file and then
    // kills the host process at once, so that KillHard strikes within a few
    // milliseconds instead of after a process start. False when the host
    // process is not found.
    bool ArmKill()
    {
        if (!FindHostProcess())
            return false;
        trigger = HostFile(L"trigger");
        std::string unix_trigger = UnixName(trigger);
        if (unix_trigger.empty())
            return false;
        RunHost(L"/bin/sh -c \"while [ ! -e " + wide_of(unix_trigger) + L" ]; do sleep 0.005; done; kill -9 " +
                std::to_wstring(host_pid) + L"; rm -f " + wide_of(unix_trigger) + L"\"");
        return true;
    }
    // SIGKILL from outside to the host process, then the rest of the job
    // (the children it started) is ended.
    void KillHard()
    {
        if (trigger.empty())
            ArmKill();
        if (!trigger.empty()) {
            HANDLE file = CreateFileW(trigger.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
        Wait(10000);
        EndAll();
        if (!trigger.empty())
            DeleteFileW(trigger.c_str());
    }
    // Until no process of the job runs any more (the program and all it
    // started); false when one still runs after the time.
    bool WaitUntilAllEnded(DWORD timeout_ms)
    {
        for (DWORD waited = 0;; waited += 50) {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
            if (QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                          nullptr) &&
                accounting.ActiveProcesses == 0)
                return true;
            if (waited >= timeout_ms)
                return false;
            Sleep(50);
        }
    }
    // Ends every process of the job, by the job.
    void EndAll()
    {
        TerminateJobObject(job, 87);
        if (process)
            WaitForSingleObject(process, 10000);
    }

private:
    std::wstring HostFile(const wchar_t* what)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"pelmaro-" + what + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(id) + L".txt";
    }
    // The host's name of a Windows path (Wine's own answer); empty when
    // there is none.
    static std::string UnixName(const std::wstring& path)
    {
        typedef char*(CDECL * tUnixName)(const wchar_t*);
        tUnixName unix_name = reinterpret_cast<tUnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        char* name = unix_name ? unix_name(path.c_str()) : nullptr;
        std::string text = name ? name : "";
        if (name)
            HeapFree(GetProcessHeap(), 0, name);
        return text;
    }
    // Starts a program of the host (Wine runs it as a host process).
    static void RunHost(std::wstring command)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    static std::string read_file_bytes(const std::wstring& path)
    {
        std::ifstream in(path.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    HANDLE job;
    HANDLE process;
    DWORD id;
    std::wstring program;  // as the command line names it
    int host_pid = 0;
    std::wstring trigger;  // the file that makes the armed kill strike
};

// A visible top-level window of the process with exactly that title; null
// when none shows within the time or the process ends first.
inline HWND wait_for_window(Process& process, const std::wstring& title, DWORD timeout_ms)
{
    for (DWORD waited = 0;; waited += 50) {
        if (HWND found = find_process_window(process.Id(), title.c_str()))
            return found;
        if (waited >= timeout_ms || !process.Running())
            return nullptr;
        Sleep(50);
    }
}

// The process's visible top-level windows, as "title" lines, each kept as
// build/artifacts/<name>_<i>.png: what a test that waits in vain shows.
inline std::string describe_windows(Process& process, const std::string& name);

// Until the window is gone or hidden (a modal run that ended); false when
// it is still there after the time.
inline bool wait_until_closed(HWND window, DWORD timeout_ms)
{
    for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(50);
    }
    return false;
}

inline POINT client_origin(HWND window)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

// The screen's pixels of a rectangle of the window's client area, as the
// screen shows them now, top row first, 0x00RRGGBB.
inline std::vector<uint32_t> client_pixels(HWND window, int x, int y, int width, int height)
{
    POINT origin = client_origin(window);
    HWND desktop = GetDesktopWindow();
    return window_pixels(desktop, origin.x + x, origin.y + y, width, height);
}

inline uint32_t client_pixel(HWND window, int x, int y)
{
    return client_pixels(window, x, y, 1, 1)[0];
}

// The distance of two 0x00RRGGBB colours, the largest of the channels'.
inline int colour_distance(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift : {0, 8, 16}) {
        int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        largest = d < 0 ? (-d > largest ? -d : largest) : (d > largest ? d : largest);
    }
    return largest;
}

// build/artifacts/<name>.png: the window's client area as the screen shows it.
inline void save_screenshot(HWND window, const std::string& name)
{
    RECT client = {};
    GetClientRect(window, &client);
    std::vector<uint32_t> rgb = client_pixels(window, 0, 0, client.right, client.bottom);
    // png_of takes 0x00BBGGRR.
    for (uint32_t& pixel : rgb)
        pixel = (pixel & 0xFF00) | ((pixel >> 16) & 0xFF) | ((pixel & 0xFF) << 16);
    std::string png = png_of(client.right, client.bottom, rgb);
    keep_artifact((name + ".png").c_str(), png.data(), png.size());
}

inline std::string describe_windows(Process& process, const std::string& name)
{
    std::vector<HWND> shown = process_windows(process.Id());
    std::string titles;
    for (size_t i = 0; i < shown.size(); ++i) {
        wchar_t text[512] = {};
        GetWindowTextW(shown[i], text, 512);
        titles += "\"" + utf8_of(text) + "\" ";
        save_screenshot(shown[i], name + "_" + std::to_string(i));
    }
    return titles.empty() ? "no window" : titles;
}

// The window in front and taking input (form_driver.h), for the input
// that follows.
inline void bring_forward(HWND window)
{
    take_front(window);
}

// Until the window's thread has handled the input sent to it (and what
// that input posted to it in turn).
inline void input_handled(HWND window)
{
    for (int round = 0; round < 3; ++round)
        answers_messages(window);
}

inline void click_client(HWND window, int x, int y)
{
    bring_forward(window);
    POINT origin = client_origin(window);
    send_mouse_move_to(origin.x + x, origin.y + y);
    Sleep(30);
    send_mouse_button(true, false);
    Sleep(30);
    send_mouse_button(true, true);
    input_handled(window);
}

inline void press_key(HWND window, WORD key)
{
    bring_forward(window);
    send_key_press(key);
    input_handled(window);
}

inline void press_ctrl_key(HWND window, WORD key)
{
    bring_forward(window);
    send_key(VK_CONTROL, false);
    send_key_press(key);
    send_key(VK_CONTROL, true);
    input_handled(window);
}

// Characters as the keyboard types them: each by its key, with Shift where
// the layout needs it.
inline void type_text(HWND window, const std::wstring& text)
{
    bring_forward(window);
    for (wchar_t c : text) {
        SHORT scan = VkKeyScanW(c);
        bool shifted = (scan >> 8) & 1;
        if (shifted)
            send_key(VK_SHIFT, false);
        send_key_press(WORD(scan & 0xFF));
        if (shifted)
            send_key(VK_SHIFT, true);
        Sleep(5);
    }
    input_handled(window);
}

// The install wizard of a process, found by its window title. Its layout:
// the step list's markers at (25, 85 + 22 i), the page at (200, 72), its
// accept box at (193, 369), Next at the bottom right.
class Wizard {
public:
    // Colours of the step markers (0x00RRGGBB): the current step's disc,
    // a done step's disc and the ring of a step to come.
    static const uint32_t current_colour = 0x2B6CA8;
    static const uint32_t done_colour = 0x7FA3C4;
    static const uint32_t upcoming_colour = 0xA8A2AB;
    static const uint32_t next_idle_face = 0xE7E7E7;

    Wizard(Process& driven, const std::wstring& title, DWORD timeout_ms = form_wait_ms)
        : process(driven), window(wait_for_window(driven, title, timeout_ms))
    {
    }

    bool Found() const { return window != nullptr; }
    HWND Window() const { return window; }

    // The step of row index: 2 current, 1 done, 0 to come, -1 no step.
    int StepState(int index)
    {
        int x = 25 + 8, y = 85 + 22 * index;
        uint32_t ring = client_pixel(window, x, y + 1);
        uint32_t inside = client_pixel(window, x, y + 3);
        if (colour_distance(inside, current_colour) < 40)
            return 2;
        if (colour_distance(inside, done_colour) < 40)
            return 1;
        return colour_distance(ring, upcoming_colour) < 50 ? 0 : -1;
    }
    int StepCount()
    {
        int count = 0;
        while (count < 7 && StepState(count) >= 0)
            ++count;
        return count;
    }
    // The index of the current step, -1 when none shows as current.
    int CurrentStep()
    {
        for (int i = 0; i < 7; ++i)
            if (StepState(i) == 2)
                return i;
        return -1;
    }
    // Until the page of that step shows, painted whole (the step list the
    // same twice, 100 ms apart).
    bool WaitForStep(int index, DWORD timeout_ms = form_wait_ms)
    {
        for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
            if (CurrentStep() == index) {
                int steps = StepCount();
                Sleep(100);
                if (CurrentStep() == index && StepCount() == steps)
                    return true;
            }
            Sleep(50);
        }
        return false;
    }
    // The finish page reports a failure: its message is in the error's red.
    bool FinishReportsFailure()
    {
        std::vector<uint32_t> message = client_pixels(window, 210, 112, 390, 60);
        for (uint32_t pixel : message)
            if (colour_distance(pixel, 0xA04040) < 40)
                return true;
        return false;
    }
    // The title line has text in it.
    bool HasTitle()
    {
        std::vector<uint32_t> title = client_pixels(window, 195, 25, 300, 25);
        for (uint32_t pixel : title)
            if (colour_distance(pixel, 0x313238) < 60)
                return true;
        return false;
    }
    // Next paints greyed (its face lighter) while the mouse is elsewhere.
    bool NextGreyed()
    {
        send_mouse_move_to(0, 0);
        input_handled(window);
        Sleep(100);
        return colour_distance(client_pixel(window, 516, 397), next_idle_face) > 4;
    }
    void ClickNext() { click_client(window, 561, 405); }
    void Enter() { press_key(window, VK_RETURN); }
    void Escape() { press_key(window, VK_ESCAPE); }
    // Both keys at once, as a quick hand types them.
    void EnterThenEscape()
    {
        bring_forward(window);
        send_key_press(VK_RETURN);
        send_key_press(VK_ESCAPE);
        input_handled(window);
    }
    void TickAcceptBox() { click_client(window, 193 + 7, 369 + 7); }
    void ClickStep(int index) { click_client(window, 60, 85 + 22 * index + 7); }
    // The check box of a row of the older products' list.
    void ClickOlderRow(int row) { click_client(window, 217, 91 + row_height * row); }
    void ClickBrowse() { click_client(window, 550, 155); }
    // The box of a program the finish page offers to start.
    void ClickRunBox(int index) { click_client(window, 200 + 15 + 7, 72 + 110 + 25 * index + 9); }
    void Screenshot(const std::string& name) { save_screenshot(window, name); }

    // A message form of the process with that caption, shown over the
    // wizard: screenshot (when named), then yes (Enter) or no (Escape).
    // False when none came within the time.
    bool Answer(const std::wstring& caption, bool yes, DWORD timeout_ms = form_wait_ms,
                const char* screenshot = nullptr)
    {
        HWND message = wait_for_window(process, caption, timeout_ms);
        if (!message)
            return false;
        if (screenshot) {
            // Painted whole once its thread is back in its loop.
            answers_messages(message);
            Sleep(200);
            save_screenshot(message, screenshot);
        }
        return press_key_on(message, yes ? VK_RETURN : VK_ESCAPE) && wait_until_closed(message, form_wait_ms);
    }

    // Browse, then the folder typed into the chooser and opened and
    // chosen there (Enter twice). False when the chooser did not come or
    // did not close.
    bool ChooseFolder(const std::wstring& folder, const wchar_t* chooser_title = L"Select a folder for installation")
    {
        ClickBrowse();
        HWND chooser = wait_for_window(process, chooser_title, form_wait_ms);
        if (!chooser)
            return false;
        press_ctrl_key(chooser, 'A');
        type_text(chooser, windows_path(folder));
        press_key(chooser, VK_RETURN);
        Sleep(500);
        press_key(chooser, VK_RETURN);
        return wait_until_closed(chooser, form_wait_ms);
    }

    // The older products' rows are this far apart.
    static const int row_height = 17;

private:
    Process& process;
    HWND window;
};

}  // namespace wizard

#endif
