#include "tools/shell/record_keys.h"

#include <string.h>

#include "base/app_config.h"
#include "base/buffers/typebuf.h"
#include "base/format.h"

namespace {

bool count_child(const char*, void* context)
{
    ++*static_cast<uint64_t*>(context);
    return true;
}

// A number of 1 to 8 bytes, its sign taken from the width it is stored in:
// a count written in 4 bytes as -5 is -5, not 4,294,967,291.
bool read_signed(cApplicationConfig& store, const char* key, int64_t& out)
{
    // A store of texts gives the number with its sign.
    if (store.KeepsText())
        return store.ReadInt64(key, out);
    _typebuf<uint8_t> bytes;
    if (!store.ReadBytes(key, bytes) || bytes.Count() < 1 || bytes.Count() > 8)
        return false;
    uint64_t value = 0;
    for (int32_t i = 0; i < bytes.Count(); ++i)
        value |= uint64_t(bytes[i]) << (8 * i);
    int32_t unused = 64 - 8 * bytes.Count();
    out = int64_t(value << unused) >> unused;
    return true;
}

bool key_below(const char* root, const char* code_name, _guardchar<char>& out)
{
    if (!code_name || !code_name[0])
        return false;
    int32_t size = int32_t(strlen(root) + strlen(code_name)) + 2;
    out.Allocate(size);
    return out.Buffer() && str_format(out.Buffer(), size, "%s/%s", root, code_name) > 0;
}

const char journal_names_key[] = "journal";

// key is root or below it.
bool key_at(const char* key, const char* root)
{
    size_t length = strlen(root);
    return key && strncmp(key, root, length) == 0 && (key[length] == '\0' || key[length] == '/');
}

}  // namespace

const char record_names_key[] = "install";

bool record_key_of(const char* code_name, _guardchar<char>& out)
{
    return key_below(record_names_key, code_name, out);
}

bool folder_journal_key_of(const char* code_name, _guardchar<char>& out)
{
    return key_below(journal_names_key, code_name, out);
}

bool is_product_key(const char* key)
{
    return key_at(key, record_names_key) || key_at(key, journal_names_key);
}

cRecordKeys::cRecordKeys(const char* record_key)
{
    key.Assign(record_key ? record_key : "");
    // The longest name, an index and a language.
    size = key.Length() + 64;
    buffer.Allocate(size);
}

const char* cRecordKeys::Name(const char* name)
{
    if (!key.Text() || !buffer.Buffer() || str_format(buffer.Buffer(), size, "%s/%s", key.Text(), name) <= 0)
        return nullptr;
    return buffer.Text();
}

const char* cRecordKeys::Indexed(const char* name, uint64_t index)
{
    if (!key.Text() || !buffer.Buffer() ||
        str_format(buffer.Buffer(), size, "%s/%s%I64u", key.Text(), name, index) <= 0)
        return nullptr;
    return buffer.Text();
}

const char* cRecordKeys::InLanguage(const char* name, uint64_t index, int32_t language)
{
    if (!key.Text() || !buffer.Buffer() ||
        str_format(buffer.Buffer(), size, "%s/%s%I64u.%d", key.Text(), name, index, language) <= 0)
        return nullptr;
    return buffer.Text();
}

cRecordReader::cRecordReader(cApplicationConfig& config, const char* record_key)
    : store(config), keys(record_key), names(0), names_counted(false)
{
}

bool cRecordReader::Exists()
{
    return keys.Key() && keys.Key()[0] && store.HasKey(keys.Key());
}

bool cRecordReader::ReadNumber(const char* name, int64_t& out)
{
    const char* key = keys.Name(name);
    return key && store.ReadInt64(key, out);
}

bool cRecordReader::ReadText(const char* name, _guardchar<wchar_t>& out)
{
    const char* key = keys.Name(name);
    return key && store.ReadString(key, out);
}

bool cRecordReader::ReadText(const char* name, uint64_t index, _guardchar<wchar_t>& out)
{
    const char* key = keys.Indexed(name, index);
    return key && store.ReadString(key, out);
}

bool cRecordReader::ReadTextIn(const char* name, uint64_t index, int32_t language, _guardchar<wchar_t>& out)
{
    const char* key = keys.InLanguage(name, index, language);
    return key && store.ReadString(key, out);
}

bool cRecordReader::ReadDigest(uint64_t index, uint8_t digest[32])
{
    const char* key = keys.Indexed(record_file_digest, index);
    _typebuf<uint8_t> bytes;
    if (!key || !store.ReadBytes(key, bytes) || bytes.Count() != 32)
        return false;
    memcpy(digest, bytes.Data(), 32);
    return true;
}

bool cRecordReader::HasItem(const char* name, uint64_t index)
{
    const char* key = keys.Indexed(name, index);
    return key && store.HasKey(key);
}

bool cRecordReader::ListLength(const cRecordList& list, uint64_t& length)
{
    const char* key = keys.Name(list.count);
    int64_t count = 0;
    if (!key || !read_signed(store, key, count) || count < 0)
        return false;
    if (!names_counted) {
        store.EnumChildren(keys.Key(), count_child, &names);
        names_counted = true;
    }
    length = uint64_t(count) < names ? uint64_t(count) : names;
    return true;
}
