#ifndef TOOLS_PACKAGE_PACKAGE_QUERIES_H
#define TOOLS_PACKAGE_PACKAGE_QUERIES_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"
#include "tools/package/package.h"

class cFileIOTarget;

// The queries the install road asks of a read package. The list builders
// empty their output first; paths come out in '/' form and depend on the
// folder key "pgm", which the installer sets (set_pgm_folder) before it
// resolves anything.

// A file to install.
struct cInstallItem {
    _guardchar<wchar_t> target_path;
    uint32_t member_index;
    uint8_t access[3];  // as cPackageFileEntry::access
    uint8_t digest[32]; // SHA-256 of the member's data
};

// A start-menu shortcut to create in the folder named by the string "group".
struct cShortcutItem {
    _guardchar<wchar_t> name;
    _guardchar<wchar_t> target_path;
    _guardchar<wchar_t> arguments;
    _guardchar<wchar_t> icon_path;
    _guardchar<wchar_t> description;
    bool run_as_administrator;
};

// A program or page offered on the finish page.
struct cFinishItem {
    _guardchar<wchar_t> command_path;
    _guardchar<wchar_t> arguments;
    _guardchar<wchar_t> name;
    bool ticked;
};

// The languages that have a string table, ascending.
void list_package_languages(const cPackage& package, cLinkedList<int32_t>& out);
// A copy of each replaced product, in order. Always true.
bool copy_replaced_products(const cPackage& package, cLinkedList<cPackageReplacedProduct>& out);
// Sets the key "pgm" of table (normally the default strings) to the folder.
bool set_pgm_folder(cPackageStrings& table, const wchar_t* folder);

// A folder key and a path relative to its value: the path alone for an
// empty key or value, the value alone for an empty path, else both joined
// by one '/'. False when the key's value is null (GetString).
bool resolve_item_path(const cPackage& package, const wchar_t* folder_key, const wchar_t* path,
                       _guardchar<wchar_t>& out);

// Why the files of a package cannot go where it places them.
enum : uint32_t {
    INSTALL_TARGETS_SOUND = 0,
    INSTALL_TARGET_UNRESOLVED = 1,  // its folder key has no value, or it names no member
    INSTALL_TARGET_OUTSIDE = 2,     // not inside its folder ("..", a folder that is no full path), or too long
    INSTALL_TARGETS_COLLIDE = 3,    // two targets are one file
    INSTALL_TARGET_IN_FOLDER = 4,   // one target is the folder of another
    INSTALL_TARGET_IN_ROOT = 5,     // its folder (not the install folder) is a drive's or share's root
    INSTALL_TARGET_REPLACEMENT = 6, // one target is another's temporary or backup file ("<other>.tmp", ".bkp")
};

// The first fault found: its kind, the entry at fault and, for two
// targets, the earlier entry it meets; the target at fault (when it
// resolved).
struct cInstallTargetFault {
    uint32_t kind;
    const cPackageFileEntry* entry;
    const cPackageFileEntry* other;
    _guardchar<wchar_t> target;
};

// The files for this Windows (32- or 64-bit) and the current language, in
// package order, each target inside its folder (install_folder for "pgm";
// null: the package's "pgm" string), a folder of the package below a root,
// no two targets one file, none the folder of another and none the name
// the installer gives another while it replaces it. INSTALL_TARGETS_SOUND,
// or the first fault (also in fault when given).
uint32_t build_install_targets(const cPackage& package, bool windows64, const wchar_t* install_folder,
                               cLinkedList<cInstallItem>& out, cInstallTargetFault* fault);
// The same at "pgm", this Windows; true when sound.
bool build_install_file_list(const cPackage& package, cLinkedList<cInstallItem>& out);
bool build_install_file_list_for(const cPackage& package, bool windows64, cLinkedList<cInstallItem>& out);
// The faults of the package's files that every install folder has: the
// targets as they would be in a folder of the user's choice.
uint32_t check_install_targets(const cPackage& package, bool windows64, cInstallTargetFault* fault);
// False when a name or a path does not resolve.
bool build_shortcut_items(const cPackage& package, cLinkedList<cShortcutItem>& out);
bool build_run_list(const cPackage& package, cLinkedList<cFinishItem>& out);

// Bytes the files for this Windows need, whatever their languages, each
// rounded up to whole clusters of cluster_size bytes (64 KiB where the
// volume is not known yet).
uint64_t package_space_needed(const cPackage& package, uint32_t cluster_size = 65536);
uint64_t package_space_needed_for(const cPackage& package, bool windows64, uint32_t cluster_size = 65536);

// "a.b.c.d", "a.b.c" without a build, "a.b" without sub-version and build.
bool format_display_version(const cPackage& package, _guardchar<wchar_t>& out);

// The bytes of the file that member holds: a new stream owned by the
// caller, which must keep the package alive while it reads; null for no
// such member.
cFileIOTarget* open_package_member(const cPackage& package, uint32_t index);
// Bytes that open_package_member gives for the member; 0 for none.
uint64_t package_member_size(const cPackage& package, uint32_t index);
// SHA-256 of what the stream gives from its position on.
bool sha256_of_stream(cFileIOTarget* stream, uint8_t digest[32]);

// The program-files folder in '/' form: the folder that "ProgramW6432"
// names when it is one, else "ProgramFiles"'s, else "C:/Program Files".
// False when that last one is no folder either (out names it all the same).
bool get_program_files_folder(_guardchar<wchar_t>& out);

// "<program files>/Common Files/Vantrel/pelmarodesk.exe", the manager's
// place, whatever stands there or in its way; nothing is made.
bool get_manager_place(_guardchar<wchar_t>& out);

// The manager's place where a manager can be: nothing, or a file, at its
// name, and no object other than a folder above it. False otherwise.
bool get_manager_exe_path(_guardchar<wchar_t>& out);

#endif
