// A stand-in for Windows' timeout.exe, which Wine lacks, and for any system
// program a test plants where it must not run: it appends its command line
// (UTF-8, one line) to the file named by PELMARO_TEST_STAND_IN_LOG, pauses
// 100 ms and exits with 0, or with 1 when PELMARO_TEST_STAND_IN_FAILS is set
// (as Windows' timeout.exe fails at once when its input is redirected).
#include <windows.h>

int main()
{
    wchar_t log[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PELMARO_TEST_STAND_IN_LOG", log, MAX_PATH);
    if (length && length < MAX_PATH) {
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char line[4096];
            int bytes = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof(line) - 2, nullptr, nullptr);
            if (bytes > 0) {
                line[bytes - 1] = '\n';
                DWORD written = 0;
                WriteFile(file, line, DWORD(bytes), &written, nullptr);
            }
            CloseHandle(file);
        }
    }
    Sleep(100);
    return GetEnvironmentVariableW(L"PELMARO_TEST_STAND_IN_FAILS", nullptr, 0) ? 1 : 0;
}
