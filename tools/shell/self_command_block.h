#ifndef TOOLS_SHELL_SELF_COMMAND_BLOCK_H
#define TOOLS_SHELL_SELF_COMMAND_BLOCK_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

class cFileIOTarget;

// The self-command block: 8,192 bytes in the program's initialised data
// that turn a copy of the bare manager into an installer. In the bare
// manager it holds the template: '<', "ICMDBLOCK", '>' and zeros. An
// installer's copy is filled (numbers little-endian):
//
//   0    u8      kind: 1 package inside the program file, 2 package in the
//                file the path names; anything else: no package
//   1    255     path (kind 2): UTF-8, zero-padded; "./" = beside the program
//   256  u32     package offset inside the package file
//   260  u32     file offset of this block in the program file
//   264  u32     length of the bare manager (where the package is appended)
//   268  7,924   undo records, then the end record, then zeros
//
// An undo record is u32 file offset, u16 length and that many bytes of the
// bare manager at that offset. The record at the block's own offset has
// length 0 and stands for the 8,192-byte template. Records rise in offset
// without overlapping; the end record is offset 0xFFFFFFFF, length 0.
const uint32_t command_block_size = 8192;
const uint32_t command_block_path_at = 1;
const uint32_t command_block_path_size = 255;
const uint32_t command_block_package_offset_at = 256;
const uint32_t command_block_block_offset_at = 260;
const uint32_t command_block_manager_length_at = 264;
const uint32_t command_block_records_at = 268;
const uint32_t command_block_record_area = command_block_size - command_block_records_at;
const uint32_t command_block_record_head = 6;
const uint32_t command_block_end_record = 0xFFFFFFFF;
const uint8_t command_block_kind_inside = 1;
const uint8_t command_block_kind_separate = 2;

// A copy of the running program's own block, read through volatile access:
// the compiler must not fold reads of an array that this program never
// writes, because make writes it in the file of every installer.
void copy_own_command_block(uint8_t* out);

// True when the program's own block is exactly the template (a bare manager).
bool is_command_block_template();

// Where the template lies in a file's bytes, compared with the program's own
// block (so only a bare manager finds it): the first offset, or -1.
int64_t find_command_block_in(const uint8_t* bytes, uint64_t size);
// The same for a whole stream, read into memory once; -1 for a null stream,
// a short read, or no template.
int64_t find_self_command_block(cFileIOTarget* stream);

// The package that the program's own block names, for the program's own
// file as the system names it (not as the command line spells it).
bool read_self_command_block(_guardchar<wchar_t>& package_path, uint32_t& package_offset);
// The same for a given block and program path ('/' form): kind 1 needs the
// program file to exist; kind 2 takes an absolute path as it stands and a
// "./" path beside the program only when that file exists.
bool command_block_package(const uint8_t* block, const wchar_t* program_path, _guardchar<wchar_t>& package_path,
                           uint32_t& package_offset);

// True when a filled block's undo records rebuild a bare manager from a
// program file of file_size bytes: the manager length within the file, the
// block inside the manager, every record head and its bytes inside the
// record area, records rising without overlap and ending inside the
// manager, exactly one (empty) record at the block's offset, and the end
// record.
bool command_block_records_valid(const uint8_t* block, uint64_t file_size);

// Writes the bare manager rebuilt from the running program's file and its
// own block to output, streamed in 64 KiB pieces. Nothing is written unless
// the block and its records are sound for that file; a read or write that
// fails later leaves a partial output for the caller to discard.
bool write_clean_copy(cFileIOTarget* output);
// The same for a given block and program file ('/' form).
bool write_clean_copy_of(const uint8_t* block, const wchar_t* program_path, cFileIOTarget* output);

// Fills a kind-1 block for an installer in a caller's 8,192-byte buffer
// (the maker's copy of the bare manager at the block's offset). Records are
// added in rising offset order with the bare manager's bytes; Finish adds
// the end record and checks the result as the clean copy will.
class cCommandBlockFiller {
public:
    cCommandBlockFiller(uint8_t* block, uint32_t package_offset, uint32_t block_offset, uint32_t manager_length);
    cCommandBlockFiller(const cCommandBlockFiller&) = delete;
    cCommandBlockFiller& operator=(const cCommandBlockFiller&) = delete;

    // False, with nothing added, when the record (and room for the end
    // record after it) does not fit the area.
    bool AddRecord(uint32_t offset, const uint8_t* bare_bytes, uint16_t length);
    // The record of the block itself.
    bool AddBlockRecord();
    // False when the records would not rebuild the manager (see
    // command_block_records_valid with the manager length as the file size).
    bool Finish();

private:
    uint8_t* block;
    uint32_t used;
};

#endif
