#include "tools/install/manager_entries.h"

#include "base/admin_access.h"
#include "base/format.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "tools/install/uninstall_entry.h"
#include "tools/shell/shown_names.h"

namespace {

// The name of an entry left in place, as a message shows it (UTF-8).
void name_entry(cRecordNames& kept, const wchar_t* name)
{
    _guardchar<char> utf8;
    str_from_wstr_utf8(name, -1, utf8);
    list_append_text(kept, utf8.Text());
}

// The line after the text, on a line of its own.
void add_line(_guardchar<wchar_t>& text, const wchar_t* line)
{
    if (text.IsEmpty()) {
        text.Assign(line);
        return;
    }
    int32_t size = text.Length() + wstr_length(line) + 2;
    _guardchar<wchar_t> joined;
    joined.Allocate(size);
    if (joined.Buffer() && wstr_format(joined.Buffer(), size, L"%s\n%s", text.Text(), line) > 0)
        text.Assign(joined.Text());
}

// The names as join_shown_names shows them, then the places as they are
// written (the program's own text).
void name_all(const cRecordNames& kept, const wchar_t* more, const wchar_t* places, _guardchar<wchar_t>& named)
{
    join_shown_names(kept, L"\n", more, named);
    if (places && places[0])
        add_line(named, places);
}

}  // namespace

bool find_manager_entries(cManagerEntries& entries, const wchar_t* more, _guardchar<wchar_t>& named)
{
    list_clear(entries);
    cRecordNames kept;
    _guardchar<wchar_t> unread;
    for (int hive = 0; hive < 2; ++hive) {
        bool per_user = hive == 1;
        cLinkedList<_guardchar<wchar_t>> names;
        if (!list_own_uninstall_entries(per_user, names)) {
            _guardchar<wchar_t> place;
            uninstall_list_place(per_user, place);
            add_line(unread, place.Text());
        }
        // What is registered for all users is the administrators' to take
        // off.
        bool may_delete = per_user || process_is_administrator();
        for (const cLinkedList<_guardchar<wchar_t>>::Node* node = names.first; node; node = node->next) {
            const wchar_t* name = node->element.Text();
            cManagerEntry* entry =
                may_delete && uninstall_entry_deletable(name, per_user) ? list_append(entries) : nullptr;
            if (entry) {
                entry->name.Assign(name);
                entry->per_user = per_user;
            } else {
                name_entry(kept, name);
            }
        }
    }
    if (!kept.first && unread.IsEmpty())
        return true;
    name_all(kept, more, unread.Text(), named);
    return false;
}

bool take_off_manager_entries(const cManagerEntries& entries, const wchar_t* more, _guardchar<wchar_t>& named)
{
    cRecordNames kept;
    for (const cManagerEntries::Node* node = entries.first; node; node = node->next)
        if (!delete_listed_uninstall_entry(node->element.name.Text(), node->element.per_user))
            name_entry(kept, node->element.name.Text());
    if (!kept.first)
        return true;
    name_all(kept, more, nullptr, named);
    return false;
}
