#include "tools/install/uninstall_entry.h"

#include <windows.h>

#include "base/buffers/typebuf.h"
#include "base/case_map.h"
#include "base/date_time.h"
#include "base/dynamic_import.h"
#include "base/format.h"
#include "base/linked_list.h"
#include "base/path.h"
#include "base/string_utils.h"
#include "tools/install/product_info.h"
#include "tools/install/uninstall_command.h"
#include "tools/package/package.h"
#include "tools/package/package_queries.h"

namespace {

const wchar_t first_level[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\";
const wchar_t uninstall_level[] = L"Uninstall";
const REGSAM write_access = KEY_WRITE | KEY_WOW64_64KEY;                  // 0x20106
const REGSAM product_write_access = KEY_READ | KEY_WRITE | KEY_WOW64_64KEY;  // 0x2011F
const REGSAM read_access_64 = KEY_READ | KEY_WOW64_64KEY;                   // 0x20119
const REGSAM read_access_own = KEY_READ;                                    // 0x20019
const wchar_t* const version_names[4] = {L"MajorVersion", L"MinorVersion", L"SubVersion", L"BuildNumber"};
// Bytes of a string value as read.
const DWORD string_value_bytes = 16384;

typedef LSTATUS(WINAPI* RegGetValueFunction)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);
typedef LSTATUS(WINAPI* RegDeleteKeyExFunction)(HKEY, LPCWSTR, REGSAM, DWORD);

// advapi32's functions that older Windows lacks, looked up once.
struct cRegistryImports {
    cRegistryImports()
    {
        HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
        if (!advapi)
            advapi = LoadLibraryW(L"advapi32.dll");
        get_value = dynamic_import<RegGetValueFunction>(advapi, "RegGetValueW");
        delete_key_ex = dynamic_import<RegDeleteKeyExFunction>(advapi, "RegDeleteKeyExW");
    }
    RegGetValueFunction get_value;
    RegDeleteKeyExFunction delete_key_ex;
};

const cRegistryImports& registry_imports()
{
    static const cRegistryImports imports;
    return imports;
}

// An open key, closed with the object.
class cRegKey {
public:
    cRegKey() : key(nullptr) {}
    ~cRegKey()
    {
        if (key)
            RegCloseKey(key);
    }
    cRegKey(const cRegKey&) = delete;
    cRegKey& operator=(const cRegKey&) = delete;

    LSTATUS Open(HKEY parent, const wchar_t* name, REGSAM access)
    {
        return parent ? RegOpenKeyExW(parent, name, 0, access, &key) : ERROR_INVALID_HANDLE;
    }
    LSTATUS Create(HKEY parent, const wchar_t* name, REGSAM access)
    {
        return RegCreateKeyExW(parent, name, 0, nullptr, 0, access, nullptr, &key, nullptr);
    }

