#include <string.h>

#include <initializer_list>

#include "base/buffers/typebuf.h"
#include "base/byte_order.h"
#include "base/file_io_target.h"
#include "base/utf8.h"
#include "tools/package/package_block.h"
#include "tools/package/package_format.h"

namespace {

// The records before the members, gathered in memory. A field that does
// not fit the format, or memory that runs out, leaves the writer failed.
class cRecordWriter {
public:
    cRecordWriter() : used(0), failed(false) {}

    void Fail() { failed = true; }
    bool Failed() const { return failed; }
    cBlockSegment Segment() const { return {bytes.Data(), used}; }

    void Put(const void* data, uint32_t size)
    {
        if (failed || !size)
            return;
        if (size > uint32_t(bytes.Count()) - used) {
            uint64_t grown = (uint64_t(used) + size) * 2 + 4096;
            if (grown > INT32_MAX || !bytes.Realloc(int32_t(grown))) {
                failed = true;
                return;
            }
        }
        memcpy(bytes.Data() + used, data, size);
        used += size;
    }
    void U8(uint8_t value) { Put(&value, 1); }
    void U16(uint16_t value)
    {
        uint8_t bytes[2];
        write_u16_le(bytes, value);
        Put(bytes, 2);
    }
    void U32(uint32_t value)
    {
        uint8_t bytes[4];
        write_u32_le(bytes, value);
        Put(bytes, 4);
    }
    void Text(const wchar_t* text)
    {
        int32_t length = text ? utf8_length_of_wstr(text, -1) : 0;
        _typebuf<char> bytes(length);
        if (length > package_text_limit || (length && !bytes.Data())) {
            failed = true;
            return;
        }
        utf8_encode(length, bytes.Data(), -1, text);
        U16(uint16_t(length));
        Put(bytes.Data(), uint32_t(length));
    }
    // The key's UTF-8 bytes zero-padded to whole words.
    void Key(const cPackedKey& key)
    {
        _typebuf<uint8_t> bytes;
        packedkey_to_bytes(key, bytes);
        if (bytes.Count() == 0 || bytes.Count() > 65535 || bytes[0] == 0) {
            failed = true;
            return;
        }
        U16(uint16_t(bytes.Count()));
        Put(bytes.Data(), uint32_t(bytes.Count()));
    }

private:
    _typebuf<uint8_t> bytes;
    uint32_t used;
    bool failed;
};

// A string "pgm" is refused: the install folder is the installer's to set.
void write_table(cRecordWriter& out, const cPackageStrings& table)
{
    cPackedKey pgm;
    packedkey_from_wstr(pgm, package_pgm_key, -1);
    for (auto* node = tree_first_node(table); node; node = tree_next_node(node)) {
        if (packedkey_equal(node->key, pgm))
            out.Fail();
        out.U8(1);
        out.Key(node->key);
        out.Text(node->value.Text());
    }
    out.U8(0);
}

void write_product(cRecordWriter& out, const cPackage& package)
{
    out.U8(1);
    for (uint32_t part : package.version)
        out.U32(part);
    out.Text(package.support_url.Text());
    out.Text(package.publisher_url.Text());
    out.Text(package.updates_url.Text());
}

void write_strings(cRecordWriter& out, const cPackage& package)
{
    if (package.strings.root) {
        out.U8(6);
        write_table(out, package.strings);
    }
    if (package.language_strings.root) {
        out.U8(7);
        for (auto* node = tree_first_node(package.language_strings); node; node = tree_next_node(node)) {
            if (node->key < 0 || node->key > int32_t(package_language_limit))
                out.Fail();
            out.U8(uint8_t(node->key));
            write_table(out, node->value);
        }
        out.U8(0xFF);
    }
}

void write_menu(cRecordWriter& out, const cPackage& package)
{
    out.U8(3);
    for (auto* node = package.menu.first; node; node = node->next) {
        const cPackageMenuEntry& entry = node->element;
        out.U8(1);
        for (const _guardchar<wchar_t>* text : {&entry.name_key, &entry.target_folder_key, &entry.target_path,
                                                &entry.arguments_key, &entry.icon_folder_key, &entry.icon_path,
                                                &entry.description_key})
            out.Text(text->Text());
        out.U8(entry.flag);
    }
    out.U8(0);
}

void write_files(cRecordWriter& out, const cPackage& package)
{
    uint32_t members = package_member_count(package);
    out.U8(4);
    for (auto* node = package.files.first; node; node = node->next) {
        const cPackageFileEntry& entry = node->element;
        uint32_t word = uint32_t(entry.access[0]) << 16 | uint32_t(entry.access[1]) << 8 | entry.access[2];
        word |= (entry.for_32bit ? 1u << 24 : 0) | (entry.for_64bit ? 1u << 25 : 0);
        bool digits_valid = entry.access[0] <= package_access_none && entry.access[1] <= package_access_none &&
                            entry.access[2] <= package_access_none;
        if (!digits_valid || entry.member_index >= members || !package_relative_path_valid(entry.path.Text()))
            out.Fail();
        out.U8(1);
        out.U32(entry.member_index);
        out.U32(word);
        out.Text(entry.folder_key.Text());
        out.Text(entry.path.Text());
        for (auto* language = entry.languages.first; language; language = language->next) {
            if (language->element < 0 || language->element > int32_t(package_language_limit))
                out.Fail();
            out.U8(uint8_t(language->element));
        }
        out.U8(0xFF);
    }
    out.U8(0);
}

void write_runs(cRecordWriter& out, const cPackage& package)
{
    out.U8(5);
    for (auto* node = package.runs.first; node; node = node->next) {
        const cPackageRunEntry& entry = node->element;
        out.U8(1);
        out.U8(entry.ticked ? 1 : 0);
        out.Text(entry.name_key.Text());
        out.Text(entry.folder_key.Text());
        out.Text(entry.path.Text());
        out.Text(entry.arguments_key.Text());
    }
    out.U8(0);
}

void write_settings(cRecordWriter& out, const cPackage& package)
{
    out.U8(8);
    for (auto* node = package.settings.first; node; node = node->next) {
        const cPackageSetting& entry = node->element;
        int32_t name_length = entry.name.Length();
        int32_t value_length = entry.value.Count();
        if (!name_length || name_length > 65535 || !value_length || value_length > 65535)
            out.Fail();
        out.U8(1);
        out.U16(uint16_t(name_length));
        out.Put(entry.name.Text(), uint32_t(name_length));
        out.U16(uint16_t(value_length));
        out.Put(entry.value.Data(), uint32_t(value_length));
    }
    out.U8(0);
}

void write_replaced(cRecordWriter& out, const cPackage& package)
{
    out.U8(12);
    for (auto* node = package.replaced.first; node; node = node->next) {
        if (node->element.code_name.IsEmpty())
            out.Fail();
        out.U8(1);
        out.Text(node->element.code_name.Text());
        out.U16(node->element.major);
    }
    out.U8(0);
}

void write_document(cRecordWriter& out, const cPackageDocument& document)
{
    out.U32(uint32_t(document.bytes.Count()));
    out.Put(document.bytes.Data(), uint32_t(document.bytes.Count()));
}

// A member's stored bytes as segments: its runs, or its one piece.
uint32_t member_segment_count(const cPackageMember& member)
{
    uint32_t count = 0;
    for (auto* run = member.Runs().first; run; run = run->next)
        ++count;
    return count ? count : 1;
}

// The member list: each member's head from heads, its bytes where the
// member holds them, then the list's end and the block's.
bool member_segments(const cPackage& package, _typebuf<uint8_t>& heads, _typebuf<cBlockSegment>& segments)
{
    static const uint8_t ends[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    uint32_t count = package_member_count(package);
    uint64_t segment_count = 2;
    for (auto* node = tree_first_node(package.members); node; node = tree_next_node(node))
        segment_count += 1 + member_segment_count(node->value);
    if (segment_count > INT32_MAX / sizeof(cBlockSegment))
        return false;
    heads.Resize(int32_t(40 * count));
    segments.Resize(int32_t(segment_count));
    if (!segments.Data() || (count && !heads.Data()))
        return false;
    uint32_t at = 1;
    uint8_t* head = heads.Data();
    for (auto* node = tree_first_node(package.members); node; node = tree_next_node(node), head += 40) {
        const cPackageMember& member = node->value;
        if (member.Size() == 0)
            return false;
        write_u32_le(head, member.unpacked_size);
        write_u32_le(head + 4, member.Size());
        memcpy(head + 8, member.digest, 32);
        segments[int32_t(at++)] = {head, 40};
        if (!member.Runs().first)
            segments[int32_t(at++)] = {member.Bytes(), member.Size()};
        for (auto* run = member.Runs().first; run; run = run->next)
            segments[int32_t(at++)] = {run->element.Data(), uint32_t(run->element.Count())};
    }
    // Without members the block ends with its end byte alone.
    segments[int32_t(at)] = count ? cBlockSegment{ends, 9} : cBlockSegment{ends, 1};
    return true;
}

}  // namespace

bool write_package(cFileIOTarget* output, cPackage& package)
{
    if (!output)
        return false;
    cRecordWriter out;
    write_product(out, package);
    write_strings(out, package);
    if (!package.icon_folder_key.IsEmpty()) {
        out.U8(2);
        out.Text(package.icon_folder_key.Text());
        out.Text(package.icon_path.Text());
    }
    if (package.menu.first)
        write_menu(out, package);
    if (package.files.first)
        write_files(out, package);
    if (package.runs.first)
        write_runs(out, package);
    if (package.settings.first)
        write_settings(out, package);
    if (package.replaced.first)
        write_replaced(out, package);
    if (package.welcome.bytes.Count()) {
        out.U8(9);
        write_document(out, package.welcome);
    }
    if (package.readme.bytes.Count()) {
        out.U8(10);
        out.U8(package.readme_accept ? 1 : 0);
        write_document(out, package.readme);
    }
    if (package.licence.bytes.Count()) {
        out.U8(11);
        write_document(out, package.licence);
    }
    if (package.members.root)
        out.U8(13);
    _typebuf<uint8_t> heads;
    _typebuf<cBlockSegment> segments;
    if (out.Failed() || !member_segments(package, heads, segments))
        return false;
    segments[0] = out.Segment();
    // The block goes out as it is deflated, after a header whose sizes and
    // digest are filled in once it is all written.
    uint8_t header[package_header_size] = {};
    memcpy(header, package_magic, 8);
    header[8] = 1;
    uint64_t start = output->GetSize();
    cDeflatedBlock block;
    if (!output->SeekFromEnd(0) || !output->WriteExact(header, package_header_size) ||
        !block.Write(segments.Data(), uint32_t(segments.Count()), output))
        return false;
    write_u32_le(header + 9, block.unpacked_size);
    write_u32_le(header + 13, block.packed_size);
    memcpy(header + 17, block.digest, 32);
    return output->Seek(start) && output->WriteExact(header, package_header_size) && output->SeekFromEnd(0);
}
