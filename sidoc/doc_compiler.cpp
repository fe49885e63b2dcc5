#include "sidoc/doc_compiler.h"

#include <string.h>

#include "base/case_map.h"
#include "base/file_io.h"
#include "base/path.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "base/zlib_deflate.h"
#include "sidoc/doc_compile_ctx.h"
#include "sidoc/doc_format.h"
#include "sidoc/doc_markup.h"

namespace {

const int32_t text_file_limit = 4 * 1024 * 1024;
const int doc_deflate_level = 5;

bool fail(cSiDocCompileError& error, const char* message, const wchar_t* file)
{
    error.message.Assign(message);
    error.file.Assign(file);
    return false;
}

// Blanks within a line.
const wchar_t* skip_line_blanks(const wchar_t* at)
{
    while (*at != 10 && doc_is_blank(*at))
        ++at;
    return at;
}

// The bytes as UTF-8, refused when they do not come back unchanged from the
// round trip through wide text: malformed sequences, forms the program's
// UTF-8 does not write, and NULs (which would end the text early).
bool text_from_utf8(const uint8_t* bytes, int32_t length, _guardchar<wchar_t>& text)
{
    const char* narrow = reinterpret_cast<const char*>(bytes);
    if (length == 0)
        text.Assign(L"");
    else
        wstr_from_utf8(length, narrow, text);
    if (!text.Text())
        return false;
    _typebuf<uint8_t> again;
    utf8buf_from_wstr(text.Text(), -1, again);
    return again.Count() == length && memcmp(again.Data(), bytes, size_t(length)) == 0;
}

bool text_from_utf16(const uint8_t* bytes, int32_t length, _guardchar<wchar_t>& text)
{
    int32_t units = length / 2;
    text.Allocate(units + 1);
    if (!text.Buffer())
        return false;
    for (int32_t i = 0; i < units; ++i)
        text.Buffer()[i] = wchar_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    // A NUL would end the text early: a file in another encoding.
    return text.Length() == units;
}

// The folder of a path, up to and including its last '/'; empty when none.
void folder_of(const wchar_t* path, _guardchar<wchar_t>& folder)
{
    const wchar_t* slash = wstr_find_last_char(path, '/');
    folder.Clear();
    if (slash)
        wstr_assign_text(path, int32_t(slash - path + 1), folder);
}

bool open_text(const wchar_t* path, _guardchar<wchar_t>& text, bool* opened)
{
    cFileIO file;
    *opened = file.Open(path, FILE_MODE_READ);
    return *opened && doc_read_text_file(&file, text);
}

// Writes one deflated block as u32 size and bytes, after the language
// number unless that is negative.
bool write_deflated(cFileIOTarget* target, int32_t language, cMemIOTarget& block, cSiDocCompileError& error)
{
    _typebuf<uint8_t> plain;
    _typebuf<uint8_t> packed;
    if (!block.CopyTo(plain) || !deflate_buffer(plain.Data(), uint32_t(plain.Count()), doc_deflate_level, packed))
        return fail(error, "Unable to compress", nullptr);
    uint8_t head[5];
    head[0] = uint8_t(language);
    write_u32_le(head + 1, uint32_t(packed.Count()));
    bool written = language < 0 ? target->WriteExact(head + 1, 4) : target->WriteExact(head, 5);
    if (!written || !target->WriteExact(packed.Data(), uint32_t(packed.Count())))
        return fail(error, "Unable to write target", nullptr);
    return true;
}

// A table: u32 0 when empty, else deflated (or raw) with its u32 size.
bool write_table(cFileIOTarget* target, cMemIOTarget& table, bool raw, cSiDocCompileError& error)
{
    uint64_t size = table.GetSize();
    if (size && !raw)
        return write_deflated(target, -1, table, error);
    uint8_t head[4];
    write_u32_le(head, uint32_t(size));
    _typebuf<uint8_t> bytes;
    if (!table.CopyTo(bytes))
        return fail(error, "Unable to compress", nullptr);
    if (!target->WriteExact(head, 4) || !target->WriteExact(bytes.Data(), uint32_t(bytes.Count())))
        return fail(error, "Unable to write target", nullptr);
    return true;
}

// One language's source parsed into the compilation.
bool compile_source(cSiDocCompileCtx& ctx, int32_t language, const wchar_t* listed, const wchar_t* index_folder,
                    const wchar_t* index_path, cSiDocCompileError& error)
{
    _guardchar<wchar_t> path;
    if (listed[0] == '.' && listed[1] == '/') {
        if (!index_folder || !index_folder[0])
            return fail(error, "Path is specified as relative with no current folder", index_path);
        path_format(path, L"%s%s", index_folder, listed + 2);
    } else {
        path.Assign(listed);
    }
    _guardchar<wchar_t> source;
    bool opened = false;
    if (!open_text(path.Text(), source, &opened))
        return fail(error, opened ? "Unable to read source as text file" : "Unable to open source file",
                    path.Text());
    if (!doc_ctx_note_file_read(ctx, path.Text()))
        return fail(error, doc_out_of_memory, nullptr);
    folder_of(path.Text(), ctx.source_folder);
    ctx.language = language;
    if (!doc_parse_markup_source(ctx, source.Text())) {
        error.line = ctx.error_line;
        error.column = ctx.error_column;
        return fail(error, ctx.error_message, path.Text());
    }
    if (!tree_find_value(ctx.box_streams, language))
        return fail(error, "No lang ctx(?)", path.Text());
    return true;
}

bool write_document(cFileIOTarget* target, cSiDocCompileCtx& ctx, const cSiDocIndexMap& index,
                    const wchar_t* index_folder, const wchar_t* index_path, cSiDocCompileError& error)
{
    for (cTreeNode<int32_t, _guardchar<wchar_t>>* entry = tree_first_node(index); entry;
         entry = tree_next_node(entry)) {
        if (entry->value.IsEmpty())
            continue;
        if (!compile_source(ctx, entry->key, entry->value.Text(), index_folder, index_path, error))
            return false;
        cMemIOTarget* stream = tree_find_value(ctx.box_streams, entry->key);
        if (stream->GetSize() && !write_deflated(target, entry->key, *stream, error))
            return false;
    }
    static const uint8_t end_byte = doc_end_byte;
    if (!target->WriteExact(&end_byte, 1))
        return fail(error, "Unable to write target", nullptr);
    return write_table(target, ctx.style_table, false, error) && write_table(target, ctx.string_table, false, error) &&
           write_table(target, ctx.image_table, true, error);
}

}  // namespace

