#ifndef TESTS_SUPPORT_CHILD_PROCESS_H
#define TESTS_SUPPORT_CHILD_PROCESS_H

#include <windows.h>

#include <string>

// Tests of child processes start their own executable as the child (see
// child_main.cpp, which gives them their main). The first argument
// "--child" selects what the child does:
//   answer HEX CODE   writes the bytes given in hexadecimal to standard
//                     output and exits with CODE (decimal)
//   silent CODE       exits with CODE without writing
//   echo              copies 16 bytes from standard input to standard output
//   sleep             sleeps for a minute, unless ended first
//   marker PATH       writes the file PATH holding "marker"
//   wait EVENT PATH   waits up to 30 s for the named event, then writes the
//                     file PATH holding "released" or "timeout"
// Started without arguments while CHILD_MARKER_VARIABLE names a path, the
// executable writes that marker file and exits.
#define CHILD_MARKER_VARIABLE L"PELMARO_TEST_CHILD_MARKER"

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
