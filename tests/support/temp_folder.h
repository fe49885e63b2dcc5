#ifndef TESTS_SUPPORT_TEMP_FOLDER_H
#define TESTS_SUPPORT_TEMP_FOLDER_H

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// A fresh folder under %TEMP% for one test, removed with everything in it
// (deep paths too) when the object goes. Paths are given in internal form.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* tag)
    {
        wchar_t temp[MAX_PATH];
        DWORD length = GetTempPathW(MAX_PATH, temp);
        std::wstring base(temp, length);
        for (int attempt = 0; attempt < 1000; ++attempt) {
            std::wstring candidate = base + L"pelmaro-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                native = candidate;
                break;
            }
        }
        path = native;
        for (wchar_t& c : path)
            if (c == L'\\')
                c = L'/';
    }
    ~TempFolder()
    {
        if (!native.empty())
            remove_tree(L"\\\\?\\" + native);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, or a path inside it, in internal form.
    std::wstring Path(const std::wstring& inside = L"") const { return inside.empty() ? path : path + L"/" + inside; }
    // The same with the long-path prefix and backslashes, for direct Windows calls.
    std::wstring Native(const std::wstring& inside = L"") const
    {
        std::wstring result = L"\\\\?\\" + Path(inside);
        for (wchar_t& c : result)
            if (c == L'/')
                c = L'\\';
        return result;
    }

    // Writes a file of the given bytes; true when all were written.
    bool WriteFile(const std::wstring& inside, const std::string& bytes) const
    {
        HANDLE file = CreateFileW(Native(inside).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        BOOL ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == bytes.size();
    }

    std::string ReadFile(const std::wstring& inside) const
    {
        // Shared for writing too, so a file the code under test holds open
        // can be read beside it.
        HANDLE file = CreateFileW(Native(inside).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string bytes;
        char chunk[4096];
        DWORD read = 0;
        while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read)
            bytes.append(chunk, read);
        CloseHandle(file);
        return bytes;
    }

    // The names of everything directly inside the folder (or a folder
    // inside it), sorted.
    std::vector<std::wstring> Names(const std::wstring& inside = L"") const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW(Native(inside.empty() ? L"*" : inside + L"/*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }

    // GetFileAttributesW of the path, asked directly.
    DWORD Attributes(const std::wstring& inside) const { return GetFileAttributesW(Native(inside).c_str()); }

private:
    std::wstring native;
    std::wstring path;

    static void remove_tree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring inner = folder + L"\\" + name;
                SetFileAttributesW(inner.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    remove_tree(inner);
                else
                    DeleteFileW(inner.c_str());
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }
};

#endif
