#ifndef SIDOC_DOC_COMPILE_CTX_H
#define SIDOC_DOC_COMPILE_CTX_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"
#include "base/mem_io_target.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

const char* const doc_out_of_memory = "out of memory";

// One compilation of a document: the style, string and picture tables that
// all its languages share, each kept free of duplicates, the box stream of
// every language parsed so far, and the first error.
struct cSiDocCompileCtx {
    cSiDocCompileCtx();

    cMemIOTarget style_table;  // 8-byte style records
    cMemIOTarget string_table; // {u16 length, UTF-8 bytes}
    cMemIOTarget image_table;  // {u32 length, picture file}
    int32_t string_count;
    int32_t image_count;
    cTreeMap<uint64_t, int32_t> style_indices;      // the record's 8 bytes -> index
    cTreeMap<cPackedKey, int32_t> string_indices;   // the stored text -> index
    cTreeMap<cPackedKey, int32_t> image_indices;    // the picture's path -> index
    cTreeMap<int32_t, cMemIOTarget> box_streams;    // language number -> box list
    int32_t language;               // the language being parsed
    _guardchar<wchar_t> source_folder;  // ends with '/'; empty: none
    uint32_t error_line;            // 0-based
    uint32_t error_column;
    const char* error_message;      // null: no error
    cLinkedList<_guardchar<wchar_t>>* files_read;  // null: not kept
};

// Empties the context for a new compilation.
void doc_compile_ctx_init(cSiDocCompileCtx& ctx);
// Frees the tables and streams.
void doc_compile_ctx_free(cSiDocCompileCtx& ctx);

// The index of an equal style record, or of the record appended. -1 when
// the table is full (the next index would be the "none" index) or memory
// runs out; *message says which.
int32_t doc_ctx_style_index(cSiDocCompileCtx& ctx, const uint8_t record[8], const char** message);
// The same for a link target, stored as UTF-8 of at most 65,535 bytes.
int32_t doc_ctx_string_index(cSiDocCompileCtx& ctx, const wchar_t* text, const char** message);

// Appends path to the files the compilation read, when they are kept;
// false when memory runs out.
bool doc_ctx_note_file_read(cSiDocCompileCtx& ctx, const wchar_t* path);

// Whether another picture may still be added.
bool doc_ctx_image_room(const cSiDocCompileCtx& ctx);
// The index of the picture stored under path; -1 when none is.
int32_t doc_ctx_find_image(cSiDocCompileCtx& ctx, const wchar_t* path);
// Appends the picture file under path (a file read); -1 when memory runs
// out.
int32_t doc_ctx_add_image(cSiDocCompileCtx& ctx, const wchar_t* path, const uint8_t* bytes, uint32_t size);

#endif
