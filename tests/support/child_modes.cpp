// Child modes shared by the process tests (see child_process.h):
//   answer HEX CODE   writes the bytes given in hexadecimal to standard
//                     output and exits with CODE (decimal)
//   silent CODE       exits with CODE without writing
//   chatty SIZE CODE  writes SIZE bytes to standard output and as many to
//                     standard error, then exits with CODE
//   echo              copies 16 bytes from standard input to standard output
//   sleep             sleeps for a minute, unless ended first
//   marker PATH       writes the file PATH holding "marker"
//   wait EVENT PATH   waits up to 30 s for the named event, then writes the
//                     file PATH holding "released" or "timeout"
#include <windows.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_data.h"

namespace {

bool write_all(HANDLE handle, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

std::wstring argument(const std::vector<std::wstring>& arguments, size_t i)
{
    return i < arguments.size() ? arguments[i] : std::wstring();
}

UINT number(const std::wstring& text)
{
    return UINT(wcstoul(text.c_str(), nullptr, 10));
}

}  // namespace

CHILD_MODE(answer)
{
    std::wstring hex = argument(arguments, 0);
    write_all(GetStdHandle(STD_OUTPUT_HANDLE), bytes_from_hex(std::string(hex.begin(), hex.end())));
    return number(argument(arguments, 1));
}

CHILD_MODE(silent)
{
    return number(argument(arguments, 0));
}

CHILD_MODE(chatty)
{
    std::string bytes(number(argument(arguments, 0)), 'x');
    write_all(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
    write_all(GetStdHandle(STD_ERROR_HANDLE), bytes);
    return number(argument(arguments, 1));
}

CHILD_MODE(echo)
{
    char bytes[16];
    DWORD got = 0, read = 0;
    while (got < sizeof(bytes) &&
           ReadFile(GetStdHandle(STD_INPUT_HANDLE), bytes + got, sizeof(bytes) - got, &read, nullptr) && read)
        got += read;
    write_all(GetStdHandle(STD_OUTPUT_HANDLE), std::string(bytes, got));
    return 0;
}

CHILD_MODE(sleep)
{
    Sleep(60000);
    return 0;
}

CHILD_MODE(marker)
{
    write_child_file(argument(arguments, 0), "marker");
    return 0;
}

CHILD_MODE(wait)
{
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argument(arguments, 0).c_str());
    bool released = event && WaitForSingleObject(event, 30000) == WAIT_OBJECT_0;
    write_child_file(argument(arguments, 1), released ? "released" : "timeout");
    return 0;
}