    HKEY key;
};

HKEY root_of(bool per_user)
{
    return per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

const wchar_t* root_name(bool per_user)
{
    return per_user ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
}

bool set_dword(HKEY key, const wchar_t* name, uint32_t value)
{
    DWORD data = value;
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
           ERROR_SUCCESS;
}

// A null text is not written, and counts as written.
bool set_string(HKEY key, const wchar_t* name, const wchar_t* text)
{
    if (!text)
        return true;
    DWORD bytes = DWORD(wstr_length(text) + 1) * sizeof(wchar_t);
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

bool write_values(HKEY key, const cPackage& package, const wchar_t* manager_path, const wchar_t* code_name)
{
    // The command first: a write cut off at any point leaves a key that is
    // empty or that says it is ours (uninstall_entry_owner), never one that
    // the next run must take for another program's.
    _guardchar<wchar_t> command;
    if (!format_manager_command(manager_path, L"uninstall", code_name, command) ||
        !set_string(key, L"UninstallString", command.Text()))
        return false;
    for (int i = 0; i < 4; ++i)
        if (!set_dword(key, version_names[i], package.version[i]))
            return false;
    set_dword(key, L"NoRepair", 1);
    set_dword(key, L"NoModify", 0);
    if (!format_manager_command(manager_path, L"update", code_name, command) ||
        !set_string(key, L"ModifyPath", command.Text()))
        return false;
    // The rest is informative: a failure leaves that value out.
    _guardchar<wchar_t> text;
    if (product_icon_path(package, text)) {
        path_to_backslashes(text.Buffer());
        set_string(key, L"DisplayIcon", text.Text());
    }
    set_string(key, L"DisplayName", package.GetString(product_name_key));
    if (format_display_version(package, text))
        set_string(key, L"DisplayVersion", text.Text());
    set_string(key, L"HelpLink", package.support_url.Text());
    set_string(key, L"Publisher", package.GetString(product_publisher_key));
    set_string(key, L"ProductId", code_name);
    set_string(key, L"URLInfoAbout", package.publisher_url.Text());
    set_string(key, L"URLUpdateInfo", package.updates_url.Text());
    set_string(key, L"InstallLocation", L"");
    cDateTime today;
    time_now_utc(today);
    wchar_t date[16];
    wstr_format(date, 16, L"%04d%02d%02d", int(today.year), int(today.month), int(today.day));
    set_string(key, L"InstallDate", date);
    return true;
}

// The product key of one view: its three levels opened with access (the
// "Uninstall" level also with uninstall_extra, to delete the product key).
// The status of the first level that fails.
struct cProductKeyView {
    cRegKey first;
    cRegKey uninstall;
    cRegKey product;

    LSTATUS Open(HKEY root, const wchar_t* code_name, REGSAM access, REGSAM uninstall_extra = 0,
                 REGSAM product_extra = 0)
    {
        LSTATUS status = OpenUninstall(root, access, uninstall_extra);
        if (status == ERROR_SUCCESS)
            status = product.Open(uninstall.key, code_name, access | product_extra);
        return status;
    }
    // The first two levels alone.
    LSTATUS OpenUninstall(HKEY root, REGSAM access, REGSAM uninstall_extra = 0)
    {
        LSTATUS status = first.Open(root, first_level, access);
        if (status == ERROR_SUCCESS)
            status = uninstall.Open(first.key, uninstall_level, access | uninstall_extra);
        return status;
    }
};

void read_string(HKEY key, const wchar_t* name, _guardchar<wchar_t>& out)
{
    out.Clear();
    _typebuf<wchar_t> value(int32_t(string_value_bytes / sizeof(wchar_t)) + 1);
    if (!value.Data())
        return;
    DWORD bytes = string_value_bytes;
    LSTATUS status;
    if (RegGetValueFunction get_value = registry_imports().get_value)
        status = get_value(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value.Data(), &bytes);
    else
        status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.Data()), &bytes);
    if (status != ERROR_SUCCESS)
        return;
    // A stored text need not end in a zero: the extra unit holds one.
    value[int32_t(bytes / sizeof(wchar_t))] = 0;
    out.Assign(value.Data());
}

bool read_dword(HKEY key, const wchar_t* name, uint32_t& out)
{
    DWORD type = 0, data = 0, bytes = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(data))
        return false;
    out = data;
    return true;
}

