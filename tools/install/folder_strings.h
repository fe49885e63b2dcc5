#ifndef TOOLS_INSTALL_FOLDER_STRINGS_H
#define TOOLS_INSTALL_FOLDER_STRINGS_H

#include <stdint.h>

class cPackage;
class cProductFolders;
struct cPackageFileEntry;

// What the folders a package names for its files besides the install
// folder are, by the rule of the folders a product may own
// (cProductFolders): make refuses a scenario, and the start-up a package,
// by this one check.
enum : uint32_t {
    FOLDER_STRINGS_SOUND = 0,
    // A name ending in a dot or blank, or no full folder below a drive's or
    // share's root: no package that make writes.
    FOLDER_STRING_MALFORMED = 1,
    // A folder of the system or of the user on this machine (or one above
    // it), which cannot hold a product of its own.
    FOLDER_STRING_OF_SYSTEM = 2,
};

// The first file whose folder string, in the package's current language,
// is not sound: FOLDER_STRING_*, with the file's entry and the string (the
// package's own text) in entry and folder when given.
uint32_t check_folder_strings(const cPackage& package, const cProductFolders& folders,
                              const cPackageFileEntry** entry, const wchar_t** folder);

#endif
