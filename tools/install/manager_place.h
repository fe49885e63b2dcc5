#ifndef TOOLS_INSTALL_MANAGER_PLACE_H
#define TOOLS_INSTALL_MANAGER_PLACE_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

class cInstallJobHost;
class cProductFolders;
struct cInstallJobTexts;

// The shared manager "pelmarodesk.exe" at its place (get_manager_place).
// No product is installed without it: nothing else lists, updates or
// uninstalls what the installations record.

// Whether a manager will be at its place once an installation puts it
// there: a file stands there already, or one can be made there, which is
// proved by making the missing folders above it and an empty file at its
// name, then taking all of that away again. False with place naming what
// keeps it: what stands at its name or above it that is no folder, else
// the place itself.
bool manager_place_ready(_guardchar<wchar_t>& place);

// The manager and its Start-menu shortcut as the install job puts them in
// place.
class cPlacedManager {
public:
    // A clean copy of the running program (own_path, without its package)
    // where none is, or where the one there is older or silent to the
    // version query, replaced in one step (the host is asked while another
    // program holds it); then its shortcut in the installing language
    // (place_manager_shortcut, with the texts' name and group). True when
    // a manager stands at its place after; Path() names that place either
    // way.
    bool Place(const wchar_t* own_path, const cInstallJobTexts& texts, const cProductFolders& product_folders,
               cInstallJobHost& host);
    // The job gave up: the manager that Place made where none stood goes,
    // with its shortcuts and the folders made for it that are left empty.
    void TakeBack(const cProductFolders& product_folders);
    const _guardchar<wchar_t>& Path() const { return path; }
    // The shortcut's path once it is in place, else empty.
    const _guardchar<wchar_t>& Shortcut() const { return shortcut; }
    // What kept the shortcut from its place; empty when nothing did.
    const _guardchar<wchar_t>& Blocked() const { return blocked; }

private:
    bool Refresh(const wchar_t* own_path, cInstallJobHost& host);

    _guardchar<wchar_t> path, shortcut, blocked;
    bool made = false;
    cLinkedList<_guardchar<wchar_t>> folders;  // parents first
};

#endif
