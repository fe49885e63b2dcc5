#include "base/config_node.h"

#include <string.h>

#include "base/utf8.h"

namespace {

const uint8_t magic[4] = {'Q', 'R', 'V', 'C'};
const uint8_t child_marker = 0x01;
const uint8_t end_marker = 0x00;
const uint32_t longest_value = 0xFFFF;
const int32_t longest_name = 0xFF;

bool read_u8(cFileIOTarget& stream, uint8_t& out)
{
    return stream.ReadExact(&out, 1);
}

bool read_u16(cFileIOTarget& stream, uint32_t& out)
{
    uint8_t bytes[2];
    if (!stream.ReadExact(bytes, 2))
        return false;
    out = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8;
    return true;
}

// Reads a node at the stream's position into node, which sits depth levels
// below the file's root. The recursion is bounded by CFG_MAX_DEPTH.
bool read_node(cFileIOTarget& stream, cConfigNode& node, uint32_t depth)
{
    uint32_t length;
    if (!read_u16(stream, length))
        return false;
    // A later occurrence of a name replaces the earlier value, even with an
    // empty one.
    node.value.Resize(int32_t(length));
    if (length && (!node.value.Data() || !stream.ReadExact(node.value.Data(), length))) {
        node.value.Clear();
        return false;
    }
    for (;;) {
        uint8_t marker;
        if (!read_u8(stream, marker))
            return false;
        if (marker == end_marker)
            return true;
        if (marker != child_marker || depth >= CFG_MAX_DEPTH)
            return false;
        uint8_t name_length;
        char name[longest_name + 1];
        if (!read_u8(stream, name_length) || name_length == 0 || !stream.ReadExact(name, name_length))
            return false;
        // Names are looked up by the UTF-8 the program writes now: a
        // character beyond U+FFFF that an earlier version wrote as two
        // three-byte halves is read as its four-byte form.
        name[utf8_join_split_pairs(name, name_length)] = 0;
        cConfigNode* child = cfg_node_get_child(node, name, true);
        if (!child || !read_node(stream, *child, depth + 1))
            return false;
    }
}

bool depth_within(const cConfigNode& node, uint32_t levels)
{
    for (cConfigNodeEntry* child = tree_first_node(node.children); child; child = tree_next_node(child))
        if (levels == 0 || !depth_within(child->value, levels - 1))
            return false;
    return true;
}

bool write_u8(cFileIOTarget& stream, uint8_t value)
{
    return stream.WriteExact(&value, 1);
}

bool write_name(cFileIOTarget& stream, const cPackedKey& key)
{
    static const uint8_t empty_name[4] = {0, 0, 0, 0};
    _typebuf<uint8_t> bytes;
    packedkey_to_bytes(key, bytes);
    if (key.Count() && !bytes.Data())
        return false;
    const uint8_t* name = bytes.Count() ? bytes.Data() : empty_name;
    int32_t length = bytes.Count() ? bytes.Count() : int32_t(sizeof(empty_name));
    if (length > longest_name)
        length = longest_name;
    return write_u8(stream, uint8_t(length)) && stream.WriteExact(name, uint32_t(length));
}

// Depth was checked beforehand, which bounds the recursion.
bool write_node(cFileIOTarget& stream, const cConfigNode& node)
{
    uint32_t length = uint32_t(node.value.Count());
    if (length > longest_value)
        length = longest_value;
    uint8_t length_bytes[2] = {uint8_t(length), uint8_t(length >> 8)};
    if (!stream.WriteExact(length_bytes, 2) || (length && !stream.WriteExact(node.value.Data(), length)))
        return false;
    for (cConfigNodeEntry* child = tree_first_node(node.children); child; child = tree_next_node(child))
        if (!write_u8(stream, child_marker) || !write_name(stream, child->key) || !write_node(stream, child->value))
            return false;
    return write_u8(stream, end_marker);
}

// The key of a NUL-terminated UTF-8 name; false when memory runs out.
bool key_of(const char* name, cPackedKey& key)
{
    packedkey_from_str(key, name, -1);
    return !name[0] || key.Data();
}

}  // namespace

void cfg_node_clear(cConfigNode& node)
{
    node.value.Clear();
    tree_clear(node.children);
}

void cfg_node_swap(cConfigNode& one, cConfigNode& other)
{
    _typebuf<uint8_t> value(static_cast<_typebuf<uint8_t>&&>(one.value));
    one.value = static_cast<_typebuf<uint8_t>&&>(other.value);
    other.value = static_cast<_typebuf<uint8_t>&&>(value);
    // The nodes below a map's root point at each other, never at the map.
    cConfigNodeEntry* root = one.children.root;
    one.children.root = other.children.root;
    other.children.root = root;
    uint32_t depth = one.children.depth;
    one.children.depth = other.children.depth;
    other.children.depth = depth;
}

cConfigNode* cfg_node_get_child(cConfigNode& parent, const char* name, bool create)
{
    cPackedKey key;
    if (!name || !key_of(name, key))
        return nullptr;
    if (!create) {
        cConfigNodeEntry* entry = tree_find_node(parent.children.root, key);
        return entry ? &entry->value : nullptr;
    }
    return tree_get_or_add(parent.children, static_cast<cPackedKey&&>(key));
}

bool cfg_node_remove_child(cConfigNode& parent, const char* name)
{
    cPackedKey key;
    if (!name || !key_of(name, key))
        return false;
    return tree_erase_node(parent.children, tree_find_node(parent.children.root, key));
}

bool cfg_key_text(const cPackedKey& key, _guardchar<char>& out)
{
    if (!key.Count()) {
        out.Assign("");
        return out.Text() != nullptr;
    }
    _typebuf<uint8_t> bytes;
    packedkey_to_bytes(key, bytes);
    // The padding ends the text; a name that fills its last word gets its
    // NUL from AssignN.
    out.AssignN(reinterpret_cast<const char*>(bytes.Data()), bytes.Count());
    return bytes.Data() && out.Text();
}

bool cfg_stream_read(cFileIOTarget& stream, cConfigNode& root)
{
    cfg_node_clear(root);
    uint8_t header[4];
    if (!stream.Seek(0) || !stream.ReadExact(header, 4) || memcmp(header, magic, 4) != 0)
        return false;
    return read_node(stream, root, 0);
}

bool cfg_stream_write(cFileIOTarget& stream, const cConfigNode& root)
{
    if (!depth_within(root, CFG_MAX_DEPTH))
        return false;
    return stream.Seek(0) && stream.WriteExact(magic, 4) && write_node(stream, root);
}
