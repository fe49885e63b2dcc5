#ifndef TOOLS_INSTALL_PRODUCT_INFO_H
#define TOOLS_INSTALL_PRODUCT_INFO_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

class cPackage;

// What the installation record and the Windows entry tell of a package.

// Package strings that name the product.
extern const wchar_t product_code_name_key[];  // "codename"
extern const wchar_t product_name_key[];       // "name"
extern const wchar_t product_publisher_key[];  // "publisher"
extern const wchar_t product_group_key[];      // "group": the Start-menu folder
extern const wchar_t product_folder_key[];     // "folder": the install folder's default name

// Version a.b.c.d as one number, a<<48 | b<<32 | c<<16 | d, each part cut
// to 16 bits; versions compare as these numbers.
uint64_t pack_version(const uint32_t version[4]);

// Appends the folders besides the install folder ("pgm") that the
// package's files go to, as its strings name them, once for each file.
void package_base_folders(const cPackage& package, cLinkedList<_guardchar<wchar_t>>& out);

// The package's icon as a path; false when the package has none or its
// folder does not resolve.
bool product_icon_path(const cPackage& package, _guardchar<wchar_t>& out);

#endif
