#include "tools/shell/pending_file.h"

#include "base/file_ops.h"
#include "base/path.h"

namespace {

// Names tried after "<destination>.download" before giving up.
const int32_t numbered_names = 100;

}  // namespace

cPendingFile::~cPendingFile()
{
    Discard();
}

bool cPendingFile::Create(const wchar_t* destination_path)
{
    Discard();
    if (!destination_path || !destination_path[0])
        return false;
    destination.Assign(destination_path);
    for (int32_t number = 0; number <= numbered_names; ++number) {
        _guardchar<wchar_t> candidate;
        bool named = number == 0 ? path_format(candidate, L"%s.download", destination_path)
                                 : path_format(candidate, L"%s.download%d", destination_path, number);
        if (!named)
            return false;
        if (file.CreateNew(candidate.Text(), FILE_MODE_WRITE)) {
            pending_path.Swap(candidate);
            return true;
        }
        // Only a name that is taken is worth another try.
        if (path_get_kind(candidate.Text()) == PATH_KIND_MISSING)
            return false;
    }
    return false;
}

bool cPendingFile::Commit()
{
    if (pending_path.IsEmpty())
        return false;
    file.Close();
    if (!file_replace(pending_path.Text(), destination.Text())) {
        Discard();
        return false;
    }
    pending_path.Clear();
    return true;
}

void cPendingFile::Discard()
{
    file.Close();
    if (!pending_path.IsEmpty())
        file_delete(pending_path.Text());
    pending_path.Clear();
}
