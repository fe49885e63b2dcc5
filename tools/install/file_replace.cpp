#include "tools/install/file_replace.h"

#include <string.h>

#include "base/file_handle.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/string_utils.h"

namespace {

bool rename_through_exclusive_handle(const wchar_t* path, const wchar_t* new_path)
{
    // Exclusive write access fails while any other handle is open on the
    // file, whatever sharing that handle allowed, and for a running
    // program's image; the rename then goes through this same handle.
    cSafeFD held(
        file_handle_open(path, FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE | FILE_MODE_DELETE | FILE_MODE_LINK_ITSELF));
    return file_handle_is_valid(held.handle) && file_handle_rename(held.handle, new_path);
}

}  // namespace

bool rename_if_unused(const wchar_t* path, const wchar_t* new_path)
{
    // Write access also fails for a read-only file. Its attribute is only
    // cleared after a failure: the usual move costs no further call.
    return rename_through_exclusive_handle(path, new_path) ||
           (file_clear_read_only(path) && rename_through_exclusive_handle(path, new_path));
}

bool delete_plain_file(const wchar_t* path)
{
    // Deleting first spares a look at every file that goes; a read-only
    // file, which refuses deletion, loses its attribute only after that.
    return file_delete(path) || (file_clear_read_only(path) && file_delete(path)) ||
           path_get_kind(path) == PATH_KIND_MISSING;
}

bool delete_file_and_its_folder(const wchar_t* path)
{
    uint32_t kind = path_get_kind(path);
    if (kind == PATH_KIND_MISSING)
        return true;
    if (kind != PATH_KIND_FILE || !delete_plain_file(path))
        return false;
    _guardchar<wchar_t> folder;
    // Removing a folder that still holds something fails and changes nothing.
    if (parent_folder_of(path, folder))
        path_remove_folder(folder.Text());
    return true;
}

namespace {

bool create_folder(const wchar_t* path, cLinkedList<_guardchar<wchar_t>>* made)
{
    if (!path_create_folder(path))
        return false;
    if (made)
        if (_guardchar<wchar_t>* entry = list_append(*made))
            entry->Assign(path);
    return true;
}

}  // namespace

bool make_folder_path(const wchar_t* path, cLinkedList<_guardchar<wchar_t>>* made)
{
    uint32_t kind = path_get_kind(path);
    if (kind != PATH_KIND_MISSING)
        return kind == PATH_KIND_FOLDER;
    _guardchar<wchar_t> work;
    work.Assign(path);
    wchar_t* text = work.Buffer();
    if (!text)
        return false;
    // Cut the path at its separators from the end until an existing folder
    // is left, then put the separators back one by one, creating each level.
    size_t length = wcslen(text);
    size_t end = length;
    for (;;) {
        wchar_t* cut = const_cast<wchar_t*>(wstr_find_last_char(text, L'/'));
        if (!cut)
            return false;
        *cut = 0;
        end = size_t(cut - text);
        kind = path_get_kind(text);
        if (kind == PATH_KIND_FOLDER)
            break;
        if (kind != PATH_KIND_MISSING)
            return false;
    }
    text[end] = L'/';
    for (size_t at = end + 1; at < length; ++at) {
        if (text[at] != 0)
            continue;
        if (!create_folder(text, made))
            return false;
        text[at] = L'/';
    }
    return create_folder(text, made);
}

void remove_empty_folders(const cLinkedList<_guardchar<wchar_t>>& folders)
{
    // Each round removes the deepest ones left empty, until a round removes
    // none.
    for (bool removed = true; removed;) {
        removed = false;
        for (auto* node = folders.first; node; node = node->next)
            removed |= path_get_kind(node->element.Text()) == PATH_KIND_FOLDER && path_remove_folder(node->element.Text());
    }
}