bool nothing_there(LSTATUS status)
{
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

// The entries views hold: the 64-bit one and the process's own.
const REGSAM entry_views[2] = {KEY_WOW64_64KEY, 0};

// Whose the entry of one view is (opened is the status of its opening):
// one that cannot be read cannot be told to be ours; a key without values
// registers nothing.
uint32_t owner_of(const cProductKeyView& entry, LSTATUS opened, const wchar_t* code_name)
{
    if (opened != ERROR_SUCCESS)
        return nothing_there(opened) ? UNINSTALL_ENTRY_NONE : UNINSTALL_ENTRY_FOREIGN;
    _guardchar<wchar_t> command;
    read_string(entry.product.key, L"UninstallString", command);
    if (is_own_uninstall_command(command.Text(), code_name))
        return UNINSTALL_ENTRY_OURS;
    DWORD values = 0;
    if (RegQueryInfoKeyW(entry.product.key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        values == 0)
        return UNINSTALL_ENTRY_NONE;
    return UNINSTALL_ENTRY_FOREIGN;
}

// The program an entry belongs to, for the user: its DisplayName, else
// where it lies.
void describe_entry(const cProductKeyView& entry, bool per_user, const wchar_t* code_name, _guardchar<wchar_t>& out)
{
    if (entry.product.key)
        read_string(entry.product.key, L"DisplayName", out);
    if (out.IsEmpty())
        path_format(out, L"%s\\%s%s\\%s", root_name(per_user), first_level, uninstall_level, code_name);
}

// Deletes the product key in one view (KEY_WOW64_64KEY, or 0 for the
// process's own) when it is the kind asked for: this program's uninstall
// of the code name, or (bare) an entry without an uninstall command. True
// when no such entry is left: deleted, or not there to begin with (an entry
// of another kind stays). A key that cannot be opened (access denied) is a
// failure.
bool delete_in_view(HKEY root, const wchar_t* code_name, REGSAM view, bool bare)
{
    cProductKeyView entry;
    LSTATUS status = entry.Open(root, code_name, KEY_READ | view, KEY_WRITE);
    if (status != ERROR_SUCCESS)
        return nothing_there(status);
    _guardchar<wchar_t> command;
    read_string(entry.product.key, L"UninstallString", command);
    if (bare ? !command.IsEmpty() : !is_own_uninstall_command(command.Text(), code_name))
        return true;
    if (RegDeleteKeyExFunction delete_key_ex = registry_imports().delete_key_ex)
        return delete_key_ex(entry.uninstall.key, code_name, view, 0) == ERROR_SUCCESS;
    return RegDeleteKeyW(entry.uninstall.key, code_name) == ERROR_SUCCESS;
}

// Whatever the reader finds must go: the entry of the 64-bit view and one
// that a 32-bit program left in its own view. The key of exactly that name.
bool delete_named_in_both_views(const wchar_t* key_name, bool per_user, bool bare)
{
    bool wide_gone = delete_in_view(root_of(per_user), key_name, entry_views[0], bare);
    return delete_in_view(root_of(per_user), key_name, entry_views[1], bare) && wide_gone;
}

bool delete_in_both_views(const wchar_t* code_name, bool per_user, bool bare)
{
    code_name = uninstall_entry_name(code_name);
    return code_name && delete_named_in_both_views(code_name, per_user, bare);
}

// Key names are at most 255 characters.
const DWORD key_name_units = 256;

bool listed_already(const cLinkedList<_guardchar<wchar_t>>& names, const wchar_t* name)
{
    for (const cLinkedList<_guardchar<wchar_t>>::Node* node = names.first; node; node = node->next)
        if (wstr_compare_nocase(node->element.Text(), name) == 0)
            return true;
    return false;
}

// Appends the names of one view's entries that start this program's
// uninstall of their own name; false when its list cannot be read whole.
bool list_own_in_view(HKEY root, REGSAM view, cLinkedList<_guardchar<wchar_t>>& names)
{
    cProductKeyView list;
    LSTATUS status = list.OpenUninstall(root, KEY_READ | view);
    if (status != ERROR_SUCCESS)
        return nothing_there(status);
    wchar_t name[key_name_units];
    for (DWORD index = 0;; ++index) {
        DWORD units = key_name_units;
        status = RegEnumKeyExW(list.uninstall.key, index, name, &units, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            return true;
        if (status != ERROR_SUCCESS)
            return false;
        cRegKey product;
        status = product.Open(list.uninstall.key, name, KEY_READ | view);
        // Deleted since it was listed: nothing to take off. One that cannot
        // be read may start the manager as well as anything.
        if (nothing_there(status))
            continue;
        if (status != ERROR_SUCCESS)
            return false;
        _guardchar<wchar_t> command;
        read_string(product.key, L"UninstallString", command);
        if (is_own_uninstall_command(command.Text(), name) && !listed_already(names, name) &&
            !list_append_text(names, name))
            return false;
    }
}

}  // namespace

bool format_manager_command(const wchar_t* manager_path, const wchar_t* verb, const wchar_t* code_name,
                            _guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> manager;
    manager.Assign(manager_path);
    path_to_backslashes(manager.Buffer());
    int32_t size = manager.Length() + wstr_length(code_name) + wstr_length(verb) + 16;
    out.Allocate(size);
    return out.Buffer() && wstr_format(out.Buffer(), size, L"\"%s\" %s \"%s\"", manager.Text() ? manager.Text() : L"",
                                       verb, code_name) > 0;
}

const wchar_t* uninstall_entry_name(const wchar_t* code_name)
{
    if (!code_name)
        return nullptr;
    while (wchar_is_space(*code_name))
        ++code_name;
    return *code_name ? code_name : nullptr;
}

uint32_t uninstall_entry_owner(const wchar_t* code_name, bool per_user, _guardchar<wchar_t>* other)
{
    code_name = uninstall_entry_name(code_name);
    if (!code_name)
        return UNINSTALL_ENTRY_NONE;
    uint32_t owner = UNINSTALL_ENTRY_NONE;
    for (REGSAM view : entry_views) {
        cProductKeyView entry;
        uint32_t found = owner_of(entry, entry.Open(root_of(per_user), code_name, KEY_READ | view), code_name);
        if (found == UNINSTALL_ENTRY_FOREIGN) {
            if (other)
                describe_entry(entry, per_user, code_name, *other);
            return found;
        }
        if (found == UNINSTALL_ENTRY_OURS)
            owner = found;
    }
    return owner;
}

bool write_uninstall_entry(const cPackage& package, const wchar_t* manager_path, bool per_user)
{
    const wchar_t* code_name = uninstall_entry_name(package.GetString(product_code_name_key));
    if (!manager_path || !code_name || uninstall_entry_owner(code_name, per_user, nullptr) == UNINSTALL_ENTRY_FOREIGN)
        return false;
    cRegKey first, uninstall, product;
    if (first.Open(root_of(per_user), first_level, write_access) != ERROR_SUCCESS ||
        uninstall.Create(first.key, uninstall_level, write_access) != ERROR_SUCCESS ||
        product.Create(uninstall.key, code_name, product_write_access) != ERROR_SUCCESS)
        return false;
    return write_values(product.key, package, manager_path, code_name);
}

bool read_uninstall_entry(const wchar_t* code_name, uint32_t version[4], _guardchar<wchar_t>* uninstall_command,
                          _guardchar<wchar_t>* display_name, bool per_user)
{
    for (int i = 0; i < 4; ++i)
        version[i] = 0;
    code_name = uninstall_entry_name(code_name);
    if (!code_name)
        return false;
    cProductKeyView wide_view, own_view;
    bool wide = wide_view.Open(root_of(per_user), code_name, read_access_64) == ERROR_SUCCESS;
    bool own = own_view.Open(root_of(per_user), code_name, read_access_own) == ERROR_SUCCESS;
    if (!wide && !own)
        return false;
    HKEY product = wide ? wide_view.product.key : own_view.product.key;
    if (uninstall_command)
        read_string(product, L"UninstallString", *uninstall_command);
    if (display_name)
        read_string(product, L"DisplayName", *display_name);
    if (!read_dword(product, version_names[0], version[0]))
        return false;
    for (int i = 1; i < 4 && read_dword(product, version_names[i], version[i]); ++i) {
    }
    return true;
}

bool delete_uninstall_entry(const wchar_t* code_name, bool per_user)
{
    return delete_in_both_views(code_name, per_user, false);
}

bool delete_bare_uninstall_entry(const wchar_t* code_name, bool per_user)
{
    return delete_in_both_views(code_name, per_user, true);
}

bool list_own_uninstall_entries(bool per_user, cLinkedList<_guardchar<wchar_t>>& names)
{
    bool wide_read = list_own_in_view(root_of(per_user), entry_views[0], names);
    return list_own_in_view(root_of(per_user), entry_views[1], names) && wide_read;
}

void uninstall_list_place(bool per_user, _guardchar<wchar_t>& out)
{
    path_format(out, L"%s\\%s%s", root_name(per_user), first_level, uninstall_level);
}

bool uninstall_entry_deletable(const wchar_t* key_name, bool per_user)
{
    for (REGSAM view : entry_views) {
        cProductKeyView entry;
        LSTATUS status = entry.Open(root_of(per_user), key_name, KEY_READ | view, KEY_WRITE, DELETE);
        if (status != ERROR_SUCCESS && !nothing_there(status))
            return false;
    }
    return true;
}

bool delete_listed_uninstall_entry(const wchar_t* key_name, bool per_user)
{
    return key_name && *key_name && delete_named_in_both_views(key_name, per_user, false);
}
