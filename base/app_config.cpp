#include "base/app_config.h"

#include <string.h>

#include "base/format.h"
#include "base/small_utils.h"
#include "base/string_convert.h"

cApplicationConfig::~cApplicationConfig()
{
}

bool cApplicationConfig::GetValueText(_guardchar<wchar_t>&, void*)
{
    return false;
}

bool cApplicationConfig::GetValue(void*, uint32_t, void*)
{
    return false;
}

bool cApplicationConfig::SetValueText(const wchar_t*, int32_t, void*)
{
    return false;
}

bool cApplicationConfig::SetValue(const void*, uint32_t, void*)
{
    return false;
}

bool cApplicationConfig::CreateStore(const wchar_t*)
{
    return false;
}

bool cApplicationConfig::Save()
{
    return false;
}

bool cApplicationConfig::Revert()
{
    return false;
}

bool cApplicationConfig::DeleteKey(const char*)
{
    return false;
}

bool cApplicationConfig::HasKey(const char*)
{
    return false;
}

bool cApplicationConfig::EnumChildren(const char*, EnumCallback, void*)
{
    return false;
}

void* cApplicationConfig::FindNode(const char* key, bool create)
{
    if (!key || !key[0])
        return GetRoot();
    _guardchar<char> names(key);
    char* name = names.Buffer();
    if (!name)
        return nullptr;
    void* node = GetRoot();
    for (;;) {
        char* slash = strchr(name, '/');
        if (slash)
            *slash = 0;
        node = GetChild(name, node, create);
        if (!node || !slash)
            return node;
        name = slash + 1;
    }
}

bool cApplicationConfig::ReadValue(void* node, _typebuf<uint8_t>& out)
{
    uint32_t size;
    if (!GetValueSize(node, size) || size > uint32_t(INT32_MAX))
        return false;
    out.Resize(int32_t(size));
    return size == 0 || GetValue(out.Data(), size, node);
}

bool cApplicationConfig::ReadBytes(const char* key, _typebuf<uint8_t>& out)
{
    return ReadValue(FindNode(key, false), out);
}

bool cApplicationConfig::ReadInt64(const char* key, int64_t& out)
{
    void* node = FindNode(key, false);
    if (KeepsText()) {
        _guardchar<wchar_t> text;
        if (!GetValueText(text, node))
            return false;
        out = parse_int64_w(text.Text());
        return true;
    }
    uint8_t bytes[8];
    uint32_t size;
    if (!GetValueSize(node, size) || size < 1 || size > 8 || !GetValue(bytes, size, node))
        return false;
    uint64_t value = 0;
    for (uint32_t i = 0; i < size; ++i)
        value |= uint64_t(bytes[i]) << (8 * i);
    out = int64_t(value);
    return true;
}

bool cApplicationConfig::ReadString(const char* key, _guardchar<wchar_t>& out)
{
    void* node = FindNode(key, false);
    if (KeepsText())
        return GetValueText(out, node);
    _typebuf<uint8_t> bytes;
    if (!ReadValue(node, bytes))
        return false;
    wstr_from_utf8(bytes.Count(), reinterpret_cast<const char*>(bytes.Data()), out);
    return bytes.Count() == 0 || out.Text();
}

int64_t cApplicationConfig::ReadInt64OrZero(const char* key)
{
    int64_t value = 0;
    ReadInt64(key, value);
    return value;
}

int16_t cApplicationConfig::GetInt16(const char* key)
{
    return int16_t(ReadInt64OrZero(key));
}

int32_t cApplicationConfig::GetInt32(const char* key)
{
    return int32_t(ReadInt64OrZero(key));
}

int64_t cApplicationConfig::GetInt64(const char* key)
{
    return ReadInt64OrZero(key);
}

bool cApplicationConfig::WriteBytes(const char* key, const void* data, uint32_t size)
{
    if (KeepsText())
        return false;
    return SetValue(data, size, FindNode(key, true));
}

bool cApplicationConfig::WriteNumber(const char* key, int64_t value, uint32_t size)
{
    void* node = FindNode(key, true);
    if (KeepsText()) {
        wchar_t text[40];
        if (size == 8)
            wstr_format(text, 40, L"%lld", value);
        else
            wstr_format(text, 40, L"%d", int32_t(value));
        return SetValueText(text, -1, node);
    }
    uint8_t bytes[8];
    for (uint32_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(uint64_t(value) >> (8 * i));
    return SetValue(bytes, size, node);
}

bool cApplicationConfig::WriteInt16(const char* key, int16_t value)
{
    return WriteNumber(key, value, 2);
}

bool cApplicationConfig::WriteInt32(const char* key, int32_t value)
{
    return WriteNumber(key, value, 4);
}

bool cApplicationConfig::WriteInt64(const char* key, int64_t value)
{
    return WriteNumber(key, value, 8);
}

bool cApplicationConfig::WriteString(const char* key, const wchar_t* text, int32_t length)
{
    void* node = FindNode(key, true);
    if (KeepsText())
        return SetValueText(text, length, node);
    _typebuf<uint8_t> bytes;
    utf8buf_from_wstr(text, length, bytes);
    bool empty = !text || length == 0 || (length < 0 && !text[0]);
    if (!empty && !bytes.Data())
        return false;
    return SetValue(bytes.Data(), uint32_t(bytes.Count()), node);
}
