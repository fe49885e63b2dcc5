#include <string.h>

#include <initializer_list>
#include <zlib.h>

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "base/mem_io_target.h"
#include "base/sha256.h"
#include "base/utf8.h"
#include "base/zlib_deflate.h"
#include "tools/package/package_format.h"

namespace {

const uint32_t piece_size = 65536;

// The record block on its way out: hashed and deflated (level 9) as it is
// written, so the unpacked block is never held whole. Small writes gather
// in a piece; member data goes to zlib as it is. A failed write or an
// oversized field leaves the writer failed, and Finish then says so.
class cBlockWriter {
public:
    cBlockWriter() : failed(false), unpacked(0), staged(0)
    {
        sha256_init(hash);
        stage.Resize(int32_t(piece_size));
        output.Resize(int32_t(piece_size));
        failed = !stage.Data() || !output.Data() || !deflate_init_stream(z, 9);
        started = !failed;
    }
    ~cBlockWriter()
    {
        if (started)
            deflateEnd(&z);
    }

    void Fail() { failed = true; }

    void Put(const void* data, uint32_t size)
    {
        if (size <= piece_size - staged) {
            memcpy(stage.Data() + staged, data, size);
            staged += size;
            return;
        }
        Flush();
        Deflate(data, size, Z_NO_FLUSH);
    }
    void U8(uint8_t value) { Put(&value, 1); }
    void U16(uint16_t value)
    {
        uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
        Put(bytes, 2);
    }
    void U32(uint32_t value)
    {
        uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        Put(bytes, 4);
    }
    void Text(const wchar_t* text)
    {
        int32_t length = text ? utf8_length_of_wstr(text, -1) : 0;
        _typebuf<char> bytes(length);
        if (length > 65535 || (length && !bytes.Data())) {
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

    // Ends the stream. False when anything failed or the block reached
    // 2 GiB, which no reader could hold; else the packed bytes are in packed.
    bool Finish(uint32_t& unpacked_size, uint8_t digest[32])
    {
        Flush();
        Deflate(nullptr, 0, Z_FINISH);
        sha256_final(hash, digest);
        unpacked_size = uint32_t(unpacked);
        return !failed && unpacked <= INT32_MAX && packed.GetSize() <= INT32_MAX;
    }

    cMemIOTarget packed;

private:
    bool failed;
    bool started;
    uint64_t unpacked;
    uint32_t staged;
    _typebuf<uint8_t> stage;
    _typebuf<uint8_t> output;
    cSha256Context hash;
    z_stream z;

    void Flush()
    {
        if (staged)
            Deflate(stage.Data(), staged, Z_NO_FLUSH);
        staged = 0;
    }

    void Deflate(const void* data, uint32_t size, int flush)
    {
        if (failed)
            return;
        sha256_update(hash, data, size);
        unpacked += size;
        z.next_in = static_cast<Bytef*>(const_cast<void*>(data));
        z.avail_in = size;
        for (;;) {
            z.next_out = output.Data();
            z.avail_out = piece_size;
            int status = deflate(&z, flush);
            uint32_t produced = piece_size - z.avail_out;
            if ((status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) ||
                uint32_t(packed.Write(output.Data(), produced)) != produced) {
                failed = true;
                return;
            }
            if (status == Z_STREAM_END || (flush == Z_NO_FLUSH && z.avail_in == 0 && z.avail_out != 0))
                return;
        }
    }
};

void write_table(cBlockWriter& out, const cPackageStrings& table)
{
    for (auto* node = tree_first_node(table); node; node = tree_next_node(node)) {
        out.U8(1);
        out.Key(node->key);
        out.Text(node->value.Text());
    }
    out.U8(0);
}

void write_product(cBlockWriter& out, const cPackage& package)
{
    out.U8(1);
    for (uint32_t part : package.version)
        out.U32(part);
    out.Text(package.support_url.Text());
    out.Text(package.publisher_url.Text());
    out.Text(package.updates_url.Text());
}

void write_strings(cBlockWriter& out, const cPackage& package)
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

void write_menu(cBlockWriter& out, const cPackage& package)
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

void write_files(cBlockWriter& out, const cPackage& package)
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

void write_runs(cBlockWriter& out, const cPackage& package)
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

void write_settings(cBlockWriter& out, const cPackage& package)
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

void write_replaced(cBlockWriter& out, const cPackage& package)
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

void write_document(cBlockWriter& out, const cPackageDocument& document)
{
    out.U32(uint32_t(document.bytes.Count()));
    out.Put(document.bytes.Data(), uint32_t(document.bytes.Count()));
}

void write_members(cBlockWriter& out, const cPackage& package)
{
    out.U8(13);
    for (auto* node = tree_first_node(package.members); node; node = tree_next_node(node)) {
        const cPackageMember& member = node->value;
        if (member.bytes.Count() == 0)
            out.Fail();
        out.U32(member.unpacked_size);
        out.U32(uint32_t(member.bytes.Count()));
        out.Put(member.digest, 32);
        out.Put(member.bytes.Data(), uint32_t(member.bytes.Count()));
    }
    out.U32(0);
    out.U32(0);
}

bool copy_stream(cFileIOTarget& from, cFileIOTarget* to)
{
    _typebuf<uint8_t> piece{int32_t(piece_size)};
    if (!piece.Data() || !from.Seek(0))
        return false;
    for (;;) {
        int32_t count = from.Read(piece.Data(), piece_size);
        if (count <= 0)
            return count == 0;
        if (!to->WriteExact(piece.Data(), uint32_t(count)))
            return false;
    }
}

}  // namespace

bool write_package(cFileIOTarget* output, cPackage& package)
{
    if (!output)
        return false;
    cBlockWriter out;
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
        write_members(out, package);
    out.U8(0);

    uint8_t header[package_header_size];
    uint32_t unpacked_size;
    if (!out.Finish(unpacked_size, header + 17))
        return false;
    uint32_t packed_size = uint32_t(out.packed.GetSize());
    memcpy(header, package_magic, 8);
    header[8] = 1;
    for (int i = 0; i < 4; ++i) {
        header[9 + i] = uint8_t(unpacked_size >> (8 * i));
        header[13 + i] = uint8_t(packed_size >> (8 * i));
    }
    return output->WriteExact(header, package_header_size) && copy_stream(out.packed, output);
}
