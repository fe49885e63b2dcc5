#ifndef TESTS_TOOLS_SHELL_UPDATE_TEST_SERVER_H
#define TESTS_TOOLS_SHELL_UPDATE_TEST_SERVER_H

// The update server of the manager's tests (update_test_server.py, run by
// the HTTP test driver): its address, the replies and files the test hands
// it, and what it was asked.

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/http_test_server.h"

// The folder of the server's "autocheck.php", as the program's setting
// names it.
inline std::string update_server_address()
{
    return "http://127.0.0.1:" + std::to_string(http_test_port()) + "/updates/";
}

inline std::string update_server_folder()
{
    const char* folder = getenv("HTTP_TEST_FOLDER");
    return folder ? folder : "";
}

// The server answers the product's check (code in UTF-8, as the server
// reads it off the query) with this reply body.
inline void serve_check(const std::string& code, const std::string& reply)
{
    CreateDirectoryA((update_server_folder() + "checks").c_str(), nullptr);
    std::string path = update_server_folder() + "checks\\" + code;
    std::wstring wide(size_t(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], int(wide.size()));
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, reply.data(), DWORD(reply.size()), &written, nullptr);
    CloseHandle(file);
}

// The server sends these bytes as /files/<behaviour>/<name>.
inline void serve_file(const std::string& name, const std::string& bytes)
{
    CreateDirectoryA((update_server_folder() + "served").c_str(), nullptr);
    std::ofstream(update_server_folder() + "served\\" + name, std::ios::binary) << bytes;
}

// The paths of every request the server received, one a line.
inline std::string update_server_log()
{
    std::ifstream in(update_server_folder() + "requests\\log.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#endif
