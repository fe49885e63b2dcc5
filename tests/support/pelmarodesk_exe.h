#ifndef TESTS_SUPPORT_PELMARODESK_EXE_H
#define TESTS_SUPPORT_PELMARODESK_EXE_H

#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

// A host path of the build as Wine sees it, on drive Z:.
inline std::wstring build_path_on_z(const std::string& host)
{
    std::wstring path = L"Z:";
    for (char c : host)
        path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

// The built program, for tests that read it or start it. Its build path
// comes from the test's CMake as PELMARODESK_EXE.
inline std::wstring pelmarodesk_exe()
{
    return build_path_on_z(PELMARODESK_EXE);
}

#ifdef PELMARODESK_TEST_BUILD_EXE
// The program's test build (pelmarodesk_killable: tests/tools/install), whose
// messages a MessageLog reads (message_log.h), for tests given its build path
// as PELMARODESK_TEST_BUILD_EXE.
inline std::wstring pelmarodesk_test_build()
{
    return build_path_on_z(PELMARODESK_TEST_BUILD_EXE);
}
#endif

// A path with '/' separators (the program's form), or with backslashes.
inline std::wstring with_separator(std::wstring path, wchar_t separator)
{
    for (wchar_t& c : path)
        if (c == L'/' || c == L'\\')
            c = separator;
    return path;
}

inline std::string read_whole_file(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Waits up to 60 s for the process to end and answers its exit code; 99
// when it did not end (it is then ended). While it runs, meanwhile (when
// given) is called with its id every 50 ms. Closes the handle.
inline DWORD finish_process(HANDLE process, DWORD process_id = 0, std::function<void(DWORD)> meanwhile = nullptr)
{
    DWORD code = 99;
    for (int waited = 0; waited < 1200 && WaitForSingleObject(process, 50) == WAIT_TIMEOUT; ++waited)
        if (meanwhile)
            meanwhile(process_id);
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 99);
    CloseHandle(process);
    return code;
}

// Starts program with that command line (its first word need not name it;
// for an empty program it does, searched as Windows searches it) in that
// current folder (empty: the test's), and answers finish_process's exit
// code; 99 when it did not start.
inline DWORD run_program(const std::wstring& program, std::wstring command_line, const std::wstring& folder = L"",
                         std::function<void(DWORD)> meanwhile = nullptr)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return 99;
    CloseHandle(process.hThread);
    return finish_process(process.hProcess, process.dwProcessId, meanwhile);
}

#endif
