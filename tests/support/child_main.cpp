// The main of test executables that start themselves as child processes
// (behaviours in child_process.h).
#include <windows.h>

#include <shellapi.h>

#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_run.h"

namespace {

std::vector<std::pair<std::wstring, tChildMode>>& child_modes()
{
    static std::vector<std::pair<std::wstring, tChildMode>> modes;
    return modes;
}

UINT run_child(int argc, wchar_t** argv)
{
    std::wstring name = argc > 2 ? argv[2] : L"";
    for (const auto& [mode_name, mode] : child_modes())
        if (mode_name == name)
            return mode(std::vector<std::wstring>(argv + 3, argv + argc));
    return 99;
}

}  // namespace

bool register_child_mode(const wchar_t* name, tChildMode mode)
{
    child_modes().emplace_back(name, mode);
    return true;
}

void write_child_file(const std::wstring& path, const std::string& content)
{
    std::wstring part = path + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int main(int argc, char** argv)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments && count > 1 && std::wstring(arguments[1]) == L"--child")
        ExitProcess(run_child(count, arguments));
    wchar_t marker[MAX_PATH];
    if (count == 1 && GetEnvironmentVariableW(CHILD_MARKER_VARIABLE, marker, MAX_PATH)) {
        write_child_file(marker, "marker");
        ExitProcess(0);
    }
    LocalFree(arguments);
    return run_tests(argc, argv);
}
