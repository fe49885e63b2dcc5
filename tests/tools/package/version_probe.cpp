// Prints what Windows reads from a file's version resource, one
// "name=value" line each (UTF-8): the fixed part's four version words and
// the strings of the translation 0x0000/0x04B0. Exit code 1 when Windows
// finds no version resource.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argument_count, wchar_t** arguments)
{
    if (argument_count != 2)
        return 2;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(arguments[1], &handle);
    std::vector<char> data(size ? size : 1);
    if (!size || !GetFileVersionInfoW(arguments[1], 0, size, data.data()))
        return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("fixed=%08lx %08lx %08lx %08lx\n", fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                    fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright", L"ProductName",
                               L"ProductVersion"}) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\000004b0\\") + key;
        wchar_t* value = nullptr;
        if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
            continue;
        char utf8[1024];
        int bytes = WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, nullptr, nullptr);
        char name[64];
        WideCharToMultiByte(CP_UTF8, 0, key, -1, name, sizeof name, nullptr, nullptr);
        std::printf("%s=%s\n", name, bytes ? utf8 : "");
    }
    return 0;
}
