#include "tools/install/product_folders.h"

#include "base/buffers/guardchar.h"
#include "base/critical_section.h"
#include "base/file_identity.h"
#include "base/known_folders.h"
#include "base/path.h"
#include "base/path_resolution.h"
#include "base/string_utils.h"

namespace {

// The longest recorded path the program handles: "<path>.tmp" and
// "<path>.bkp" must fit path_format.
const int32_t recorded_path_limit = path_format_limit - 4;

// The lineage of every known folder found in this process, shared by all
// cProductFolders: the file system is asked about each folder once per run.
struct cKnownLineage {
    cCriticalSection lock;
    cFolderLineage lineage;
};

cKnownLineage& known_lineage()
{
    static cKnownLineage known;
    return known;
}

void add_identities(const cLinkedList<_guardchar<wchar_t>>& folders, cLinkedList<cFolderIdentity>& out)
{
    for (auto* node = folders.first; node; node = node->next) {
        cFolderIdentity identity;
        if (!folder_identity_of(node->element.Text(), identity) || identity.length == 0)
            continue;
        if (cFolderIdentity* added = list_append(out)) {
            added->text = static_cast<_typebuf<wchar_t>&&>(identity.text);
            added->length = identity.length;
        }
    }
}

bool is_separator(wchar_t unit)
{
    return unit == L'/' || unit == L'\\';
}

// "//?/..." and "//./..." name the system's own namespaces, not a share:
// through them a path reaches any file, whatever folder it seems to name.
bool in_system_namespace(const wchar_t* path)
{
    return is_separator(path[0]) && is_separator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
           (is_separator(path[3]) || !path[3]);
}

}  // namespace

bool folder_identity_of(const wchar_t* path, cFolderIdentity& out)
{
    out.length = 0;
    return path && path_identity_text(path, out.text, out.length);
}

bool recorded_path_sound(const wchar_t* path)
{
    return path_is_absolute(path) && !in_system_namespace(path) && !path_has_parent_step(path) &&
           !path_has_dropped_name_end(path) && wstr_length(path) <= recorded_path_limit;
}

cProductFolders::cProductFolders() : found(false) {}

void cProductFolders::Find()
{
    found = false;
}

void cProductFolders::Ready() const
{
    if (found)
        return;
    list_clear(known);
    list_clear(programs);
    cLinkedList<_guardchar<wchar_t>> folders;
    get_known_folders(folders);
    add_identities(folders, known);
    {
        cKnownLineage& shared = known_lineage();
        cSafeCriticalSectionAccess access(&shared.lock);
        for (auto* node = folders.first; node; node = node->next)
            shared.lineage.Add(node->element.Text());
    }
    list_clear(folders);
    get_programs_folders(folders);
    add_identities(folders, programs);
    found = true;
}

bool cProductFolders::Sound(const wchar_t* folder) const
{
    Ready();
    cFolderIdentity identity;
    if (!recorded_path_sound(folder) || !path_is_folder_below_root(folder) || !folder_identity_of(folder, identity))
        return false;
    for (auto* node = known.first; node; node = node->next) {
        const cFolderIdentity& other = node->element;
        if (path_identity_within(other.text.Data(), other.length, identity.text.Data(), identity.length, true))
            return false;
    }
    // Resolving as written, its text tells where it lies; a share that
    // names a folder of this machine as its own is told by its identity.
    if (!path_resolves_as_written(folder))
        return false;
    cKnownLineage& shared = known_lineage();
    cSafeCriticalSectionAccess access(&shared.lock);
    return !shared.lineage.Holds(folder);
}

bool cProductFolders::SoundGroup(const wchar_t* folder) const
{
    return Sound(folder) && ProgramsHolding(folder) != nullptr;
}

const cFolderIdentity* cProductFolders::ProgramsHolding(const wchar_t* path) const
{
    Ready();
    cFolderIdentity identity;
    if (!recorded_path_sound(path) || !folder_identity_of(path, identity))
        return nullptr;
    for (auto* node = programs.first; node; node = node->next) {
        const cFolderIdentity& folder = node->element;
        if (path_identity_within(identity.text.Data(), identity.length, folder.text.Data(), folder.length, false))
            return &folder;
    }
    return nullptr;
}
