#include "base/folder_listing.h"

#include <windows.h>

#include "base/file_info.h"
#include "base/file_ops.h"
#include "base/net_api.h"
#include "base/path.h"
#include "base/string_utils.h"

namespace {

// A native path of the form \\?\X:... names a drive that may be a
// remembered network drive.
bool is_drive_path(const wchar_t* native)
{
    if (native[0] != L'\\' || native[1] != L'\\' || native[2] != L'?' || native[3] != L'\\')
        return false;
    wchar_t letter = native[4];
    return ((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z')) && native[5] == L':';
}

// The search pattern of every entry in the native folder: folder\*.*
bool search_pattern(const wchar_t* native, _typebuf<wchar_t>& pattern)
{
    int32_t length = wstr_length(native);
    bool separator = length > 0 && native[length - 1] == L'\\';
    pattern.Resize(length + 5);
    if (!pattern.Data())
        return false;
    memcpy(pattern.Data(), native, size_t(length) * sizeof(wchar_t));
    memcpy(pattern.Data() + length, separator ? L"*.*" : L"\\*.*", (separator ? 4 : 5) * sizeof(wchar_t));
    return true;
}

bool is_dot_entry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

}  // namespace

cFolderListing::cFolderListing() : entries(1024) {}

void cFolderListing::Clear()
{
    tree_clear(entries);
}

void cFolderListing::Swap(cFolderListing& other)
{
    folder.Swap(other.folder);
    cTreeMap<int32_t, cFolderEntry> held;
    tree_move(held, entries);
    tree_move(entries, other.entries);
    tree_move(other.entries, held);
    entries.depth_limit = other.entries.depth_limit = 1024;
}

uint32_t cFolderListing::Count() const
{
    return uint32_t(tree_next_free_int(entries));
}

const cFolderEntry* cFolderListing::GetEntry(uint32_t index) const
{
    return tree_find_value(entries, int32_t(index));
}

cFolderEntry* cFolderListing::AddEntry(const wchar_t* name, uint32_t kind)
{
    cFolderEntry* entry = tree_get_or_add(entries, tree_next_free_int(entries));
    if (!entry)
        return nullptr;
    entry->name.Assign(name);
    entry->size = 0;
    entry->kind = kind;
    entry->hidden = 0;
    entry->last_write = cDateTime{};
    return entry;
}

bool cFolderListing::GetEntryPath(uint32_t index, _guardchar<wchar_t>& out) const
{
    const cFolderEntry* entry = GetEntry(index);
    if (!entry)
        return false;
    if (folder.IsEmpty()) {
        out.Assign(entry->name.Text());
        return !out.IsEmpty();
    }
    return path_join(folder.Text(), entry->name.Text(), out);
}

bool cFolderListing::Read(const wchar_t* path, bool skip_devices)
{
    Clear();
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    uint32_t kind = path_get_kind(path);
    if (kind == PATH_KIND_MISSING && is_drive_path(native.Data()) && net_reconnect_drive(native[4]))
        kind = path_get_kind(path);
    if (kind != PATH_KIND_FOLDER)
        return false;

    folder.Assign(path);
    path_from_native(folder.Buffer());
    _typebuf<wchar_t> pattern;
    if (!search_pattern(native.Data(), pattern))
        return true;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(pattern.Data(), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    do {
        bool device = found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE;
        if (is_dot_entry(found.cFileName) || (device && skip_devices))
            continue;
        uint32_t entry_kind = device ? PATH_KIND_DEVICE
                              : found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? PATH_KIND_FOLDER
                                                                                  : PATH_KIND_FILE;
        cFolderEntry* entry = AddEntry(found.cFileName, entry_kind);
        if (!entry)
            break;
        entry->size = uint64_t(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        entry->hidden = (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ? 1 : 0;
        filetime_to_local(found.ftLastWriteTime, entry->last_write);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}
