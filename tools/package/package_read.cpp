#include <string.h>
#include <wchar.h>
#include <zlib.h>

#include "base/buffers/typebuf.h"
#include "base/byte_order.h"
#include "base/file_io_target.h"
#include "base/path.h"
#include "base/sha256.h"
#include "base/zlib_inflate.h"
#include "tools/package/package_format.h"
#include "tools/package/package_record_reader.h"

const char package_magic[8] = {'Q', 'R', 'V', 'S', 'O', 'P', 'K', 'G'};

namespace {

const uint8_t end_of_languages = 0xFF;
// deflate never shrinks data by more than this factor (plus its framing),
// so a larger unpacked size is a lie that must not be allocated.
const uint64_t deflate_max_ratio = 1032;

// Inflates packed_size bytes from the stream into exactly block's size and
// takes the SHA-256 of what comes out: the stream must end there, with its
// checksum, and use all its input. Each piece is hashed while the processor
// still has it at hand.
bool inflate_block(cFileIOTarget* input, uint32_t packed_size, _typebuf<uint8_t>& block, uint8_t digest[32])
{
    _typebuf<uint8_t> piece(65536);
    if (!piece.Data())
        return false;
    z_stream z;
    zlib_inflate_init(z);
    if (inflateReset(&z) != Z_OK) {
        zlib_inflate_release(z);
        return false;
    }
    cSha256Context hash;
    sha256_init(hash);
    z.next_out = block.Data();
    z.avail_out = uInt(block.Count());
    uint32_t remaining = packed_size;
    int status = Z_OK;
    for (;;) {
        if (z.avail_in == 0) {
            uint32_t count = remaining < uint32_t(piece.Count()) ? remaining : uint32_t(piece.Count());
            if (!count || !input->ReadExact(piece.Data(), count))
                break;
            remaining -= count;
            z.next_in = piece.Data();
            z.avail_in = count;
        }
        const uint8_t* produced = z.next_out;
        // Z_BUF_ERROR here means the output is full before the stream ends.
        status = inflate(&z, Z_NO_FLUSH);
        sha256_update(hash, produced, size_t(z.next_out - produced));
        if (status != Z_OK)
            break;
    }
    bool whole = status == Z_STREAM_END && remaining == 0 && z.avail_in == 0 && z.avail_out == 0;
    zlib_inflate_release(z);
    sha256_final(hash, digest);
    return whole;
}

// A package never sets the install folder "pgm": the installer does, from
// the user's choice or the previous installation.
bool read_table(cPackageRecordReader& in, cPackageStrings& table)
{
    cPackedKey pgm;
    packedkey_from_wstr(pgm, package_pgm_key, -1);
    for (;;) {
        bool more;
        if (!in.Continues(more))
            return false;
        if (!more)
            return true;
        cPackedKey key;
        if (!in.Key(key) || tree_find_node(table, key) || packedkey_equal(key, pgm))
            return false;
        _guardchar<wchar_t>* value = tree_get_or_add(table, static_cast<cPackedKey&&>(key));
        if (!value || !in.Text(*value))
            return false;
    }
}

bool read_language_tables(cPackageRecordReader& in, cPackage& package)
{
    for (;;) {
        uint8_t language;
        if (!in.U8(language))
            return false;
        if (language == end_of_languages)
            return true;
        if (language > package_language_limit || tree_find_node(package.language_strings, int32_t(language)))
            return false;
        cPackageStrings* table = tree_get_or_add(package.language_strings, int32_t(language));
        if (!table)
            return false;
        table->depth_limit = 1024;
        if (!read_table(in, *table))
            return false;
    }
}

// Runs read_entry on each entry of a list, appended to list in order.
template <class T, class Read>
bool read_list(cPackageRecordReader& in, cLinkedList<T>& list, Read read_entry)
{
    for (;;) {
        bool more;
        if (!in.Continues(more))
            return false;
        if (!more)
            return true;
        T* entry = list_append(list);
        if (!entry || !read_entry(*entry))
            return false;
    }
}

bool read_menu_entry(cPackageRecordReader& in, cPackageMenuEntry& entry)
{
    return in.Text(entry.name_key) && in.Text(entry.target_folder_key) && in.Text(entry.target_path) &&
           in.Text(entry.arguments_key) && in.Text(entry.icon_folder_key) && in.Text(entry.icon_path) &&
           in.Text(entry.description_key) && in.U8(entry.flag);
}

bool read_file_entry(cPackageRecordReader& in, cPackageFileEntry& entry)
{
    uint32_t word;
    if (!in.U32(entry.member_index) || !in.U32(word))
        return false;
    entry.for_32bit = (word >> 24 & 1) != 0;
    entry.for_64bit = (word >> 25 & 1) != 0;
    for (int digit = 0; digit < 3; ++digit) {
        entry.access[digit] = uint8_t(word >> (16 - 8 * digit));
        if (entry.access[digit] > package_access_none)
            return false;
    }
    if (!in.Text(entry.folder_key) || !in.Text(entry.path) || !package_relative_path_valid(entry.path.Text()))
        return false;
    for (;;) {
        uint8_t language;
        if (!in.U8(language))
            return false;
        if (language == end_of_languages)
            return true;
        int32_t* id = language <= package_language_limit ? list_append(entry.languages) : nullptr;
        if (!id)
            return false;
        *id = language;
    }
}

bool read_run_entry(cPackageRecordReader& in, cPackageRunEntry& entry)
{
    uint8_t flag;
    if (!in.U8(flag))
        return false;
    entry.ticked = (flag & 1) != 0;
    return in.Text(entry.name_key) && in.Text(entry.folder_key) && in.Text(entry.path) &&
           in.Text(entry.arguments_key);
}

bool read_setting(cPackageRecordReader& in, cPackageSetting& setting)
{
    uint16_t length;
    const uint8_t* bytes;
    if (!in.U16(length) || length == 0 || !in.Skip(length, &bytes))
        return false;
    if (setting.name.AssignN(reinterpret_cast<const char*>(bytes), length) < 0 || !setting.name.Text())
        return false;
    if (!in.U16(length) || length == 0 || !in.Skip(length, &bytes))
        return false;
    setting.value.Resize(length);
    if (!setting.value.Data())
        return false;
    memcpy(setting.value.Data(), bytes, length);
    return true;
}

bool read_replaced_product(cPackageRecordReader& in, cPackageReplacedProduct& product)
{
    return in.Text(product.code_name) && in.U16(product.major);
}

bool read_document(cPackageRecordReader& in, cPackageDocument& document)
{
    uint32_t size;
    const uint8_t* bytes;
    if (!in.U32(size) || size == 0 || size > INT32_MAX || !in.Skip(size, &bytes))
        return false;
    document.bytes.Resize(int32_t(size));
    if (!document.bytes.Data())
        return false;
    memcpy(document.bytes.Data(), bytes, size);
    return document.loader.Load(document.bytes.Data(), int32_t(size));
}

bool read_members(cPackageRecordReader& in, cPackage& package)
{
    for (;;) {
        uint32_t unpacked_size, packed_size;
        if (!in.U32(unpacked_size) || !in.U32(packed_size))
            return false;
        if (packed_size == 0)
            return unpacked_size == 0;
        const uint8_t* bytes;
        uint8_t digest[32];
        if (packed_size > INT32_MAX || !in.Bytes(digest, 32) || !in.Skip(packed_size, &bytes))
            return false;
        cPackageMember* member = tree_get_or_add(package.members, int32_t(package_member_count(package)));
        if (!member)
            return false;
        member->unpacked_size = unpacked_size;
        memcpy(member->digest, digest, 32);
        // The bytes stay in the package's block.
        member->Refer(bytes, packed_size);
    }
}

bool read_record(cPackageRecordReader& in, uint8_t type, cPackage& package)
{
    switch (type) {
    case 1:
        for (uint32_t& part : package.version)
            if (!in.U32(part))
                return false;
        return in.Text(package.support_url) && in.Text(package.publisher_url) && in.Text(package.updates_url);
    case 2:
        return in.Text(package.icon_folder_key) && in.Text(package.icon_path);
    case 3:
        return read_list(in, package.menu, [&in](cPackageMenuEntry& entry) { return read_menu_entry(in, entry); });
    case 4:
        return read_list(in, package.files, [&in](cPackageFileEntry& entry) { return read_file_entry(in, entry); });
    case 5:
        return read_list(in, package.runs, [&in](cPackageRunEntry& entry) { return read_run_entry(in, entry); });
    case 6:
        return read_table(in, package.strings);
    case 7:
        return read_language_tables(in, package);
    case 8:
        return read_list(in, package.settings, [&in](cPackageSetting& entry) { return read_setting(in, entry); });
    case 9:
        return read_document(in, package.welcome);
    case 10: {
        uint8_t flag;
        if (!in.U8(flag))
            return false;
        package.readme_accept = (flag & 1) != 0;
        return read_document(in, package.readme);
    }
    case 11:
        return read_document(in, package.licence);
    case 12:
        return read_list(in, package.replaced,
                         [&in](cPackageReplacedProduct& entry) { return read_replaced_product(in, entry); });
    case 13:
        return read_members(in, package);
    default:
        return false;
    }
}

// A folder that a file goes to, in the table when the table has it: a full
// path without a step up, so that the file's plain relative path keeps it
// inside (a value such as ".." would send it beside the installer), and
// below the root of its drive or share, which is no product's folder.
bool folder_value_sound(const cPackageStrings& table, const cPackedKey& key)
{
    const _guardchar<wchar_t>* value = tree_find_value(table, key);
    return !value || path_is_folder_below_root(value->Text());
}

// Every file goes into the install folder or into a sound folder in every
// language.
bool file_folders_sound(const cPackage& package)
{
    for (auto* node = package.files.first; node; node = node->next) {
        const wchar_t* key = node->element.folder_key.Text();
        if (key && wcscmp(key, package_pgm_key) == 0)
            continue;
        cPackedKey packed;
        packedkey_from_wstr(packed, key ? key : L"", -1);
        if (!key || !key[0] || !folder_value_sound(package.strings, packed))
            return false;
        for (auto* table = tree_first_node(package.language_strings); table; table = tree_next_node(table))
            if (!folder_value_sound(table->value, packed))
                return false;
    }
    return true;
}

// The product's code name, in each table that gives one, names its product
// alone (package_code_name_valid).
bool code_names_valid(const cPackage& package)
{
    cPackedKey key;
    packedkey_from_wstr(key, L"codename", -1);
    auto valid_in = [&key](const cPackageStrings& table) {
        const _guardchar<wchar_t>* value = tree_find_value(table, key);
        return !value || package_code_name_valid(value->Text());
    };
    if (!valid_in(package.strings))
        return false;
    for (auto* table = tree_first_node(package.language_strings); table; table = tree_next_node(table))
        if (!valid_in(table->value))
            return false;
    return true;
}

// What the records say must agree: every file names a member and goes into
// a sound folder, every key that places something is defined, and the code
// name is one a package may carry.
bool records_consistent(const cPackage& package)
{
    uint32_t members = package_member_count(package);
    for (auto* node = package.files.first; node; node = node->next)
        if (node->element.member_index >= members)
            return false;
    return file_folders_sound(package) && !package_first_undefined_key(package) && code_names_valid(package);
}

}  // namespace

bool read_package(cPackage& package, cFileIOTarget* input)
{
    if (!input)
        return false;
    package.Clear();
    uint8_t header[package_header_size];
    if (!input->ReadExact(header, package_header_size) || memcmp(header, package_magic, 8) != 0 || header[8] > 1)
        return false;
    uint32_t unpacked_size = read_u32_le(header + 9);
    uint32_t packed_size = read_u32_le(header + 13);
    if (!unpacked_size || !packed_size || unpacked_size > INT32_MAX ||
        unpacked_size > uint64_t(packed_size) * deflate_max_ratio)
        return false;
    // Kept by the package: its members refer to their bytes in it.
    package.block.Resize(int32_t(unpacked_size));
    uint8_t digest[32];
    if (!package.block.Data() || !inflate_block(input, packed_size, package.block, digest) ||
        memcmp(digest, header + 17, 32) != 0)
        return false;
    cPackageRecordReader in(package.block.Data(), unpacked_size);
    for (;;) {
        uint8_t type;
        if (!in.U8(type))
            return false;
        if (type == 0)
            return records_consistent(package);
        if (!read_record(in, type, package))
            return false;
    }
}
