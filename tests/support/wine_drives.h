#ifndef TESTS_SUPPORT_WINE_DRIVES_H
#define TESTS_SUPPORT_WINE_DRIVES_H

#include <windows.h>

#include <string>
#include <vector>

// Stand-ins for the drives of a Windows machine in the Wine prefix the
// tests run in, which has only C: and Z:.

// A drive letter that names nothing now, from `from` on; 0 when none is
// left.
inline wchar_t unused_drive_letter(wchar_t from)
{
    for (wchar_t letter = from; letter <= L'Z'; ++letter) {
        wchar_t root[4] = {letter, L':', L'\\', 0};
        if (GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR)
            return letter;
    }
    return 0;
}

// Starts a command of the Unix shell under Wine, which starts Unix programs
// as it starts Windows ones. (Wine can neither wait for them nor report
// their exit codes: callers wait for the effect.)
inline bool run_unix_shell(const std::string& command)
{
    std::wstring line = L"sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Whether the drive exists, after waiting up to 5 s for it to come or go.
inline bool wait_for_drive(wchar_t letter, bool exists)
{
    wchar_t root[4] = {letter, L':', L'\\', 0};
    for (int wait = 0; wait < 100; ++wait) {
        if ((GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR) == exists)
            return exists;
        Sleep(50);
    }
    return !exists;
}

// A drive made of a folder on C: through a link in the prefix's dosdevices
// folder, which Wine reads for every drive lookup; removed with the object.
class WineDrive {
public:
    // The folder in internal form ("C:/users/..."). Valid() tells whether
    // the drive exists.
    WineDrive(wchar_t drive_letter, const std::wstring& folder) : letter(wchar_t(drive_letter | 0x20))
    {
        char prefix[MAX_PATH] = {};
        if (!letter || !GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH) || folder.size() < 3 ||
            (folder[0] | 0x20) != L'c' || folder[1] != L':')
            return;
        link = std::string(prefix) + "/dosdevices/" + char(letter) + ":";
        run_unix_shell("ln -sfn '../drive_c" + std::string(folder.begin() + 2, folder.end()) + "' '" + link + "'");
    }
    ~WineDrive()
    {
        if (!link.empty() && run_unix_shell("rm -f '" + link + "'"))
            wait_for_drive(letter, false);
    }
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    bool Valid() const { return !link.empty() && wait_for_drive(letter, true); }

private:
    wchar_t letter;
    std::string link;
};

// The host's path of a path on C: (internal or Windows form), in the
// prefix's drive_c folder; empty for any other path.
inline std::string wine_unix_path(const std::wstring& windows)
{
    char prefix[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH) || windows.size() < 3 ||
        (windows[0] | 0x20) != L'c' || windows[1] != L':')
        return std::string();
    std::string rest(windows.begin() + 2, windows.end());
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    return std::string(prefix) + "/drive_c" + rest;
}

// A share "//server/share" made of a folder on C: through a link in the
// prefix's dosdevices/unc folder, as Windows reaches its own folders through
// "//localhost/C$"; removed with the object. Names and folder in ASCII.
class WineShare {
public:
    WineShare(const std::string& server, const std::string& share, const std::wstring& folder)
        : root(L"//" + std::wstring(server.begin(), server.end()) + L"/" + std::wstring(share.begin(), share.end()))
    {
        char prefix[MAX_PATH] = {};
        std::string target = wine_unix_path(folder);
        if (GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH) && !target.empty()) {
            link = std::string(prefix) + "/dosdevices/unc/" + server;
            run_unix_shell("mkdir -p '" + link + "' && ln -sfn '" + target + "' '" + link + "/" + share + "'");
            link += "/" + share;
        }
    }
    ~WineShare()
    {
        if (!link.empty() && run_unix_shell("rm -f '" + link + "'"))
            Wait(false);
    }
    WineShare(const WineShare&) = delete;
    WineShare& operator=(const WineShare&) = delete;

    // Whether the share reaches its folder, after waiting up to 5 s for it.
    bool Valid() const { return !link.empty() && Wait(true); }
    // The share, or a path inside it, in internal form.
    std::wstring Path(const std::wstring& inside = L"") const { return inside.empty() ? root : root + L"/" + inside; }

