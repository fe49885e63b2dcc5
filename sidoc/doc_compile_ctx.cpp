#include "sidoc/doc_compile_ctx.h"

#include "base/buffers/typebuf.h"
#include "base/string_convert.h"
#include "sidoc/doc_format.h"

namespace {

// Indices run from 0 to 65,534: 65,535 is the "none" index.
const int32_t table_capacity = doc_no_index;

// Stores index under key; false when memory runs out.
template <class K>
bool remember(cTreeMap<K, int32_t>& indices, K key, int32_t index)
{
    int32_t* slot = tree_get_or_add(indices, static_cast<K&&>(key));
    if (!slot)
        return false;
    *slot = index;
    return true;
}

}  // namespace

cSiDocCompileCtx::cSiDocCompileCtx()
    : string_count(0), image_count(0), style_indices(1024), string_indices(1024), image_indices(1024),
      box_streams(512), language(0), error_line(0), error_column(0), error_message(nullptr), files_read(nullptr)
{
}

void doc_compile_ctx_init(cSiDocCompileCtx& ctx)
{
    doc_compile_ctx_free(ctx);
    ctx.language = 0;
    ctx.error_line = 0;
    ctx.error_column = 0;
    ctx.error_message = nullptr;
}

void doc_compile_ctx_free(cSiDocCompileCtx& ctx)
{
    ctx.style_table.SetSize(0);
    ctx.string_table.SetSize(0);
    ctx.image_table.SetSize(0);
    ctx.string_count = 0;
    ctx.image_count = 0;
    tree_clear(ctx.style_indices);
    tree_clear(ctx.string_indices);
    tree_clear(ctx.image_indices);
    tree_clear(ctx.box_streams);
    ctx.source_folder.Clear();
}

int32_t doc_ctx_style_index(cSiDocCompileCtx& ctx, const uint8_t record[8], const char** message)
{
    uint64_t key = uint64_t(read_u32_le(record)) << 32 | read_u32_le(record + 4);
    if (const int32_t* found = tree_find_value(ctx.style_indices, key))
        return *found;
    int32_t index = int32_t(ctx.style_table.GetSize() / doc_style_record_size);
    if (index >= table_capacity) {
        *message = "too many styles";
        return -1;
    }
    ctx.style_table.Seek(ctx.style_table.GetSize());
    if (!ctx.style_table.WriteExact(record, doc_style_record_size) || !remember(ctx.style_indices, key, index)) {
        *message = doc_out_of_memory;
        return -1;
    }
    return index;
}

int32_t doc_ctx_string_index(cSiDocCompileCtx& ctx, const wchar_t* text, const char** message)
{
    _typebuf<uint8_t> bytes;
    utf8buf_from_wstr(text, -1, bytes);
    int32_t length = bytes.Count() > 0xFFFF ? 0xFFFF : bytes.Count();
    cPackedKey key;
    packedkey_from_str(key, reinterpret_cast<const char*>(bytes.Data()), length);
    if (const int32_t* found = tree_find_value(ctx.string_indices, key))
        return *found;
    if (ctx.string_count >= table_capacity) {
        *message = "too many strings";
        return -1;
    }
    uint8_t head[2];
    write_u16_le(head, uint32_t(length));
    ctx.string_table.Seek(ctx.string_table.GetSize());
    if (!ctx.string_table.WriteExact(head, 2) || !ctx.string_table.WriteExact(bytes.Data(), uint32_t(length)) ||
        !remember(ctx.string_indices, static_cast<cPackedKey&&>(key), ctx.string_count)) {
        *message = doc_out_of_memory;
        return -1;
    }
    return ctx.string_count++;
}

bool doc_ctx_note_file_read(cSiDocCompileCtx& ctx, const wchar_t* path)
{
    return !ctx.files_read || list_append_text(*ctx.files_read, path);
}

bool doc_ctx_image_room(const cSiDocCompileCtx& ctx)
{
    return ctx.image_count < table_capacity;
}

int32_t doc_ctx_find_image(cSiDocCompileCtx& ctx, const wchar_t* path)
{
    cPackedKey key;
    packedkey_from_wstr(key, path, -1);
    const int32_t* found = tree_find_value(ctx.image_indices, static_cast<cPackedKey&&>(key));
    return found ? *found : -1;
}

int32_t doc_ctx_add_image(cSiDocCompileCtx& ctx, const wchar_t* path, const uint8_t* bytes, uint32_t size)
{
    uint8_t head[4];
    write_u32_le(head, size);
    cPackedKey key;
    packedkey_from_wstr(key, path, -1);
    ctx.image_table.Seek(ctx.image_table.GetSize());
    if (!ctx.image_table.WriteExact(head, 4) || !ctx.image_table.WriteExact(bytes, size) ||
        !remember(ctx.image_indices, static_cast<cPackedKey&&>(key), ctx.image_count) ||
        !doc_ctx_note_file_read(ctx, path))
        return -1;
    return ctx.image_count++;
}
