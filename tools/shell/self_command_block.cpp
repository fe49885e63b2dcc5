#include "tools/shell/self_command_block.h"

#include <string.h>

#include "base/buffers/typebuf.h"
#include "base/byte_order.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "tools/shell/own_path.h"

// The block itself. Not const and with external linkage, so that it stays in
// the writable data section as plain bytes of the file; every read goes
// through copy_own_command_block.
uint8_t self_command_block[command_block_size] = {'<', 'I', 'C', 'M', 'D', 'B', 'L', 'O', 'C', 'K', '>'};

namespace {

const uint32_t piece_size = 65536;
const uint8_t template_opening = '<';

// Built here rather than kept as a second literal, so that a search of the
// program file finds the one block only.
void make_template(uint8_t* block)
{
    static const char letters[] = "ICMDBLOCK";
    memset(block, 0, command_block_size);
    block[0] = template_opening;
    memcpy(block + 1, letters, 9);
    block[10] = '>';
}

bool is_template(const uint8_t* block)
{
    uint8_t expected[command_block_size];
    make_template(expected);
    return memcmp(block, expected, command_block_size) == 0;
}

// One undo record as stored in the block.
struct cUndoRecord {
    uint32_t offset;
    uint16_t length;
    const uint8_t* bytes;
};

// Walks the record area; every head and its bytes are checked against what
// is left of the area before they are read.
class cUndoRecordReader {
public:
    explicit cUndoRecordReader(const uint8_t* block) : area(block + command_block_records_at), used(0) {}

    bool Next(cUndoRecord& record)
    {
        if (command_block_record_area - used < command_block_record_head)
            return false;
        record.offset = read_u32_le(area + used);
        record.length = read_u16_le(area + used + 4);
        if (record.length > command_block_record_area - used - command_block_record_head)
            return false;
        record.bytes = area + used + command_block_record_head;
        used += command_block_record_head + record.length;
        return true;
    }

private:
    const uint8_t* area;
    uint32_t used;
};

bool copy_range(cFileIOTarget& from, cFileIOTarget& to, uint64_t count, uint8_t* buffer)
{
    while (count > 0) {
        uint32_t piece = count < piece_size ? uint32_t(count) : piece_size;
        if (!from.ReadExact(buffer, piece) || !to.WriteExact(buffer, piece))
            return false;
        count -= piece;
    }
    return true;
}

// The file's bytes with every recorded range replaced by the bare
// manager's, cut at the manager length. The records were checked before.
bool copy_with_records(const uint8_t* block, cFileIOTarget& file, cFileIOTarget& output, uint8_t* buffer)
{
    uint32_t block_offset = read_u32_le(block + command_block_block_offset_at);
    uint64_t manager_length = read_u32_le(block + command_block_manager_length_at);
    uint64_t written = 0;
    cUndoRecordReader records(block);
    cUndoRecord record;
    while (records.Next(record)) {
        uint64_t until = record.offset == command_block_end_record ? manager_length : record.offset;
        if (!file.Seek(written) || !copy_range(file, output, until - written, buffer))
            return false;
        if (record.offset == command_block_end_record)
            return true;
        if (record.offset == block_offset) {
            uint8_t bare_block[command_block_size];
            make_template(bare_block);
            if (!output.WriteExact(bare_block, command_block_size))
                return false;
            written = uint64_t(record.offset) + command_block_size;
        } else {
            if (record.length && !output.WriteExact(record.bytes, record.length))
                return false;
            written = uint64_t(record.offset) + record.length;
        }
    }
    return false;
}

}  // namespace

void copy_own_command_block(uint8_t* out)
{
    const volatile uint8_t* block = self_command_block;
    for (uint32_t i = 0; i < command_block_size; ++i)
        out[i] = block[i];
}

bool is_command_block_template()
{
    uint8_t own[command_block_size];
    copy_own_command_block(own);
    return is_template(own);
}

int64_t find_command_block_in(const uint8_t* bytes, uint64_t size)
{
    uint8_t own[command_block_size];
    copy_own_command_block(own);
    if (!bytes || size < command_block_size || !is_template(own))
        return -1;
    for (uint64_t at = 0; at <= size - command_block_size; ++at)
        if (bytes[at] == template_opening && memcmp(bytes + at, own, command_block_size) == 0)
            return int64_t(at);
    return -1;
}

int64_t find_self_command_block(cFileIOTarget* stream)
{
    if (!stream || !is_command_block_template())
        return -1;
    uint64_t size = stream->GetSize();
    if (size < command_block_size || size > INT32_MAX || !stream->Seek(0))
        return -1;
    _typebuf<uint8_t> bytes{int32_t(size)};
    if (!bytes.Data() || !stream->ReadExact(bytes.Data(), uint32_t(size)))
        return -1;
    return find_command_block_in(bytes.Data(), size);
}

