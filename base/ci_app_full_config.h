#ifndef BASE_CI_APP_FULL_CONFIG_H
#define BASE_CI_APP_FULL_CONFIG_H

#include <stdint.h>

#include "base/app_config.h"
#include "base/ci_app_config.h"

// The configuration the program uses: the per-user store and the common
// (all users) store together. Reads prefer the per-user store and fall back
// to the common one where only administrators may change it
// (CommonKeyGuarded); writes go to the per-user store; Save, Revert and
// DeleteKey act on both and answer for the per-user store. It has no nodes
// of its own (FindNode gives null); the installer reaches the common store
// through GetCommonStore.
class cCIAppFullConfig : public cApplicationConfig {
public:
    cCIAppFullConfig();
    ~cCIAppFullConfig() override;

    void* GetRoot() override;
    void* GetChild(const char* name, void* parent, bool create) override;
    bool GetValueSize(void* node, uint32_t& size) override;
    bool KeepsText() override;
    bool CreateStore(const wchar_t* folder_or_name) override;
    // Opens the per-user store (false when that fails), then the common
    // store's folder of the program's store name when it can be had; the
    // common store is optional.
    bool OpenStore(const wchar_t* folder_or_name) override;
    bool Save() override;
    bool Revert() override;
    bool ReadBytes(const char* key, _typebuf<uint8_t>& out) override;
    bool ReadInt64(const char* key, int64_t& out) override;
    bool ReadString(const char* key, _guardchar<wchar_t>& out) override;
    bool WriteBytes(const char* key, const void* data, uint32_t size) override;
    bool WriteInt16(const char* key, int16_t value) override;
    bool WriteInt32(const char* key, int32_t value) override;
    bool WriteInt64(const char* key, int64_t value) override;
    bool WriteString(const char* key, const wchar_t* text, int32_t length) override;
    bool DeleteKey(const char* key) override;
    bool HasKey(const char* key) override;
    // The children of key in the common store, then those in the per-user
    // store (a name in both is visited twice). A store without the key adds
    // nothing. False when the callback stops the walk, or when neither store
    // has the key.
    bool EnumChildren(const char* key, EnumCallback callback, void* context) override;

    cCIAppConfig& GetCommonStore() { return common; }
    cCIAppConfig& GetUserStore() { return user; }
    bool DeleteCommonKey(const char* key);
    // Only administrators may change what the common store keeps under key
    // (PATH_CHANGED_BY_ADMINS): the store file of the key (or nobody may
    // make it, while it is missing), the store's folder and the maker's
    // folder above it. Else open_path (when given) gets the first of the
    // three, from the top, that others may change. False also when the
    // common store is not open: open_path then gets what stands in its
    // place that others may change (CommonPlaceOpen), when something does.
    bool CommonKeyGuarded(const char* key, _guardchar<wchar_t>* open_path = nullptr);
    // The common store could not be had, and something that others than
    // the administrators may change stands where its folders belong (a
    // file, or a folder made by hand), which a run with administrator
    // rights would otherwise take for there being no common store at all.
    bool CommonPlaceOpen() const { return !open_place.IsEmpty(); }

private:
    cCIAppConfig user;
    cCIAppConfig common;
    _guardchar<wchar_t> open_place;  // see CommonPlaceOpen

    // Notes open_place once the common store could not be had.
    void NoteCommonPlace();

    // The common store has key, and only administrators may change it there.
    bool CommonGives(const char* key);
};

#endif
