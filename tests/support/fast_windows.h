#ifndef TESTS_SUPPORT_FAST_WINDOWS_H
#define TESTS_SUPPORT_FAST_WINDOWS_H

#include <windows.h>

// The virtual X screen of the GUI tests runs no window manager. Top-level
// windows that the X driver leaves to a window manager would wait for one
// (seconds per window) on every hide and destroy; asking the driver to
// manage none of them keeps each window test fast. On Windows the key is
// never read. Runs before main, ahead of the first window of the process.
namespace fast_windows_detail {
inline bool unmanaged_windows()
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    static const wchar_t value[] = L"N";
    bool ok = RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value)) ==
              ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}
inline const bool applied = unmanaged_windows();
}  // namespace fast_windows_detail

#endif
