#ifndef TOOLS_SHELL_OLDER_PRODUCTS_H
#define TOOLS_SHELL_OLDER_PRODUCTS_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

// A product that an installation replaces and may uninstall first, built by
// the install start-up; entries are heap objects owned by their list.
struct cOlderProduct {
    cOlderProduct() : run(0), unticked(false), result(0), next(nullptr) {}

    _guardchar<wchar_t> name;     // caption of its step on the uninstaller page
    _guardchar<wchar_t> command;  // the command line that uninstalls it
    uint8_t run;                  // 1: the command is to be run
    bool unticked;                // the user unticked its row and left the page
    int32_t result;               // the command's exit code; -1 when it did not start
    cOlderProduct* next;          // null at the end
};

// A singly linked list of older products; both null when empty.
struct cOlderProductList {
    cOlderProductList() : first(nullptr), last(nullptr) {}

    cOlderProduct* first;
    cOlderProduct* last;
};

// Unlinks the entry from the list and destroys it. An entry that is not in
// the list (another list's, or already gone) leaves the list and the entry
// untouched: false.
bool uninstall_list_remove(cOlderProductList& list, cOlderProduct* entry);

#endif
