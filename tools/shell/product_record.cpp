#include "tools/shell/product_record.h"

#include <string.h>

#include "base/app_config.h"
#include "base/date_time.h"
#include "base/format.h"
#include "base/string_convert.h"
#include "gui/language.h"
#include "tools/shell/product_icons.h"

namespace {

// Date and time print as "dd.mm.yyyy hh:mm:ss"; the list shows the date.
const int32_t date_length = 10;

bool read_text(cApplicationConfig* config, const char* code_name, const char* value, _guardchar<wchar_t>& out)
{
    _guardchar<char> key;
    return product_record_key(code_name, value, key) && config->ReadString(key.Text(), out);
}

void read_install_date(cApplicationConfig* config, const char* code_name, cInstalledProduct& product)
{
    _guardchar<char> key;
    int64_t seconds = 0;
    if (!product_record_key(code_name, "utime", key) || !config->ReadInt64(key.Text(), seconds))
        return;
    wchar_t text[100];
    if (format_unix_time(uint32_t(seconds), text)) {
        text[date_length] = 0;
        product.install_date.Assign(text);
    }
}

void read_launch_entries(cApplicationConfig* config, const char* code_name, uint32_t language,
                         cInstalledProduct& product)
{
    for (int32_t k = 0;; ++k) {
        char name_value[32], command_value[32], language_value[48];
        str_format(name_value, 32, "cplns%d", k);
        str_format(command_value, 32, "cplcs%d", k);
        str_format(language_value, 48, "cplns%d.%d", k, int32_t(language));
        _guardchar<wchar_t> name, command;
        if (!read_text(config, code_name, name_value, name) || !read_text(config, code_name, command_value, command) ||
            name.IsEmpty() || command.IsEmpty())
            return;
        // The name in the window's language when the installation recorded
        // one, else the one of the installation's language.
        _guardchar<wchar_t> translated;
        if (read_text(config, code_name, language_value, translated) && !translated.IsEmpty())
            name.Swap(translated);
        cLaunchEntry* entry = list_append(product.launch_entries);
        if (!entry)
            return;
        entry->name.Swap(name);
        entry->command.Swap(command);
    }
}

}  // namespace

bool cInstalledProduct::HasUpdate() const
{
    return offered_version != no_version && offered_version > installed_version;
}

bool product_record_key(const char* code_name, const char* value, _guardchar<char>& key)
{
    size_t size = strlen("install/") + strlen(code_name) + 1 + strlen(value) + 1;
    key.Allocate(int32_t(size));
    return key.Buffer() && str_format(key.Buffer(), int32_t(size), "install/%s/%s", code_name, value) >= 0;
}

bool read_product_version(cApplicationConfig* config, const char* code_name, uint64_t* version)
{
    _guardchar<char> key;
    int64_t value = 0;
    if (!config || !code_name || !code_name[0] || !product_record_key(code_name, "ver", key) ||
        !config->ReadInt64(key.Text(), value))
        return false;
    *version = uint64_t(value);
    return true;
}

void read_product_record(cApplicationConfig* config, const char* code_name, uint64_t version,
                         cInstalledProduct& product)
{
    wstr_from_utf8(-1, code_name, product.code_name);
    product.installed_version = version;
    product.offered_version = no_version;
    format_packed_version(product.installed_version, product.version_text);
    read_text(config, code_name, "name", product.name);
    read_text(config, code_name, "publisher", product.publisher_url);
    read_text(config, code_name, "support", product.support_url);
    read_text(config, code_name, "updates", product.updates_url);
    read_install_date(config, code_name, product);
    read_launch_entries(config, code_name, get_current_language(), product);

    _guardchar<wchar_t> icon_path;
    read_text(config, code_name, "icon", icon_path);
    load_product_icons(icon_path.Text(), product.icon_small, product.icon_large);
}
