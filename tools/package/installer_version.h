#ifndef TOOLS_PACKAGE_INSTALLER_VERSION_H
#define TOOLS_PACKAGE_INSTALLER_VERSION_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "tools/package/package.h"

// Whole days since 2004-12-21 11:08:18 UTC: the fourth part of an
// installer's file version.
uint32_t installer_day_number(uint64_t unix_seconds);

// The built installer's version resource (VS_VERSIONINFO, one string table
// "000004b0", translation 0x0000/0x04B0) in exactly size bytes, zero-padded:
// company name, file description, copyright and product name from the
// package's strings "publisher", "name", "copyright" and "name" (each only
// when not empty), file version "major.minor.sub.day" and product version
// "major.minor.sub.build". False when it does not fit; needed is then its
// size without padding.
bool build_installer_version(const cPackage& package, uint32_t day_number, uint32_t size,
                             _typebuf<uint8_t>& resource, uint32_t& needed);

#endif
