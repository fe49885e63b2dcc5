#ifndef SIDOC_DOC_COMPILER_H
#define SIDOC_DOC_COMPILER_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/file_io_target.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

// Where and why a compilation stopped.
struct cSiDocCompileError {
    uint32_t line;    // 0-based; 0 when the error has no position
    uint32_t column;  // 0-based, mark-up errors only
    _guardchar<wchar_t> file;  // the index or source the error is in; empty: none
    _guardchar<char> message;
};

// Language codes ("ENG", "RUS", ...) to language numbers.
typedef cTreeMap<cPackedKey, int32_t> cSiDocLangCodeMap;
// Language number -> source path.
typedef cTreeMap<int32_t, _guardchar<wchar_t>> cSiDocIndexMap;

// Compiles the document whose index file is at index_path (one line
// CODE = "path" per language) into a document blob written to target.
// False with error filled; the target then holds a partial blob. Each file
// it reads (the index, the sources, the pictures) is appended to files_read
// when that is given, by the path it opened.
bool compile_doc_index(cFileIOTarget* target, cSiDocLangCodeMap& codes, const wchar_t* index_path,
                       cSiDocCompileError& error, cLinkedList<_guardchar<wchar_t>>* files_read = nullptr);

// Parses all lines of an index text into index; false with the line and
// message of the first fault in error.
bool doc_parse_index_line(const wchar_t* text, cSiDocIndexMap& index, cSiDocLangCodeMap& codes,
                          cSiDocCompileError& error);

// The whole file, 3 bytes to 4 MiB, as text: UTF-16LE after FF FE, UTF-8
// after EF BB BF or without a mark. False for another size, a read
// failure, and text that holds a NUL or is not well-formed UTF-8.
bool doc_read_text_file(cFileIOTarget* file, _guardchar<wchar_t>& text);

// Adds the ten language codes that are missing from codes.
void doc_lang_code_map_init(cSiDocLangCodeMap& codes);

#endif
