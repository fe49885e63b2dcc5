#ifndef TESTS_SUPPORT_SHORT_PATH_H
#define TESTS_SUPPORT_SHORT_PATH_H

#include <windows.h>

#include <string>

// The system's short (8.3) spelling of an existing path ('/' in and out);
// empty when it has none.
inline std::wstring short_path_of(std::wstring path)
{
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    wchar_t short_name[MAX_PATH];
    DWORD length = GetShortPathNameW(path.c_str(), short_name, MAX_PATH);
    std::wstring result(short_name, length < MAX_PATH ? length : 0);
    for (wchar_t& c : result)
        c = c == L'\\' ? L'/' : c;
    return result;
}

#endif
