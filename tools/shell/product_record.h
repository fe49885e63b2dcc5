#ifndef TOOLS_SHELL_PRODUCT_RECORD_H
#define TOOLS_SHELL_PRODUCT_RECORD_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"
#include "gui/image_buffer.h"
#include "tools/shell/version_query.h"

class cApplicationConfig;

// One of a product's own programs, as its installation recorded it.
struct cLaunchEntry {
    _guardchar<wchar_t> name;     // the link's text
    _guardchar<wchar_t> command;  // what the link opens
};

// One installed product as the main window lists it: its installation
// record, its icons and what the update server offers.
struct cInstalledProduct {
    cInstalledProduct() : installed_version(0), offered_version(no_version) {}
    cInstalledProduct(const cInstalledProduct&) = delete;
    cInstalledProduct& operator=(const cInstalledProduct&) = delete;

    // An offer greater than the installed version.
    bool HasUpdate() const;

    _guardchar<wchar_t> code_name;
    cImageBuffer icon_small;  // 16 x 16
    cImageBuffer icon_large;  // 48 x 48
    _guardchar<wchar_t> name;
    _guardchar<wchar_t> version_text;
    uint64_t installed_version;  // a<<48 | b<<32 | c<<16 | d
    uint64_t offered_version;    // no_version while the update server offers nothing
    _guardchar<wchar_t> installer_address;
    _guardchar<wchar_t> notes;
    _guardchar<wchar_t> web_page;
    _guardchar<wchar_t> install_date;  // day.month.year, "-" for none
    _guardchar<wchar_t> publisher_url;
    _guardchar<wchar_t> support_url;
    _guardchar<wchar_t> updates_url;
    cLinkedList<cLaunchEntry> launch_entries;
};

typedef cLinkedList<cInstalledProduct> cProductList;

// The installed version of the code name's (UTF-8) record, read from the
// store that holds it (find_record_store); false when the record has none,
// or only a common store that others may change holds it: such a product
// is not listed.
bool read_product_version(cApplicationConfig* config, const char* code_name, uint64_t* version);

// The rest of the record into product, beside the version read before:
// texts, date, launch entries (up to the first missing or empty one; each
// named in the interface language when the record has that name) and
// the icons (the built-in ones where the record's icon gives none). No
// offer yet.
void read_product_record(cApplicationConfig* config, const char* code_name, uint64_t version,
                         cInstalledProduct& product);

#endif