void doc_lang_code_map_init(cSiDocLangCodeMap& codes)
{
    static const char* const names[doc_language_count] = {"ENG", "RUS", "DEU", "JPN", "KOR",
                                                          "FRA", "UKR", "ESP", "CHN", "TWN"};
    for (int32_t language = 0; language < doc_language_count; ++language) {
        cPackedKey key;
        packedkey_from_str(key, names[language], -1);
        if (tree_find_value(codes, key))
            continue;
        if (int32_t* value = tree_get_or_add(codes, static_cast<cPackedKey&&>(key)))
            *value = language;
    }
}

bool doc_read_text_file(cFileIOTarget* file, _guardchar<wchar_t>& text)
{
    text.Clear();
    if (!file)
        return false;
    uint64_t size = file->GetSize();
    if (size < 3 || size > uint64_t(text_file_limit))
        return false;
    _typebuf<uint8_t> bytes{int32_t(size)};
    if (!bytes.Data() || !file->Seek(0) || !file->ReadExact(bytes.Data(), uint32_t(size)))
        return false;
    const uint8_t* data = bytes.Data();
    int32_t length = bytes.Count();
    bool read = false;
    if (data[0] == 0xFF && data[1] == 0xFE)
        read = text_from_utf16(data + 2, length - 2, text);
    else if (data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        read = text_from_utf8(data + 3, length - 3, text);
    else
        read = text_from_utf8(data, length, text);
    if (!read)
        text.Clear();
    return read;
}

bool doc_parse_index_line(const wchar_t* text, cSiDocIndexMap& index, cSiDocLangCodeMap& codes,
                          cSiDocCompileError& error)
{
    tree_clear(index);
    const wchar_t* at = text ? text : L"";
    uint32_t line = 0;
    while (true) {
        for (; doc_is_blank(*at); ++at)
            line += *at == 10 ? 1 : 0;
        if (!*at)
            return true;
        error.line = line;
        const wchar_t* code = at;
        while (*at && *at != '=' && !doc_is_blank(*at))
            ++at;
        _typebuf<wchar_t> upper;
        upper.Resize(int32_t(at - code));
        for (int32_t i = 0; i < upper.Count(); ++i)
            upper[i] = wchar_to_upper(code[i]);
        cPackedKey key;
        packedkey_from_wstr(key, upper.Data(), upper.Count());
        const int32_t* language = tree_find_value(codes, static_cast<cPackedKey&&>(key));
        if (!language)
            return fail(error, "invalid lang code", nullptr);
        at = skip_line_blanks(at);
        if (*at++ != '=')
            return fail(error, "expected EQ sign after lang code", nullptr);
        at = skip_line_blanks(at);
        if (*at++ != '"')
            return fail(error, "expected openning QUOTE sign after EQ", nullptr);
        const wchar_t* path = at;
        while (*at && *at != 10 && *at != '"')
            ++at;
        if (*at != '"')
            return fail(error, "expected openning QUOTE sign after end of path", nullptr);
        const wchar_t* path_end = at++;
        at = skip_line_blanks(at);
        if (*at && *at != 10)
            return fail(error, "not expected anything after file path", nullptr);
        if (tree_find_value(index, *language))
            return fail(error, "lang already defined", nullptr);
        _guardchar<wchar_t>* entry = tree_get_or_add(index, *language);
        if (!entry)
            return fail(error, doc_out_of_memory, nullptr);
        wstr_assign_text(path, int32_t(path_end - path), *entry);
    }
}

bool compile_doc_index(cFileIOTarget* target, cSiDocLangCodeMap& codes, const wchar_t* index_path,
                       cSiDocCompileError& error, cLinkedList<_guardchar<wchar_t>>* files_read)
{
    error.line = 0;
    error.column = 0;
    error.file.Clear();
    error.message.Clear();
    if (!target)
        return fail(error, "bad target", nullptr);
    _guardchar<wchar_t> text;
    bool opened = false;
    if (!open_text(index_path, text, &opened))
        return fail(error, opened ? "Unable to read idex" : "Unable to open index", index_path);
    doc_lang_code_map_init(codes);
    cSiDocIndexMap index(512);
    if (!doc_parse_index_line(text.Text(), index, codes, error)) {
        error.file.Assign(index_path);
        return false;
    }
    _guardchar<wchar_t> index_folder;
    folder_of(index_path, index_folder);
    if (!target->WriteExact(doc_magic, doc_magic_size))
        return fail(error, "Unable to write target", nullptr);
    cSiDocCompileCtx ctx;
    doc_compile_ctx_init(ctx);
    ctx.files_read = files_read;
    bool written = doc_ctx_note_file_read(ctx, index_path)
                       ? write_document(target, ctx, index, index_folder.Text(), index_path, error)
                       : fail(error, doc_out_of_memory, nullptr);
    doc_compile_ctx_free(ctx);
    return written;
}
