#ifndef TESTS_TOOLS_INSTALL_INSTALL_TEST_SUPPORT_H
#define TESTS_TOOLS_INSTALL_INSTALL_TEST_SUPPORT_H

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "tools/package/package.h"

// Helpers of the install road's tests.

// UTF-16 text between its UTF-8 form.
inline std::wstring wide_of(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &out[0], n);
    return out;
}

inline std::string utf8_of(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

inline void set_package_string(cPackageStrings& table, const wchar_t* key, const wchar_t* value)
{
    cPackedKey packed;
    packedkey_from_wstr(packed, key, -1);
    tree_get_or_add(table, static_cast<cPackedKey&&>(packed))->Assign(value);
}

// A package as a read one looks to the record and entry writers: version
// 2.5.0.7, three URLs, strings, the install folder and an icon in it.
inline void fill_sample_package(cPackage& package, const wchar_t* code_name, const wchar_t* folder)
{
    package.version[0] = 2;
    package.version[1] = 5;
    package.version[2] = 0;
    package.version[3] = 7;
    package.support_url.Assign(L"http://example.org/support");
    package.publisher_url.Assign(L"http://example.org/");
    package.updates_url.Assign(L"http://example.org/updates");
    set_package_string(package.strings, L"codename", code_name);
    set_package_string(package.strings, L"name", L"Sample App");
    set_package_string(package.strings, L"publisher", L"Sample Maker");
    set_package_string(package.strings, L"pgm", folder);
    package.icon_folder_key.Assign(L"pgm");
    package.icon_path.Assign(L"bin/app.ico");
}

inline std::wstring windows_path(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

inline std::wstring slash_path(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

struct RunResult {
    DWORD exit_code = 99;
    std::string output;
};

// The current environment with the variables replaced (names compare
// without case, as Windows does; an empty value removes the variable), as
// a block for CreateProcessW with CREATE_UNICODE_ENVIRONMENT.
inline std::wstring environment_block(const std::map<std::wstring, std::wstring>& variables)
{
    std::wstring block;
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
        std::wstring text = entry;
        std::wstring name = text.substr(0, text.find(L'=', 1));
        bool replaced = false;
        for (const auto& variable : variables)
            replaced |= _wcsicmp(variable.first.c_str(), name.c_str()) == 0;
        if (!replaced)
            block += text + L'\0';
    }
    FreeEnvironmentStringsW(current);
    for (const auto& variable : variables)
        if (!variable.second.empty())
            block += variable.first + L"=" + variable.second + L'\0';
    block += L'\0';
    return block;
}

// A process with its own environment and working folder and its standard
// output on a pipe; killed after kill_after_ms when that is not negative.
// beside, when given, runs on a thread of its own with the process handle
// while the process runs (to answer its forms), and is waited for.
inline RunResult run_process(const std::wstring& command, const std::map<std::wstring, std::wstring>& variables,
                             const std::wstring& folder, int kill_after_ms = -1,
                             const std::function<void(HANDLE)>& beside = nullptr)
{
    std::wstring block = environment_block(variables);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    CreatePipe(&read_end, &write_end, &inherit, 0);
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process = {};
    std::wstring line = command;
    RunResult result;
    // The process and every process it starts belong to one job, ended as
    // a whole: a kill that falls while the installer starts a child (its
    // version query of the manager) must not leave that child behind with
    // the handles it inherited, the test's own output among them.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE,
                                  CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW | CREATE_SUSPENDED, &block[0],
                                  folder.empty() ? nullptr : windows_path(folder).c_str(), &startup, &process);
    CloseHandle(write_end);
    if (started) {
        AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
        std::thread answering;
        if (beside)
            answering = std::thread(beside, process.hProcess);
        if (kill_after_ms >= 0 && WaitForSingleObject(process.hProcess, DWORD(kill_after_ms)) == WAIT_TIMEOUT)
            TerminateJobObject(job, 87);
        // Read what is there until the process has ended, not until the
        // pipe does: a child that a killed process left behind may hold the
        // pipe's other end for as long as it lives.
        char chunk[4096];
        for (DWORD waited = 0; waited < 120000;) {
            bool ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
            DWORD available = 0, read = 0;
            if (!PeekNamedPipe(read_end, nullptr, 0, nullptr, &available, nullptr))
                break;
            if (available && ReadFile(read_end, chunk, available < sizeof(chunk) ? available : sizeof(chunk), &read,
                                      nullptr)) {
                result.output.append(chunk, read);
                continue;
            }
            if (ended)
                break;
            Sleep(5);
            waited += 5;
        }
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &result.exit_code);
        TerminateJobObject(job, 87);
        if (answering.joinable())
            answering.join();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(job);
    CloseHandle(read_end);
    return result;
}

// Runs a console command line and gives its standard output (empty when it
// cannot start); exit_code receives its exit code.
inline std::string command_output(const std::wstring& command, DWORD* exit_code = nullptr)
{
    RunResult result = run_process(command, {}, L"");
    if (exit_code)
        *exit_code = result.exit_code;
    return result.output;
}

// A registry value as reg.exe prints it: type and data text.
struct RegValue {
    std::string type;
    std::string data;
};

// The values of a key as "reg query <key> <view>" lists them (view
// "/reg:64" or "/reg:32"); found is false when reg finds no such key.
inline std::map<std::string, RegValue> reg_query(const std::wstring& key, const wchar_t* view, bool* found)
{
    DWORD code = 1;
    std::string output = command_output(L"reg query \"" + key + L"\" " + view, &code);
    std::map<std::string, RegValue> values;
    *found = code == 0;
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        std::string line = output.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? output.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 4, "    ") != 0)
            continue;
        size_t type_at = line.find("    REG_", 4);
        if (type_at == std::string::npos)
            continue;
        size_t data_at = line.find("    ", type_at + 4);
        RegValue value;
        value.type = line.substr(type_at + 4, data_at == std::string::npos ? std::string::npos : data_at - type_at - 4);
        value.data = data_at == std::string::npos ? "" : line.substr(data_at + 4);
        values[line.substr(4, type_at - 4)] = value;
    }
    return values;
}

#endif
