#ifndef TOOLS_PACKAGE_PACKAGE_FORMAT_H
#define TOOLS_PACKAGE_PACKAGE_FORMAT_H

#include <stdint.h>

#include "tools/package/package.h"

class cFileIOTarget;

// A package file (numbers little-endian): a 49-byte header, "QRVSOPKG",
// format version 1, u32 unpacked size, u32 packed size, the SHA-256 of the
// unpacked record block; then the record block as one zlib stream. Records
// open with a type byte; type 0 ends the block:
//   1 product: u32 x 4 version, texts support, publisher, updates URL
//   6 default strings: table
//   7 language strings: (language byte, table)..., 0xFF
//   2 icon: texts folder key, path
//   3 menu: list of texts name key, target folder key, target path,
//     arguments key, icon folder key, icon path, description key; byte flag
//   4 files: list of u32 member index, u32 file word, texts folder key and
//     path, language bytes ended by 0xFF
//   5 finish page: list of byte ticked, texts name key, folder key, path,
//     arguments key
//   8 settings: list of u16 name length, name, u16 value length, value
//  12 replaced products: list of text code name, u16 major version
//   9 welcome, 10 read-me (byte accept flag first), 11 licence: u32 size,
//     that many bytes of a compiled document
//  13 members: (u32 unpacked size, u32 packed size, 32-byte SHA-256, packed
//     bytes)..., eight zero bytes
// A text is a u16 byte length and UTF-8; a key in a table the same with the
// bytes zero-padded to a multiple of four; a table is (1, key, text)..., 0;
// a list is (1, entry)..., 0. File word: bits 0-7, 8-15, 16-23 the access
// digits of everyone, the Administrators, the installing user (0-7, 8 none
// given); bit 24 for 32-bit, bit 25 for 64-bit Windows.
//
// An empty file cannot be held: its member's packed size would be 0, which
// ends the member list. Both the member builder and the writer refuse one.

const uint32_t package_header_size = 49;
extern const char package_magic[8];

// Reads the package at the stream's position into the emptied model. The
// block must inflate to exactly its size and digest, every record must be
// sound (member paths relative and plain, without a NUL, file entries
// going into the install folder or a full folder without a step up, naming existing
// members, keys that place things defined); false otherwise, with the model
// partly filled.
bool read_package(cPackage& package, cFileIOTarget* input);

// Appends the model as a package to the stream, which must be able to seek
// back to the package's header, and leaves it at the end. False for
// anything the reader would refuse to take back as written (texts and keys
// over 65,535 bytes, empty keys or setting names and values, empty
// replaced-product names, a document without bytes, an empty member) and
// for write failures.
bool write_package(cFileIOTarget* output, cPackage& package);

// Compresses the whole stream, from its start, into a new member (level 9,
// 4,096-byte pieces, a partial flush after each full piece, then finished):
// the new member's index, or -1 for a missing, empty or unreadable stream
// or one of 4 GiB or more.
int32_t add_package_member(cFileIOTarget* source, cPackage& package);

// Why a member could not be made.
enum cMemberResult {
    MEMBER_DONE,
    MEMBER_BAD_SIZE,    // empty, or 4 GiB or more
    MEMBER_UNREADABLE,  // missing, a failed read, or a zlib failure
    MEMBER_NO_MEMORY,   // no room for the compressed stream or zlib's state
    MEMBER_CHANGED,     // the source grew while it was read
};
// The same compression into a member record that is not in a package yet.
// Memory taken: the compressed stream, in runs, and a fixed amount.
cMemberResult compress_package_member(cFileIOTarget* source, cPackageMember& member);

#endif
