#include "tools/install/older_product_queries.h"

#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/string_convert.h"
#include "gui/application.h"
#include "tools/install/uninstall_entry.h"
#include "tools/package/package_queries.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

// The record key of the code name; false for an empty one.
bool record_key(const wchar_t* code_name, _guardchar<char>& out)
{
    _guardchar<char> utf8;
    return str_from_wstr_utf8(code_name, -1, utf8) > 0 && record_key_of(utf8.Text(), out);
}

}  // namespace

bool get_installed_major_version_in(cApplicationConfig* store, const wchar_t* code_name, uint32_t& major,
                                    _guardchar<wchar_t>& command)
{
    if (store) {
        _guardchar<char> key;
        if (!record_key(code_name, key))
            return false;
        int64_t version;
        _guardchar<wchar_t> manager;
        cApplicationConfig* holder = record_holder(store, key.Text());
        // The manager at its own place, never a program that a store names.
        if (holder && cRecordReader(*holder, key.Text()).ReadNumber(record_version, version) &&
            get_manager_exe_path(manager) && path_get_kind(manager.Text()) == PATH_KIND_FILE &&
            format_manager_command(manager.Text(), L"uninstall", code_name, command)) {
            major = uint32_t(uint64_t(version) >> 48);
            return true;
        }
    }
    uint32_t version[4];
    if (!read_uninstall_entry(code_name, version, &command, nullptr, false) &&
        !read_uninstall_entry(code_name, version, &command, nullptr, true))
        return false;
    major = version[0];
    return true;
}

bool get_installed_major_version(const wchar_t* code_name, uint32_t& major, _guardchar<wchar_t>& command)
{
    return get_installed_major_version_in(get_current_config(), code_name, major, command);
}

bool get_installed_product_name_in(cApplicationConfig* store, const wchar_t* code_name, _guardchar<wchar_t>& name)
{
    if (store) {
        _guardchar<char> key;
        if (!record_key(code_name, key))
            return false;
        cApplicationConfig* holder = record_holder(store, key.Text());
        if (holder && cRecordReader(*holder, key.Text()).ReadText(record_name, name))
            return true;
    }
    uint32_t version[4];
    if (read_uninstall_entry(code_name, version, nullptr, &name, false))
        return true;
    return read_uninstall_entry(code_name, version, nullptr, &name, true);
}

bool get_installed_product_name(const wchar_t* code_name, _guardchar<wchar_t>& name)
{
    return get_installed_product_name_in(get_current_config(), code_name, name);
}