private:
    bool Wait(bool reachable) const
    {
        std::wstring native = L"\\\\" + root.substr(2);
        native[native.find(L'/')] = L'\\';
        for (int wait = 0; wait < 100; ++wait) {
            if ((GetFileAttributesW(native.c_str()) != INVALID_FILE_ATTRIBUTES) == reachable)
                return true;
            Sleep(50);
        }
        return false;
    }

    std::wstring root;
    std::string link;
};

// Makes a symbolic link of the host at link_path (a path on C: in internal
// form, ASCII) to the file or folder target, which Wine follows as Windows
// follows a link; true once it shows (up to 5 s).
inline bool make_host_link(const std::wstring& link_path, const std::wstring& target)
{
    std::string unix_link = wine_unix_path(link_path), unix_target = wine_unix_path(target);
    if (unix_link.empty() || unix_target.empty() || !run_unix_shell("ln -s '" + unix_target + "' '" + unix_link + "'"))
        return false;
    std::wstring native = L"\\\\?\\" + link_path;
    for (wchar_t& c : native)
        if (c == L'/')
            c = L'\\';
    for (int wait = 0; wait < 100; ++wait) {
        if (GetFileAttributesW(native.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

// A symbolic link of the host at link (a folder path on C: in internal
// form) to the folder target: Wine shows it as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT, as Windows shows a junction or a folder
// link, and follows it as Windows does. The link alone is removed with the
// object. Both paths in ASCII.
class HostFolderLink {
public:
    HostFolderLink(const std::wstring& link_path, const std::wstring& target) : path(link_path)
    {
        unix_link = wine_unix_path(link_path);
        std::string unix_target = wine_unix_path(target);
        if (!unix_link.empty() && !unix_target.empty())
            run_unix_shell("ln -s '" + unix_target + "' '" + unix_link + "'");
    }
    ~HostFolderLink()
    {
        if (!unix_link.empty() && run_unix_shell("rm -f '" + unix_link + "'"))
            for (int wait = 0; wait < 100 && Attributes() != INVALID_FILE_ATTRIBUTES; ++wait)
                Sleep(50);
    }
    HostFolderLink(const HostFolderLink&) = delete;
    HostFolderLink& operator=(const HostFolderLink&) = delete;

    // Whether the link shows as one, after waiting up to 5 s for it.
    bool Valid() const
    {
        for (int wait = 0; wait < 100; ++wait) {
            DWORD attributes = Attributes();
            if (attributes != INVALID_FILE_ATTRIBUTES)
                return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            Sleep(50);
        }
        return false;
    }

private:
    DWORD Attributes() const
    {
        std::wstring native = L"\\\\?\\" + path;
        for (wchar_t& c : native)
            if (c == L'/')
                c = L'\\';
        return GetFileAttributesW(native.c_str());
    }

    std::wstring path;
    std::string unix_link;
};

// Remembered network drives under HKEY_CURRENT_USER\Network, where
// Windows 10 keeps them, made by the test and removed afterwards, with the
// Network key itself when the test made it.
class RememberedDrives {
public:
    RememberedDrives()
    {
        HKEY key;
        network_existed = RegOpenKeyExW(HKEY_CURRENT_USER, L"Network", 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (network_existed)
            RegCloseKey(key);
    }
    ~RememberedDrives()
    {
        for (const std::wstring& name : made)
            RegDeleteKeyW(HKEY_CURRENT_USER, (L"Network\\" + name).c_str());
        if (!network_existed)
            RegDeleteKeyW(HKEY_CURRENT_USER, L"Network");
    }
    RememberedDrives(const RememberedDrives&) = delete;
    RememberedDrives& operator=(const RememberedDrives&) = delete;

    // A subkey, with RemotePath when remote is not null.
    bool Add(const std::wstring& name, const wchar_t* remote)
    {
        HKEY key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, (L"Network\\" + name).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return false;
        made.push_back(name);
        LONG status = ERROR_SUCCESS;
        if (remote)
            status = RegSetValueExW(key, L"RemotePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(remote),
                                    DWORD((wcslen(remote) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

private:
    bool network_existed;
    std::vector<std::wstring> made;
};

#endif
