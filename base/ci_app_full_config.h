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
//    its folders and files is the administrators' own, as judged when it
//    opens (StoreUsable). Every program the user runs may
//    write the per-user store: such a run opens it to read only, makes
//    nothing in it and reads none of its values through this object, which
//    only lists its names (EnumChildren), to tell the user what is there;
//  - any other run keeps its values in the per-user store and also reads
//    the common store's, to read only, where only administrators may
//    change them (CommonKeyGuarded, judged at each read).
// The run's own store is judged as it opens (StoreUsable): where it cannot
// serve, it keeps and gives nothing, and the roads stop before they act
// rather than take it for a store without records. Every later read of a
// file of either store tells again whether its content is known
// (cCIAppConfig): the verdicts below follow it, and Reopen judges both
// stores afresh from the disk.
// It has no nodes of its own (FindNode gives null).
class cCIAppFullConfig : public cApplicationConfig {
public:
    cCIAppFullConfig();
    ~cCIAppFullConfig() override;

    void* GetRoot() override;
    void* GetChild(const char* name, void* parent, bool create) override;
    bool GetValueSize(void* node, uint32_t& size) override;
    bool KeepsText() override;
    // The run's own store, of the program's store name: for a run with
    // administrator rights the common store's folder, whose levels
    // get_common_data_folder makes and judges, else the per-user folder,
    // each level made when missing and no link. It is used only when
    // store_folder_usable finds it can serve (nothing is made or locked in
    // it before) and every file of it then reads whole, waited for while
    // another program holds it; else Refusal names what stands in the
    // way. Besides, to read only where it is there: the per-user store
    // for a run with administrator rights, the common store for any other.
    // True once judged: StoreUsable gives the verdict. (The base's
    // CreateStore makes nothing: opening makes what is missing.)
    bool OpenStore(const wchar_t* folder_or_name) override;
    // Drops what was read and opens both stores again as OpenStore did,
    // judging them afresh; false when the store was never opened.
    bool Reopen();
    // Both stores; the answer is the run's own store's (false without one).
    bool Save() override;
    bool Revert() override;
    // The run's own store while it serves, then (for a run without
    // administrator rights) the common store where CommonKeyGuarded.
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
    // The run's own store could serve when it opened (OpenStore), and the
    // content of every file of it is known still.
    bool StoreUsable() const;
    // The store the run keeps its values in, while StoreUsable: the common
    // store for a run with administrator rights, else the per-user store;
    // null otherwise.
    cCIAppConfig* OwnStoreFor();
    // Only administrators may change what the common store keeps under key:
    // the maker's folder, the store's folder, its side folder (through
    // which every save goes) and the key's file (or nobody may make it,
    // while it is missing), each judged as itself (path_guarded_as_itself).
    // Else open_path (when given) gets the first of them, from the top,
    // that others may change. False also when the common store is not
    // open.
    bool CommonKeyGuarded(const char* key, _guardchar<wchar_t>* open_path = nullptr);
    // Where the run's own store could not serve: the first folder or file,
    // from the maker's folder down, that stands in its way (a file or a
    // link where a folder belongs, a folder that could not be made, or in
    // which nothing can be made, a level that others than the
    // administrators may change where only they may, a name in it that is
    // no plain file, a file or its lock that another program holds, a file
    // that cannot be read whole), with what kind of fault it is. No fault
    // while it serves, and where it has no place at all. Where it served
    // as it opened, the file of it whose content is no longer known.
    const cStoreFault& Refusal() const;
    // The content of the file of key (its first name) in the store this
    // run only reads (the per-user store for a run with administrator
    // rights, the common store for any other) is not known: the file could
    // not be read whole, a name that is no plain file stands in its place,
    // or the store's folder could not be read, or a file or a link stands
    // where one of its folders belongs. True with the fault in out: what it
    // holds cannot be told, and must not be taken for nothing.
    bool OtherStoreFault(const char* key, cStoreFault& out);

private:
    cCIAppConfig user;
    cCIAppConfig common;
    bool all_users;
    bool usable;
    cStoreFault refusal;
    _guardchar<wchar_t> opened_name;  // what OpenStore was given

    // Judges the folder as the run's own store and opens it; true when it
    // serves.
    bool OpenOwn(cCIAppConfig& store, const wchar_t* folder);
    // The common store has key and this run may take what it holds there:
    // a run with administrator rights while StoreUsable, any other where
    // CommonKeyGuarded.
    bool CommonGives(const char* key);
    // The store's names and values count for this run: the common store
    // but where it is the run's own and cannot serve, the per-user store
    // for a run with administrator rights (to list names only) or while it
    // serves.
    bool Counts(const cCIAppConfig& store) const;
};

#endif
