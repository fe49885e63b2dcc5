#ifndef TESTS_TOOLS_INSTALL_INSTALL_TEST_SUPPORT_H
#define TESTS_TOOLS_INSTALL_INSTALL_TEST_SUPPORT_H

#include <windows.h>

#include <map>
#include <string>

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

// Runs a console command line and gives its standard output (empty when it
// cannot start); exit_code receives its exit code.
inline std::string command_output(std::wstring command, DWORD* exit_code = nullptr)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0))
        return "";
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &process);
    CloseHandle(write_end);
    std::string output;
    if (started) {
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(read_end, chunk, sizeof(chunk), &read, nullptr) && read)
            output.append(chunk, read);
        WaitForSingleObject(process.hProcess, 30000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        if (exit_code)
            *exit_code = code;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read_end);
    return output;
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
