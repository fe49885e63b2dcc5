#ifndef BASE_APP_CONFIG_H
#define BASE_APP_CONFIG_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"

// The program's keyed configuration: byte-string values in a tree, reached
// by keys of '/'-separated UTF-8 names ("install/app/ver"); a null or empty
// key is the root. A back end supplies the node operations (GetRoot to
// KeepsText) and the store operations; the typed reads and writes and
// FindNode are built here on the node operations and serve every back end.
// Nodes are handed around as opaque handles, valid until the store changes
// its tree. No lock: one thread at a time uses a configuration.
class cApplicationConfig {
public:
    // Gets a child's name (UTF-8) and the caller's context; false stops the
    // walk.
    typedef bool (*EnumCallback)(const char* name, void* context);

    cApplicationConfig() = default;
    cApplicationConfig(const cApplicationConfig&) = delete;
    cApplicationConfig& operator=(const cApplicationConfig&) = delete;

    virtual void* GetRoot() = 0;
    // The child of parent called name; with create, added when absent.
    // Null when there is none.
    virtual void* GetChild(const char* name, void* parent, bool create) = 0;
    virtual bool GetValueSize(void* node, uint32_t& size) = 0;
    virtual bool GetValueText(_guardchar<wchar_t>& out, void* node);
    // Copies at most capacity bytes of the value.
    virtual bool GetValue(void* destination, uint32_t capacity, void* node);
    // length -1: up to the NUL.
    virtual bool SetValueText(const wchar_t* text, int32_t length, void* node);
    virtual bool SetValue(const void* data, uint32_t size, void* node);
    // True for a back end that keeps values as text: numbers are then
    // written as decimal text and read by parsing it.
    virtual bool KeepsText() = 0;
    // A folder path, or a store name resolved to its per-user folder.
    virtual bool CreateStore(const wchar_t* folder_or_name);
    virtual bool OpenStore(const wchar_t* folder_or_name) = 0;
    virtual bool Save();
    virtual bool Revert();

    // The value's bytes; an empty value gives an empty buffer.
    virtual bool ReadBytes(const char* key, _typebuf<uint8_t>& out);
    // A stored value of 1 to 8 bytes, widened without sign extension.
    virtual bool ReadInt64(const char* key, int64_t& out);
    // The value as UTF-8 text.
    virtual bool ReadString(const char* key, _guardchar<wchar_t>& out);
    // The low bits of ReadInt64; 0 when the key is absent or unreadable.
    virtual int16_t GetInt16(const char* key);
    virtual int32_t GetInt32(const char* key);
    virtual int64_t GetInt64(const char* key);
    // The writes add the key's missing nodes. Numbers are stored as their
    // 2, 4 or 8 little-endian bytes, text as UTF-8 without a terminator.
    virtual bool WriteBytes(const char* key, const void* data, uint32_t size);
    virtual bool WriteInt16(const char* key, int16_t value);
    virtual bool WriteInt32(const char* key, int32_t value);
    virtual bool WriteInt64(const char* key, int64_t value);
    virtual bool WriteString(const char* key, const wchar_t* text, int32_t length);
    virtual bool DeleteKey(const char* key);
    virtual bool HasKey(const char* key);
    // Calls callback for each child of key in ascending name order.
    virtual bool EnumChildren(const char* key, EnumCallback callback, void* context);
    virtual ~cApplicationConfig();
    // The node of key, walking GetChild name by name from the root; empty
    // names between two '/' are names like any other.
    virtual void* FindNode(const char* key, bool create);

private:
    // The whole value of node into out.
    bool ReadValue(void* node, _typebuf<uint8_t>& out);
    // ReadInt64's value, or 0 where it fails.
    int64_t ReadInt64OrZero(const char* key);
    bool WriteNumber(const char* key, int64_t value, uint32_t size);
};

#endif
