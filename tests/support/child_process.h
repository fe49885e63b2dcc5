#ifndef TESTS_SUPPORT_CHILD_PROCESS_H
#define TESTS_SUPPORT_CHILD_PROCESS_H

#include <windows.h>

#include <string>
#include <vector>

// Tests that need a second process start their own executable as the child:
// a test linked with child_main.cpp, started with "--child MODE ARGS...",
// runs the child mode registered under MODE and exits with its result.
// Modes are registered where they are used:
//
//   CHILD_MODE(echo) { ... return exit code; }   // arguments: ARGS
//
// child_modes.cpp holds the modes that the process tests share. Started
// without arguments while CHILD_MARKER_VARIABLE names a path, the executable
// writes that marker file and exits (for launches that pass no arguments).
#define CHILD_MARKER_VARIABLE L"PELMARO_TEST_CHILD_MARKER"

typedef UINT (*tChildMode)(const std::vector<std::wstring>& arguments);
bool register_child_mode(const wchar_t* name, tChildMode mode);

#define CHILD_MODE(name)                                                                       \
    static UINT child_mode_##name(const std::vector<std::wstring>& arguments);                \
    static const bool child_mode_##name##_registered = register_child_mode(L## #name, child_mode_##name); \
    static UINT child_mode_##name([[maybe_unused]] const std::vector<std::wstring>& arguments)

// Writes beside and renames into place, so a reader never sees it half done.
void write_child_file(const std::wstring& path, const std::string& content);

inline std::wstring own_executable()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

// The command line that starts this executable as a child doing `what`.
inline std::wstring child_command(const std::wstring& what)
{
    return L"\"" + own_executable() + L"\" --child " + what;
}

// Starts this executable as a child doing `what`; its process handle, for
// the caller to close, or null when it could not be started.
inline HANDLE start_child(const std::wstring& what)
{
    std::wstring command = child_command(what);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Starts this executable as a child doing `what` and waits for it; its exit
// code, or 99 when it could not be started.
inline DWORD run_child_and_wait(const std::wstring& what)
{
    HANDLE process = start_child(what);
    if (!process)
        return 99;
    WaitForSingleObject(process, INFINITE);
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// The content of a file that a child writes whole (it appears by a rename),
// waiting for it up to 30 s; "<missing>" when it did not come.
inline std::string wait_for_child_file(const std::wstring& path)
{
    for (int i = 0; i < 3000; ++i) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char bytes[64];
            DWORD read = 0;
            BOOL ok = ReadFile(file, bytes, sizeof(bytes), &read, nullptr);
            CloseHandle(file);
            return ok ? std::string(bytes, read) : "<unreadable>";
        }
        Sleep(10);
    }
    return "<missing>";
}

#endif
