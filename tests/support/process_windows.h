#ifndef TESTS_SUPPORT_PROCESS_WINDOWS_H
#define TESTS_SUPPORT_PROCESS_WINDOWS_H

#include <windows.h>

#include <vector>

struct cProcessWindows {
    DWORD process_id;
    std::vector<HWND> windows;
};

inline BOOL CALLBACK collect_process_window(HWND window, LPARAM context)
{
    cProcessWindows* found = reinterpret_cast<cProcessWindows*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->process_id && IsWindowVisible(window))
        found->windows.push_back(window);
    return TRUE;
}

// The visible top-level windows of another process, as EnumWindows lists
// them.
inline std::vector<HWND> process_windows(DWORD process_id)
{
    cProcessWindows search = {process_id, {}};
    EnumWindows(collect_process_window, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// A visible top-level window of the process, with exactly that title when
// one is given; null when there is none.
inline HWND find_process_window(DWORD process_id, const wchar_t* title = nullptr)
{
    for (HWND window : process_windows(process_id)) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        if (!title || wcscmp(text, title) == 0)
            return window;
    }
    return nullptr;
}

#endif
