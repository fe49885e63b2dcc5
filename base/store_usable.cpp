#include "base/store_usable.h"

#include <windows.h>

#include "base/admin_access.h"
#include "base/config_file.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/path.h"
#include "base/path_resolution.h"

namespace {

// Of that kind as itself: no link or junction, and with guarded nothing
// that others than the administrators may change.
bool sound(const wchar_t* path, uint32_t kind, bool guarded)
{
    return path_get_kind(path) == kind && (guarded ? path_guarded_as_itself(path) : !path_is_link(path));
}

// Every name of the folder but the one at skipped (null: none) is a sound
// plain file; refused gets the first that is not.
bool files_only(const wchar_t* folder, const wchar_t* skipped, bool guarded, _guardchar<wchar_t>& refused)
{
    cFolderListing listing;
    listing.Read(folder, false);
    for (uint32_t i = 0; i < listing.Count(); ++i) {
        const cFolderEntry* entry = listing.GetEntry(i);
        _guardchar<wchar_t> path;
        if (!entry || !listing.GetEntryPath(i, path)) {
            refused.Assign(folder);
            return false;
        }
        if (skipped && path_same_identity(path.Text(), skipped))
            continue;
        if (!sound(path.Text(), PATH_KIND_FILE, guarded)) {
            refused.Swap(path);
            return false;
        }
    }
    return true;
}

// A file of this process's own name made afresh in the side folder, as a
// save makes a new content there, and deleted again. One that a killed run
// of the same number left goes first.
bool side_file_made(const wchar_t* side)
{
    _guardchar<wchar_t> probe;
    if (!path_format(probe, L"%s/~probe%lu.new", side, static_cast<unsigned long>(GetCurrentProcessId())))
        return false;
    if (path_get_kind(probe.Text()) == PATH_KIND_FILE && file_resolves_as_written(probe.Text()))
        file_delete(probe.Text());
    cFileIO file;
    if (!file.CreateNew(probe.Text(), FILE_MODE_WRITE))
        return false;
    file.Close();
    return file_delete(probe.Text());
}

}  // namespace

bool store_folder_usable(const wchar_t* folder, bool guarded, _guardchar<wchar_t>& refused)
{
    _guardchar<wchar_t> side;
    if (!cfg_store_side_folder(folder, side)) {
        refused.Assign(folder);
        return false;
    }
    if (path_get_kind(side.Text()) == PATH_KIND_MISSING && !path_create_folder(side.Text())) {
        refused.Assign(folder);
        return false;
    }
    if (!sound(side.Text(), PATH_KIND_FOLDER, guarded)) {
        refused.Swap(side);
        return false;
    }
    if (!files_only(folder, side.Text(), guarded, refused) || !files_only(side.Text(), nullptr, guarded, refused))
        return false;
    if (side_file_made(side.Text()))
        return true;
    refused.Swap(side);
    return false;
}
