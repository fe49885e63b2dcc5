#ifndef BASE_CI_APP_FULL_CONFIG_H
#define BASE_CI_APP_FULL_CONFIG_H

#include <stdint.h>

#include "base/app_config.h"
#include "base/ci_app_config.h"

// The configuration the program uses: the per-user store and the common
// (all users) store, each used by the run as far as the run's rights allow.
// A run acts only on what nobody with fewer rights could have written:
//  - a run with administrator rights (process_is_administrator) keeps and
//    reads everything in the common store alone, and only while each of
//    its folders is the administrators' own (get_common_data_folder) and
//    the key's file too (CommonKeyGuarded). Every program the user runs may
//    write the per-user store: such a run opens it to read only, makes
//    nothing in it and reads none of its values through this object, which
//    only lists its names (EnumChildren), to tell the user what is there;
//  - any other run keeps its values in the per-user store and also reads
//    the common store's, to read only, where only administrators may
//    change them.
// It has no nodes of its own (FindNode gives null).
class cCIAppFullConfig : public cApplicationConfig {
public:
    cCIAppFullConfig();
    ~cCIAppFullConfig() override;

    void* GetRoot() override;
    void* GetChild(const char* name, void* parent, bool create) override;
    bool GetValueSize(void* node, uint32_t& size) override;
    bool KeepsText() override;
    // The per-user store's, for a run without administrator rights; false
    // otherwise.
    bool CreateStore(const wchar_t* folder_or_name) override;
    // A run with administrator rights: the common store's folder of the
    // program's store name, made when missing; where it cannot be had,
    // CommonPlaceRefused names what stands in its way and no store keeps
    // anything. The per-user store is opened to read only, when it is
    // there. Any other run: the per-user store (made when missing; false
    // when it cannot be had, which UserStoreMissing names), and the common
    // store to read only, when it is there.
    bool OpenStore(const wchar_t* folder_or_name) override;
    // Both stores; the answer is the run's own store's (false without one).
    bool Save() override;
    bool Revert() override;
    // The run's own store, then (for a run without administrator rights)
    // the common store where CommonKeyGuarded.
    bool ReadBytes(const char* key, _typebuf<uint8_t>& out) override;
    bool ReadInt64(const char* key, int64_t& out) override;
    bool ReadString(const char* key, _guardchar<wchar_t>& out) override;
    // Into the run's own store (OwnStoreFor); false without one.
    bool WriteBytes(const char* key, const void* data, uint32_t size) override;
    bool WriteInt16(const char* key, int16_t value) override;
    bool WriteInt32(const char* key, int32_t value) override;
    bool WriteInt64(const char* key, int64_t value) override;
    bool WriteString(const char* key, const wchar_t* text, int32_t length) override;
    bool DeleteKey(const char* key) override;
    bool HasKey(const char* key) override;
    // The children of key in the common store, then those in the per-user
    // store; a name in both is visited twice. A store without the key adds
    // nothing. False when the callback stops the walk, or when neither
    // store has the key.
    bool EnumChildren(const char* key, EnumCallback callback, void* context) override;

    cCIAppConfig& GetCommonStore() { return common; }
    cCIAppConfig& GetUserStore() { return user; }
    bool DeleteCommonKey(const char* key);
    // The run has administrator rights (as asked when the store opened):
    // the common store is its own.
    bool ForAllUsers() const { return all_users; }
    // The store the run keeps key in: the common store for a run with
    // administrator rights while CommonKeyGuarded(key), else the per-user
    // store while it is open; null otherwise.
    cCIAppConfig* OwnStoreFor(const char* key);
    // Only administrators may change what the common store keeps under key:
    // the maker's folder, the store's folder, its side folder (through
    // which every save goes) and the key's file (or nobody may make it,
    // while it is missing), each judged as itself (path_guarded_as_itself).
    // Else open_path (when given) gets the first of them, from the top,
    // that others may change. False also when the common store is not
    // open: open_path then gets CommonPlaceRefused, when there is one.
    bool CommonKeyGuarded(const char* key, _guardchar<wchar_t>* open_path = nullptr);
    // For a run with administrator rights whose common store could not be
    // had: the first folder or file from the maker's folder down that
    // stands where its folders belong (a file, a link, a folder that others
    // may change, one that could not be made). Empty otherwise.
    const _guardchar<wchar_t>& CommonPlaceRefused() const { return refused_place; }
    // For a run without administrator rights whose per-user store could not
    // be had: the folder it belongs in. Empty otherwise.
    const _guardchar<wchar_t>& UserStoreMissing() const { return missing_user_store; }

private:
    cCIAppConfig user;
    cCIAppConfig common;
    bool all_users;
    _guardchar<wchar_t> refused_place;
    _guardchar<wchar_t> missing_user_store;

    // The common store has key, and only administrators may change it there.
    bool CommonGives(const char* key);
};

#endif
