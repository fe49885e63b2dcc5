#ifndef BASE_CONFIG_NODE_H
#define BASE_CONFIG_NODE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

// One node of a configuration store file: a value of bytes and named
// children, kept in ascending order of their UTF-8 names. A node is handed
// around by its address; it stays put while its parent's map grows.
struct cConfigNode {
    cConfigNode() : children(1024) {}

    _typebuf<uint8_t> value;  // empty when nothing is stored
    cTreeMap<cPackedKey, cConfigNode> children;
};

typedef cTreeNode<cPackedKey, cConfigNode> cConfigNodeEntry;

// Levels of children below a file's root that a store file may hold. Reading
// refuses a file nested deeper and writing refuses such a tree, so a corrupt
// or hostile file cannot run the recursive reader off the stack and nothing
// is written that could not be read back.
const uint32_t CFG_MAX_DEPTH = 64;

// Frees the value and every child.
void cfg_node_clear(cConfigNode& node);

// Exchanges the values and children of the two nodes; each stays where it
// is.
void cfg_node_swap(cConfigNode& one, cConfigNode& other);

// The child called name (UTF-8, NUL-terminated), added with an empty value
// when absent and create is set. Null when absent, or when memory runs out.
cConfigNode* cfg_node_get_child(cConfigNode& parent, const char* name, bool create);

// Removes the child called name with everything below it; false when there
// is no such child.
bool cfg_node_remove_child(cConfigNode& parent, const char* name);

// The child name a key stands for, as NUL-terminated UTF-8 (empty for the
// empty key). False when memory runs out.
bool cfg_key_text(const cPackedKey& key, _guardchar<char>& out);

// A whole store file over any stream, from position 0: the magic "QRVC"
// and the root node. Integers are little-endian; a node is its value length
// (16 bits) and bytes, then per child 0x01, the name length (8 bits, 1-255)
// and bytes, and the child node, and finally 0x00.

// Empties root and reads the file into it. False for a wrong magic, a short
// read, a marker other than 0x00 or 0x01, a name length of 0, nesting beyond
// CFG_MAX_DEPTH or a lack of memory; root then holds what was read before
// the fault (a value cut short is left empty). A name holding a character
// beyond U+FFFF as two three-byte surrogate halves (as earlier versions
// wrote it) reads as the four-byte form (utf8_join_split_pairs). A name
// that occurs twice under one node, in either form, reads into one child:
// the later value wins, the children merge. Bytes after the root's end
// byte are never read.
bool cfg_stream_read(cFileIOTarget& stream, cConfigNode& root);

// Writes root from position 0 without truncating: bytes after the new end
// stay as they were. Values longer than 65535 bytes are cut to 65535, names
// to their first 255 bytes; the empty name is written as four zero bytes.
// False, with nothing written, for a tree deeper than CFG_MAX_DEPTH; false
// as soon as a write falls short (the stream then holds the new bytes up to
// there).
bool cfg_stream_write(cFileIOTarget& stream, const cConfigNode& root);

#endif
