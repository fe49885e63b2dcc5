#include "base/path_resolution.h"

#include <wchar.h>
#include <windows.h>

#include "base/buffers/guardchar.h"
#include "base/dynamic_import.h"
#include "base/file_handle.h"
#include "base/file_identity.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/string_utils.h"

namespace {

typedef DWORD(WINAPI* final_path_function)(HANDLE, wchar_t*, DWORD, DWORD);

// GetFinalPathNameByHandleW, missing before Windows Vista; looked up once.
final_path_function final_path_by_handle()
{
    static const final_path_function function =
        dynamic_import<final_path_function>(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW");
    return function;
}

bool is_separator(wchar_t unit)
{
    return unit == L'/' || unit == L'\\';
}

// The units of path's root: "X:", or "//server/share"; 0 for any other path.
int32_t root_length(const wchar_t* path)
{
    if (!is_separator(path[0]) || !is_separator(path[1]))
        return path_is_absolute(path) ? 2 : 0;
    const wchar_t* end = path + 2;
    for (int segment = 0; segment < 2; ++segment) {
        if (segment)
            ++end;
        const wchar_t* start = end;
        while (*end && !is_separator(*end))
            ++end;
        if (end == start)
            return 0;
    }
    return int32_t(end - path);
}

// The deepest existing folder on path, spelled as path spells it without
// "." segments, repeated separators or a trailing one; false when none.
bool deepest_existing_folder(const wchar_t* path, _guardchar<wchar_t>& out)
{
    int32_t root = path_is_absolute(path) ? root_length(path) : 0;
    if (root == 0)
        return false;
    out.Allocate(wstr_length(path) + 1);
    wchar_t* write = out.Buffer();
    if (!write)
        return false;
    for (int32_t i = 0; i < root; ++i)
        *write++ = is_separator(path[i]) ? L'/' : path[i];
    for (const wchar_t* at = path + root; *at;) {
        while (is_separator(*at))
            ++at;
        const wchar_t* end = at;
        while (*end && !is_separator(*end))
            ++end;
        if (end > at && !(end - at == 1 && *at == L'.')) {
            *write++ = L'/';
            while (at < end)
                *write++ = *at++;
        }
        at = end;
    }
    *write = 0;
    wchar_t* text = out.Buffer();
    while (path_get_kind(text) != PATH_KIND_FOLDER) {
        wchar_t* cut = const_cast<wchar_t*>(wstr_find_last_char(text, L'/'));
        if (!cut || cut - text < root)
            return false;
        *cut = 0;
    }
    return true;
}

// The path of the folder (or file) as the system gives it from a handle on
// it, in the program's form.
bool final_path_by_handle(final_path_function final_path, const wchar_t* folder, _guardchar<wchar_t>& out)
{
    cSafeFD handle(path_open_attributes(folder));
    if (!file_handle_is_valid(handle.handle))
        return false;
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    _typebuf<wchar_t> name(MAX_PATH);
    DWORD length = name.Data() ? final_path(handle.handle, name.Data(), MAX_PATH, flags) : 0;
    if (length >= MAX_PATH && length < 32768) {
        // The length asked for counts the NUL.
        name.Resize(int32_t(length));
        length = name.Data() ? final_path(handle.handle, name.Data(), length, flags) : 0;
    }
    if (length == 0 || length >= 32768)
        return false;
    // "\\?\X:\..." or "\\?\UNC\server\share\..."
    const wchar_t* text = name.Data();
    if (wcsncmp(text, L"\\\\?\\UNC\\", 8) == 0) {
        if (!path_format(out, L"//%s", text + 8))
            return false;
    } else {
        out.Assign(wcsncmp(text, L"\\\\?\\", 4) == 0 ? text + 4 : text);
    }
    path_from_native(out.Buffer());
    return !out.IsEmpty();
}

// A drive that SUBST (or DefineDosDevice) made of a folder.
bool substituted_drive(const wchar_t* folder)
{
    if (folder[1] != L':')
        return false;
    wchar_t drive[3] = {folder[0], L':', 0};
    wchar_t target[MAX_PATH];
    return QueryDosDeviceW(drive, target, MAX_PATH) && wcsncmp(target, L"\\??\\", 4) == 0;
}

// The folder's path with each folder on the way by its long name; false for
// a link or junction on the way or a substitute drive.
bool final_path_by_names(const wchar_t* folder, _guardchar<wchar_t>& out)
{
    int32_t root = root_length(folder);
    if (substituted_drive(folder))
        return false;
    _guardchar<wchar_t> walked;
    walked.AssignN(folder, root);
    out.AssignN(folder, root);
    for (const wchar_t* at = folder + root; *at;) {
        const wchar_t* end = ++at;
        while (*end && *end != L'/')
            ++end;
        _guardchar<wchar_t> segment, next;
        segment.AssignN(at, int32_t(end - at));
        _typebuf<wchar_t> native;
        if (!path_join(walked.Text(), segment.Text(), next) || !path_to_native(next.Text(), native))
            return false;
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW(native.Data(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        FindClose(find);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return false;
        walked.Swap(next);
        if (!path_join(out.Text(), entry.cFileName, next))
            return false;
        out.Swap(next);
        at = end;
    }
    return true;
}

}  // namespace

bool path_resolves_as_written(const wchar_t* path)
{
    final_path_function final_path = final_path_by_handle();
    if (!final_path)
        return path_resolves_by_names(path);
    _guardchar<wchar_t> folder, final;
    return deepest_existing_folder(path, folder) && final_path_by_handle(final_path, folder.Text(), final) &&
           path_same_identity(folder.Text(), final.Text());
}

bool path_resolves_by_names(const wchar_t* path)
{
    _guardchar<wchar_t> folder, names;
    return deepest_existing_folder(path, folder) && final_path_by_names(folder.Text(), names) &&
           path_same_identity(folder.Text(), names.Text());
}

bool file_resolves_as_written(const wchar_t* path)
{
    if (path_get_kind(path) != PATH_KIND_FILE)
        return false;
    final_path_function final_path = final_path_by_handle();
    if (!final_path)
        return !path_is_link(path) && path_resolves_by_names(path);
    _guardchar<wchar_t> final;
    return final_path_by_handle(final_path, path, final) && path_same_identity(path, final.Text());
}
