#ifndef TESTS_SUPPORT_SELF_PROCESS_H
#define TESTS_SUPPORT_SELF_PROCESS_H

#include <windows.h>

#include <string>
#include <vector>

// The test program started again as a second process: the test's own main
// sees its child arguments and does the child's work instead of the tests.

// This program's command line as wide arguments (argv[0] first).
inline std::vector<std::wstring> self_arguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; ++i)
        arguments.push_back(wide[i]);
    LocalFree(wide);
    return arguments;
}

// A running copy of this program; waited for and closed when it goes.
class SelfProcess {
public:
    // Starts this program with the arguments (quote paths yourself).
    explicit SelfProcess(const std::wstring& arguments)
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            process = started.hProcess;
            CloseHandle(started.hThread);
        }
    }
    ~SelfProcess()
    {
        if (process) {
            WaitForSingleObject(process, INFINITE);
            CloseHandle(process);
        }
    }
    SelfProcess(const SelfProcess&) = delete;
    SelfProcess& operator=(const SelfProcess&) = delete;

    bool Started() const { return process != nullptr; }

    // Waits for the end; the exit code, or 99 when it never started.
    DWORD Wait()
    {
        DWORD code = 99;
        if (process && WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0)
            GetExitCodeProcess(process, &code);
        return code;
    }

private:
    HANDLE process = nullptr;
};

// Starts this program with the arguments and answers its exit code.
inline DWORD run_self(const std::wstring& arguments)
{
    return SelfProcess(arguments).Wait();
}

// A named event for talking to a child, unique to this process and tag.
inline std::wstring self_event_name(const wchar_t* tag)
{
    return L"pelmaro-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + tag;
}

#endif
