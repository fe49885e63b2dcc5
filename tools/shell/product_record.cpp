#include "tools/shell/product_record.h"

#include "base/app_config.h"
#include "base/date_time.h"
#include "base/string_convert.h"
#include "gui/language.h"
#include "tools/shell/product_icons.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

// Date and time print as "dd.mm.yyyy hh:mm:ss"; the list shows the date.
const int32_t date_length = 10;

void read_install_date(cRecordReader& record, cInstalledProduct& product)
{
    int64_t seconds = 0;
    if (!record.ReadNumber(record_time, seconds))
        return;
    wchar_t text[100];
    if (format_unix_time(uint32_t(seconds), text)) {
        text[date_length] = 0;
        product.install_date.Assign(text);
    }
}

void read_launch_entries(cRecordReader& record, uint32_t language, cInstalledProduct& product)
{
    for (uint64_t k = 0;; ++k) {
        _guardchar<wchar_t> name, command;
        if (!record.ReadText(record_entry_name, k, name) || !record.ReadText(record_entry_command, k, command) ||
            name.IsEmpty() || command.IsEmpty())
            return;
        // The name in the window's language when the installation recorded
        // one, else the one of the installation's language.
        _guardchar<wchar_t> translated;
        if (record.ReadTextIn(record_entry_name, k, int32_t(language), translated) && !translated.IsEmpty())
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

bool read_product_version(cApplicationConfig* config, const char* code_name, uint64_t* version)
{
    _guardchar<char> key;
    int64_t value = 0;
    cApplicationConfig* holder = record_holder_of(config, code_name, key);
    if (!holder || !cRecordReader(*holder, key.Text()).ReadNumber(record_version, value))
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
    _guardchar<char> key;
    cApplicationConfig* holder = record_holder_of(config, code_name, key);
    if (!holder)
        return;
    cRecordReader record(*holder, key.Text());
    record.ReadText(record_name, product.name);
    record.ReadText(record_publisher, product.publisher_url);
    record.ReadText(record_support, product.support_url);
    record.ReadText(record_updates, product.updates_url);
    read_install_date(record, product);
    read_launch_entries(record, get_current_language(), product);

    _guardchar<wchar_t> icon_path;
    record.ReadText(record_icon, icon_path);
    load_product_icons(icon_path.Text(), product.icon_small, product.icon_large);
}