bool command_block_package(const uint8_t* block, const wchar_t* program_path, _guardchar<wchar_t>& package_path,
                           uint32_t& package_offset)
{
    uint32_t stored_offset = read_u32_le(block + command_block_package_offset_at);
    if (block[0] == command_block_kind_inside) {
        if (path_get_kind(program_path) != PATH_KIND_FILE)
            return false;
        package_path.Assign(program_path);
        package_offset = stored_offset;
        return !package_path.IsEmpty();
    }
    if (block[0] != command_block_kind_separate)
        return false;

    const char* stored = reinterpret_cast<const char*>(block + command_block_path_at);
    const void* zero = memchr(stored, 0, command_block_path_size);
    int32_t length = zero ? int32_t(static_cast<const char*>(zero) - stored) : int32_t(command_block_path_size);
    _guardchar<wchar_t> path;
    wstr_from_utf8(length, stored, path);
    if (path.IsEmpty())
        return false;
    const wchar_t* text = path.Text();
    if (text[0] != L'.' || text[1] != L'/') {
        package_path.Assign(text);
        package_offset = stored_offset;
        return !package_path.IsEmpty();
    }
    const wchar_t* last_separator = program_path ? wstr_find_last_char(program_path, L'/') : nullptr;
    if (!last_separator)
        return false;
    _guardchar<wchar_t> folder;
    folder.AssignN(program_path, int32_t(last_separator - program_path) + 1);
    _guardchar<wchar_t> beside;
    if (!path_format(beside, L"%s%s", folder.Text(), text + 2) || path_get_kind(beside.Text()) != PATH_KIND_FILE)
        return false;
    package_path.Assign(beside.Text());
    package_offset = stored_offset;
    return !package_path.IsEmpty();
}

bool read_self_command_block(_guardchar<wchar_t>& package_path, uint32_t& package_offset)
{
    uint8_t own[command_block_size];
    copy_own_command_block(own);
    _guardchar<wchar_t> program_path;
    return get_own_program_path(program_path) &&
           command_block_package(own, program_path.Text(), package_path, package_offset);
}

bool command_block_records_valid(const uint8_t* block, uint64_t file_size)
{
    if (block[0] != command_block_kind_inside && block[0] != command_block_kind_separate)
        return false;
    uint64_t block_offset = read_u32_le(block + command_block_block_offset_at);
    uint64_t manager_length = read_u32_le(block + command_block_manager_length_at);
    if (manager_length > file_size || block_offset + command_block_size > manager_length)
        return false;
    uint64_t reached = 0;
    bool block_recorded = false;
    cUndoRecordReader records(block);
    cUndoRecord record;
    while (records.Next(record)) {
        if (record.offset == command_block_end_record)
            return record.length == 0 && block_recorded;
        if (record.offset < reached)
            return false;
        if (record.offset == block_offset) {
            if (record.length != 0)
                return false;
            block_recorded = true;
            reached = block_offset + command_block_size;
        } else {
            reached = uint64_t(record.offset) + record.length;
        }
        if (reached > manager_length)
            return false;
    }
    return false;
}

bool write_clean_copy_of(const uint8_t* block, const wchar_t* program_path, cFileIOTarget* output)
{
    if (!output)
        return false;
    cFileIO file;
    if (!file.Open(program_path, FILE_MODE_READ))
        return false;
    uint64_t size = file.GetSize();
    _typebuf<uint8_t> buffer{int32_t(piece_size)};
    if (!buffer.Data() || !file.Seek(0))
        return false;
    if (block[0] == template_opening)
        return is_template(block) && copy_range(file, *output, size, buffer.Data());
    return command_block_records_valid(block, size) && copy_with_records(block, file, *output, buffer.Data());
}

bool write_clean_copy(cFileIOTarget* output)
{
    uint8_t own[command_block_size];
    copy_own_command_block(own);
    _guardchar<wchar_t> program_path;
    return get_own_program_path(program_path) && write_clean_copy_of(own, program_path.Text(), output);
}

cCommandBlockFiller::cCommandBlockFiller(uint8_t* target, uint32_t package_offset, uint32_t block_offset,
                                         uint32_t manager_length)
    : block(target), used(0)
{
    memset(block, 0, command_block_size);
    block[0] = command_block_kind_inside;
    write_u32_le(block + command_block_package_offset_at, package_offset);
    write_u32_le(block + command_block_block_offset_at, block_offset);
    write_u32_le(block + command_block_manager_length_at, manager_length);
}

bool cCommandBlockFiller::AddRecord(uint32_t offset, const uint8_t* bare_bytes, uint16_t length)
{
    uint32_t needed = command_block_record_head + length + command_block_record_head;
    if (needed > command_block_record_area - used || (length && !bare_bytes))
        return false;
    uint8_t* head = block + command_block_records_at + used;
    write_u32_le(head, offset);
    write_u16_le(head + 4, length);
    if (length)
        memcpy(head + command_block_record_head, bare_bytes, length);
    used += command_block_record_head + length;
    return true;
}

bool cCommandBlockFiller::AddBlockRecord()
{
    return AddRecord(read_u32_le(block + command_block_block_offset_at), nullptr, 0);
}

bool cCommandBlockFiller::Finish()
{
    uint8_t* head = block + command_block_records_at + used;
    write_u32_le(head, command_block_end_record);
    write_u16_le(head + 4, 0);
    return command_block_records_valid(block, read_u32_le(block + command_block_manager_length_at));
}
