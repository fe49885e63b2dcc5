// The main of test executables that start themselves as child processes
// (behaviours in child_process.h).
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <stdlib.h>

#include <string>

#include "tests/support/child_process.h"

namespace {

bool write_all(HANDLE handle, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

// Written beside and renamed into place, so a reader never sees it half done.
void write_child_file(const std::wstring& path, const std::string& content)
{
    std::wstring part = path + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    write_all(file, content);
    CloseHandle(file);
    MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string bytes_of_hex(const std::wstring& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(char(wcstoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

UINT run_child(int argc, wchar_t** argv)
{
    std::wstring what = argc > 2 ? argv[2] : L"";
    auto argument = [&](int i) { return std::wstring(i < argc ? argv[i] : L""); };
    if (what == L"answer") {
        write_all(GetStdHandle(STD_OUTPUT_HANDLE), bytes_of_hex(argument(3)));
        return UINT(wcstoul(argument(4).c_str(), nullptr, 10));
    }
    if (what == L"silent")
        return UINT(wcstoul(argument(3).c_str(), nullptr, 10));
    if (what == L"echo") {
        char bytes[16];
        DWORD got = 0, read = 0;
        while (got < sizeof(bytes) && ReadFile(GetStdHandle(STD_INPUT_HANDLE), bytes + got, sizeof(bytes) - got,
                                               &read, nullptr) && read)
            got += read;
        write_all(GetStdHandle(STD_OUTPUT_HANDLE), std::string(bytes, got));
        return 0;
    }
    if (what == L"sleep") {
        Sleep(60000);
        return 0;
    }
    if (what == L"marker") {
        write_child_file(argument(3), "marker");
        return 0;
    }
    if (what == L"wait") {
        HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argument(3).c_str());
        bool released = event && WaitForSingleObject(event, 30000) == WAIT_OBJECT_0;
        write_child_file(argument(4), released ? "released" : "timeout");
        return 0;
    }
    return 99;
}

}  // namespace

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
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
